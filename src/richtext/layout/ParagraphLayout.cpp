#include "richtext/layout/ParagraphLayout.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/Links.h"
#include "richtext/document/Notes.h"
#include "richtext/document/RichDocument.h"
#include "richtext/layout/NoteReferences.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextList>
#include <QTextObjectInterface>
#include <QTextTable>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <utility>

namespace zorim {

LayoutMaker ParagraphLayout::maker()
{
    return [](QTextDocument* doc, std::function<void()> settled) -> LineLayout* {
        auto* layout = new ParagraphLayout(doc);
        QObject::connect(layout, &ParagraphLayout::settled, layout, std::move(settled));
        return layout;
    };
}

ParagraphLayout& ParagraphLayout::of(const RichDocument& doc)
{
    return *static_cast<ParagraphLayout*>(doc.layout().textLayout());
}

// ---- pictures -----------------------------------------------------------------------------

namespace {

// An edit changing more paragraphs than this, or more characters, leaves them to be laid
// out when needed (text arriving at the end of a long paragraph is not laid out each time).
constexpr int kEagerBlocks = 64;
constexpr int kEagerChars = 1 << 16;
// A settling slice stops after this long, so a key pressed meanwhile waits no longer.
constexpr qint64 kSettleSliceMs = 2;
// Taller than a view: what a paragraph shown at a view's bottom can have above it on screen.
constexpr qreal kScreenful = 2400;

// Whether a line starting at from can end between words (or with the paragraph) within
// reach characters.
bool wordBreakWithin(const QString& text, int from, int reach)
{
    const qsizetype n = std::min<qsizetype>(text.size() - from, reach);
    if (from + n >= text.size())
        return true;
    // A space between a letter or digit and another is always a place to break, and ordinary
    // text has one in every line: finding it costs far less than the line-break analysis.
    for (qsizetype i = from + 1; i + 1 < from + n; ++i) {
        if (text[i] == u' ' && text[i - 1].isLetterOrNumber() && text[i + 1].isLetterOrNumber())
            return true;
    }
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, QStringView(text).mid(from, n));
    const qsizetype at = breaks.toNextBoundary();
    return at > 0 && at < n;
}

QImage imageOf(QTextDocument* doc, const QTextImageFormat& format)
{
    const QVariant res = doc->resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (res.userType() == QMetaType::QImage)
        return qvariant_cast<QImage>(res);
    if (res.userType() == QMetaType::QPixmap)
        return qvariant_cast<QPixmap>(res).toImage();
    if (res.userType() == QMetaType::QByteArray)
        return QImage::fromData(res.toByteArray());
    return {};
}

// The document's tables in order, asked about paragraphs in order: which table holds a
// position, without asking the document which frame holds each paragraph.
class TableWalk {
public:
    explicit TableWalk(const QTextDocument* doc) : frames_(doc->rootFrame()->childFrames()) {}
    const QTextTable* at(int pos)
    {
        while (next_ < frames_.size() && frames_[next_]->lastPosition() < pos)
            ++next_;
        if (next_ < frames_.size() && frames_[next_]->firstPosition() <= pos)
            return qobject_cast<const QTextTable*>(frames_[next_]);
        return nullptr;
    }

private:
    QList<QTextFrame*> frames_;
    qsizetype next_ = 0;
};

} // namespace

// Sizes and draws the document's pictures: at the size their format names, else at the
// image's own size (one side given scales the other with the image).
class PictureHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument* doc, int, const QTextFormat& format) override
    {
        const QTextImageFormat f = format.toImageFormat();
        const bool hasW = f.hasProperty(QTextFormat::ImageWidth) && f.width() > 0;
        const bool hasH = f.hasProperty(QTextFormat::ImageHeight) && f.height() > 0;
        if (hasW && hasH)
            return {f.width(), f.height()};
        const QImage image = imageOf(doc, f);
        if (image.isNull())
            return {hasW ? f.width() : 16.0, hasH ? f.height() : 16.0};
        const QSizeF natural = image.deviceIndependentSize();
        if (hasW)
            return {f.width(), natural.height() * f.width() / std::max<qreal>(1, natural.width())};
        if (hasH)
            return {natural.width() * f.height() / std::max<qreal>(1, natural.height()), f.height()};
        return natural;
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int, const QTextFormat& format) override
    {
        const QImage image = imageOf(doc, format.toImageFormat());
        if (image.isNull()) {
            painter->save();
            painter->setPen(Qt::gray);
            painter->drawRect(rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        painter->drawImage(rect, image);
    }
};

// Hidden text: kept in the document, shown as nothing.
class HiddenTextHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat&) override { return {0, 0}; }
    void drawObject(QPainter*, const QRectF&, QTextDocument*, int, const QTextFormat&) override {}
};

