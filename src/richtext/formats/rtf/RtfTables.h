#pragma once
// Tables as the RTF reader builds them and the writer writes them (how a table lives in the
// document: richtext/document/TableFormat.h).
//
// Reading: a row's definition (\trowd, \trleft, \cellx, \clbrdr*, ...) is collected as it
// comes and put on the row's cells when the row ends; cell words the document has no
// property for are kept as words. A row is put in when its first content comes, with as many
// cells as the file gives it \cell words up to its \row (looked up ahead in the tokens, at most
// kMaxTableColumns): a row of the same count as the one before it, with nothing between them,
// goes on the same table, any other starts a new one. Cells beyond the row's count are read
// into its last cell after a tab, as the flat reader had them.
//
// Qt makes a table's grid anew, all its cells, whenever rows are put in or taken out, and takes
// a spare row's cells out one by one, each looked up in a list of them all. So a table's rows
// are counted ahead when its first row comes (RtfTablesAhead.h) and the table is made at that
// size, with no rows to spare when it ends. Where the count stops short, the table grows in
// steps (see growTable).
#include "RtfKeywords.h"

#include <QColor>
#include <QString>
#include <QTextTableCellFormat>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class QTextCursor;
class QTextTable;
class QTextBlock;
class QTextDocument;

namespace zorim::rtf {

class Tokenizer;
struct DocumentTables;

// The border style words, by the index the cell format keeps (0: no border).
inline constexpr const char* kBorderStyles[] = {
    "",          "brdrs",    "brdrth",      "brdrsh",    "brdrdb",     "brdrdot",     "brdrdash",
    "brdrhair",  "brdrdashsm", "brdrdashd", "brdrdashdd", "brdrtriple", "brdrwavy",   "brdrwavydb",
    "brdrinset", "brdroutset", "brdremboss", "brdrengrave", "brdrframe", "brdrdashdotstr"};
inline constexpr int kBorderStyleCount = int(sizeof kBorderStyles / sizeof kBorderStyles[0]);

// A group the reader has open, as the look-ahead for rows sees it.
struct OpenGroup {
    // Document text, shown, whose end does nothing but restore the group around it; false
    // also when the reader is in the middle of something the look-ahead cannot follow.
    bool plain = false;
    bool inTable = false;          // \intbl
    int32_t skipAfterUnicode = 1;  // \uc
    int32_t skipping = 0;          // characters or words still skipped after a \u (innermost group)
    bool singleBytes = false;      // every byte of text is a character of its own (no double-byte page)
    size_t room = 0;               // groups that may still open with a state of their own
};
// The reader's open groups, `out` counting outwards from the innermost (0); not plain past
// the outermost.
using OpenGroups = std::function<OpenGroup(size_t out)>;

class TableBuilder {
public:
    // nested: the builder of tables inside a table's cells (\nestcell, \nestrow), whose rows are
    // not counted ahead.
    TableBuilder(QTextCursor& cursor, const DocumentTables& tables, bool nested = false);

    // The reader's tokens and groups, to count a row's cells before it is put in, and the rows
    // of a table ahead.
    void setLookahead(const Tokenizer* tokens, OpenGroups groups);
    // False when reading into a table cell: tables read there stay text.
    bool enabled() const { return m_enabled; }
    // The cells of the rows to come, for a reader that knows them from the table's grid
    // rather than from tokens ahead; 0: counted ahead.
    void expectCells(int count) { m_expectedCells = count; }

    // The row definition's words.
    void rowDefaults();
    void word(uint8_t index, int32_t value);
    // A word of the file no part of the reader knows: kept when it is a table word.
    void unknownWord(std::string_view name, bool hasNumber, int32_t number);

    bool rowOpen() const { return m_rowOpen; }
    // A table has just ended with a row: a row of its count goes on in it.
    bool tableOpen() const { return m_table != nullptr; }

