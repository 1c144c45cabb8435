#include "richtext/document/DocFormats.h"
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/document/TableFormat.h"

#include <QPainter>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>

// Tables: a row is laid out as one, its cells side by side and each cell's paragraphs stacked
// in the cell's width; it is drawn with its shading and borders, hit and counted in lines.

namespace zorim {

namespace {

// Cells with no gap of their own keep their text this far from their edges.
constexpr qreal kLeastCellGap = 2;
// A table whose paper width is not known (a view that does not wrap) is this wide: 6.5 inches.
constexpr qreal kTableWidthUnwrapped = 624;

qreal pixels(int twips) { return twips / kTwipsPerPixel; }

// The border widths of a cell in pixels (left, top, right, bottom) and their colours: as the
// document states them in twips, else Qt's own cell borders; 0 for none.
struct Borders {
    qreal width[4] = {0, 0, 0, 0};
    QBrush brush[4] = {Qt::black, Qt::black, Qt::black, Qt::black};
};

Borders bordersOf(const QTextCharFormat& f)
{
    Borders b;
    if (f.hasProperty(tableprop::BorderTwips)) {
        const QList<int> twips = f.property(tableprop::BorderTwips).value<QList<int>>();
        for (qsizetype i = 0; i < std::min<qsizetype>(4, twips.size()); ++i)
            b.width[i] = twips[i] > 0 ? std::max<qreal>(1, pixels(twips[i])) : 0;
    } else {
        const int sides[4] = {QTextFormat::TableCellLeftBorder, QTextFormat::TableCellTopBorder,
                              QTextFormat::TableCellRightBorder, QTextFormat::TableCellBottomBorder};
        for (int i = 0; i < 4; ++i)
            b.width[i] = f.hasProperty(sides[i]) ? std::max<qreal>(0, f.doubleProperty(sides[i])) : 0;
    }
    const int brushes[4] = {QTextFormat::TableCellLeftBorderBrush, QTextFormat::TableCellTopBorderBrush,
                            QTextFormat::TableCellRightBorderBrush, QTextFormat::TableCellBottomBorderBrush};
    for (int i = 0; i < 4; ++i) {
        if (f.hasProperty(brushes[i]) && f.brushProperty(brushes[i]).style() != Qt::NoBrush)
            b.brush[i] = f.brushProperty(brushes[i]);
    }
    return b;
}

// Borders centred on the cell's edges (neighbours draw a shared edge in the same place); on
// screen a side with none shows a thin grey guide line, unless the neighbour across it has a
// border there (bordered: per side).
void drawBorders(QPainter* painter, const QRectF& r, const QTextCharFormat& format, bool guides, bool openTop,
                 bool openBottom, const bool bordered[4])
{
    Borders b = bordersOf(format);
    // A cell merged with the one above or below has no edge between them.
    if (openTop)
        b.width[1] = -1;
    if (openBottom)
        b.width[3] = -1;
    const QRectF sides[4] = {
        QRectF(r.left() - b.width[0] / 2, r.top(), b.width[0], r.height()),
        QRectF(r.left(), r.top() - b.width[1] / 2, r.width(), b.width[1]),
        QRectF(r.right() - b.width[2] / 2, r.top(), b.width[2], r.height()),
        QRectF(r.left(), r.bottom() - b.width[3] / 2, r.width(), b.width[3]),
    };
    const QLineF edges[4] = {QLineF(r.topLeft(), r.bottomLeft()), QLineF(r.topLeft(), r.topRight()),
                             QLineF(r.topRight(), r.bottomRight()), QLineF(r.bottomLeft(), r.bottomRight())};
    for (int i = 0; i < 4; ++i) {
        if (b.width[i] > 0) {
            painter->fillRect(sides[i], b.brush[i]);
        } else if (guides && b.width[i] == 0 && !bordered[i]) {
            painter->setPen(QPen(QColor(200, 200, 200), 0));
            painter->drawLine(edges[i]);
        }
    }
}

} // namespace

ParagraphLayout::Row ParagraphLayout::rowOf(const QTextBlock& block) const
{
    QTextDocument* doc = document();
    QTextFrame* root = doc->rootFrame();
    if (!block.isValid() || root->childFrames().isEmpty())
        return {};
    const int pos = block.position();
    QTextFrame* frame = doc->frameAt(pos);
    // A table inside a cell is laid out as that cell's paragraphs: the row is the outer one's.
    while (frame && frame->parentFrame() && frame->parentFrame() != root)
        frame = frame->parentFrame();
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table)
        return {};
    const QTextTableCell cell = table->cellAt(pos);
    if (!cell.isValid())
        return {};
    return rowIn(table, cell.row());
}

