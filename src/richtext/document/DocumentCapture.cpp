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
    QTextTable* table = nullptr; // the table being rebuilt, of the paragraphs' key tableKey
    quintptr tableKey = 0;
    int row = -1, column = -1;
    std::map<quintptr, QTextList*> lists; // the lists made, by the paragraphs' key
    for (size_t i = from; i < to; ++i) {
        const Paragraph& paragraph = paragraphs_[i];
        // The list a paragraph belonged to is an object of the original document; here it is
        // an item of a list of this one made with the same format.
        QTextBlockFormat format = paragraph.format;
        format.clearProperty(QTextFormat::ObjectIndex);
        bool newBlock = !first;
        if (paragraph.table) {
            if (!table || paragraph.table != tableKey) {
                if (table)
                    cursor.setPosition(table->lastPosition() + 1);
                table = cursor.insertTable(std::max(1, paragraph.rows), std::max(1, paragraph.columns));
                tableKey = paragraph.table;
                row = column = -1;
            }
            // A table that grew while it was taken grows here too.
            if (paragraph.row >= table->rows())
                table->appendRows(paragraph.row + 1 - table->rows());
            if (paragraph.column >= table->columns())
                table->appendColumns(paragraph.column + 1 - table->columns());
            if (paragraph.row != row || paragraph.column != column) {
                row = paragraph.row;
                column = paragraph.column;
                table->cellAt(row, column).setFormat(paragraph.cellFormat);
                cursor.setPosition(table->cellAt(row, column).firstPosition());
                newBlock = false;
            }
        } else if (table) {
            cursor.setPosition(table->lastPosition() + 1);
            table = nullptr;
            newBlock = false;
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