// ---- the layout ---------------------------------------------------------------------------

namespace {

// The distance from one line of a paragraph to the next by its line spacing: single, a
// multiple of single, at least or exactly a height.
qreal lineAdvance(const QTextBlockFormat& bf, qreal single)
{
    const int spacing = bf.intProperty(docprop::LineSpacingTwips);
    if (spacing == 0)
        return single;
    if (bf.boolProperty(docprop::LineMultiple))
        return spacing > 0 ? single * spacing / 240 : single;
    const qreal height = std::abs(spacing) / kTwipsPerPixel;
    return spacing > 0 ? std::max(single, height) : height;
}

} // namespace

ParagraphLayout::ParagraphLayout(QTextDocument* doc) : QAbstractTextDocumentLayout(doc)
{
    imageHandler_ = new PictureHandler(this);
    registerHandler(QTextFormat::ImageObject, imageHandler_);
    registerHandler(kHiddenTextObject, new HiddenTextHandler(this));
    registerHandler(kNoteObject, newNoteReferenceHandler(this));
    settleTimer_ = new QTimer(this);
    settleTimer_->setSingleShot(true);
    settleTimer_->setInterval(0);
    connect(settleTimer_, &QTimer::timeout, this, &ParagraphLayout::settleSlice);
    resetAll();
    lastSize_ = documentSize();
}

ParagraphLayout::~ParagraphLayout() = default;

qreal ParagraphLayout::pageWidth() const { return document()->pageSize().width(); }
qreal ParagraphLayout::margin() const { return document()->documentMargin(); }

void ParagraphLayout::updateEstimates()
{
    const QFontMetricsF fm(document()->defaultFont());
    estCharWidth_ = fm.averageCharWidth();
    estLineHeight_ = std::ceil(fm.lineSpacing());
}

qreal ParagraphLayout::estimateIn(const QTextBlock& block, int columns) const
{
    // A paragraph not yet laid out counts as its characters set in the default font; in a
    // table, as the share of its row it would be with its neighbours in a column each.
    const qreal page = pageWidth();
    const qreal avail = page < 0 ? kUnwrappedWidth : std::max<qreal>(1, page - 2 * margin());
    columns = std::max(1, columns);
    const qreal lines = std::max<qreal>(1, std::ceil((block.length() - 1) * estCharWidth_ * columns / avail));
    return lines * estLineHeight_ / columns;
}

void ParagraphLayout::resetAll()
{
    QTextDocument* doc = document();
    inner_.clear();
    updateEstimates();
    width_ = pageWidth();
    margin_ = margin();
    std::vector<qreal> heights;
    heights.reserve(size_t(doc->blockCount()));
    std::vector<int> lines;
    lines.reserve(heights.capacity());
    TableWalk tables(doc);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QTextTable* table = tables.at(b.position());
        const qreal h = estimateIn(b, table ? table->columns() : 1);
        heights.push_back(h);
        // A paragraph in a table may count no line: its row counts its tallest cell's.
        lines.push_back(std::max(table ? 0 : 1, int(std::lround(h / estLineHeight_))));
    }
    heights_.assign(std::move(heights));
    lines_.assign(std::move(lines));
    rights_.assign(size_t(heights_.size()));
    laidOut_.assign(size_t(heights_.size()), 0);
    laidTo_ = 0;
}