ParagraphLayout::Row ParagraphLayout::rowIn(QTextTable* table, int r) const
{
    QTextDocument* doc = document();
    // A row's paragraphs run from its first cell that starts in it to the next row's first.
    const int rows = table->rows();
    const int columns = table->columns();
    auto firstIn = [&](int r) {
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell x = table->cellAt(r, c);
            if (x.row() == r && x.column() == c)
                return x.firstPosition();
        }
        return -1;
    };
    Row row;
    row.table = table;
    row.row = r;
    row.first = doc->findBlock(firstIn(row.row)).blockNumber();
    int end = table->lastPosition();
    for (int r = row.row + 1; r < rows; ++r) {
        const int next = firstIn(r);
        if (next >= 0) {
            end = next - 1;
            break;
        }
    }
    row.last = doc->findBlock(end).blockNumber();
    if (row.first < 0 || row.last < row.first)
        return {};
    return row;
}

QTextTable* ParagraphLayout::innerTableAt(const QTextTable* table, const QTextBlock& block) const
{
    QTextFrame* f = document()->frameAt(block.position());
    while (f && f->parentFrame() != table)
        f = f->parentFrame();
    return qobject_cast<QTextTable*>(f);
}

std::vector<ParagraphLayout::CellBox> ParagraphLayout::cellBoxes(const Row& row, qreal page, qreal x,
                                                                qreal width) const
{
    std::vector<int> spans;
    bool twips = true;
    std::vector<CellBox> boxes = rowCells(row, &spans, &twips);
    // The row's own properties (its left edge, its gap) are read from its first cell that
    // starts in it.
    const QTextCharFormat* rowFormat = nullptr;
    for (const CellBox& box : boxes) {
        if (box.first >= 0) {
            rowFormat = &box.format;
            break;
        }
    }
    if (boxes.empty() || !rowFormat)
        return boxes;
    if (twips)
        placeCellsAsStated(row, *rowFormat, spans, &boxes);
    else if (width >= 0)
        placeCellsInColumns(row.table, std::max<qreal>(1, width), spans, &boxes);
    else
        placeCellsInColumns(row.table, page >= 0 ? std::max<qreal>(1, page - 2 * margin()) : kTableWidthUnwrapped,
                            spans, &boxes);
    for (CellBox& box : boxes)
        box.x += x;
    mergeCells(&boxes);
    const qreal gap = rowFormat->hasProperty(tableprop::RowGapTwips)
                          ? std::max<qreal>(0, pixels(rowFormat->intProperty(tableprop::RowGapTwips)))
                          : std::max<qreal>(kLeastCellGap, row.table->format().cellPadding());
    for (CellBox& box : boxes) {
        // A cell's own padding where it states one, else the row's gap left and right.
        const QList<int> padding = box.format.property(tableprop::PaddingTwips).value<QList<int>>();
        const auto side = [&](int i, qreal otherwise) {
            return i < padding.size() && padding[i] >= 0 ? pixels(padding[i]) : otherwise;
        };
        const qreal most = std::max<qreal>(0, (box.width - 1) / 2);
        const qreal left = std::min(side(0, gap), most), right = std::min(side(2, gap), most);
        box.textX = box.x + left;
        box.textWidth = std::max<qreal>(1, box.width - left - right);
        box.padTop = side(1, 0);
        box.padBottom = side(3, 0);
    }
    return boxes;
}

