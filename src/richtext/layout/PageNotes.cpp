#include "richtext/layout/PageNotes.h"

#include "richtext/document/NoteNumbers.h"
#include "richtext/document/Notes.h"
#include "richtext/formats/rtf/RtfNotes.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace zorim {
namespace {

// Room above the rule and between it and the first note, as a part of a line.
constexpr qreal kRuleGap = 0.5;

// The note's text after its number, laid out at the width.
std::unique_ptr<QTextDocument> laidOutNote(const QTextDocument& doc, const Note& note, int number, qreal width)
{
    auto text = std::make_unique<QTextDocument>();
    text->setDefaultFont(doc.defaultFont());
    text->setDocumentMargin(0);
    text->setUndoRedoEnabled(false);
    readNoteContent(note, *text);
    if (!note.customMark) {
        QTextCursor at(text.get());
        QTextCharFormat raised = at.charFormat();
        raised.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        at.insertText(noteLabel(number, note.endnote), raised);
        at.insertText(QStringLiteral(" "), at.block().charFormat());
    }
    text->setTextWidth(width);
    return text;
}

qreal lineHeight(const QTextDocument& doc) { return QFontMetricsF(doc.defaultFont()).lineSpacing(); }

} // namespace

struct PageNotes::Laid {
    std::unique_ptr<QTextDocument> text;
    qreal height = 0;
};

PageNotes::PageNotes(QTextDocument& doc, qreal width)
    : doc_(doc), width_(width), any_(NoteNumbers::of(doc).count(false) > 0)
{
}

PageNotes::~PageNotes() = default;

std::vector<std::unique_ptr<PageNotes::Laid>> PageNotes::notesIn(int from, int to)
{
    std::vector<std::unique_ptr<Laid>> out;
    if (!any_)
        return out;
    NoteNumbers& numbers = NoteNumbers::of(doc_);
    for (QTextBlock b = doc_.findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const std::optional<Note> note = noteOf(fragment.charFormat());
            if (!note || note->endnote)
                continue;
            const int start = std::max(from, fragment.position());
            const int end = std::min(to, fragment.position() + fragment.length());
            for (int pos = start; pos < end; ++pos) {
                auto laid = std::make_unique<Laid>();
                laid->text = laidOutNote(doc_, *note, numbers.numberAt(pos), width_);
                laid->height = laid->text->size().height();
                out.push_back(std::move(laid));
            }
        }
    }
    return out;
}

qreal PageNotes::roomWith(int from, int to)
{
    qreal height = height_;
    asked_ = notesIn(from, to);
    askedFrom_ = from;
    askedTo_ = to;
    for (const auto& laid : asked_)
        height += laid->height;
    return height > 0 ? height + 2 * kRuleGap * lineHeight(doc_) : 0;
}

void PageNotes::take(int from, int to)
{
    std::vector<std::unique_ptr<Laid>> notes = from == askedFrom_ && to == askedTo_ ? std::move(asked_) : notesIn(from, to);
    askedFrom_ = askedTo_ = -1;
    for (auto& laid : notes) {
        height_ += laid->height;
        page_.push_back(std::move(laid));
    }
}

void PageNotes::drawAndClear(QPainter* painter, qreal left, qreal height)
{
    if (painter && !page_.empty()) {
        const qreal gap = kRuleGap * lineHeight(doc_);
        qreal y = height - height_ - gap;
        painter->save();
        painter->setPen(QPen(Qt::black, 0));
        painter->drawLine(QPointF(left, y), QPointF(left + width_ / 3, y)); // the short rule
        y += gap;
        for (const auto& laid : page_) {
            painter->save();
            painter->translate(left, y);
            laid->text->drawContents(painter);
            painter->restore();
            y += laid->height;
        }
        painter->restore();
    }
    page_.clear();
    height_ = 0;
}

int printEndnotes(QTextDocument& doc, QPainter& painter, QPagedPaintDevice& device, const QRectF& page, qreal sx, qreal sy)
{
    NoteNumbers& numbers = NoteNumbers::of(doc);
    if (numbers.count(true) == 0)
        return 0;
    const qreal width = page.width() / sx, height = page.height() / sy;
    // All endnotes as one text, paragraphs after each other, cut into the pages' heights.
    QTextDocument all;
    all.setDefaultFont(doc.defaultFont());
    all.setDocumentMargin(0);
    all.setUndoRedoEnabled(false);
    QTextCursor end(&all);
    bool first = true;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const std::optional<Note> note = noteOf(it.fragment().charFormat());
            if (!note || !note->endnote)
                continue;
            for (int pos = it.fragment().position(); pos < it.fragment().position() + it.fragment().length(); ++pos) {
                const auto text = laidOutNote(doc, *note, numbers.numberAt(pos), width);
                if (!first)
                    end.insertBlock();
                first = false;
                end.insertFragment(QTextDocumentFragment(text.get()));
            }
        }
    }
    all.setPageSize(QSizeF(width, height));
    const int pages = all.pageCount();
    for (int i = 0; i < pages; ++i) {
        device.newPage();
        painter.save();
        painter.translate(page.topLeft());
        painter.scale(sx, sy);
        painter.translate(0, -i * height);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * height, width, height);
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(context.clip);
        all.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return pages;
}

} // namespace zorim