    // Puts in a row at the cursor and puts the cursor in its first cell. atCell: the row's
    // first \cell is the word being read.
    void openRow(bool atCell);
    // Moves the cursor to the next cell of the row; false when the row has no more cells.
    bool nextCell();
    // The row ends: its cells take the definition. The cursor stays in its last cell.
    void closeRow();
    // The table ends: the cursor goes to the paragraph after it.
    void closeTable();

private:
    struct CellDef {
        int32_t right = 0;
        bool hasRight = false;
        int32_t border[4] = {0, 0, 0, 0};
        int32_t style[4] = {0, 0, 0, 0};
        int32_t color[4] = {0, 0, 0, 0}; // colour-table indexes, 0 automatic
        int32_t padding[4] = {-1, -1, -1, -1}; // twips, -1 not stated
        int32_t paddingUnit[4] = {3, 3, 3, 3}; // 3 twips; any other: the padding is not the cell's
        int32_t shading = 0;
        int32_t mergeH = 0, mergeV = 0;
        QString extra;
        bool operator==(const CellDef&) const = default;
    };
    struct RowDef {
        int32_t left = 0, gap = 0, height = 0;
        bool header = false;
        QString extra;
        std::vector<CellDef> cells;
        bool operator==(const RowDef&) const = default;
    };

    int cellsAhead();
    int rowsAhead(int columns, int limit);
    void growTable();
    void removeSpareRows();
    QTextTableCellFormat cellFormat(int column, int columns) const;

    QTextCursor& m_cursor;
    const DocumentTables& m_tables;
    const Tokenizer* m_tokens = nullptr;
    OpenGroups m_groups;
    int64_t m_lookahead = 0; // bytes the look-ahead for cells may still read: a bound on the work per file
    int64_t m_rowLookahead = 0; // the same for rows
    // Rows are counted ahead until a table ends with rows counted that did not come: the count
    // is then not to be trusted for this file.
    bool m_countRows = true;
    bool m_enabled = true;
    int m_expectedCells = 0;
    const bool m_nested;
    // Cell formats the document may still take. Qt keeps each table's cell formats apart (they
    // name their table), about a kilobyte each, so a file of many small wide tables would cost
    // hundreds of times its size; past the bound the rows read as text, cells after tabs.
    int64_t m_cellFormatsLeft = kMaxCellFormats;

    RowDef m_def;
    bool m_defined = false; // a row definition has started (\trowd)
    CellDef m_pending; // the cell whose words come before its \cellx
    int32_t m_side = kBorderSideNone;
    // The cell formats made of a definition: rows of the same one share them.
    RowDef m_formatsDef;
    std::vector<QTextTableCellFormat> m_formats;

    // the table being read
    QTextTable* m_table = nullptr;
    int m_rowsUsed = 0; // rows of m_table read; the rest are room put in ahead
    bool m_rowsCounted = false; // that room is rows counted ahead
    int m_row = 0, m_cell = 0;
    bool m_rowOpen = false;
};

// Writing. The part of a table a written range covers: whole cells, the rows from the first
// to the last it touches; the columns between two cells it joins when it starts and ends in
// cells of one table, else all.
struct TablePart {
    QTextTable* table = nullptr;
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
};

// The table the block stands in as a part of [from, to); no table when the range lies in one
// cell (its text is then written as paragraphs). within: the table whose cell is being written,
// whose tables inside that cell are the ones asked for; null: the outermost table, or where the
// range lies in one of its cells, the table inside that cell the range takes part of.
TablePart tablePartAt(const QTextBlock& block, int from, int to, const QTextTable* within = nullptr);
// The empty paragraph the document must keep before a table at its start, at its cell's start
// or right after another table: written as nothing, since reading a table puts it back.
bool holdsTablePlace(const QTextBlock& block);
// Writes the part's rows: each row's definition (colours by colorIndex), then each cell by
// cell(first, last position), which writes its paragraphs and \cell; gives the part's last block.
// nested: a table in a cell, each row's definition after its cells in the group other readers
// leave out, as \nestrow ends it, and a paragraph break for readers that know no nested tables.
QTextBlock writeTable(const TablePart& part, QByteArray& out, const std::function<int(const QColor&)>& colorIndex,
                      const std::function<void(int, int)>& cell, bool nested = false);

} // namespace zorim::rtf
