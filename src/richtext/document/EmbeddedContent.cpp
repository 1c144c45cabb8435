#include "richtext/document/EmbeddedContent.h"

#include "richtext/document/DocumentFiles.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QTextCursor>
#include <QTextDocument>

#include <functional>

namespace zorim {
namespace {

QByteArray oneCharacterRtf(const std::function<void(QTextCursor&)>& insert)
{
    // In the control's default face and size: a scratch document's own default (the desktop's
    // "Sans Serif" 9 pt) would come along as the character's font, into the font table.
    QTextDocument doc;
    QFont font(QString::fromLatin1(kDefaultFace));
    font.setPointSize(kDefaultPoints);
    doc.setDefaultFont(font);
    QTextCursor cursor(&doc);
    insert(cursor);
    // A character after it keeps the range short of the document's end, which would close
    // the range with a paragraph mark.
    cursor.insertText(QStringLiteral(" "));
    return writeRtf(doc, 0, doc.characterCount() - 2);
}

} // namespace

bool isRichText(QByteArrayView bytes) { return isRtf(bytes); }

QByteArray pictureRtf(const Picture& picture)
{
    return oneCharacterRtf([&picture](QTextCursor& cursor) { insertPicture(cursor, picture); });
}

QByteArray objectRtf(const EmbeddedObject& object)
{
    return oneCharacterRtf([&object](QTextCursor& cursor) { insertObject(cursor, object); });
}

// Read into a scratch document, written back without them.
QByteArray rtfWithoutObjects(const QByteArray& rtf)
{
    QTextDocument scratch;
    QTextCursor cursor(&scratch);
    if (!readRtf(rtf, cursor))
        return {};
    RtfWriteOptions options;
    options.noObjects = true;
    return writeRtf(scratch, 0, scratch.characterCount() - 1, options);
}

} // namespace zorim
