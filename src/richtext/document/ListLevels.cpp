#include "richtext/document/ListLevels.h"
#include "richtext/document/DocFormats.h"

#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <atomic>
#include <utility>

namespace zorim {
namespace {

constexpr int32_t kLevelStepTwips = 360;

QString romanNumber(int n, bool upper)
{
    static const std::pair<int, const char*> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                                                       {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"},
                                                       {5, "v"}, {4, "iv"}, {1, "i"}};
    QString out;
    for (const auto& [value, text] : parts) {
        while (n >= value) {
            out += QLatin1String(text);
            n -= value;
        }
    }
    return upper ? out.toUpper() : out;
}

QString letterNumber(int n, bool upper)
{
    QString out;
    while (n > 0) {
        --n;
        out.prepend(QChar((upper ? 'A' : 'a') + n % 26));
        n /= 26;
    }
    return out;
}

// The numbering of a list as a whole: what the numbering commands gave it.
uint16_t listNumbering(const QTextListFormat& f)
{
    if (f.hasProperty(docprop::NumberingCode))
        return static_cast<uint16_t>(f.intProperty(docprop::NumberingCode));
    switch (f.style()) {
    case QTextListFormat::ListDecimal: return pfn::Arabic;
    case QTextListFormat::ListLowerAlpha: return pfn::LowerAlpha;
    case QTextListFormat::ListUpperAlpha: return pfn::UpperAlpha;
    case QTextListFormat::ListLowerRoman: return pfn::LowerRoman;
    case QTextListFormat::ListUpperRoman: return pfn::UpperRoman;
    default: return pfn::Bullet;
    }
}

} // namespace

QString spelledNumber(uint16_t numbering, int n)
{
    switch (numbering) {
    case pfn::None:
    case pfn::Bullet: return {};
    case pfn::LowerAlpha: return letterNumber(n, false);
    case pfn::UpperAlpha: return letterNumber(n, true);
    case pfn::LowerRoman: return romanNumber(n, false);
    case pfn::UpperRoman: return romanNumber(n, true);
    default: return QString::number(n);
    }
}

ListLevel plainListLevel(uint16_t numbering, int level)
{
    ListLevel l;
    l.numbering = numbering;
    if (numbering == pfn::Bullet)
        l.text = QChar(0x2022);
    else if (numbering != pfn::None)
        l.text = QString(QChar(char16_t(level))) + u'.';
    return l;
}

ListLevels listLevelsOf(const QTextListFormat& format)
{
    ListLevels levels;
    const QStringList stored = format.property(docprop::ListLevels).toStringList();
    for (const QString& entry : stored) {
        // numbering|start|indent|first indent|text
        const QStringList parts = entry.split(u'|');
        if (parts.size() < 5 || int(levels.size()) >= kListLevelCount)
            break;
        ListLevel l;
        l.numbering = uint16_t(std::clamp(parts[0].toInt(), 0, int(pfn::UpperRoman)));
        l.start = parts[1].toInt();
        l.indent = parts[2].toInt();
        l.firstIndent = parts[3].toInt();
        l.text = entry.section(u'|', 4);
        levels.push_back(std::move(l));
    }
    return levels;
}

ListLevel listLevelOf(const QTextListFormat& format, int level)
{
    level = std::clamp(level, 0, kListLevelCount - 1);
    ListLevels levels = listLevelsOf(format);
    if (level < int(levels.size()))
        return std::move(levels[size_t(level)]);
    return plainListLevel(listNumbering(format), level);
}

void setListLevels(QTextListFormat& format, const ListLevels& levels)
{
    QStringList stored;
    for (size_t i = 0; i < levels.size() && i < size_t(kListLevelCount); ++i) {
        const ListLevel& l = levels[i];
        stored << QStringLiteral("%1|%2|%3|%4|").arg(l.numbering).arg(l.start).arg(l.indent).arg(l.firstIndent) + l.text;
    }
    if (stored.isEmpty())
        format.clearProperty(docprop::ListLevels);
    else
        format.setProperty(docprop::ListLevels, stored);
    if (!levels.empty())
        format.setProperty(docprop::NumberingCode, int(levels[0].numbering));
}

bool sameLevels(const QTextListFormat& a, const QTextListFormat& b)
{
    for (int k = 0; k < kListLevelCount; ++k) {
        if (!(listLevelOf(a, k) == listLevelOf(b, k)))
            return false;
    }
    return true;
}

int listLevelOf(const QTextBlock& block)
{
    return std::clamp(block.blockFormat().intProperty(docprop::ListLevel), 0, kListLevelCount - 1);
}

int newListKey()
{
    static std::atomic<int> last{0};
    return ++last;
}

QString ListCounter::next(const QTextListFormat& format, int level)
{
    if (!read_ || !(format == format_)) {
        read_ = true;
        format_ = format;
        for (int k = 0; k < kListLevelCount; ++k)
            levels_[size_t(k)] = listLevelOf(format, k);
    }
    level = std::clamp(level, 0, kListLevelCount - 1);
    const auto at = size_t(level);
    count_[at] = seen_[at] ? count_[at] + 1 : levels_[at].start;
    seen_[at] = true;
    for (size_t k = at + 1; k < seen_.size(); ++k)
        seen_[k] = false;
    QString label;
    for (const QChar ch : levels_[at].text) {
        if (ch.unicode() >= kListLevelCount) {
            label += ch;
            continue;
        }
        const size_t k = ch.unicode();
        label += spelledNumber(levels_[k].numbering, seen_[k] ? count_[k] : levels_[k].start);
    }
    return label;
}

QString listLabel(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    return list ? listLabels(*list).value(list->itemNumber(block)) : QString();
}

QStringList listLabels(const QTextList& list)
{
    ListCounter counter;
    const QTextListFormat format = list.format();
    QStringList labels;
    for (int i = 0, n = list.count(); i < n; ++i)
        labels << counter.next(format, listLevelOf(list.item(i)));
    return labels;
}

bool setListLevel(QTextCursor& cursor, int level)
{
    const QTextBlock block = cursor.block();
    const QTextList* list = block.textList();
    if (!list || level < 0 || level >= kListLevelCount)
        return false;
    const int was = listLevelOf(block);
    if (level == was)
        return true;
    const ListLevel def = listLevelOf(list->format(), level);
    ParaFormat para = readParaFormat(block);
    para.mask = pfm::StartIndent | pfm::Offset;
    if (def.indent >= 0) {
        para.startIndent = std::max(0, def.indent + def.firstIndent);
        para.offset = -def.firstIndent;
    } else {
        para.startIndent = std::max(0, para.startIndent + (level - was) * kLevelStepTwips);
    }
    cursor.beginEditBlock();
    QTextBlockFormat bf = block.blockFormat();
    if (level == 0)
        bf.clearProperty(docprop::ListLevel);
    else
        bf.setProperty(docprop::ListLevel, level);
    QTextCursor at(block);
    at.setBlockFormat(bf);
    applyParaFormat(at, para);
    // The items after it may count otherwise now: they are drawn again.
    const QTextBlock last = list->item(list->count() - 1);
    cursor.document()->markContentsDirty(block.position(), last.position() + last.length() - block.position());
    cursor.endEditBlock();
    return true;
}

} // namespace zorim