std::vector<ParagraphLayout::CellBox> ParagraphLayout::rowCells(const Row& row, std::vector<int>* spans,
                                                                bool* twips) const
{
    QTextDocument* doc = document();
    QTextTable* table = row.table;
    const int columns = table->columns();
    std::vector<CellBox> boxes;
    boxes.reserve(size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const QTextTableCell cell = table->cellAt(row.row, c);
        if (!cell.isValid() || cell.column() != c)
            continue; // a cell spanning columns stands at its first one
        CellBox box;
        box.column = c;
        box.format = cell.format();
        if (cell.row() == row.row) {
            box.first = doc->findBlock(cell.firstPosition()).blockNumber();
            box.last = doc->findBlock(cell.lastPosition()).blockNumber();
        }
        *twips = *twips && box.format.hasProperty(tableprop::CellRightTwips);
        boxes.push_back(box);
        spans->push_back(std::max(1, cell.columnSpan()));
    }
    return boxes;
}

void ParagraphLayout::placeCellsAsStated(const Row& row, const QTextCharFormat& rowFormat,
                                         const std::vector<int>& spans, std::vector<CellBox>* boxes)
{
    // The right edges as the document states them, from the row's left edge. A cell Qt
    // spans over columns ends where the last of them does in a nearby row.
    QTextTable* table = row.table;
    const int columns = table->columns();
    auto spannedRight = [&](int lastColumn, int own) {
        for (int d = 1; d <= 8; ++d) {
            for (const int r : {row.row - d, row.row + d}) {
                if (r < 0 || r >= table->rows())
                    continue;
                const QTextTableCell other = table->cellAt(r, lastColumn);
                if (other.column() + other.columnSpan() - 1 == lastColumn
                    && other.format().hasProperty(tableprop::CellRightTwips))
                    return std::max(own, other.format().intProperty(tableprop::CellRightTwips));
            }
        }
        return own;
    };
    qreal left = pixels(rowFormat.intProperty(tableprop::RowLeftTwips));
    for (size_t i = 0; i < boxes->size(); ++i) {
        CellBox& box = (*boxes)[i];
        int right = box.format.intProperty(tableprop::CellRightTwips);
        if (spans[i] > 1)
            right = spannedRight(std::min(columns - 1, box.column + spans[i] - 1), right);
        box.x = left;
        box.width = std::max<qreal>(1, pixels(right) - left);
        left += box.width;
    }
}

void ParagraphLayout::placeCellsInColumns(const QTextTable* table, qreal avail, const std::vector<int>& spans,
                                          std::vector<CellBox>* boxes) const
{
    // Qt's column widths: fixed, a share of the width, or an equal part of what is left.
    const int columns = table->columns();
    std::vector<qreal> widths(size_t(columns), -1);
    const QList<QTextLength> constraints = table->format().columnWidthConstraints();
    qreal taken = 0;
    int open = columns;
    if (constraints.size() == columns) {
        for (int c = 0; c < columns; ++c) {
            const QTextLength& l = constraints[c];
            if (l.type() == QTextLength::FixedLength)
                widths[size_t(c)] = std::max<qreal>(1, l.rawValue());
            else if (l.type() == QTextLength::PercentageLength)
                widths[size_t(c)] = std::max<qreal>(1, avail * l.rawValue() / 100);
            if (widths[size_t(c)] >= 0) {
                taken += widths[size_t(c)];
                --open;
            }
        }
    }
    const qreal share = open > 0 ? std::max<qreal>(1, (avail - taken) / open) : 0;
    for (qreal& w : widths) {
        if (w < 0)
            w = share;
    }
    qreal x = 0;
    int c = 0;
    for (size_t i = 0; i < boxes->size(); ++i) {
        CellBox& box = (*boxes)[i];
        for (; c < box.column; ++c)
            x += widths[size_t(c)];
        box.x = x;
        box.width = 0;
        for (int k = 0; k < spans[i] && c + k < columns; ++k)
            box.width += widths[size_t(c + k)];
    }
}