void ParagraphLayout::record(int n, const QTextBlock& block, qreal height) const
{
    heights_.set(n, height);
    lines_.set(n, std::max(1, block.layout()->lineCount()));
    rights_.set(n, rightOf(block));
}

qreal ParagraphLayout::rightOf(const QTextBlock& block)
{
    const QTextLayout* tl = block.layout();
    qreal right = 0;
    for (int i = 0; i < tl->lineCount(); ++i) {
        const QTextLine line = tl->lineAt(i);
        right = std::max(right, line.x() + line.naturalTextWidth());
    }
    return right > 0 ? tl->position().x() + right + block.blockFormat().rightMargin() : 0;
}

// A query made inside an open edit (a transaction) sees a document the layout has not yet
// been told about: it starts again from estimates, and the edit's end lays out what changed.
void ParagraphLayout::syncWithDocument() const
{
    if (document()->blockCount() != heights_.size())
        const_cast<ParagraphLayout*>(this)->resetAll();
}

qreal ParagraphLayout::layBlock(const QTextBlock& block, qreal page) const
{
    return layBlockIn(block, page - 2 * margin(), page >= 0);
}

qreal ParagraphLayout::ownHeight(const QTextBlock& block) const
{
    // What layBlockIn answered, from the lines it left.
    const QTextLayout* tl = block.layout();
    if (tl->lineCount() == 0)
        return estLineHeight_;
    const QTextBlockFormat bf = block.blockFormat();
    const QTextLine last = tl->lineAt(tl->lineCount() - 1);
    return last.y() + lineAdvance(bf, last.height()) + bf.bottomMargin();
}

