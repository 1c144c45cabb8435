#include "richtext/document/DocumentCapture.h"

#include "richtext/document/RichDocument.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/ListLevels.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <map>

namespace zorim {
namespace {

// Paragraphs rebuilt as one document for writing: a small part of a large document.
constexpr size_t kParagraphsPerSlice = 256;

} // namespace

DocumentCapture DocumentCapture::take(const QTextDocument& doc, Content content)
{
    DocumentCapture capture(content);
    capture.takeSome(doc, std::chrono::microseconds::max());
    return capture;
}

bool DocumentCapture::takeSome(const QTextDocument& doc, std::chrono::microseconds budget)
{
    if (done_)
        return true;
    if (next_ == 0) {
        defaultFont_ = doc.defaultFont();
        page_ = readPageSetup(doc);
        kept_ = readKeptGroups(doc);
        // The characters are appended as the paragraphs are taken: room for all of them at once.
        text_.reserve(doc.characterCount());
        if (content_ == Content::Rich)
            paragraphs_.reserve(size_t(doc.blockCount()));
    }
    QElapsedTimer clock;
    clock.start();
    const qint64 budgetNs = budget == std::chrono::microseconds::max()
                                ? std::numeric_limits<qint64>::max()
                                : std::chrono::duration_cast<std::chrono::nanoseconds>(budget).count();
    QTextBlock block = doc.findBlock(next_);
    const bool tables = !doc.rootFrame()->childFrames().isEmpty();
    for (int taken = 0; block.isValid(); block = block.next(), ++taken) {
        // The clock is read every few paragraphs: reading it costs more than a short paragraph.
        if (taken % 16 == 15 && clock.nsecsElapsed() > budgetNs)
            return false;
        takeParagraph(doc, block, tables);
    }
    done_ = true;
    return true;
}

void DocumentCapture::takeParagraph(const QTextDocument& doc, const QTextBlock& block, bool tables)
{
    Paragraph paragraph;
    QTextTable* table = tables ? QTextCursor(block).currentTable() : nullptr;
    if (table) {
        // The two outermost tables the paragraph stands in.
        QTextTable* outer = nullptr;
        for (QTextFrame* f = table->parentFrame(); f; f = f->parentFrame()) {
            if (auto* t = qobject_cast<QTextTable*>(f)) {
                if (outer)
                    table = outer;
                outer = t;
            }
        }
        if (outer) {
            const QTextTableCell cell = outer->cellAt(block.position());
            paragraph.outer = quintptr(outer);
            paragraph.outerRow = cell.row();
            paragraph.outerColumn = cell.column();
        }
        const QTextTableCell cell = table->cellAt(block.position());
        paragraph.table = quintptr(table);
        paragraph.row = cell.row();
        paragraph.column = cell.column();
        paragraph.rows = table->rows();
        paragraph.columns = table->columns();
        paragraph.cellFormat = cell.format();
    }
    // The characters between paragraphs (a paragraph break, a table's frame marks) are not
    // written from the capture; standing in for them keeps each run at its document position.
    // Before a cell's first paragraph stands what the document's text shows there: a tab
    // between cells, a blank between a cell's paragraphs.
    if (text_.size() < block.position()) {
        QChar mark = QChar::ParagraphSeparator;
        if (table && block.position() != table->cellAt(block.position()).firstPosition())
            mark = u' ';
        else if (table && paragraph.column > 0)
            mark = u'\t';
        else if (paragraph.outer)
            mark = u' '; // a row of a table inside a cell starts in that cell
        text_.append(QString(block.position() - text_.size() - 1, QChar::ParagraphSeparator));
        text_.append(mark);
    }
    text_ += block.text();
    next_ = block.position() + block.length();
    if (content_ == Content::TextOnly)
        return;
    paragraph.start = block.position();
    paragraph.format = block.blockFormat();
    paragraph.charFormat = block.charFormat();
    if (const QTextList* list = block.textList()) {
        const int key = list->format().intProperty(docprop::ListKey);
        paragraph.list = key > 0 ? quintptr(key) : quintptr(list);
        paragraph.listFormat = list->format();
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        Run run{fragment.position(), fragment.length(), fragment.charFormat(), {}};
        if (run.format.isImageFormat() && !pictureFromFormat(run.format))
            run.image = doc.resource(QTextDocument::ImageResource, QUrl(run.format.toImageFormat().name())).value<QImage>();
        paragraph.runs.push_back(std::move(run));
    }
    paragraphs_.push_back(std::move(paragraph));
}

void DocumentCapture::changedFrom(int position)
{
    if (position >= next_ && !done_)
        return; // not taken yet
    // The paragraph holding the position starts at the last paragraph separator before it.
    const qsizetype end = std::min<qsizetype>(position, text_.size());
    const qsizetype separator = QStringView(text_).first(end).lastIndexOf(QChar::ParagraphSeparator);
    const int start = int(separator + 1);
    text_.truncate(start);
    if (content_ == Content::Rich) {
        const auto first = std::lower_bound(paragraphs_.begin(), paragraphs_.end(), start,
                                            [](const Paragraph& p, int at) { return p.start < at; });
        paragraphs_.erase(first, paragraphs_.end());
    }
    next_ = start;
    done_ = false;
}

QByteArray DocumentCapture::toRtf() const
{
    // A slice of the paragraphs at a time is rebuilt as a document and written: a copy of the
    // whole document is never made.
    RtfPiecesWriter writer;
    for (size_t first = 0, last = 0; first < paragraphs_.size() || first == 0; first = last) {
        // A slice never ends in a table: the paragraph after a table is its own.
        last = std::min(paragraphs_.size(), first + kParagraphsPerSlice);
        while (last < paragraphs_.size() && last > first && paragraphs_[last - 1].table)
            ++last;
        QTextDocument slice;
        rebuild(slice, first, last);
        writer.add(slice);
        if (last == first)
            break;
    }
    return writer.finish();
}

void DocumentCapture::rebuild(QTextDocument& doc, size_t from, size_t to) const
{
    doc.setUndoRedoEnabled(false);
    doc.setDefaultFont(defaultFont_);
    applyPageSetup(doc, page_);
    applyKeptGroups(doc, kept_);
    QTextCursor cursor(&doc);
    bool first = true;
    // The tables being rebuilt, the document's first, each with its paragraphs' key and the
    // cell the last paragraph went into.
    struct Open {
        QTextTable* table = nullptr;
        quintptr key = 0;
        int row = -1, column = -1;
    };
    std::vector<Open> open;
    std::map<quintptr, QTextList*> lists; // the lists made, by the paragraphs' key
    for (size_t i = from; i < to; ++i) {
        const Paragraph& paragraph = paragraphs_[i];
        // The list a paragraph belonged to is an object of the original document; here it is
        // an item of a list of this one made with the same format.
        QTextBlockFormat format = paragraph.format;
        format.clearProperty(QTextFormat::ObjectIndex);
        bool newBlock = !first;
        struct Level {
            quintptr key;
            int row, column;
        };
        std::vector<Level> levels;
        if (paragraph.outer)
            levels.push_back({paragraph.outer, paragraph.outerRow, paragraph.outerColumn});
        if (paragraph.table)
            levels.push_back({paragraph.table, paragraph.row, paragraph.column});
        // The tables the paragraph is not in end: it goes on after them.
        size_t keep = 0;
        while (keep < open.size() && keep < levels.size() && open[keep].key == levels[keep].key)
            ++keep;
        while (open.size() > keep) {
            cursor.setPosition(open.back().table->lastPosition() + 1);
            open.pop_back();
            newBlock = false;
        }
        for (size_t d = 0; d < levels.size(); ++d) {
            const bool own = d + 1 == levels.size(); // the paragraph's own table: its size and format are known
            if (d == open.size()) {
                const int rows = own ? paragraph.rows : levels[d].row + 1, columns = own ? paragraph.columns : levels[d].column + 1;
                open.push_back({cursor.insertTable(std::max(1, rows), std::max(1, columns)), levels[d].key});
            }
            Open& at = open[d];
            // A table that grew while it was taken grows here too.
            if (levels[d].row >= at.table->rows())
                at.table->appendRows(levels[d].row + 1 - at.table->rows());
            if (levels[d].column >= at.table->columns())
                at.table->appendColumns(levels[d].column + 1 - at.table->columns());
            if (levels[d].row != at.row || levels[d].column != at.column) {
                at.row = levels[d].row;
                at.column = levels[d].column;
                if (own)
                    at.table->cellAt(at.row, at.column).setFormat(paragraph.cellFormat);
                cursor.setPosition(at.table->cellAt(at.row, at.column).firstPosition());
                newBlock = false;
            }
        }
        first = false;
        if (newBlock) {
            cursor.insertBlock(format, paragraph.charFormat);
        } else {
            cursor.setBlockFormat(format);
            cursor.setBlockCharFormat(paragraph.charFormat);
        }
        for (const Run& run : paragraph.runs) {
            if (!run.image.isNull())
                doc.addResource(QTextDocument::ImageResource, QUrl(run.format.toImageFormat().name()), run.image);
            cursor.insertText(text_.mid(run.from, run.length), run.format);
        }
        if (paragraph.list) {
            QTextList*& list = lists[paragraph.list];
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(paragraph.listFormat);
        }
    }
}

SteppedCapture::SteppedCapture(const RichDocument& doc, DocumentCapture::Content content)
    : SteppedCapture(*doc.textDocument(), content)
{
}

SteppedCapture::SteppedCapture(const QTextDocument& doc, DocumentCapture::Content content, std::chrono::microseconds budget)
    : doc_(&doc), capture_(content), budget_(budget)
{
    // A document tells its edits only once it has a layout (one that shows it always has).
    doc.documentLayout();
    connect(&doc, &QTextDocument::contentsChange, this,
            [this](int position, int, int) { capture_.changedFrom(position); });
}

bool SteppedCapture::step()
{
    if (doc_.isNull())
        return true;
    if (!capture_.takeSome(*doc_, budget_))
        return false;
    // Complete: from here on the capture is another thread's to read, and edits no longer reach it.
    disconnect(doc_, nullptr, this, nullptr);
    return true;
}

} // namespace zorim