void ParagraphLayout::mergeCells(std::vector<CellBox>* boxes)
{
    // A cell the document merges into the one on its left widens that one; its own
    // paragraphs (a merged cell's are empty) keep their place.
    std::vector<CellBox>& b = *boxes;
    for (size_t i = 1; i < b.size(); ++i) {
        if (b[i].format.intProperty(tableprop::MergeHorizontal) != int(tableprop::Merge::Continued))
            continue;
        size_t j = i - 1;
        while (j > 0 && b[j].merged)
            --j;
        b[j].width = b[i].x + b[i].width - b[j].x;
        b[i].merged = true;
    }
}

void ParagraphLayout::widenToRows(QTextBlock* first, QTextBlock* last) const
{
    // A change in a row of a table lays the whole row out again: it is as tall as its
    // tallest cell.
    QTextDocument* doc = document();
    if (const Row row = rowOf(*first))
        *first = doc->findBlockByNumber(row.first);
    if (const Row row = rowOf(*last))
        *last = doc->findBlockByNumber(row.last);
}

qreal ParagraphLayout::layRow(const Row& row, qreal page, int* lines, qreal* right) const
{
    const std::vector<CellBox> boxes = cellBoxes(row, page);
    if (right) {
        *right = 0;
        for (const CellBox& box : boxes)
            *right = std::max(*right, box.x + box.width + bordersOf(box.format).width[2] / 2);
    }
    int most = 1;
    const qreal height = layRowCells(row, boxes, 0, &most);
    if (lines)
        *lines = most;
    return height;
}

qreal ParagraphLayout::layRowCells(const Row& row, const std::vector<CellBox>& boxes, qreal y, int* most) const
{
    qreal tallest = 0;
    int rule = 0;
    bool ruleTaken = false;
    for (const CellBox& box : boxes) {
        if (box.first < 0)
            continue;
        if (!ruleTaken) {
            rule = box.format.intProperty(tableprop::RowHeightTwips);
            ruleTaken = true;
        }
        int count = 0;
        const qreal bottom = layCellContent(row.table, box.first, box.last, box.textX, y + box.padTop, box.textWidth, &count);
        tallest = std::max(tallest, bottom - y + box.padBottom);
        *most = std::max(*most, count);
    }
    // The row's own height: at least, or exactly (what is taller is cut off).
    if (rule > 0)
        tallest = std::max(tallest, pixels(rule));
    else if (rule < 0)
        tallest = -qreal(rule) / kTwipsPerPixel;
    return tallest;
}

qreal ParagraphLayout::layCellContent(const QTextTable* table, int first, int last, qreal x, qreal y, qreal width,
                                      int* lines) const
{
    QTextDocument* doc = document();
    const bool holdsTables = !table->childFrames().isEmpty();
    QTextBlock b = doc->findBlockByNumber(first);
    for (int i = first; i <= last && b.isValid(); ++i, b = b.next()) {
        if (QTextTable* inner = holdsTables ? innerTableAt(table, b) : nullptr) {
            // A table in the cell: its rows one below the other in the cell's width.
            // Its paragraphs count their lines one after another, as the cell's own do (a line
            // of the cell is found by counting its paragraphs' lines in order).
            InnerTable placed{x, width, {}};
            for (int r = 0; r < inner->rows(); ++r) {
                placed.tops.push_back(y);
                int most = 1;
                if (const Row row = rowIn(inner, r))
                    y += layRowCells(row, cellBoxes(row, -1, x, width), y, &most);
            }
            placed.tops.push_back(y);
            inner_[inner] = std::move(placed);
            const QTextBlock end = doc->findBlock(inner->lastPosition());
            for (; b.isValid() && b.blockNumber() <= end.blockNumber(); b = b.next())
                *lines += std::max(1, b.layout()->lineCount());
            b = end;
            i = end.blockNumber();
            continue;
        }
        const qreal h = layBlockIn(b, width, true);
        b.layout()->setPosition(QPointF(x, y));
        y += h;
        *lines += std::max(1, b.layout()->lineCount());
    }
    return y;
}

