#include "richtext/layout/ParagraphLayout.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/Links.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/TableFormat.h"
#include "richtext/layout/PageNotes.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QRegion>
#include <QLocale>
#include <QDateTime>
#include <QPainter>
#include <QPalette>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <algorithm>
#include <optional>

// Drawing the laid-out document: on the view and onto printed pages.

namespace zorim {

void ParagraphLayout::drawListMarker(QPainter* painter, const QTextBlock& block, const QPointF& origin,
                                     const QColor& color) const
{
    QTextList* list = block.textList();
    const QTextLayout* tl = block.layout();
    if (!list || tl->lineCount() == 0)
        return;
    const QTextLine line = tl->lineAt(0);
    // The marker takes the look of the paragraph's first character.
    const QTextCharFormat cf = block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
    const QFont font = cf.font();
    const QFontMetricsF fm(font);
    const QTextBlockFormat bf = block.blockFormat();
    const qreal textX = line.cursorToX(line.textStart());
    const qreal gap = fm.horizontalAdvance(u' ');
    // A round bullet is drawn as a dot, whatever the font has of it; any other label as text.
    auto labels = listLabels_.find(list);
    if (labels == listLabels_.end())
        labels = listLabels_.emplace(list, listLabels(*list)).first;
    QString label = labels->second.value(list->itemNumber(block));
    if (label == QString(QChar(0x2022)))
        label.clear();
    else if (label.isEmpty())
        return;
    const qreal width = label.isEmpty() ? std::max<qreal>(4, fm.ascent() / 3) : fm.horizontalAdvance(label);
    // The marker stands at the paragraph's start indent when there is room before the text,
    // else just before the text.
    const qreal start = std::max(0, bf.intProperty(docprop::StartIndentTwips)) / kTwipsPerPixel;
    const qreal x = start + width + gap <= textX ? start : textX - width - gap;
    const qreal baseline = line.y() + line.ascent();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QColor ink = cf.foreground().style() != Qt::NoBrush ? cf.foreground().color() : color;
    if (label.isEmpty()) {
        const qreal cy = baseline - fm.xHeight() / 2;
        painter->setPen(Qt::NoPen);
        painter->setBrush(ink);
        painter->drawEllipse(QRectF(origin.x() + x, origin.y() + cy - width / 2, width, width));
    } else {
        // Laid out as the paragraph's lines are, in the layout's units: a font handed to the
        // painter would take the painter's device resolution, which on paper is not the one
        // the painter is scaled from.
        QTextLayout labelLayout(label, font, paintDevice());
        labelLayout.beginLayout();
        const QTextLine labelLine = labelLayout.createLine();
        labelLayout.endLayout();
        painter->setPen(ink);
        labelLayout.draw(painter, QPointF(origin.x() + x, origin.y() + baseline - labelLine.ascent()));
    }
    painter->restore();
}

QList<QTextLayout::FormatRange> ParagraphLayout::selectionRanges(const QTextBlock& block, const PaintContext& context,
                                                                 QList<QBrush>* breakMarks) const
{
    const int pos = block.position();
    const int len = block.length();
    QList<QTextLayout::FormatRange> selections = linkFormats(block, detectLinks_);
    // A field's result is shaded on the screen, so that it reads as a field; printed pages
    // (which draw no selections) and the text's own background are left alone.
    QTextCharFormat fieldShade;
    fieldShade.setBackground(QColor(0xD9, 0xD9, 0xD9));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat format = frag.charFormat();
        if (format.intProperty(docprop::FieldId) != 0 && format.background().style() == Qt::NoBrush)
            selections.append({frag.position() - pos, frag.length(), fieldShade});
    }
    if (decorations_)
        selections += decorations_(block);
    for (const Selection& sel : context.selections) {
        if (sel.cursor.hasComplexSelection())
            continue; // whole cells of a table: the row draws them
        const int s = std::max(sel.cursor.selectionStart(), pos);
        const int e = std::min(sel.cursor.selectionEnd(), pos + len);
        if (s < e) {
            QTextLayout::FormatRange r;
            r.start = s - pos;
            r.length = e - s;
            r.format = sel.format;
            selections.append(r);
            if (e == pos + len && sel.format.hasProperty(QTextFormat::BackgroundBrush))
                breakMarks->append(sel.format.background());
        }
    }
    return selections;
}

