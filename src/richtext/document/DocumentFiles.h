#pragma once
// Documents as files, apart from any widget: the format a file's name asks for, reading a
// document file, loading bytes with the one retry in the other format, and writing a
// document file whole or not at all. The editor's control and zorim-convert both open and
// save through these, so a file converts exactly as the editor would open and save it.
#include "richtext/document/CharFormat.h"
#include "richtext/document/RichTypes.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QTextCursor;

namespace zorim {

class RichDocument;

// The face and size of the text of a new document.
inline constexpr const char* kDefaultFace = "Verdana";
inline constexpr int kDefaultPoints = 12;

// The record that gives text a font: face, size in points, the four style bits (bold 1,
// italic 2, underline 4, strikeout 8), colour, charset, pitch and weight (0: from the style).
CharFormat fontCharFormat(const QString& face, int points, int style, ColorRef color, uint8_t charset, int pitch,
                          int weight);

// A document set up as the editor's main document is: the default font, links detected.
void setUpAsMainDocument(RichDocument& doc);

// The format a file's extension names: .txt text, .rtf rich text, .docx a Word document, .odt and .fodt an OpenDocument text; other names none (they
// follow the control's own setting).
std::optional<TextFormat> formatOfFileName(const QString& path);

// The format of bytes that are a document package ZORIM reads (a Word document, an
// OpenDocument text zipped or flat), told by
// their content; nothing for any other bytes.
std::optional<TextFormat> packageFormat(QByteArrayView bytes);

// The message for a document package that cannot be read: damaged, or built to harm.
QString damagedFileMessage(const QString& name);

// The message for bytes that are another program's document (only their head is looked at),
// naming the file as `name`; nothing when they may be loaded.
std::optional<QString> foreignDocumentMessage(const QString& name, QByteArrayView bytes);

// The most bytes a document may have: the control's text limit, as no more characters than that
// fit in the document. A larger file is refused before it is read, and a stream that goes on
// past it (standard input from a device that never ends) is refused once it has.
inline constexpr qsizetype kMaxDocumentBytes = 2147483632;

// What the user is told of what a load left out (RichDocument::leftOut), a line for each
// kind, and asked before a save that cannot write it.
QString leftOutMessage(const LeftOut& leftOut);
QString leftOutQuestion(const LeftOut& leftOut);

// Reads a document file whole into bytes. Opened by the name's own bytes, so that a name that
// is no UTF-8 opens too; only plain files are documents (a pipe or a device would hang the
// load or never end). Answers the message for the user when the file cannot be read, is
// larger than a document may be, or is another program's document.
std::optional<QString> readDocumentFile(const QString& path, QByteArray& bytes);

// Reads a document from an open descriptor to its end, as readDocumentFile reads a file, the
// stream called `name` in the messages.
std::optional<QString> readDocumentStream(int fd, const QString& name, QByteArray& bytes);

// Loads bytes in the format named into the document, or into the selection when one is
// given. Bytes that are no RTF, asked for as RTF, are taken as text, once (text never
// fails, so a retry the other way cannot happen). Answers whether the load succeeded.
bool loadDocumentBytes(RichDocument& doc, QByteArray bytes, TextFormat format, StreamOptions options,
                       QTextCursor* selection = nullptr);

// Writes a document's bytes whole or not at all; answers the message for the user on failure.
std::optional<QString> writeDocumentFile(const QString& path, const QByteArray& bytes);

// A plain text file saved in the target format: the bytes a document set up like `doc` and
// loaded from it would save, made a piece at a time (RichDocument::readTextInPieces), so that
// a long text converts in time and memory that grow in step with it. `slice` as there.
QByteArray convertTextFile(const RichDocument& doc, QByteArray bytes, TextFormat target, qsizetype slice = 0);

// The text of a plain text file, a piece at a time, as the document loaded from it holds it
// (QTextDocument::toRawText's characters). The bytes must outlive the pieces.
std::function<void(const std::function<void(const QString&)>&)> textFilePieces(const RichDocument& doc,
                                                                                const QByteArray& bytes,
                                                                                qsizetype slice = 0);

} // namespace zorim
