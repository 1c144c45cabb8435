#pragma once
// The document's layout: every paragraph is laid out on its own at the available width, and
// the paragraph heights are summed in a Fenwick tree over block numbers, so the place of any
// paragraph and the paragraph at any height are found in O(log n). An edit lays out again
// only the paragraphs it touched; the paragraphs after it move without being visited.
//
// Paragraphs are laid out lazily. Until a paragraph is laid out it counts with an estimated
// height: from its length in the default font, or, when an edit changed paragraphs without
// adding or removing any, the height it had before. Asking for a paragraph's rectangle
// (blockBoundingRect), drawing and hit testing lay out only the paragraphs they touch, so
// showing the caret after a change all through a long document costs one screen. The
// paragraphs above an asked one are then laid out in slices on the event loop (settling):
// places move by what the estimates missed, placesMoved() tells a view by how much so that
// it keeps its text in place, and settled() tells when the lines above are exact. Line
// queries (lineOf, lineStart, lineCount) never answer from estimates: they lay out what
// they need first.
//
// A row of a table is laid out as one: its cells side by side, each cell's paragraphs stacked
// in the cell's width. The row's height and its line count stand on its first paragraph; the
// other paragraphs of the row count nothing, so the trees stay per paragraph and a row costs
// what its cells hold. A paragraph in a cell keeps its place within the row as its text
// layout's position.
//
// The layout also keeps the document's line index (the line count of every paragraph, summed
// like the heights), and lays the document out for printed pages with the same paragraph
// code as the screen, so a page breaks lines where the screen does at the same width.
#include "richtext/document/LineLayout.h"
#include "richtext/layout/ParagraphTrees.h"

#include <QAbstractTextDocumentLayout>
#include <QPoint>
#include <QStringList>
#include <QTextBlock>
#include <QTextFormat>
#include <QTextLayout>
#include <algorithm>
#include <functional>
#include <unordered_map>
#include <vector>

class QTextDocument;
class QTextLayout;
class QTextList;
class QTextTable;
class QTimer;

namespace zorim {

class PageNotes;

class RichDocument;

class ParagraphLayout final : public QAbstractTextDocumentLayout, public LineLayout {
    Q_OBJECT
public:
    explicit ParagraphLayout(QTextDocument* doc);
    ~ParagraphLayout() override;

    // What a document is handed to be laid out by this layout.
    static LayoutMaker maker();
    // The layout of a document made with maker() (made now when it was on demand).
    static ParagraphLayout& of(const RichDocument& doc);
    QAbstractTextDocumentLayout* textLayout() override { return this; }

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    // Paragraphs laid out so far (the rest count with estimated heights); for tests.
    int laidOutCount() const;

    // Lines as laid out at the page width. Each query lays out the paragraphs up to the one
    // it names, no further.
    int lineCount() const override;     // at least 1
    int lineOf(int pos) const override; // the line holding document position pos
    int lineStart(int line) const override; // its first position; -1 past the last line
    int lineLength(int pos) const override; // of the line holding pos, without its break
    // Line (y) and column (x) of pos as the document is shown now: the lines of paragraphs
    // above that are not laid out yet are estimated (settled() tells when they are exact).
    // Costs the one paragraph holding pos.
    QPoint placeAsShown(int pos) const;
    // Whether every paragraph above the ones asked for is laid out (nothing left to settle).
    bool isSettled() const;

    // Whether a view shows the document. Unseen, an edit lays out nothing at once, and
    // asking for a paragraph's rectangle (Qt's edit scrolls to its caret when it takes a
    // document or a cursor) answers from the heights as they stand: a document loaded and
    // never shown (a conversion, a hidden buffer) costs no layout.
    void setShown(bool shown) override { shown_ = shown; }
    bool shown() const override { return shown_; }

    // Addresses in the text are drawn as links.
    void setLinkDetection(bool on) override;
    bool linkDetection() const { return detectLinks_; }

    // Marks drawn over a paragraph on the screen only (misspelled words): formats for ranges
    // of the paragraph, asked for as it is drawn. They are no part of the document, and
    // printed pages do not show them.
    using Decorations = std::function<QList<QTextLayout::FormatRange>(const QTextBlock&)>;
    void setDecorations(Decorations decorations) { decorations_ = std::move(decorations); }