void ParagraphLayout::draw(QPainter* painter, const PaintContext& context)
{
    if (heights_.size() == 0)
        return;
    const qreal m = margin();
    const QRectF clip = context.clip;
    const qreal top = clip.isValid() ? clip.top() : 0;
    const qreal bottom = clip.isValid() ? clip.bottom() : kEverything;
    const QColor text = context.palette.color(QPalette::Text);
    const int cursorWidth = property("cursorWidth").isValid() ? property("cursorWidth").toInt() : 1;
    bool changed = false;
    painter->save();
    painter->setPen(text);
    for (QTextBlock block = blockAtY(top); block.isValid(); block = block.next()) {
        changed |= ensure(block);
        if (const Row row = rowOf(block)) {
            const QPointF origin(m, m + heights_.before(row.first));
            if (origin.y() > bottom)
                break;
            drawRow(painter, row, origin, rowHeight(row), pageWidth(), &context, text, Band());
            block = document()->findBlockByNumber(row.last);
            continue;
        }
        const int n = block.blockNumber();
        const QPointF origin(m, m + heights_.before(n));
        if (origin.y() > bottom)
            break;
        const int pos = block.position();
        const int len = block.length();
        QList<QBrush> breakMarks; // selections that go on past this paragraph's break
        const QList<QTextLayout::FormatRange> selections = selectionRanges(block, context, &breakMarks);
        QTextLayout* tl = block.layout();
        if (n > 0 && (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) {
            // Where a new page starts on paper: a thin dotted line across the page.
            painter->setPen(QPen(text, 0, Qt::DotLine));
            painter->drawLine(QPointF(0, origin.y()), QPointF(pageWidth(), origin.y()));
        }
        painter->setPen(text);
        tl->draw(painter, origin, selections, clip);
        if (!breakMarks.isEmpty() && tl->lineCount() > 0) {
            // The break itself has no glyph; a selected break shows as a space's width.
            const QTextLine last = tl->lineAt(tl->lineCount() - 1);
            const qreal x = origin.x() + last.cursorToX(len - 1);
            const qreal w = QFontMetricsF(block.charFormat().font()).horizontalAdvance(u' ');
            for (const QBrush& brush : std::as_const(breakMarks))
                painter->fillRect(QRectF(x, origin.y() + last.y(), w, last.height()), brush);
        }
        drawListMarker(painter, block, origin, text);
        if (context.cursorPosition >= pos && context.cursorPosition < pos + len) {
            painter->setPen(text);
            tl->drawCursor(painter, origin, context.cursorPosition - pos, cursorWidth);
        }
    }
    painter->restore();
    if (changed)
        noteSizeChange();
}

// ---- pages --------------------------------------------------------------------------------

qreal ParagraphLayout::drawHeaderRows(QPainter* painter, const Row& row, qreal width, qreal rest, qreal height,
                                      std::vector<Row>* relaid) const
{
    // A page that starts inside a table starts with its header rows (the rows at its top
    // marked so), as long as the row that follows still fits below them.
    QTextDocument* doc = document();
    std::vector<std::pair<Row, qreal>> headers;
    qreal total = 0;
    for (int r = 0; r < row.row; ++r) {
        const QTextTableCell cell = row.table->cellAt(r, 0);
        if (!cell.format().boolProperty(tableprop::RowHeader))
            break;
        const Row header = rowOf(doc->findBlock(cell.firstPosition()));
        if (!header || header.row != r)
            break;
        const qreal h = layRow(header, width, nullptr);
        relaid->push_back(header);
        headers.emplace_back(header, h);
        total += h;
    }
    if (headers.empty() || total + std::min(rest, height / 2) > height)
        return 0;
    qreal y = 0;
    for (const auto& [header, h] : headers) {
        if (painter)
            drawRow(painter, header, QPointF(0, y), h, width, nullptr, Qt::black, Band());
        y += h;
    }
    return y;
}

namespace {

// The value a field shows on paper when it is one of those that say the moment, the page or
// the file: DATE and TIME (with their \\@ picture, Word's letters mostly Qt's), PAGE, NUMPAGES
// and FILENAME when they are known; nothing for others.
std::optional<QString> printedValue(const QString& instruction, int page, int pages, const QString& fileName)
{
    static const QRegularExpression parts(
        QStringLiteral("^\\s*(DATE|TIME|PAGE|NUMPAGES|FILENAME)\\b(?:.*\\\\@\\s*\"([^\"]*)\")?"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = parts.match(instruction);
    if (!m.hasMatch())
        return std::nullopt;
    const QString kind = m.captured(1).toUpper();
    if (kind == u"PAGE")
        return QString::number(page);
    if (kind == u"NUMPAGES")
        return pages > 0 ? std::optional(QString::number(pages)) : std::nullopt;
    if (kind == u"FILENAME")
        return fileName.isEmpty() ? std::nullopt : std::optional(fileName);
    QString picture = m.captured(2);
    if (picture.isEmpty())
        picture = kind == u"DATE" ? QStringLiteral("d.M.yyyy") : QStringLiteral("H:mm");
    picture.replace(QStringLiteral("AM/PM"), QStringLiteral("AP")).replace(QStringLiteral("am/pm"), QStringLiteral("ap"));
    return QLocale(QLocale::Slovak).toString(QDateTime::currentDateTime(), picture);
}

} // namespace

void ParagraphLayout::drawPrintedLine(QPainter* painter, const QTextBlock& block, const QTextLine& line,
                                      const QPointF& origin) const
{
    struct Shown {
        int start, end;
        QTextCharFormat format;
        QString value;
    };
    std::vector<Shown> shown;
    const int lineStart = line.textStart(), lineEnd = line.textStart() + line.textLength();
    int lastId = 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat format = frag.charFormat();
        const int id = format.intProperty(docprop::FieldId);
        const int start = frag.position() - block.position();
        if (id != 0 && id == lastId && !shown.empty() && shown.back().end == start) {
            shown.back().end = start + frag.length();
            continue;
        }
        lastId = id;
        if (id == 0)
            continue;
        if (auto value = printedValue(format.stringProperty(docprop::FieldInstruction), printedPage_,
                                         printedFields_.pages, printedFields_.fileName))
            shown.push_back({start, start + frag.length(), format, *value});
    }
    // Only a field whole on this line is drawn anew (one that wraps keeps its result).
    std::erase_if(shown, [&](const Shown& f) { return f.start < lineStart || f.end > lineEnd; });
    if (shown.empty()) {
        line.draw(painter, origin);
        return;
    }
    const qreal top = origin.y() + line.y();
    QRegion around(QRectF(origin.x() - 1e5, top, 2e5, line.height()).toAlignedRect());
    std::vector<std::pair<qreal, qreal>> places;
    for (const Shown& f : shown) {
        const qreal left = origin.x() + line.cursorToX(f.start), right = origin.x() + line.cursorToX(f.end);
        places.emplace_back(left, right);
        around -= QRegion(QRectF(left, top, right - left, line.height()).toAlignedRect());
    }
    painter->save();
    painter->setClipRegion(around, Qt::IntersectClip);
    line.draw(painter, origin);
    painter->restore();
    for (size_t i = 0; i < shown.size(); ++i) {
        const Shown& f = shown[i];
        QTextLayout value(f.value, f.format.font().resolve(document()->defaultFont()), paintDevice());
        value.beginLayout();
        QTextLine valueLine = value.createLine();
        valueLine.setLineWidth(1e5);
        value.endLayout();
        const qreal width = valueLine.naturalTextWidth(), room = places[i].second - places[i].first;
        painter->save();
        painter->translate(places[i].first, top + line.ascent() - valueLine.ascent());
        if (width > room && width > 0)
            painter->scale(room / width, 1); // the value takes the result's place, no more
        painter->setPen(f.format.hasProperty(QTextFormat::ForegroundBrush) ? f.format.foreground().color() : QColor(Qt::black));
        value.draw(painter, QPointF(0, 0));
        painter->restore();
    }
}

int ParagraphLayout::layoutPage(QPainter* painter, const QRectF& page, qreal dpiX, qreal dpiY, int from)
{
    QTextDocument* doc = document();
    const int length = std::max(0, doc->characterCount() - 1);
    from = std::clamp(from, 0, length);
    syncWithDocument();
    // Documents are laid out in screen units; the page is measured in them and the painter
    // scaled, so the paragraphs break exactly as on a screen of the page's width.
    const qreal screenDpi = kTwipsPerInch / kTwipsPerPixel;
    const qreal sx = dpiX > 0 ? dpiX / screenDpi : 1;
    const qreal sy = dpiY > 0 ? dpiY / screenDpi : 1;
    PageRun run;
    run.painter = painter;
    // The page's width stands in for the screen's: no document margin on paper, the page
    // rectangle is the margin.
    run.width = page.width() / sx + 2 * margin();
    run.height = page.height() / sy;
    run.from = from;
    run.answer = length;
    PageNotes notes(*doc, run.width - 2 * margin());
    run.notes = &notes;
    if (painter) {
        printedPage_ = printedFields_.page > 0 ? printedFields_.page : from == 0 ? 1 : printedPage_ + 1;
        painter->save();
        painter->translate(page.topLeft());
        painter->scale(sx, sy);
        painter->setPen(Qt::black);
    }
    for (QTextBlock block = doc->findBlock(from); block.isValid(); block = block.next()) {
        if (const Row row = rowOf(block)) {
            if (!putRowOnPage(run, row))
                break;
            block = doc->findBlockByNumber(row.last);
        } else if (!putBlockOnPage(run, block)) {
            break;
        }
    }
    notes.drawAndClear(painter, margin(), run.height);
    if (painter)
        painter->restore();
    restoreScreenLayout(run);
    return run.answer;
}

bool ParagraphLayout::putRowOnPage(PageRun& run, const Row& row) const
{
    // A row goes on a page whole; only a row taller than a page is cut, between lines, and
    // goes on from there on the next.
    int lines = 0;
    const qreal h = layRow(row, run.width, &lines);
    run.relaidRows.push_back(row);
    const QTextBlock first = document()->findBlockByNumber(row.first);
    const int rowStart = first.position();
    if (run.any && (first.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) {
        run.answer = rowStart;
        return false;
    }
    const qreal offset = run.from > rowStart ? rowOffsetOf(row, run.from) : 0;
    if (!run.any)
        run.y = drawHeaderRows(run.painter, row, run.width, h - offset, run.height, &run.relaidRows);
    Band band{offset, kEverything};
    bool full = false;
    if (run.y + h - offset > run.height) {
        if (run.any) {
            run.answer = rowStart;
            return false;
        }
        qreal cut = 0;
        band.bottom = offset + run.height - run.y;
        // No line to cut at: what fits is drawn and the page goes on after the row.
        if (const int at = rowCut(row, band, &cut); at >= 0) {
            run.answer = at;
            full = true;
        }
        band.bottom = cut;
    }
    if (run.painter)
        drawRow(run.painter, row, QPointF(0, run.y - offset), h, run.width, nullptr, Qt::black, band);
    run.any = true;
    const QTextBlock last = document()->findBlockByNumber(row.last);
    run.notes->take(rowStart, last.position() + last.length());
    if (full)
        return false;
    run.y += std::min(h, band.bottom) - offset;
    return true;
}

bool ParagraphLayout::putBlockOnPage(PageRun& run, const QTextBlock& block) const
{
    const int n = block.blockNumber();
    qreal h = 0;
    if (run.width != pageWidth() || !laidOut_[size_t(n)] || block.layout()->lineCount() == 0) {
        h = layBlock(block, run.width);
        run.relaid.push_back(n);
    } else {
        h = heights_.height(n);
    }
    const QTextLayout* tl = block.layout();
    if (run.any && (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) {
        run.answer = block.position(); // the paragraph starts the next page
        return false;
    }
    int first = 0;
    if (block.contains(run.from) && run.from > block.position()) {
        const QTextLine at = tl->lineForTextPosition(run.from - block.position());
        first = at.isValid() ? at.lineNumber() : 0;
    }
    const qreal shift = first > 0 ? tl->lineAt(first).y() : 0;
    const QPointF origin(0, run.y - shift);
    for (int i = first; i < tl->lineCount(); ++i) {
        const QTextLine line = tl->lineAt(i);
        const int lineFrom = block.position() + line.textStart(), lineTo = lineFrom + line.textLength();
        if (run.any && origin.y() + line.y() + line.height() + run.notes->roomWith(lineFrom, lineTo) > run.height) {
            run.answer = lineFrom;
            return false;
        }
        run.notes->take(lineFrom, lineTo);
        if (run.painter)
            drawPrintedLine(run.painter, block, line, origin);
        run.any = true;
    }
    if (run.painter && first == 0)
        drawListMarker(run.painter, block, origin, Qt::black);
    run.y = origin.y() + h;
    return true;
}

void ParagraphLayout::restoreScreenLayout(const PageRun& run) const
{
    // Paragraphs laid out for paper get their screen lines back.
    QTextDocument* doc = document();
    for (const int n : run.relaid) {
        const QTextBlock b = doc->findBlockByNumber(n);
        if (laidOut_[size_t(n)])
            layBlock(b);
    }
    for (const Row& row : run.relaidRows) {
        if (laidOut_[size_t(row.first)])
            layRow(row, pageWidth(), nullptr);
    }
}

} // namespace zorim
