#include "RtfNotes.h"

#include "RtfNumbering.h"
#include "RtfReader.h"
#include "richtext/document/DocFormats.h"
#include "richtext/document/ListLevels.h"

#include <QTextCursor>
#include <QTextDocument>

namespace zorim {
namespace {

// A standalone RTF document of the note's paragraphs: the fonts and colours its numbers
// refer to, numbered as they were read, then the paragraphs.
QByteArray noteDocument(const KeptGroups& content)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl";
    for (const auto& [number, font] : content.fonts) {
        out += "{\\f" + QByteArray::number(number) + "\\fcharset" + QByteArray::number(font.charset) + ' ';
        for (const QChar ch : font.face) {
            if (ch.unicode() < 0x80 && ch != u';' && ch != u'\\' && ch != u'{' && ch != u'}')
                out += char(ch.unicode());
            else if (ch != u';')
                out += "\\u" + QByteArray::number(int16_t(ch.unicode())) + '?';
        }
        out += ";}";
    }
    out += '}';
    if (!content.colors.empty()) {
        out += "{\\colortbl";
        int next = 0;
        for (const auto& [number, color] : content.colors) {
            if (number < 0)
                continue;
            for (; next < number; ++next)
                out += ';';
            if (color) {
                const QColor c = colorFromRef(*color);
                out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                       + QByteArray::number(c.blue());
            }
            out += ';';
            ++next;
        }
        out += '}';
    }
    if (!content.groups.empty())
        out += content.groups[0];
    out += '}';
    return out;
}

} // namespace

void readNoteContent(const Note& note, QTextDocument& into)
{
    const QByteArray bytes = noteDocument(note.content);
    QTextCursor cursor(&into);
    cursor.beginEditBlock();
    rtf::Reader reader(bytes, 0, cursor);
    reader.readingNote();
    reader.run();
    cursor.endEditBlock();
}

QString noteLabel(int number, bool endnote)
{
    return spelledNumber(endnote ? pfn::LowerRoman : pfn::Arabic, number);
}

namespace rtf {

KeptGroups withoutInnerNotes(const KeptGroups& content)
{
    QTextDocument doc;
    readNoteContent(Note{content, false, false}, doc);
    return noteContentOf(doc);
}

} // namespace rtf
} // namespace zorim
