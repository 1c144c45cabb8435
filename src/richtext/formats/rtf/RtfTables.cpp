#include "RtfTables.h"

#include "RtfBuilder.h"
#include "RtfKeptGroups.h"
#include "RtfTablesAhead.h"
#include "RtfTokenizer.h"
#include "richtext/document/DocFormats.h"
#include "richtext/document/TableFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <climits>

namespace zorim::rtf {
namespace {

constexpr int kRowsAhead = 256; // rows put in at once, at most, as a table grows without a count
constexpr int kCellsAppended = 8192; // cells of rows counted ahead put in at once, at most
constexpr int32_t kDefaultBorderTwips = 10;
constexpr int32_t kDefaultTableTwips = 9000; // the width shared by cells no \cellx places
constexpr const char* kRowBorderWords[] = {"trbrdrl", "trbrdrt", "trbrdrr", "trbrdrb", "trbrdrh", "trbrdrv"};
// A cell's sides in the order its lists keep them: left, top, right, bottom.
constexpr int kBorderBrushes[4] = {QTextFormat::TableCellLeftBorderBrush, QTextFormat::TableCellTopBorderBrush,
                                   QTextFormat::TableCellRightBorderBrush, QTextFormat::TableCellBottomBorderBrush};
// The padding words by side, as Word names them (left and top swapped), each with its unit (twips).
constexpr const char* kPaddingWords[4] = {"\\clpadft3\\clpadt", "\\clpadfl3\\clpadl", "\\clpadfr3\\clpadr",
                                          "\\clpadfb3\\clpadb"};

QString wordText(std::string_view name, bool hasNumber, int32_t number)
{
    QString out = u'\\' + QString::fromLatin1(name.data(), qsizetype(name.size()));
    if (hasNumber)
        out += QString::number(number);
    return out;
}

qreal pixels(int32_t twips) { return twips / 15.0; } // 96 pixels an inch

QTextFrameFormat::BorderStyle qtBorderStyle(int style)
{
    switch (style) {
    case 0: return QTextFrameFormat::BorderStyle_None;
    case 4: return QTextFrameFormat::BorderStyle_Double;
    case 5: return QTextFrameFormat::BorderStyle_Dotted;
    case 6: case 8: case 9: return QTextFrameFormat::BorderStyle_Dashed;
    case 10: return QTextFrameFormat::BorderStyle_DotDotDash;
    case 14: return QTextFrameFormat::BorderStyle_Inset;
    case 15: return QTextFrameFormat::BorderStyle_Outset;
    default: return QTextFrameFormat::BorderStyle_Solid;
    }
}

QList<int> intList(const QVariant& v, int n)
{
    QList<int> list = v.value<QList<int>>();
    list.resize(n);
    return list;
}

} // namespace

TableBuilder::TableBuilder(QTextCursor& cursor, const DocumentTables& tables, bool nested)
    : m_cursor(cursor), m_tables(tables), m_enabled(cursor.currentTable() == nullptr), m_nested(nested)
{
}

void TableBuilder::setLookahead(const Tokenizer* tokens, OpenGroups groups)
{
    m_tokens = tokens;
    if (!m_nested)
        m_groups = std::move(groups);
    m_lookahead = tokens ? 4 * int64_t(tokens->rest().size()) + (1 << 20) : 0;
    m_rowLookahead = m_lookahead;
}

void TableBuilder::rowDefaults()
{
    m_def = RowDef{};
    m_pending = CellDef{};
    m_defined = true;
    m_side = kBorderSideNone;
}

void TableBuilder::word(uint8_t index, int32_t value)
{
    const bool cellSide = m_side >= 0 && m_side < 4;
    const bool rowSide = m_side >= kBorderSideRow;
    switch (index) {
    case tp::CellX:
        if (int(m_def.cells.size()) < kMaxTableColumns) {
            m_pending.right = value;
            m_pending.hasRight = true;
            m_def.cells.push_back(std::move(m_pending));
        }
        m_pending = CellDef{};
        m_side = kBorderSideNone;
        return;
    case tp::RowLeft: m_def.left = value; return;
    case tp::RowGap: m_def.gap = value; return;
    case tp::RowHeight: m_def.height = value; return;
    case tp::RowHeader: m_def.header = value != 0; return;
    case tp::MergeH: m_pending.mergeH = value; return;
    case tp::MergeV: m_pending.mergeV = value; return;
    case tp::Shading: m_pending.shading = value; return;
    case tp::BorderSide:
        m_side = value;
        if (m_side >= kBorderSideRow)
            m_def.extra += u'\\' + QLatin1String(kRowBorderWords[m_side - kBorderSideRow]);
        return;
    case tp::BorderWidth:
        if (cellSide)
            m_pending.border[m_side] = value;
        else if (rowSide)
            m_def.extra += QStringLiteral("\\brdrw") + QString::number(value);
        return;
    case tp::BorderStyle:
        if (cellSide) {
            m_pending.style[m_side] = value;
            if (value == 0)
                m_pending.border[m_side] = 0;
            else if (m_pending.border[m_side] == 0)
                m_pending.border[m_side] = kDefaultBorderTwips;
        } else if (rowSide) {
            m_def.extra += value > 0 ? u'\\' + QLatin1String(kBorderStyles[value]) : QStringLiteral("\\brdrnone");
        }
        return;
    case tp::BorderColor:
        if (cellSide)
            m_pending.color[m_side] = value;
        return;
    case tp::PadLeft: case tp::PadTop: case tp::PadRight: case tp::PadBottom:
        m_pending.padding[index - tp::PadLeft] = value;
        return;
    case tp::PadUnitLeft: case tp::PadUnitTop: case tp::PadUnitRight: case tp::PadUnitBottom:
        m_pending.paddingUnit[index - tp::PadUnitLeft] = value;
        return;
    default: return;
    }
}

void TableBuilder::unknownWord(std::string_view name, bool hasNumber, int32_t number)
{
    // Only words of a row's definition, after the file has started one.
    const bool cellWord = name.starts_with("cl");
    // Words that refer to the colour table, which the writer numbers anew, are not kept.
    if (!(cellWord || name.starts_with("tr") || name.starts_with("tbl")) || refersToColor(name))
        return;
    if (!m_defined)
        return; // before any row: a document setting that happens to start alike (\truncex)
    QString& extra = cellWord ? m_pending.extra : m_def.extra;
    if (extra.size() < 4096)
        extra += wordText(name, hasNumber, number);
}

int TableBuilder::cellsAhead() { return m_tokens ? ahead::cellsAhead(*m_tokens, m_lookahead, m_nested) : 0; }

int TableBuilder::rowsAhead(int columns, int limit)
{
    if (!m_countRows || !m_tokens || !m_groups)
        return 0;
    int64_t used = 0;
    const int rows = ahead::rowsAhead(*m_tokens, m_groups, columns, limit, std::min(m_lookahead, m_rowLookahead), used);
    m_rowLookahead -= used;
    return rows;
}

void TableBuilder::growTable()
{
    // The count ahead stopped short of this row. Qt puts the cells of rows it appends in one
    // place, each before the ones put in just before it, which costs the square of their
    // number: rows counted ahead go in a bounded number of cells at a time, and where there is
    // no count, a quarter of the table (at most kRowsAhead), the spare ones taken out at its end.
    const int counted = 1 + rowsAhead(m_table->columns(), std::max(1, kCellsAppended / m_table->columns()) - 1);
    const int room = std::clamp(m_rowsUsed / 4, 1, kRowsAhead);
    m_table->appendRows(std::max(counted, room));
    m_rowsCounted = counted >= room;
}

void TableBuilder::openRow(bool atCell)
{
    const int count = std::clamp(m_expectedCells > 0 ? m_expectedCells : cellsAhead() + (atCell ? 1 : 0), 1,
                                 int(kMaxTableColumns));
    if (m_table && m_table->columns() != count)
        closeTable();
    if (!m_table) {
        m_cellFormatsLeft -= count;
        if (m_cellFormatsLeft < 0) {
            m_enabled = false; // this row and every one after it read as text
            return;
        }
        QTextTableFormat format;
        format.setBorder(0);
        format.setCellPadding(0);
        format.setCellSpacing(0);
        format.setMargin(0);
        const int follow = rowsAhead(count, INT_MAX);
        m_table = m_cursor.insertTable(1 + follow, count, format);
        m_rowsUsed = 0;
        m_rowsCounted = follow > 0;
    } else if (m_rowsUsed == m_table->rows()) {
        growTable();
    }
    m_row = m_rowsUsed++;
    m_cell = 0;
    m_rowOpen = true;
    m_cursor.setPosition(m_table->cellAt(m_row, 0).firstPosition());
}

bool TableBuilder::nextCell()
{
    if (!m_rowOpen || m_cell + 1 >= m_table->columns())
        return false;
    ++m_cell;
    m_cursor.setPosition(m_table->cellAt(m_row, m_cell).firstPosition());
    return true;
}

QTextTableCellFormat TableBuilder::cellFormat(int column, int columns) const
{
    using namespace tableprop;
    // Cells the definition does not place share the width up to its last edge.
    const int defined = int(m_def.cells.size());
    CellDef def = column < defined ? m_def.cells[size_t(column)] : CellDef{};
    if (defined < columns) {
        const int32_t end = defined > 0 ? m_def.cells.back().right : m_def.left + kDefaultTableTwips;
        const int64_t width = std::max<int64_t>(1, (int64_t(end) - m_def.left) / columns);
        def.right = int32_t(std::clamp<int64_t>(m_def.left + width * (column + 1), INT32_MIN, INT32_MAX));
    }
    QTextTableCellFormat f;
    f.setProperty(CellRightTwips, def.right);
    f.setProperty(RowLeftTwips, m_def.left);
    f.setProperty(RowGapTwips, m_def.gap);
    f.setProperty(RowHeightTwips, m_def.height);
    f.setProperty(RowHeader, m_def.header);
    f.setProperty(MergeHorizontal, def.mergeH);
    f.setProperty(MergeVertical, def.mergeV);
    f.setProperty(BorderTwips, QVariant::fromValue(QList<int>(def.border, def.border + 4)));
    f.setProperty(BorderStyles, QVariant::fromValue(QList<int>(def.style, def.style + 4)));
    if (!def.extra.isEmpty())
        f.setProperty(CellExtraRtf, def.extra);
    if (!m_def.extra.isEmpty())
        f.setProperty(RowExtraRtf, m_def.extra);
    const auto& colors = m_tables.colors;
    if (def.shading > 0 && size_t(def.shading) < colors.size() && colors[size_t(def.shading)])
        f.setBackground(colorFromRef(*colors[size_t(def.shading)]));
    // A border's colour is its brush; one of automatic colour has none.
    for (int i = 0; i < 4; ++i) {
        const int32_t c = def.color[i];
        if (def.style[i] && c > 0 && size_t(c) < colors.size() && colors[size_t(c)])
            f.setProperty(kBorderBrushes[i], QBrush(colorFromRef(*colors[size_t(c)])));
    }
    QList<int> padding(4, -1);
    for (int i = 0; i < 4; ++i)
        padding[i] = def.paddingUnit[i] == 3 ? def.padding[i] : -1;
    if (padding != QList<int>(4, -1))
        f.setProperty(PaddingTwips, QVariant::fromValue(padding));
    // What Qt's own layout draws.
    f.setPadding(0);
    f.setLeftPadding(pixels(padding[0] >= 0 ? padding[0] : m_def.gap));
    f.setRightPadding(pixels(padding[2] >= 0 ? padding[2] : m_def.gap));
    f.setTopPadding(pixels(std::max(0, padding[1])));
    f.setBottomPadding(pixels(std::max(0, padding[3])));
    const auto side = [&](int i) { return def.style[i] ? std::max<qreal>(1, pixels(def.border[i])) : 0; };
    f.setLeftBorder(side(0));
    f.setTopBorder(side(1));
    f.setRightBorder(side(2));
    f.setBottomBorder(side(3));
    f.setLeftBorderStyle(qtBorderStyle(def.style[0]));
    f.setTopBorderStyle(qtBorderStyle(def.style[1]));
    f.setRightBorderStyle(qtBorderStyle(def.style[2]));
    f.setBottomBorderStyle(qtBorderStyle(def.style[3]));
    return f;
}

void TableBuilder::closeRow()
{
    if (!m_rowOpen)
        return;
    m_rowOpen = false;
    const int columns = m_table->columns();
    // A definition unlike the last one makes a cell format for each column. Past the document's
    // bound a row takes the formats of the row before it (a table's first row makes its own,
    // and tables are bounded when they start), so rows that change their definition one after
    // another cannot make formats without end.
    const bool fresh = int(m_formats.size()) != columns;
    if (fresh || (!(m_formatsDef == m_def) && m_cellFormatsLeft >= columns)) {
        m_formats.clear();
        m_formatsDef = m_def;
        m_cellFormatsLeft -= columns;
        for (int c = 0; c < columns; ++c)
            m_formats.push_back(cellFormat(c, columns));
    }
    for (int c = 0; c < columns; ++c)
        m_table->cellAt(m_row, c).setFormat(m_formats[size_t(c)]);
    if (m_row == 0) {
        // Qt's own layout takes the column widths from the first row.
        QTextTableFormat format = m_table->format();
        QList<QTextLength> widths;
        int32_t left = m_def.left;
        for (int c = 0; c < columns; ++c) {
            const int32_t right = m_table->cellAt(0, c).format().intProperty(tableprop::CellRightTwips);
            widths.append(QTextLength(QTextLength::FixedLength, pixels(std::max(1, right - left))));
            left = right;
        }
        format.setColumnWidthConstraints(widths);
        m_table->setFormat(format);
    }
}

void TableBuilder::closeTable()
{
    if (!m_table)
        return;
    closeRow();
    if (m_rowsUsed < m_table->rows()) {
        if (m_rowsCounted)
            m_countRows = false; // rows counted ahead did not come: the count missed something
        removeSpareRows();
    }
    m_cursor.setPosition(m_table->lastPosition() + 1);
    m_table = nullptr;
}

void TableBuilder::removeSpareRows()
{
    // Qt joins the last cell's last paragraph to the first spare cell, whose empty formats the
    // paragraph then takes: its own are put back.
    QTextCursor last(m_cursor);
    const auto lastCell = [&] { return m_table->cellAt(m_rowsUsed - 1, m_table->columns() - 1).lastPosition(); };
    last.setPosition(lastCell());
    const QTextBlockFormat block = last.blockFormat();
    const QTextCharFormat chars = last.blockCharFormat();
    m_table->removeRows(m_rowsUsed, m_table->rows() - m_rowsUsed);
    last.setPosition(lastCell());
    last.setBlockFormat(block);
    last.setBlockCharFormat(chars);
}

// ---- writing ---------------------------------------------------------------------------------

TablePart tablePartAt(const QTextBlock& block, int from, int to, const QTextTable* within)
{
    const QTextDocument* doc = block.document();
    if (!doc || doc->rootFrame()->childFrames().isEmpty())
        return {};
    QTextCursor at(block);
    QTextTable* innermost = at.currentTable();
    if (!innermost)
        return {};
    // The tables the block stands in, from the outermost in.
    std::vector<QTextTable*> chain;
    for (QTextFrame* f = innermost; f; f = f->parentFrame()) {
        if (auto* t = qobject_cast<QTextTable*>(f))
            chain.insert(chain.begin(), t);
    }
    size_t level = 0;
    if (within) {
        const auto it = std::find(chain.begin(), chain.end(), within);
        if (it == chain.end() || it + 1 == chain.end())
            return {};
        level = size_t(it - chain.begin()) + 1;
    }
    for (; level < chain.size(); ++level) {
        QTextTable* table = chain[level];
        const int start = table->firstPosition(), end = table->lastPosition();
        const QTextTableCell first = table->cellAt(std::clamp(from, start, end));
        const QTextTableCell last = table->cellAt(std::clamp(to, start, end));
        if (!first.isValid() || !last.isValid())
            return {};
        const bool inside = from >= start && to <= end;
        if (inside && first == last) {
            if (within)
                return {};
            continue; // in one cell: a table inside it, if the range takes part of one
        }
        TablePart part;
        part.table = table;
        part.firstRow = first.row();
        part.lastRow = last.row();
        part.firstColumn = inside ? std::min(first.column(), last.column()) : 0;
        part.lastColumn = inside ? std::max(first.column(), last.column()) : table->columns() - 1;
        return part;
    }
    return {};
}

bool holdsTablePlace(const QTextBlock& block)
{
    if (block.length() != 1)
        return false;
    const QTextBlock next = block.next();
    if (!next.isValid())
        return false;
    QTextTable* after = QTextCursor(next).currentTable();
    if (!after || after->firstPosition() != next.position())
        return false;
    const QTextBlock previous = block.previous();
    if (!previous.isValid())
        return true;
    // The first paragraph of a cell, with a table inside the cell right after it.
    if (QTextTable* outer = qobject_cast<QTextTable*>(after->parentFrame());
        outer && outer->cellAt(block.position()).firstPosition() == block.position())
        return true;
    // Right after a table of another count: reading puts the place back; of the same count the
    // two tables would become one.
    QTextTable* before = QTextCursor(previous).currentTable();
    return before && before->lastPosition() + 1 == block.position() && before->columns() != after->columns();
}

namespace {

// A row's definition, \trowd to the last \cellx, for the columns of the part.
QByteArray rowDefinition(const TablePart& part, int row, const std::function<int(const QColor&)>& colorIndex)
{
    using namespace tableprop;
    const QTextTableCellFormat rowFormat = part.table->cellAt(row, part.firstColumn).format().toTableCellFormat();
    QByteArray out = "\\trowd";
    const auto word = [&](const char* name, int value) { out += name + QByteArray::number(value); };
    word("\\trgaph", rowFormat.intProperty(RowGapTwips));
    const int left = rowFormat.intProperty(RowLeftTwips);
    if (left)
        word("\\trleft", left);
    if (const int height = rowFormat.intProperty(RowHeightTwips))
        word("\\trrh", height);
    if (rowFormat.boolProperty(RowHeader))
        out += "\\trhdr";
    out += rowFormat.stringProperty(RowExtraRtf).toLatin1();
    // A part that leaves columns out keeps the widths of the ones it has.
    int shift = 0;
    if (part.firstColumn > 0) {
        const int leftEdge = part.table->cellAt(row, part.firstColumn - 1).format().intProperty(CellRightTwips);
        shift = leftEdge - left;
    }
    for (int c = part.firstColumn; c <= part.lastColumn; ++c) {
        const QTextTableCellFormat f = part.table->cellAt(row, c).format().toTableCellFormat();
        const int mergeH = f.intProperty(MergeHorizontal), mergeV = f.intProperty(MergeVertical);
        if (mergeH == int(Merge::First)) out += "\\clmgf";
        if (mergeH == int(Merge::Continued)) out += "\\clmrg";
        if (mergeV == int(Merge::First)) out += "\\clvmgf";
        if (mergeV == int(Merge::Continued)) out += "\\clvmrg";
        const QList<int> widths = intList(f.property(BorderTwips), 4);
        const QList<int> styles = intList(f.property(BorderStyles), 4);
        static const char* sides[] = {"\\clbrdrl", "\\clbrdrt", "\\clbrdrr", "\\clbrdrb"};
        for (int i = 0; i < 4; ++i) {
            const int style = styles[i] > 0 && styles[i] < kBorderStyleCount ? styles[i] : (widths[i] > 0 ? 1 : 0);
            if (!style)
                continue;
            out += sides[i];
            out += '\\';
            out += kBorderStyles[style];
            word("\\brdrw", std::max(1, widths[i]));
            if (f.hasProperty(kBorderBrushes[i]) && f.brushProperty(kBorderBrushes[i]).style() != Qt::NoBrush)
                word("\\brdrcf", colorIndex(f.brushProperty(kBorderBrushes[i]).color()));
        }
        if (f.hasProperty(PaddingTwips)) {
            const QList<int> padding = intList(f.property(PaddingTwips), 4);
            for (int i = 0; i < 4; ++i) {
                if (padding[i] >= 0)
                    word(kPaddingWords[i], padding[i]);
            }
        }
        if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
            word("\\clcbpat", colorIndex(f.background().color()));
        out += f.stringProperty(CellExtraRtf).toLatin1();
        word("\\cellx", f.intProperty(CellRightTwips) - shift);
    }
    return out;
}

} // namespace

QTextBlock writeTable(const TablePart& part, QByteArray& out, const std::function<int(const QColor&)>& colorIndex,
                      const std::function<void(int, int)>& cell, bool nested)
{
    for (int r = part.firstRow; r <= part.lastRow; ++r) {
        if (!nested)
            out += rowDefinition(part, r, colorIndex);
        for (int c = part.firstColumn; c <= part.lastColumn; ++c) {
            const QTextTableCell at = part.table->cellAt(r, c);
            cell(at.firstPosition(), at.lastPosition());
        }
        if (nested)
            out += "{\\*\\nesttableprops" + rowDefinition(part, r, colorIndex) + "\\nestrow}{\\nonesttables\\par}\r\n";
        else
            out += "\\row\r\n";
    }
    return part.table->document()->findBlock(part.table->cellAt(part.lastRow, part.table->columns() - 1).lastPosition());
}

} // namespace zorim::rtf
