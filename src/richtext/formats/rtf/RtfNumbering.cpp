#include "RtfNumbering.h"

#include "richtext/document/CharFormat.h"
#include "richtext/document/ListLevels.h"

#include <QTextFormat>

#include <algorithm>

namespace zorim::rtf {
namespace {

// The list table's number format of a numbering style.
int levelNfc(uint16_t numbering)
{
    switch (numbering) {
    case pfn::UpperRoman: return 1;
    case pfn::LowerRoman: return 2;
    case pfn::UpperAlpha: return 3;
    case pfn::LowerAlpha: return 4;
    case pfn::Bullet: return 23;
    case pfn::None: return 255;
    default: return 0;
    }
}

QByteArray hexByte(int value)
{
    static constexpr char hex[] = "0123456789abcdef";
    return QByteArray("\\'") + hex[(value >> 4) & 0xF] + hex[value & 0xF];
}

} // namespace

QByteArray listText(const QString& text)
{
    QByteArray out;
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x20 && ch.unicode() < 0x80 && ch != u'\\' && ch != u'{' && ch != u'}' && ch != u';')
            out += char(ch.unicode());
        else if (ch.unicode() < 0x80)
            out += hexByte(ch.unicode());
        else
            out += "\\u" + QByteArray::number(int(int16_t(ch.unicode()))) + '?';
    }
    return out;
}

QByteArray listTableEntry(int number, const QTextListFormat& format)
{
    QByteArray out = "{\\list\\listtemplateid" + QByteArray::number(number);
    for (int k = 0; k < kListLevelCount; ++k) {
        const ListLevel level = listLevelOf(format, k);
        const int nfc = levelNfc(level.numbering);
        // The label: its length, then its characters, the levels' numbers among them as
        // their level's index, whose places \levelnumbers gives.
        const QString text = level.text.left(255);
        QByteArray numbers;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].unicode() < kListLevelCount)
                numbers += hexByte(int(i) + 1);
        }
        const int li = std::max(0, level.indent), fi = level.indent >= 0 ? level.firstIndent : 0;
        out += "\r\n{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn" + QByteArray::number(nfc)
               + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" + QByteArray::number(level.start)
               + "{\\leveltext" + hexByte(int(text.size())) + listText(text) + ";}{\\levelnumbers" + numbers
               + ";}\\fi" + QByteArray::number(fi) + "\\li" + QByteArray::number(li) + "}";
    }
    return out + "\\listid" + QByteArray::number(number) + "}";
}

} // namespace zorim::rtf