qreal ParagraphLayout::layBlockIn(const QTextBlock& block, qreal width, bool wrapping) const
{
    QTextLayout* tl = block.layout();
    const QTextBlockFormat bf = block.blockFormat();
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(bf.alignment());
    if (bf.layoutDirection() == Qt::RightToLeft) {
        // A right-to-left paragraph starts on the right, and so does its text aligned to its
        // start (RTF's \ql, which right-to-left paragraphs are written with).
        option.setTextDirection(Qt::RightToLeft);
        if ((bf.alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignLeft)
            option.setAlignment((bf.alignment() & ~Qt::AlignLeft) | Qt::AlignRight | Qt::AlignAbsolute);
    }
    const bool wrap = wrapping && !bf.nonBreakableLines();
    if (!wrap)
        option.setWrapMode(QTextOption::ManualWrap);
    // Lines that break between words break a word wider than the line at the width.
    const bool betweenWords = wrap
                              && (option.wrapMode() == QTextOption::WordWrap
                                  || option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere);
    if (!bf.tabPositions().isEmpty())
        option.setTabs(bf.tabPositions());
    tl->setTextOption(option);
    tl->setPosition(QPointF(0, 0)); // lines are placed relative to the paragraph's rectangle
    const qreal avail = wrap ? width - bf.leftMargin() - bf.rightMargin() : kUnwrappedWidth;
    qreal y = bf.topMargin();
    const QString text = betweenWords ? block.text() : QString();
    // How far ahead a line looks for a place to break between words: a few lines' worth.
    const int reach = int(std::clamp<qreal>(4 * avail / std::max<qreal>(1, estCharWidth_), 256, 4096));
    tl->beginLayout();
    for (bool first = true;; first = false) {
        QTextLine line = tl->createLine();
        if (!line.isValid())
            break;
        if (betweenWords) {
            // Qt looks for a break between words as far as the next one, however far, before
            // it breaks a word anywhere: a line in a long word would cost the rest of the
            // word. Where no break comes within reach, the line breaks anywhere at once.
            const auto mode = wordBreakWithin(text, line.textStart(), reach) ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                                              : QTextOption::WrapAnywhere;
            if (mode != option.wrapMode()) {
                option.setWrapMode(mode);
                tl->setTextOption(option);
            }
        }
        // The font's line spacing includes its leading.
        line.setLeadingIncluded(true);
        const qreal indent = first ? bf.textIndent() : 0;
        line.setLineWidth(std::max<qreal>(1, avail - indent));
        line.setPosition(QPointF(bf.leftMargin() + indent, y));
        y += lineAdvance(bf, line.height());
    }
    tl->endLayout();
    return y + bf.bottomMargin();
}

bool ParagraphLayout::ensure(const QTextBlock& block) const
{
    const int n = block.blockNumber();
    if (n < 0 || n >= heights_.size())
        return false;
    if (laidOut_[size_t(n)] && block.layout()->lineCount() > 0)
        return false;
    if (const Row row = rowOf(block))
        return ensureRow(row);
    const qreal h = layBlock(block);
    laidOut_.set(n, 1);
    const bool moved = h != heights_.height(n);
    record(n, block, h);
    return moved;
}

void ParagraphLayout::ensureUpTo(int blockNumber) const
{
    if (laidTo_ > blockNumber)
        return;
    syncWithDocument();
    if (advance(std::min(blockNumber, heights_.size() - 1), -1))
        noteSizeChange();
}

bool ParagraphLayout::advance(int blockNumber, qint64 budgetMs) const
{
    QElapsedTimer clock;
    clock.start();
    auto* self = const_cast<ParagraphLayout*>(this);
    const qreal m = margin();
    // Each run of paragraphs laid out here moves what follows it by what its estimates missed.
    qreal runDelta = 0;
    bool moved = false;
    auto endRun = [&](int end) {
        if (runDelta == 0)
            return;
        const qreal delta = std::exchange(runDelta, 0);
        moved = true;
        emit self->placesMoved(m + heights_.before(end) - delta, delta);
    };
    QTextBlock b = document()->findBlockByNumber(laidTo_);
    while (b.isValid() && laidTo_ <= blockNumber) {
        const int n = laidTo_;
        if (laidOut_[size_t(n)] && b.layout()->lineCount() > 0) {
            endRun(n);
        } else if (const Row row = rowOf(b)) {
            const qreal before = heights_.before(row.last + 1) - heights_.before(row.first);
            ensureRow(row);
            runDelta += rowHeight(row) - before;
            b = document()->findBlockByNumber(row.last);
            laidTo_ = row.last;
        } else {
            const qreal h = layBlock(b);
            laidOut_.set(n, 1);
            runDelta += h - heights_.height(n);
            record(n, b, h);
        }
        b = b.next();
        ++laidTo_;
        if (budgetMs >= 0 && clock.elapsed() >= budgetMs)
            break;
    }
    endRun(laidTo_);
    return moved;
}

void ParagraphLayout::layOutForShowing(const QTextBlock& block) const
{
    // The paragraph itself is laid out; the ones above it count as they stand and settle
    // later, so showing a paragraph far down never waits for the whole document. A
    // screenful above it is laid out too: a view showing the paragraph at its bottom then
    // draws nothing that pushes it out of sight.
    bool changed = ensure(block);
    const int n = block.blockNumber();
    if (n > laidTo_) {
        qreal above = 0;
        for (QTextBlock p = block.previous(); p.isValid() && p.blockNumber() >= laidTo_ && above < kScreenful;
             p = p.previous()) {
            changed |= ensure(p);
            above += heights_.height(p.blockNumber());
        }
        settleTowards(n - 1);
    }
    if (changed)
        noteSizeChange();
}

void ParagraphLayout::settleTowards(int blockNumber) const
{
    settleTo_ = std::max(settleTo_, blockNumber);
    if (!settleTimer_->isActive())
        settleTimer_->start();
}

bool ParagraphLayout::isSettled() const { return laidTo_ > settleTo_; }

void ParagraphLayout::settleSlice()
{
    syncWithDocument();
    settleTo_ = std::min(settleTo_, heights_.size() - 1);
    // What settling laid out was never drawn (drawing lays out what it shows), and what it
    // moved placesMoved() told: a view repaints only when that is on its screen.
    if (advance(settleTo_, kSettleSliceMs))
        emitSizeIfChanged();
    if (laidTo_ <= settleTo_) {
        settleTimer_->start();
        return;
    }
    settleTo_ = -1;
    emit settled();
}

int ParagraphLayout::laidOutCount() const { return laidOut_.count(); }

QTextBlock ParagraphLayout::blockAtY(qreal y) const
{
    return document()->findBlockByNumber(heights_.find(y - margin()));
}

QSizeF ParagraphLayout::documentSize() const
{
    // As wide as the page, or as what reaches past it (a table wider than the page, a picture
    // wider than a line), so that the view's scroll bar reaches all of it. Less than a pixel
    // past is the rounding of lines that fill the page.
    const qreal page = pageWidth();
    const qreal content = rights_.widest() + 2 * margin();
    const qreal width = page < 0 ? kUnwrappedWidth : content >= page + 1 ? std::ceil(content) : page;
    return {width, heights_.total() + 2 * margin()};
}

QRectF ParagraphLayout::frameBoundingRect(QTextFrame* frame) const
{
    QTextDocument* doc = document();
    if (frame == doc->rootFrame())
        return {QPointF(0, 0), documentSize()};
    if (!frame || frame->document() != doc)
        return {};
    // A table: from its first row's top to its last row's bottom, across the page.
    syncWithDocument();
    const int first = doc->findBlock(frame->firstPosition()).blockNumber();
    const int last = doc->findBlock(frame->lastPosition()).blockNumber();
    if (first < 0 || last < first || last >= heights_.size())
        return {};
    const qreal m = margin();
    const qreal top = m + heights_.before(first);
    const qreal page = pageWidth();
    return {m, top, page >= 0 ? std::max<qreal>(0, page - 2 * m) : kUnwrappedWidth, m + heights_.before(last + 1) - top};
}

QRectF ParagraphLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (!block.isValid() || block.document() != document())
        return {};
    syncWithDocument();
    const int n = block.blockNumber();
    if (n >= heights_.size())
        return {};
    if (shown_)
        layOutForShowing(block);
    const qreal m = margin();
    const qreal page = pageWidth();
    if (const Row row = rowOf(block)) {
        // The paragraph's own box in its cell, where its lines are drawn from.
        const QPointF at = block.layout()->position();
        qreal width = 0;
        for (const CellBox& box : cellBoxes(row, page)) {
            if (n >= box.first && n <= box.last)
                width = box.textWidth;
        }
        // A paragraph of a table inside the cell: as wide as it was laid out.
        if (QTextCursor(block).currentTable() != row.table && block.layout()->lineCount() > 0)
            width = block.layout()->lineAt(0).width();
        return {m + at.x(), m + heights_.before(row.first) + at.y(), width, ownHeight(block)};
    }
    const qreal width = page >= 0 ? std::max<qreal>(0, page - 2 * m) : kUnwrappedWidth;
    return {m, m + heights_.before(n), width, heights_.height(n)};
}

