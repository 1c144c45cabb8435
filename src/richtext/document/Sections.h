#pragma once
// Sections: runs of paragraphs with a page of their own (paper, margins, columns, how they
// start) and their own headers and footers. The first section's page and headers are the
// document's (the root frame's page setup and kept groups), so a document of one section is
// nothing more; each later section's record rides on its first paragraph's block.
#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"

#include <QTextBlockFormat>

#include <cstdint>
#include <optional>
#include <vector>

class QTextBlock;
class QTextDocument;

namespace zorim {

namespace docprop {
inline constexpr int Section = QTextFormat::UserProperty + 240;    // a SectionSetup: the block starts a section
// A number made from the record: formats are told apart by a hash of their properties, and
// the record's own property has none that differs between records.
inline constexpr int SectionKey = QTextFormat::UserProperty + 241;
}

// How a section starts, in the order of RTF's words (\sbknone, \sbkcol, \sbkpage, \sbkeven, \sbkodd).
namespace sbk {
enum : int32_t { None, Column, Page, Even, Odd };
}

struct SectionSetup {
    PageSetup page;               // the section's paper and margins (-1: none stated)
    int32_t breakKind = sbk::Page;
    int32_t columns = 1;
    bool titlePage = false;       // its first page has the first-page header and footer
    // Its own \header… and \footer… groups (a kind it has none of: the section before's holds),
    // and in words the distances of the header and footer from the paper's edge (\headeryN \footeryN).
    KeptGroups headers;
    bool operator==(const SectionSetup&) const = default;
};

// A section as printing sees it: where it starts and its record.
struct SectionSpan {
    int start = 0; // the position of its first paragraph
    SectionSetup setup;
};

// The record a block carries when it starts a section.
std::optional<SectionSetup> sectionOf(const QTextBlockFormat& format);
void setSection(QTextBlockFormat& format, const SectionSetup& setup);
void clearSection(QTextBlockFormat& format);

// The first section's record, as the document keeps it (its page setup and kept groups).
SectionSetup firstSection(const QTextDocument& doc);

// Every section in order, the first at position 0. A scan of the blocks; one entry for a
// document of one section.
std::vector<SectionSpan> sectionsOf(const QTextDocument& doc);

// The section holding position pos (an index into sections).
size_t sectionAt(const std::vector<SectionSpan>& sections, int pos);

} // namespace zorim


