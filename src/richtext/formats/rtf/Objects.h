#pragma once
// Embedded objects in the document. An object is one character, like a picture: an image
// format that shows the object (its icon and name, or the picture another program stored as
// its result) and whose properties carry what the object is. Two kinds are made here: a file
// embedded in the document (the "Package" class other word processors use for files) and a
// link to a file. Objects of other classes read from a document keep their data unchanged,
// so saving writes back what was read.
//
// In RTF an object is {\object\objemb or \objlink {\*\objclass ...}{\*\objdata ...}
// {\result {\pict ...}}}; the data is an OLE 1 object stream, which for a file holds the
// packager's record of the file's name, path and bytes.
#include "richtext/formats/rtf/Picture.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTextFormat>

#include <optional>

class QTextCursor;
class QTextCharFormat;

namespace zorim {

struct EmbeddedObject {
    enum class Kind : uint8_t { Embedded, Linked };
    Kind kind = Kind::Embedded;
    QString className = QStringLiteral("Package");
    QString fileName;       // an embedded file's name; a link's full path
    QByteArray contents;    // an embedded file's bytes
    QByteArray objectData;  // the data of an object of another class, kept as read

    bool isFile() const { return className == QLatin1String("Package") && objectData.isEmpty(); }
    bool operator==(const EmbeddedObject&) const = default;
};

// Properties of the image format that carry the object.
namespace objprop {
inline constexpr int Kind = QTextFormat::UserProperty + 121;
inline constexpr int ClassName = QTextFormat::UserProperty + 122;
inline constexpr int FileName = QTextFormat::UserProperty + 123;
inline constexpr int Contents = QTextFormat::UserProperty + 124;
inline constexpr int ObjectData = QTextFormat::UserProperty + 125;
} // namespace objprop

// The object's full type name as the desktop names the file's type ("Plain text document"),
// else its class name.
QString objectTypeName(const EmbeddedObject& object);

// What shows the object in the text: the file type's icon with the file's name under it.
Picture objectIconPicture(const EmbeddedObject& object);

// Inserts the object as one character at the cursor (replacing its selection), shown by its
// icon, with the cursor's character format around it.
void insertObject(QTextCursor& cursor, const EmbeddedObject& object);
void insertObject(QTextCursor& cursor, const EmbeddedObject& object, const QTextCharFormat& base);

// Makes the picture character just before the cursor carry the object.
void attachObject(const QTextCursor& cursor, const EmbeddedObject& object);

// The object an image format carries; nothing for other formats.
std::optional<EmbeddedObject> objectFromFormat(const QTextFormat& format);

// The whole \object group around the picture that shows it (resultRtf, its \pict group).
QByteArray objectToRtf(const EmbeddedObject& object, const Picture& result, const QByteArray& resultRtf);

// Reads an \object group from the bytes that follow its \object control word up to the
// group's end (what comes after is ignored). Nothing when the group holds no data this
// program can keep. Every length in the data is checked against what is there.
std::optional<EmbeddedObject> parseObjectGroup(QByteArrayView rest);

// The OLE 1 object stream of \objdata, both ways.
QByteArray oleObjectData(const EmbeddedObject& object);
std::optional<EmbeddedObject> objectFromOleData(const QByteArray& data, bool linked);

} // namespace zorim