bool ParagraphLayout::ensureRow(const Row& row) const
{
    if (row.last >= heights_.size())
        return false;
    const qreal before = heights_.before(row.last + 1) - heights_.before(row.first);
    int lines = 1;
    qreal right = 0;
    const qreal height = layRow(row, pageWidth(), &lines, &right);
    for (int i = row.first; i <= row.last; ++i) {
        laidOut_.set(i, 1);
        heights_.set(i, i == row.first ? height : 0);
        lines_.set(i, i == row.first ? lines : 0);
        rights_.set(i, i == row.first ? right : 0);
    }
    return height != before;
}

void ParagraphLayout::drawRow(QPainter* painter, const Row& row, const QPointF& origin, qreal height, qreal page,
                              const PaintContext* context, const QColor& text, Band band) const
{
    drawRowCells(painter, row, cellBoxes(row, page), origin, 0, height, context, text, band, nullptr);
}

void ParagraphLayout::drawRowCells(QPainter* painter, const Row& row, const std::vector<CellBox>& boxes,
                                   const QPointF& origin, qreal rowTop, qreal height, const PaintContext* context,
                                   const QColor& text, Band band, const QTextFormat* chosenAll) const
{
    QTextDocument* doc = document();
    const qreal top = std::max(rowTop, band.top);
    const qreal bottom = std::min(rowTop + height, band.bottom);
    if (bottom <= top)
        return;
    // Cells a selection of whole cells takes.
    struct CellSelection {
        int row, rows, column, columns;
        QTextCharFormat format;
    };
    std::vector<CellSelection> cellSelections;
    if (context) {
        for (const Selection& sel : context->selections) {
            if (sel.cursor.hasComplexSelection() && sel.cursor.currentTable() == row.table) {
                CellSelection s;
                sel.cursor.selectedTableCells(&s.row, &s.rows, &s.column, &s.columns);
                s.format = sel.format;
                if (row.row >= s.row && row.row < s.row + s.rows)
                    cellSelections.push_back(s);
            }
        }
    }
    const int cursorWidth = property("cursorWidth").isValid() ? property("cursorWidth").toInt() : 1;
    const int continued = int(tableprop::Merge::Continued);
    // Whether the cell across a side has a border on it, where the guide line would cover it.
    const auto bordered = [&](size_t i, bool result[4]) {
        const CellBox& box = boxes[i];
        std::fill_n(result, 4, false);
        for (size_t j = i; j-- > 0;) {
            if (!boxes[j].merged) {
                result[0] = bordersOf(boxes[j].format).width[2] > 0;
                break;
            }
        }
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            if (!boxes[j].merged) {
                result[2] = bordersOf(boxes[j].format).width[0] > 0;
                break;
            }
        }
        if (row.row > 0)
            result[1] = bordersOf(row.table->cellAt(row.row - 1, box.column).format()).width[3] > 0;
        if (row.row + 1 < row.table->rows())
            result[3] = bordersOf(row.table->cellAt(row.row + 1, box.column).format()).width[1] > 0;
    };
    const bool holdsTables = !row.table->childFrames().isEmpty();
    for (size_t n = 0; n < boxes.size(); ++n) {
        const CellBox& box = boxes[n];
        const QRectF rect(origin.x() + box.x, origin.y() + top, box.width, bottom - top);
        const bool openTop = box.format.intProperty(tableprop::MergeVertical) == continued;
        const bool openBottom = row.row + 1 < row.table->rows()
                                && row.table->cellAt(row.row + 1, box.column).format().intProperty(tableprop::MergeVertical) == continued;
        const QTextFormat* chosen = chosenAll;
        for (const CellSelection& s : cellSelections) {
            if (box.column >= s.column && box.column < s.column + s.columns)
                chosen = &s.format;
        }
        const QBrush shading = chosen && chosen->hasProperty(QTextFormat::BackgroundBrush) ? chosen->background()
                                                                                           : box.format.background();
        if (shading.style() != Qt::NoBrush && !box.merged)
            painter->fillRect(rect, shading);
        painter->save();
        painter->setClipRect(rect, Qt::IntersectClip);
        QTextBlock b = box.first >= 0 ? doc->findBlockByNumber(box.first) : QTextBlock();
        for (int i = box.first; i <= box.last && b.isValid(); ++i, b = b.next()) {
            if (QTextTable* inner = holdsTables ? innerTableAt(row.table, b) : nullptr) {
                // A table in the cell, where laying the row out placed it.
                const auto placed = inner_.find(inner);
                if (placed != inner_.end() && placed->second.tops.size() == size_t(inner->rows()) + 1) {
                    const InnerTable& at = placed->second;
                    for (int r = 0; r < inner->rows(); ++r) {
                        if (const Row innerRow = rowIn(inner, r))
                            drawRowCells(painter, innerRow, cellBoxes(innerRow, -1, at.x, at.width), origin,
                                         at.tops[size_t(r)], at.tops[size_t(r) + 1] - at.tops[size_t(r)], context, text,
                                         band, chosen);
                    }
                }
                b = doc->findBlock(inner->lastPosition());
                i = b.blockNumber();
                continue;
            }
            drawCellBlock(painter, b, origin, context, chosen, text, band, cursorWidth);
        }
        painter->restore();
        if (!box.merged) {
            bool across[4] = {false, false, false, false};
            if (context)
                bordered(n, across);
            drawBorders(painter, rect, box.format, context != nullptr, openTop, openBottom, across);
        }
    }
}