void ParagraphLayout::documentChanged(int from, int /*charsRemoved*/, int charsAdded)
{
    listLabels_.clear();
    QTextDocument* doc = document();
    const qreal m = margin();
    const qreal wide = std::max<qreal>(kUnwrappedWidth, pageWidth());
    auto relayoutAll = [&] {
        resetAll();
        emit update(QRectF(0, 0, wide, kEverything));
        emitSizeIfChanged();
    };
    if (pageWidth() != width_ || m != margin_) {
        relayoutAll();
        return;
    }
    QTextBlock first = doc->findBlock(from);
    if (!first.isValid())
        first = doc->lastBlock();
    QTextBlock last = doc->findBlock(from + charsAdded);
    if (!last.isValid())
        last = doc->lastBlock();
    widenToRows(&first, &last);
    // The changed paragraphs [a, a + newCount) replace [a, a + oldCount) of the heights held.
    const int a = first.blockNumber();
    const int newCount = last.blockNumber() - a + 1;
    const int delta = doc->blockCount() - heights_.size();
    const int oldCount = newCount - delta;
    if (newCount < 1 || oldCount < 1 || a + oldCount > heights_.size()) {
        relayoutAll();
        return;
    }
    const qreal top = heights_.before(a);
    const qreal oldSpan = heights_.before(a + oldCount) - top;
    const bool eager = shown_ && newCount <= kEagerBlocks && charsAdded <= kEagerChars;
    if (!eager)
        updateEstimates(); // the default font may be what changed
    std::vector<qreal> heights;
    std::vector<int> lines;
    std::vector<qreal> rights;
    measureChanged(first, newCount, eager, delta == 0, &heights, &lines, &rights);
    if (int(heights.size()) != newCount) {
        relayoutAll();
        return;
    }
    replaceChanged(a, oldCount, heights, lines, rights, eager);
    const qreal newSpan = heights_.before(a + newCount) - top;
    // Only when the changed paragraphs changed height does anything below them move.
    emit update(QRectF(0, m + top, wide, newSpan == oldSpan ? newSpan : kEverything));
    emitSizeIfChanged();
}

