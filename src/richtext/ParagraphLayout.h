#pragma once
// The document's layout: every paragraph is laid out on its own at the available width, and
// the paragraph heights are summed in a Fenwick tree over block numbers, so the place of any
// paragraph and the paragraph at any height are found in O(log n). An edit lays out again
// only the paragraphs it touched; the paragraphs after it move without being visited.
//
// Paragraphs are laid out lazily. Until a paragraph is laid out it counts with a height
// estimated from its length. Asking for a paragraph's rectangle (blockBoundingRect) lays out
// every paragraph up to it, so its place is exact and every earlier paragraph has its lines;
// drawing and hit testing lay out only the paragraphs they touch.
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <vector>

class QTextDocument;
class QTextLayout;

namespace zorim {

// Sums of paragraph heights: heights by index, prefix sums and the index holding a height
// in O(log n).
class HeightTree {
public:
    void assign(std::vector<qreal> heights);
    int size() const { return int(heights_.size()); }
    qreal height(int i) const { return heights_[size_t(i)]; }
    void set(int i, qreal height);
    qreal before(int i) const; // sum of the heights of [0, i)
    qreal total() const { return before(size()); }
    // The index whose span [before(i), before(i + 1)) holds y, clamped to [0, size() - 1].
    int find(qreal y) const;
    // Replaces count heights from index at with the given ones.
    void splice(int at, int count, const std::vector<qreal>& with);

private:
    void rebuild();
    std::vector<qreal> heights_;
    std::vector<qreal> tree_; // 1-based Fenwick tree over heights_
};

class ParagraphLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
public:
    explicit ParagraphLayout(QTextDocument* doc);
    ~ParagraphLayout() override;

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    // Paragraphs laid out so far (the rest count with estimated heights); for tests.
    int laidOutCount() const;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    qreal pageWidth() const;
    qreal margin() const;
    void updateEstimates();
    qreal estimate(const QTextBlock& block) const;
    void resetAll();
    // Lays the paragraph out when it is not; returns whether its height changed.
    bool ensure(const QTextBlock& block) const;
    qreal layBlock(const QTextBlock& block) const;
    void ensureUpTo(int blockNumber) const;
    QTextBlock blockAtY(qreal y) const;
    void drawListMarker(QPainter* painter, const QTextBlock& block, const QPointF& origin,
                        const QColor& color) const;
    void noteSizeChange() const;
    void emitSizeIfChanged();

    mutable HeightTree heights_;
    mutable std::vector<uint8_t> laidOut_; // per block: laid out at the current width
    mutable int laidTo_ = 0;               // every block below this one is laid out
    mutable int laidCount_ = 0;
    qreal width_ = -2;                     // page width the heights were found at
    qreal margin_ = -1;
    qreal estCharWidth_ = 8;  // of the default font, for paragraphs not yet laid out
    qreal estLineHeight_ = 16;
    mutable QSizeF lastSize_;
    mutable bool sizeNoticePending_ = false;
    QObject* imageHandler_ = nullptr;
};

} // namespace zorim
