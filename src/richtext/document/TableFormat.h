#pragma once
// How a table lives in the document, for everything that reads, writes, lays out or edits one.
//
// A table is a QTextTable in the QTextDocument: every cell holds its own paragraphs (blocks)
// with their formats. A run of rows with the same number of cells is one table; a row with
// another number of cells starts the next table. Qt's own table and cell formats carry what Qt
// can draw (cell background for shading, border widths, brushes and styles per side); what a
// document states exactly rides along as the user properties below, so a table is written back
// as it was read, whatever the layout makes of it.
//
// Row properties are stated on the cell format of every cell of the row, since Qt has no row
// object: a row's values are those of its first cell.
#include <QTextFormat>

namespace zorim::tableprop {

// Cell format: the cell's right edge in twips, measured as the file states it (from the
// margin, the row's left edge included), so rows of one table may differ.
inline constexpr int CellRightTwips = QTextFormat::UserProperty + 40;
// Cell format, per row: the row's left edge and the gap left and right inside each cell, twips.
inline constexpr int RowLeftTwips = QTextFormat::UserProperty + 41;
inline constexpr int RowGapTwips = QTextFormat::UserProperty + 42;
// Cell format, per row: the row's height in twips: 0 automatic, > 0 at least, < 0 exactly.
inline constexpr int RowHeightTwips = QTextFormat::UserProperty + 43;
// Cell format, per row: the row repeats at the top of every page (bool).
inline constexpr int RowHeader = QTextFormat::UserProperty + 44;
// Cell format: merging with neighbours, as Merge below.
inline constexpr int MergeHorizontal = QTextFormat::UserProperty + 45;
inline constexpr int MergeVertical = QTextFormat::UserProperty + 46;
// Cell format: the border widths in twips, left, top, right, bottom (QList<int>, 0 none).
inline constexpr int BorderTwips = QTextFormat::UserProperty + 47;
// Cell format: properties of the cell and of its row the layout does not use, kept as the
// RTF words they were read as, so they are written back unchanged.
inline constexpr int CellExtraRtf = QTextFormat::UserProperty + 48;
inline constexpr int RowExtraRtf = QTextFormat::UserProperty + 49;
// Cell format: the border styles, left, top, right, bottom (QList<int>, 0 none), each an index
// into the styles the RTF reader and writer know (1 single, 4 double, 5 dotted, ...); the
// layout may draw any of them as a line.
inline constexpr int BorderStyles = QTextFormat::UserProperty + 50;

// Cell format: the padding between the cell's edges and its text in twips, left, top, right,
// bottom (QList<int>); -1 where the cell states none (the row's gap on the left and right, none
// above and below). A border's colour is Qt's border brush of its side; a border of automatic
// colour has none.
inline constexpr int PaddingTwips = QTextFormat::UserProperty + 51;
// On the empty paragraph Qt keeps before a table: the file had that paragraph, so it is
// written (without it the table would touch the one before or start the document).
inline constexpr int StatedBeforeTable = QTextFormat::UserProperty + 59;

enum class Merge : int { None = 0, First = 1, Continued = 2 };

// How deep tables go: a cell may hold a table whose cells hold none. A table read deeper than
// this is its cell's text (cells after tabs, rows as paragraphs).
inline constexpr int kMaxTableDepth = 2;

} // namespace zorim::tableprop