void ParagraphLayout::measureChanged(QTextBlock b, int newCount, bool eager, bool inPlace,
                                     std::vector<qreal>* heights, std::vector<int>* lines,
                                     std::vector<qreal>* rights) const
{
    // Paragraphs changed in place (a replace-all, a format over a long stretch) most likely
    // keep their heights: the old ones are the better estimate.
    const int a = b.blockNumber();
    heights->reserve(size_t(newCount));
    lines->reserve(size_t(newCount));
    TableWalk tables(document());
    for (int i = 0; i < newCount && b.isValid(); ++i, b = b.next()) {
        const Row row = eager ? rowOf(b) : Row();
        if (row && row.first == b.blockNumber()) {
            int rowLines = 1;
            qreal right = 0;
            heights->push_back(layRow(row, pageWidth(), &rowLines, &right));
            lines->push_back(rowLines);
            rights->push_back(right);
            for (; i < newCount - 1 && b.blockNumber() < row.last; ++i) {
                b = b.next();
                heights->push_back(0);
                lines->push_back(0);
                rights->push_back(0);
            }
        } else if (eager) {
            heights->push_back(layBlock(b));
            lines->push_back(std::max(1, b.layout()->lineCount()));
            rights->push_back(rightOf(b));
        } else if (inPlace) {
            heights->push_back(heights_.height(a + i));
            lines->push_back(lines_.height(a + i));
            rights->push_back(rights_.value(a + i));
        } else {
            const QTextTable* table = tables.at(b.position());
            heights->push_back(estimateIn(b, table ? table->columns() : 1));
            lines->push_back(std::max(table ? 0 : 1, int(std::lround(heights->back() / estLineHeight_))));
            rights->push_back(0);
        }
    }
}

void ParagraphLayout::replaceChanged(int a, int oldCount, const std::vector<qreal>& heights,
                                     const std::vector<int>& lines, const std::vector<qreal>& rights, bool eager)
{
    const int newCount = int(heights.size());
    const int delta = newCount - oldCount;
    heights_.splice(a, oldCount, heights);
    lines_.splice(a, oldCount, lines);
    rights_.splice(a, oldCount, rights);
    if (delta == 0)
        laidOut_.fill(a, newCount, uint8_t(eager));
    else
        laidOut_.splice(a, oldCount, newCount, uint8_t(eager));
    if (a < laidTo_) {
        if (!eager)
            laidTo_ = a;
        else
            laidTo_ = a + oldCount <= laidTo_ ? laidTo_ + delta : a + newCount;
    }
}

void ParagraphLayout::noteSizeChange() const
{
    // Laid out while drawing or answering a query: the size is told once control returns to
    // the event loop, not from inside a paint.
    if (sizeNoticePending_)
        return;
    sizeNoticePending_ = true;
    auto* self = const_cast<ParagraphLayout*>(this);
    QMetaObject::invokeMethod(self, [self] { self->emitSizeIfChanged(); }, Qt::QueuedConnection);
}

void ParagraphLayout::emitSizeIfChanged()
{
    sizeNoticePending_ = false;
    const QSizeF size = documentSize();
    if (size == lastSize_)
        return;
    lastSize_ = size;
    emit documentSizeChanged(size);
}


} // namespace zorim

#include "ParagraphLayout.moc"