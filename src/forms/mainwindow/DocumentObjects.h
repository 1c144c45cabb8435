#pragma once
// Objects and rich text put into the document at its selection, on top of the document
// control's public calls: a rich text stream read into the selection, the object the
// selection holds, files made into objects, and an embedded file handed to the desktop.
#include "richtext/document/CharFormat.h"
#include "richtext/document/EmbeddedContent.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zorim {

class RichEdit;

// Embedded files are kept in the document in full; beyond this size a file is refused.
inline constexpr qint64 kMaxEmbeddedFileBytes = 64LL << 20;

// Reads an RTF document into the selection of the control, as one undo step, leaving the
// control's stream settings as they were. Returns the range the inserted content takes.
CharRange insertRtf(RichEdit& edit, const QByteArray& rtf);

// Inserts the object in place of the selection and selects it.
void insertObjectAtSelection(RichEdit& edit, const EmbeddedObject& object);

// The object when the selection is exactly one object; nothing otherwise.
std::optional<EmbeddedObject> selectedObject(const RichEdit& edit);

// A file as an object: embedded (its bytes read now) or linked (its path kept). Throws
// std::runtime_error with the message for the user when the file cannot be read.
EmbeddedObject fileObject(const QString& path, bool link);

// The object's name as the user is shown it before it opens: a linked file's full path, an
// embedded file's own name.
QString objectDisplayName(const EmbeddedObject& object);

// Whether the object may be handed to the desktop's opener: never a program, a script or a
// desktop entry, whatever its name says, since opening one runs it.
bool isSafeToOpen(const EmbeddedObject& object);

// Writes an embedded file to the folder (created when missing) under its own name and
// returns the path written, readable by the user alone and never executable; a linked object
// gives its own path. Throws std::runtime_error.
QString objectFilePath(const EmbeddedObject& object, const QString& folder);

// Writes an embedded file's bytes to the path the user named. Throws std::runtime_error.
void saveObjectCopy(const EmbeddedObject& object, const QString& path);

// What names the selected object's character while the document holds it (the name of the
// picture that shows it); empty when the selection is no object.
QString selectedObjectKey(const RichEdit& edit);

// Gives the object named so new contents (an embedded file edited outside); false when the
// document no longer holds it.
bool updateObjectContents(RichEdit& edit, const QString& key, const QByteArray& contents);

} // namespace zorim
