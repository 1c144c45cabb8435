#include "richtext/layout/ParagraphLayout.h"

#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

// Places and lines: from a point to a document position, and positions to the lines they stand on.

namespace zorim {

int ParagraphLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    const bool exact = accuracy == Qt::ExactHit;
    QTextBlock block = blockAtY(point.y());
    // Laying a paragraph out may change its height and so which paragraph is at the point.
    for (int tries = 0; tries < 4 && ensure(block); ++tries) {
        noteSizeChange();
        block = blockAtY(point.y());
    }
    if (!block.isValid())
        return -1;
    if (const Row row = rowOf(block))
        return hitRow(row, point, exact);
    const int n = block.blockNumber();
    const qreal m = margin();
    const QPointF origin(m, m + heights_.before(n));
    const QPointF p = point - origin;
    if (exact && (p.y() < 0 || p.y() >= heights_.height(n)))
        return -1;
    return hitInBlock(block, p, exact);
}

int ParagraphLayout::hitInBlock(const QTextBlock& block, const QPointF& p, bool exact) const
{
    const QTextLayout* tl = block.layout();
    if (tl->lineCount() == 0)
        return exact ? -1 : block.position();
    QTextLine line;
    for (int i = 0; i < tl->lineCount(); ++i) {
        const QTextLine l = tl->lineAt(i);
        if (p.y() >= l.y() && p.y() < l.y() + l.height()) {
            line = l;
            break;
        }
    }
    if (!line.isValid()) {
        if (exact)
            return -1;
        line = p.y() < tl->lineAt(0).y() ? tl->lineAt(0) : tl->lineAt(tl->lineCount() - 1);
    }
    if (exact) {
        const qreal left = line.cursorToX(line.textStart());
        if (p.x() < left || p.x() > left + line.naturalTextWidth())
            return -1;
    }
    const int off = line.xToCursor(p.x(), exact ? QTextLine::CursorOnCharacter : QTextLine::CursorBetweenCharacters);
    return block.position() + off;
}

// ---- lines --------------------------------------------------------------------------------

void ParagraphLayout::setLinkDetection(bool on)
{
    if (detectLinks_ == on)
        return;
    detectLinks_ = on;
    emit update(QRectF(0, 0, std::max<qreal>(kUnwrappedWidth, pageWidth()), kEverything));
}

int ParagraphLayout::lineCount() const
{
    ensureUpTo(document()->blockCount() - 1);
    return std::max(1, lines_.total());
}

QTextBlock ParagraphLayout::laidOutBlockAt(int pos) const
{
    const QTextBlock block = document()->findBlock(std::clamp(pos, 0, document()->characterCount() - 1));
    if (block.isValid())
        ensureUpTo(block.blockNumber());
    return block;
}

int ParagraphLayout::lineInBlock(const QTextBlock& block, int pos) const
{
    const QTextLayout* tl = block.layout();
    if (tl->lineCount() == 0)
        return 0;
    const QTextLine line = tl->lineForTextPosition(pos - block.position());
    return line.isValid() ? line.lineNumber() : tl->lineCount() - 1;
}

int ParagraphLayout::lineOf(int pos) const
{
    const QTextBlock block = laidOutBlockAt(pos);
    if (!block.isValid())
        return 0;
    if (const Row row = rowOf(block))
        return lines_.before(row.first) + linesBeforeInCell(row, block) + lineInBlock(block, pos);
    return lines_.before(block.blockNumber()) + lineInBlock(block, pos);
}

QPoint ParagraphLayout::placeAsShown(int pos) const
{
    syncWithDocument();
    const QTextBlock block = document()->findBlock(std::clamp(pos, 0, document()->characterCount() - 1));
    if (!block.isValid())
        return {};
    layOutForShowing(block);
    const int n = block.blockNumber();
    const int inBlock = lineInBlock(block, pos);
    const QTextLayout* tl = block.layout();
    const int lineStart = tl->lineCount() > 0 ? block.position() + tl->lineAt(inBlock).textStart() : block.position();
    if (const Row row = rowOf(block))
        return {pos - lineStart, lines_.before(row.first) + linesBeforeInCell(row, block) + inBlock};
    return {pos - lineStart, lines_.before(n) + inBlock};
}

int ParagraphLayout::lineStart(int line) const
{
    if (line < 0)
        return -1;
    // Lay out only as far as the line lies: first what is laid out already, then a stretch
    // that doubles each time.
    const int count = document()->blockCount();
    for (int upTo = std::clamp(laidTo_, 1, count);; upTo = std::min(count, std::max(upTo * 2, upTo + 16))) {
        ensureUpTo(upTo - 1);
        if (lines_.before(upTo) > line || upTo >= count)
            break;
    }
    if (line >= lines_.before(count))
        return -1;
    const int n = lines_.find(line);
    const QTextBlock block = document()->findBlockByNumber(n);
    if (const Row row = rowOf(block))
        return rowLineStart(row, line - lines_.before(row.first));
    const QTextLayout* tl = block.layout();
    const int inBlock = line - lines_.before(n);
    if (tl->lineCount() == 0)
        return inBlock == 0 ? block.position() : -1;
    if (inBlock >= tl->lineCount())
        return -1;
    return block.position() + tl->lineAt(inBlock).textStart();
}

int ParagraphLayout::lineLength(int pos) const
{
    const QTextBlock block = laidOutBlockAt(pos);
    if (!block.isValid())
        return 0;
    const QTextLayout* tl = block.layout();
    if (tl->lineCount() == 0)
        return block.length() - 1;
    QTextLine line = tl->lineForTextPosition(pos - block.position());
    if (!line.isValid())
        line = tl->lineAt(tl->lineCount() - 1);
    int len = line.textLength();
    // The last line of a paragraph does not count its break.
    if (line.textStart() + len > block.length() - 1)
        len = block.length() - 1 - line.textStart();
    return std::max(0, len);
}

} // namespace zorim