    // Lays the document out for a page from document position from: page is the printable
    // rectangle in device pixels, dpiX and dpiY the device's resolution. Draws on painter
    // (when given) the lines that fit and answers the first position that did not fit, or
    // the text length when the rest of the document fit. A page always takes at least one
    // line, so a page loop always ends.
    int layoutPage(QPainter* painter, const QRectF& page, qreal dpiX, qreal dpiY, int from) override;

    // What the page fields print on the pages laid out next: the page's number (0: the pages
    // count from the first laid out, as they come), the pages in all (0: NUMPAGES keeps its
    // result) and the file's name (empty: FILENAME keeps its result).
    struct PrintedFields {
        int page = 0;
        int pages = 0;
        QString fileName;
    };
    void setPrintedFields(PrintedFields fields) { printedFields_ = std::move(fields); }

signals:
    // Settling laid out paragraphs above y whose estimated heights were off: what stood at
    // y or below now stands delta lower. Nothing else asks a view to repaint for it.
    void placesMoved(qreal y, qreal delta);
    // Settling reached every paragraph asked for: their places and lines are exact.
    void settled();

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    // Width given to a line when the document does not wrap.
    static constexpr qreal kUnwrappedWidth = 1e6;
    static constexpr qreal kEverything = 1e8;

    // One row of a table that stands in the document itself (a table inside a cell is laid
    // out as that cell's paragraphs): its paragraphs are the blocks first..last.
    struct Row {
        QTextTable* table = nullptr;
        int row = -1;
        int first = -1;
        int last = -1;
        explicit operator bool() const { return table != nullptr; }
    };
    // A cell of a row: its paragraphs (none for a cell coming down from a row above), its box
    // from the row's left (the document margin) and where its paragraphs stand.
    struct CellBox {
        int first = -1;
        int last = -2;
        int column = 0;
        qreal x = 0;
        qreal width = 0;
        qreal textX = 0;
        qreal textWidth = 0;
        qreal padTop = 0; // the padding above and below its paragraphs
        qreal padBottom = 0;
        bool merged = false; // merged into the cell on its left, which spans its box
        QTextCharFormat format;
    };
    // Which part of a row a page shows: the row's own heights from top to bottom.
    struct Band {
        qreal top = 0;
        qreal bottom = kEverything;
    };
    Row rowOf(const QTextBlock& block) const;
    // Row r of a table (of the document's or inside a cell).
    Row rowIn(QTextTable* table, int r) const;
    // The cells' boxes of a row at a page width; a table inside a cell (x, width: the box it
    // stands in, from the outer row's left) is placed in that box.
    std::vector<CellBox> cellBoxes(const Row& row, qreal page, qreal x = 0, qreal width = -1) const;
    // A table inside a cell: where its rows stand in the outer row (their tops, then its
    // bottom) and the box it stands in, as the outer row was last laid out.
    struct InnerTable {
        qreal x = 0;
        qreal width = 0;
        std::vector<qreal> tops;
    };
    mutable std::unordered_map<const QTextTable*, InnerTable> inner_;
    // The table right inside a cell of table that holds block; null when the block is the cell's own.
    QTextTable* innerTableAt(const QTextTable* table, const QTextBlock& block) const;
    // The paragraphs first..last of a cell of table stacked from y in a box of width at x, the
    // tables inside the cell laid out as tables there; answers the bottom, adds the lines to *lines.
    qreal layCellContent(const QTextTable* table, int first, int last, qreal x, qreal y, qreal width,
                         int* lines) const;
    // The row's cells laid out from y; answers its height and in *most the line count of its
    // cell with the most lines.
    qreal layRowCells(const Row& row, const std::vector<CellBox>& boxes, qreal y, int* most) const;
    // Draws the cells of a row whose top and height are given in the coordinates of the row
    // drawn at origin (a table inside a cell is drawn in its outer row's); chosenAll: the
    // format of a selection of whole cells the row stands in.
    void drawRowCells(QPainter* painter, const Row& row, const std::vector<CellBox>& boxes, const QPointF& origin,
                      qreal top, qreal height, const PaintContext* context, const QColor& text, Band band,
                      const QTextFormat* chosenAll) const;
    // The position at p (from the row's origin) in a cell's paragraphs first..last.
    int hitCell(const QTextTable* table, int first, int last, const QPointF& p, bool exact) const;
    // The box holding p.x among a row's cells, or the nearest one beside it.
    static const CellBox* cellBoxAt(const std::vector<CellBox>& boxes, qreal x);
    // The cells of a row, one box per cell at its first column with how many columns it spans;
    // twips stays true while every cell states its right edge.
    std::vector<CellBox> rowCells(const Row& row, std::vector<int>* spans, bool* twips) const;
    // Places the cells at the right edges the document states (rowFormat: the row's first
    // cell), or in Qt's table columns at a page width.
    static void placeCellsAsStated(const Row& row, const QTextCharFormat& rowFormat,
                                   const std::vector<int>& spans, std::vector<CellBox>* boxes);
    void placeCellsInColumns(const QTextTable* table, qreal avail, const std::vector<int>& spans,
                             std::vector<CellBox>* boxes) const;
    static void mergeCells(std::vector<CellBox>* boxes);
    // Widens a changed stretch of paragraphs to the whole rows it starts and ends in.
    void widenToRows(QTextBlock* first, QTextBlock* last) const;
    // Lays the row's cells out at a page width; answers its height and, in lines, the line
    // count of its cell with the most lines; in right (when asked), how far right it reaches.
    qreal layRow(const Row& row, qreal page, int* lines, qreal* right = nullptr) const;
    // Lays the row out at the view's width and records it; answers whether its height changed.
    bool ensureRow(const Row& row) const;
    qreal rowHeight(const Row& row) const { return heights_.height(row.first); }
    // Draws the row at origin: with a view's context (selections, caret, guide lines where a
    // cell has no border), or on paper without one, the lines starting within band only.
    void drawRow(QPainter* painter, const Row& row, const QPointF& origin, qreal height, qreal page,
                 const PaintContext* context, const QColor& text, Band band) const;
    // Draws one paragraph of a cell of a row drawn at origin (chosen: the format of a
    // selection of whole cells taking the cell, else null).
    void drawCellBlock(QPainter* painter, const QTextBlock& b, const QPointF& origin, const PaintContext* context,
                       const QTextFormat* chosen, const QColor& text, Band band, int cursorWidth) const;
    int hitRow(const Row& row, const QPointF& point, bool exact) const;
    int hitInBlock(const QTextBlock& block, const QPointF& p, bool exact) const;
    // Lines of the paragraphs before block in its cell.
    int linesBeforeInCell(const Row& row, const QTextBlock& block) const;
    int rowLineStart(const Row& row, int lineInRow) const;
    // The first line on a page from a place inside a row, and where a row taller than the
    // page's rest is cut.
    qreal rowOffsetOf(const Row& row, int pos) const;
    int rowCut(const Row& row, Band band, qreal* cut) const;
    // Draws the header rows of row's table at the top of a page (rest: what of row is still
    // to print); answers the height they take, 0 when none are drawn.
    qreal drawHeaderRows(QPainter* painter, const Row& row, qreal width, qreal rest, qreal height,
                         std::vector<Row>* relaid) const;
    // A page being laid out: where the next line goes, and what was laid out at the page's
    // width and gets its screen layout back once the page is done.
    struct PageRun {
        QPainter* painter = nullptr;
        qreal width = 0; // the page's width as a layout width, with the document margins
        qreal height = 0;
        int from = 0;   // where the page starts
        int answer = 0; // where the next page starts
        qreal y = 0;
        bool any = false; // whether the page took anything yet
        std::vector<int> relaid;
        std::vector<Row> relaidRows;
        PageNotes* notes = nullptr; // the footnotes the page refers to, kept at its foot
    };
    // Put a row or a paragraph on the page; answer false when the page is full (run.answer
    // then says where the next page starts).
    bool putRowOnPage(PageRun& run, const Row& row) const;
    bool putBlockOnPage(PageRun& run, const QTextBlock& block) const;
    void restoreScreenLayout(const PageRun& run) const;
    QList<QTextLayout::FormatRange> selectionRanges(const QTextBlock& block, const PaintContext& context,
                                                    QList<QBrush>* breakMarks) const;
    qreal ownHeight(const QTextBlock& block) const;
    qreal estimateIn(const QTextBlock& block, int columns) const;