void ParagraphLayout::drawCellBlock(QPainter* painter, const QTextBlock& b, const QPointF& origin,
                                    const PaintContext* context, const QTextFormat* chosen, const QColor& text,
                                    Band band, int cursorWidth) const
{
    QTextLayout* tl = b.layout();
    const QPointF at = origin + tl->position();
    if (context) {
        QList<QBrush> breakMarks;
        QList<QTextLayout::FormatRange> ranges = selectionRanges(b, *context, &breakMarks);
        if (chosen) {
            QTextLayout::FormatRange whole;
            whole.start = 0;
            whole.length = b.length();
            whole.format = chosen->toCharFormat();
            ranges.append(whole);
        }
        painter->setPen(text);
        tl->draw(painter, origin, ranges, context->clip);
        drawListMarker(painter, b, at, text);
        const int pos = b.position();
        if (context->cursorPosition >= pos && context->cursorPosition < pos + b.length()) {
            painter->setPen(text);
            tl->drawCursor(painter, origin, context->cursorPosition - pos, cursorWidth);
        }
    } else {
        // On paper: the lines that start within the part of the row this page shows.
        for (int k = 0; k < tl->lineCount(); ++k) {
            const QTextLine line = tl->lineAt(k);
            const qreal lineTop = tl->position().y() + line.y();
            if (lineTop >= band.top && lineTop < band.bottom)
                drawPrintedLine(painter, b, line, at);
        }
        if (tl->lineCount() > 0 && tl->position().y() >= band.top && tl->position().y() < band.bottom)
            drawListMarker(painter, b, at, text);
    }
}

const ParagraphLayout::CellBox* ParagraphLayout::cellBoxAt(const std::vector<CellBox>& boxes, qreal x)
{
    const CellBox* in = nullptr;
    for (const CellBox& box : boxes) {
        if (box.first >= 0 && !box.merged && (!in || x >= box.x))
            in = &box;
    }
    return in;
}

int ParagraphLayout::hitRow(const Row& row, const QPointF& point, bool exact) const
{
    const qreal m = margin();
    const QPointF p = point - QPointF(m, m + heights_.before(row.first));
    if (exact && (p.y() < 0 || p.y() >= rowHeight(row)))
        return -1;
    // The cell at the point, or the nearest one beside it.
    const std::vector<CellBox> boxes = cellBoxes(row, pageWidth());
    const CellBox* in = cellBoxAt(boxes, p.x());
    if (!in)
        return exact ? -1 : document()->findBlockByNumber(row.first).position();
    if (exact && (p.x() < in->x || p.x() >= in->x + in->width))
        return -1;
    return hitCell(row.table, in->first, in->last, p, exact);
}

