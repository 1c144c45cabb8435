#include "richtext/document/Sections.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

namespace zorim {

std::optional<SectionSetup> sectionOf(const QTextBlockFormat& format)
{
    if (!format.hasProperty(docprop::Section))
        return std::nullopt;
    return format.property(docprop::Section).value<SectionSetup>();
}

void setSection(QTextBlockFormat& format, const SectionSetup& setup)
{
    format.setProperty(docprop::Section, QVariant::fromValue(setup));
    size_t key = qHash(setup.page.paperWidth) ^ (qHash(setup.page.paperHeight) << 1) ^ qHash(setup.headers.words);
    for (const QByteArray& group : setup.headers.groups)
        key = key * 31 + qHash(group);
    key = key * 31 + size_t(setup.breakKind * 8 + setup.columns * 2 + (setup.page.landscape ? 1 : 0));
    format.setProperty(docprop::SectionKey, int(key));
    // A section starts on a page of its own unless it goes on where the last one ends.
    format.setPageBreakPolicy(setup.breakKind == sbk::None ? QTextFormat::PageBreak_Auto
                                                           : QTextFormat::PageBreak_AlwaysBefore);
}

void clearSection(QTextBlockFormat& format)
{
    format.clearProperty(docprop::Section);
    format.clearProperty(docprop::SectionKey);
}

SectionSetup firstSection(const QTextDocument& doc)
{
    SectionSetup setup;
    setup.page = readPageSetup(doc);
    setup.headers = readKeptGroups(doc);
    std::erase_if(setup.headers.groups, [](const QByteArray& g) {
        return g.startsWith("{\\stylesheet ") || g.startsWith("{\\info ");
    });
    setup.titlePage = setup.headers.words.contains("\\titlepg");
    return setup;
}

std::vector<SectionSpan> sectionsOf(const QTextDocument& doc)
{
    std::vector<SectionSpan> sections{{0, firstSection(doc)}};
    for (QTextBlock block = doc.begin().next(); block.isValid(); block = block.next()) {
        if (auto setup = sectionOf(block.blockFormat()))
            sections.push_back({block.position(), std::move(*setup)});
    }
    return sections;
}

size_t sectionAt(const std::vector<SectionSpan>& sections, int pos)
{
    const auto after = std::upper_bound(sections.begin(), sections.end(), pos,
                                        [](int p, const SectionSpan& s) { return p < s.start; });
    return after == sections.begin() ? 0 : size_t(after - sections.begin() - 1);
}

} // namespace zorim
