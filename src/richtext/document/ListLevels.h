#pragma once
// Lists with levels. A list is one QTextList; each of its paragraphs stands at a level (0 to 8,
// on the paragraph's block format), and the list's format holds what each level shows: how
// its number is spelled, where it starts, the label's text around the numbers ("1.", "a)",
// "1.1.", a bullet) and the level's indent. A list made without level definitions (the bullet
// and numbering commands) shows its own numbering on every level. A paragraph's label is
// worked out from the paragraphs of its list before it: a level's number counts on from the
// last item of that level and starts again after an item of a level above it.
#include "richtext/document/CharFormat.h"

#include <QString>
#include <QStringList>
#include <QTextFormat>

#include <array>
#include <vector>

class QTextBlock;
class QTextCursor;
class QTextList;

namespace zorim {

namespace docprop {
// On a list item's block: its level, 0 to 8 (none: 0).
inline constexpr int ListLevel = QTextFormat::UserProperty + 200;
// On a list's format: the level definitions (listLevelsOf).
inline constexpr int ListLevels = QTextFormat::UserProperty + 201;
// On a list's format: which list it is, so that the parts of one list (copied or written in
// pieces) stay one list and two lists of one look stay two.
inline constexpr int ListKey = QTextFormat::UserProperty + 202;
} // namespace docprop

inline constexpr int kListLevelCount = 9;

struct ListLevel {
    uint16_t numbering = pfn::Arabic; // how the level's number is spelled; None: no number
    int32_t start = 1;
    // The label: the characters U+0000 to U+0008 stand for the number of that level.
    QString text;
    int32_t indent = -1;     // twips: where the following lines start (\li); -1: not stated
    int32_t firstIndent = 0; // twips, from indent to the first line (\fi)
    bool operator==(const ListLevel&) const = default;
};
using ListLevels = std::vector<ListLevel>;

// A level as the numbering commands make it: a bullet, or the number with a full stop.
ListLevel plainListLevel(uint16_t numbering, int level);
// The list's level definitions; a level it does not define shows the list's own numbering.
ListLevels listLevelsOf(const QTextListFormat& format);
ListLevel listLevelOf(const QTextListFormat& format, int level);
void setListLevels(QTextListFormat& format, const ListLevels& levels);
// Whether two lists show the same on every level.
bool sameLevels(const QTextListFormat& a, const QTextListFormat& b);
// The level of a paragraph, 0 to 8.
int listLevelOf(const QTextBlock& block);
// A list key unlike any given before in this run of the program.
int newListKey();

// A number spelled in a numbering style (1, a, A, i, I; bullets and none: nothing).
QString spelledNumber(uint16_t numbering, int n);

// The numbers of one list as its items come, level by level.
class ListCounter {
public:
    // The label of the next item, at this level.
    QString next(const QTextListFormat& format, int level);

private:
    QTextListFormat format_; // the format levels_ were read from
    bool read_ = false;
    std::array<ListLevel, kListLevelCount> levels_;
    std::array<int, kListLevelCount> count_{};
    std::array<bool, kListLevelCount> seen_{};
};

// The label a paragraph of a list shows ("2.", "b)", "•"); empty for a paragraph in no list.
QString listLabel(const QTextBlock& block);
// The labels of all the items of a list, in its order.
QStringList listLabels(const QTextList& list);

// Puts the cursor's paragraph at a level of its list, with that level's indent (a level that
// states none is 360 twips a level further in). False where the paragraph is in no list or
// the level is out of range: nothing changes.
bool setListLevel(QTextCursor& cursor, int level);

} // namespace zorim