int ParagraphLayout::hitCell(const QTextTable* table, int first, int last, const QPointF& p, bool exact) const
{
    QTextDocument* doc = document();
    const bool holdsTables = !table->childFrames().isEmpty();
    QTextBlock b = doc->findBlockByNumber(first);
    QTextBlock pick = b;
    for (int i = first; i <= last && b.isValid(); ++i, b = b.next()) {
        if (QTextTable* inner = holdsTables ? innerTableAt(table, b) : nullptr) {
            const auto placed = inner_.find(inner);
            if (placed != inner_.end() && placed->second.tops.size() == size_t(inner->rows()) + 1) {
                // A point on a table in the cell is in the cell of it under the point.
                const InnerTable& at = placed->second;
                if (p.y() >= at.tops.front() && p.y() < at.tops.back()) {
                    const auto below = std::upper_bound(at.tops.begin(), at.tops.end(), p.y());
                    const int r = std::clamp(int(below - at.tops.begin()) - 1, 0, inner->rows() - 1);
                    const Row innerRow = rowIn(inner, r);
                    const std::vector<CellBox> boxes = innerRow ? cellBoxes(innerRow, -1, at.x, at.width)
                                                                : std::vector<CellBox>();
                    const CellBox* in = cellBoxAt(boxes, p.x());
                    if (in && !(exact && (p.x() < in->x || p.x() >= in->x + in->width)))
                        return hitCell(inner, in->first, in->last, p, exact);
                    if (exact)
                        return -1;
                }
            }
            b = doc->findBlock(inner->lastPosition());
            i = b.blockNumber();
            continue;
        }
        if (b.layout()->position().y() <= p.y())
            pick = b;
    }
    return hitInBlock(pick, p - pick.layout()->position(), exact);
}

int ParagraphLayout::linesBeforeInCell(const Row& row, const QTextBlock& block) const
{
    const QTextTableCell cell = row.table->cellAt(block.position());
    int count = 0;
    for (QTextBlock b = document()->findBlock(cell.firstPosition()); b.isValid() && b.position() < block.position();
         b = b.next())
        count += std::max(1, b.layout()->lineCount());
    return count;
}

int ParagraphLayout::rowLineStart(const Row& row, int lineInRow) const
{
    // A row's line is the first cell's that has it, from the left.
    QTextDocument* doc = document();
    for (const CellBox& box : cellBoxes(row, pageWidth())) {
        if (box.first < 0)
            continue;
        int line = lineInRow;
        QTextBlock b = doc->findBlockByNumber(box.first);
        for (int i = box.first; i <= box.last && b.isValid(); ++i, b = b.next()) {
            const QTextLayout* tl = b.layout();
            const int count = std::max(1, tl->lineCount());
            if (line < count)
                return b.position() + (tl->lineCount() > 0 ? tl->lineAt(line).textStart() : 0);
            line -= count;
        }
    }
    return -1;
}

qreal ParagraphLayout::rowOffsetOf(const Row& row, int pos) const
{
    const QTextBlock block = document()->findBlock(pos);
    if (!block.isValid() || block.blockNumber() < row.first || block.blockNumber() > row.last)
        return 0;
    const QTextLayout* tl = block.layout();
    const QTextLine line = tl->lineForTextPosition(pos - block.position());
    return tl->position().y() + (line.isValid() ? line.y() : 0);
}

int ParagraphLayout::rowCut(const Row& row, Band band, qreal* cut) const
{
    // The first line of any cell that starts within the band and does not end in it: the
    // page ends above it, and the next page starts with it. A line that starts the band
    // stays on it however tall, so every page takes something.
    QTextDocument* doc = document();
    int answer = -1;
    *cut = band.bottom;
    for (const CellBox& box : cellBoxes(row, pageWidth())) {
        if (box.first < 0)
            continue;
        QTextBlock b = doc->findBlockByNumber(box.first);
        for (int i = box.first; i <= box.last && b.isValid(); ++i, b = b.next()) {
            const QTextLayout* tl = b.layout();
            for (int k = 0; k < tl->lineCount(); ++k) {
                const QTextLine line = tl->lineAt(k);
                const qreal lineTop = tl->position().y() + line.y();
                if (lineTop > band.top && lineTop < *cut && lineTop + line.height() > band.bottom) {
                    *cut = lineTop;
                    answer = b.position() + line.textStart();
                }
            }
        }
    }
    return answer;
}

} // namespace zorim