    qreal pageWidth() const;
    qreal margin() const;
    void updateEstimates();
    void resetAll();
    // The heights and line counts of the changed paragraphs from b: laid out (eager), kept
    // (changed in place) or estimated; stops short only when the document has fewer blocks.
    void measureChanged(QTextBlock b, int newCount, bool eager, bool inPlace, std::vector<qreal>* heights,
                        std::vector<int>* lines, std::vector<qreal>* rights) const;
    // Puts them in place of oldCount paragraphs from a in the trees and the laid-out marks.
    void replaceChanged(int a, int oldCount, const std::vector<qreal>& heights, const std::vector<int>& lines,
                        const std::vector<qreal>& rights, bool eager);
    // How far right a laid-out paragraph's lines reach from the margin.
    static qreal rightOf(const QTextBlock& block);
    // Lays the paragraph out when it is not; returns whether its height changed.
    bool ensure(const QTextBlock& block) const;
    qreal layBlock(const QTextBlock& block) const { return layBlock(block, pageWidth()); }
    qreal layBlock(const QTextBlock& block, qreal page) const;
    // Lays the paragraph out in a box of the given width (wrapping or not).
    qreal layBlockIn(const QTextBlock& block, qreal width, bool wrap) const;
    void record(int n, const QTextBlock& block, qreal height) const;
    void syncWithDocument() const;
    void ensureUpTo(int blockNumber) const;
    // Lays out the block and a screenful above it now, and the rest above it later.
    void layOutForShowing(const QTextBlock& block) const;
    // Lays out the paragraphs up to blockNumber later, in slices on the event loop.
    void settleTowards(int blockNumber) const;
    void settleSlice();
    // Lays out the paragraphs from the first one not laid out up to blockNumber, stopping
    // after budgetMs when that is not negative; tells placesMoved() for what moved and
    // answers whether anything did.
    bool advance(int blockNumber, qint64 budgetMs) const;
    int lineInBlock(const QTextBlock& block, int pos) const;
    // The paragraph holding pos, laid out with every paragraph before it.
    QTextBlock laidOutBlockAt(int pos) const;
    QTextBlock blockAtY(qreal y) const;
    void drawListMarker(QPainter* painter, const QTextBlock& block, const QPointF& origin,
                        const QColor& color) const;
    // A line of a printed page: the date, time and page-number fields in it show their value
    // now, in the place of the result the document holds.
    void drawPrintedLine(QPainter* painter, const QTextBlock& block, const QTextLine& line,
                         const QPointF& origin) const;
    mutable int printedPage_ = 0; // the number of the page being printed
    // The labels of each list drawn, worked out once until the document changes.
    mutable std::unordered_map<const QTextList*, QStringList> listLabels_;
    PrintedFields printedFields_;
    void noteSizeChange() const;
    void emitSizeIfChanged();

    mutable HeightTree heights_;
    mutable LineTree lines_;               // per block: its line count once laid out, else an estimate
    mutable WidestTree rights_;            // per block: how far right it reaches once laid out (a row: on its first)
    mutable LaidOutMarks laidOut_;         // per block: laid out at the current width
    mutable int laidTo_ = 0;               // every block below this one is laid out
    mutable int settleTo_ = -1;            // settling lays out the blocks up to this one
    QTimer* settleTimer_ = nullptr;
    qreal width_ = -2;                     // page width the heights were found at
    qreal margin_ = -1;
    qreal estCharWidth_ = 8;  // of the default font, for paragraphs not yet laid out
    qreal estLineHeight_ = 16;
    mutable QSizeF lastSize_;
    mutable bool sizeNoticePending_ = false;
    QObject* imageHandler_ = nullptr;
    bool detectLinks_ = false;
    bool shown_ = true;
    Decorations decorations_;
};

} // namespace zorim
