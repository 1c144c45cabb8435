#include "richtext/document/DocumentEdits.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/RichDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zorim {

CharRange replaceEach(RichDocument& doc, const std::vector<int>& starts, int length, const QString& text)
{
    // The text as the control takes text in: CR LF, CR and LF each end a paragraph.
    QString inserted = text;
    inserted.replace(QStringLiteral("\r\n"), QChar(QChar::ParagraphSeparator));
    inserted.replace(u'\r', QChar(QChar::ParagraphSeparator));
    inserted.replace(u'\n', QChar(QChar::ParagraphSeparator));
    const int grow = int(inserted.size()) - length;

    int last = 0;
    QTextCursor c(doc.textDocument());
    c.beginEditBlock(); // the layout lays the changed paragraphs out once, not once per edit
    int shift = 0;
    for (const int at : starts) {
        last = at + shift;
        c.setPosition(last);
        c.setPosition(last + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = c.charFormat();
        c.setPosition(last + length, QTextCursor::KeepAnchor);
        c.insertText(inserted, format);
        shift += grow;
    }
    c.endEditBlock();
    return {last, last + int(inserted.size())};
}

void colorRuns(RichDocument& doc, const std::vector<ColorRun>& runs)
{
    QTextDocument& document = *doc.textDocument();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    QTextBlock block = document.begin();
    for (const ColorRun& run : runs) {
        QTextCharFormat color;
        color.setForeground(colorFromRef(run.color));
        const int end = run.start + run.length;
        // Runs follow each other: the paragraph where the last run ended holds this one's start.
        block = block.isValid() && block.position() <= run.start ? block : document.findBlock(run.start);
        for (; block.isValid() && block.position() < end; block = block.next()) {
            const int textEnd = block.position() + block.length() - 1; // the paragraph break
            const int from = std::max(run.start, block.position());
            const int to = std::min(end, textEnd);
            if (from < to) {
                cursor.setPosition(from);
                cursor.setPosition(to, QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(color);
            }
            if (textEnd >= end)
                break; // the run ends inside this paragraph: the next run starts here
            cursor.setPosition(block.position());
            cursor.mergeBlockCharFormat(color);
        }
    }
    cursor.endEditBlock();
}

std::optional<EmbeddedObject> objectAt(const RichDocument& doc, int pos)
{
    QTextCursor cursor(doc.textDocument());
    cursor.setPosition(pos);
    cursor.setPosition(pos + 1, QTextCursor::KeepAnchor);
    return objectFromFormat(cursor.charFormat());
}

QString objectKeyAt(const RichDocument& doc, int pos)
{
    QTextCursor cursor(doc.textDocument());
    cursor.setPosition(pos + 1);
    return cursor.charFormat().toImageFormat().name();
}

bool replaceObjectContents(RichDocument& doc, const QString& key, const QByteArray& contents)
{
    QTextDocument* document = doc.textDocument();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() || format.toImageFormat().name() != key)
                continue;
            const auto object = objectFromFormat(format);
            if (!object || object->contents == contents)
                return bool(object);
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + 1, QTextCursor::KeepAnchor);
            QTextCharFormat change;
            change.setProperty(objprop::Contents, contents);
            cursor.mergeCharFormat(change);
            return true;
        }
    }
    return false;
}

} // namespace zorim
