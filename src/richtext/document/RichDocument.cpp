#include "richtext/document/RichDocument.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/Links.h"
#include "richtext/document/Sections.h"
#include "richtext/document/TextSlices.h"
#include "richtext/formats/docx/Docx.h"
#include "richtext/formats/odt/Odt.h"
#include "richtext/formats/rtf/Rtf.h"
#include "text/Codepage.h"

#include <QAbstractUndoItem>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <string_view>

namespace zorim {
namespace {

// A text file longer than this is put in a slice at a time (see load()).
constexpr qsizetype kSlicedLoadAbove = 8 << 20;
// So is an RTF file longer than this (reading it whole would take a few tenths of a second),
// in slices of this many bytes of the file, which take about as long as a text's slice.
constexpr qsizetype kSlicedRtfAbove = 4 << 20;
constexpr qsizetype kRtfSlice = 512 << 10;

// Text enters a new document from its end backwards, a slice at a time, each slice at the
// document's start: the decoded text shrinks as the document grows, so a large file is never
// held twice. Slices start after a line break, so a CR LF pair never falls apart.
void insertFromTheEnd(QTextCursor& cursor, QString text, const QTextCharFormat& format)
{
    constexpr qsizetype kSlice = kTextSlice;
    while (!text.isEmpty()) {
        qsizetype from = std::max<qsizetype>(0, text.size() - kSlice);
        if (from > 0) {
            qsizetype cut = text.lastIndexOf(u'\n', from);
            if (cut < 0)
                cut = text.lastIndexOf(u'\r', from - 1);
            from = cut < 0 ? 0 : cut + 1;
        }
        cursor.setPosition(0);
        cursor.insertText(text.sliced(from), format);
        text.truncate(from);
        text.squeeze(); // gives the memory back at once (a large block shrinks in place)
    }
}


} // namespace

struct RichDocument::PendingText {
    TextDocumentEncoding encoding = TextDocumentEncoding::Cp1250;
    std::deque<QByteArray> parts;
    std::unique_ptr<RtfSliceReader> rtf; // a long RTF file: the reader, where it stands

    bool done() const { return rtf ? rtf->done() : parts.empty(); }

    QString decode(const QByteArray& part, bool last) const
    {
        QString text = decodeTextDocumentPart(part.constData(), part.size(), encoding);
        if (last && text.endsWith(u'\r'))
            text.chop(1); // a CR that ends the text ends no paragraph
        return text;
    }
    // Puts the next part in at the cursor, in the document's default format.
    void insertNext(QTextCursor& cursor, const QTextCharFormat& format)
    {
        if (rtf) {
            rtf->readOn(kRtfSlice);
            return;
        }
        const QByteArray part = std::move(parts.front());
        parts.pop_front();
        cursor.insertText(decode(part, parts.empty()), format);
    }
    // Puts all the parts in at the cursor: the last first, each one before the one after it.
    // Qt adds paragraphs before others faster than after them (a fifth of the time for a
    // long text).
    void insertAll(QTextCursor& cursor, const QTextCharFormat& format)
    {
        if (rtf) {
            rtf->readOn(std::numeric_limits<qsizetype>::max());
            return;
        }
        const int at = cursor.position();
        for (bool last = true; !parts.empty(); last = false) {
            const QByteArray part = std::move(parts.back());
            parts.pop_back();
            cursor.setPosition(at);
            cursor.insertText(decode(part, last), format);
        }
    }
};

// The mode's part of a conversion, kept in the text document's undo history beside the
// content's part.
class ModeSwitch : public QAbstractUndoItem {
public:
    ModeSwitch(RichDocument& doc, bool plain) : doc_(doc), plain_(plain) {}
    void undo() override { doc_.restoreMode(!plain_); }
    void redo() override { doc_.restoreMode(plain_); }

private:
    RichDocument& doc_;
    bool plain_;
};

RichDocument::RichDocument(QObject* parent, Layout layout, LayoutMaker maker)
    : QObject(parent), doc_(new QTextDocument(this)), layoutMaker_(std::move(maker))
{
    loadTimer_ = new QTimer(this);
    loadTimer_->setSingleShot(true);
    loadTimer_->setInterval(0);
    connect(loadTimer_, &QTimer::timeout, this, [this] {
        continueLoad();
        if (pending_)
            loadTimer_->start();
    });
    // Paragraphs read left to right unless told otherwise. Without a fixed direction Qt
    // scans a paragraph's text for it each time it asks.
    QTextOption option = doc_->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    doc_->setDefaultTextOption(option);
    // Our own layout: an edit lays out only the paragraphs it changed.
    if (layout == Layout::Made && layoutMaker_)
        makeLayout();
    attach(doc_);
}

RichDocument::~RichDocument() = default;

LineLayout& RichDocument::layout() const
{
    if (!layout_)
        const_cast<RichDocument*>(this)->makeLayout();
    return *layout_;
}

void RichDocument::makeLayout()
{
    // Installing a layout tells of the whole text as if it had just come; it changed nothing.
    const QuietScope quiet(*this);
    LineLayout* made = newLayout(doc_);
    made->setLinkDetection(linkDetection_);
    doc_->setDocumentLayout(made->textLayout());
    layout_ = made;
}

LineLayout* RichDocument::newLayout(QTextDocument* doc)
{
    if (!layoutMaker_)
        qFatal("A document made without a layout was asked for lines or pages");
    return layoutMaker_(doc, [this] { emit linesSettled(); });
}

void RichDocument::attach(QTextDocument* doc)
{
    doc->setUndoRedoEnabled(!loading());
    connect(doc, &QTextDocument::contentsChange, this, &RichDocument::onContentsChange);
    connect(doc, &QTextDocument::undoCommandAdded, this, [this] {
        if (inUndo_ || joining_)
            return;
        ++steps_;
        undoDepth_ = std::min(undoDepth_ + 1, undoLimit_);
        redoDepth_ = 0;
    });
}

void RichDocument::onContentsChange(int from, int removed, int added)
{
    rawValid_ = false;
    if (inUndo_)
        undoFrom_ = undoFrom_ < 0 ? from : std::min(undoFrom_, from);
    if ((removed == 0 && added == 0) || quiet_ > 0)
        return;
    modified_ = true;
    notice();
}

void RichDocument::notice()
{
    if (quiet_ > 0)
        return;
    if (transactions_ > 0)
        pendingNotice_ = true;
    else
        emit changed();
}

RichDocument::Transaction::Transaction(RichDocument& doc) : doc_(doc)
{
    doc_.completeLoad();
    if (doc_.transactions_++ == 0) {
        doc_.pendingNotice_ = false;
        doc_.transactionCursor_ = QTextCursor(doc_.doc_);
        doc_.transactionCursor_.beginEditBlock();
    }
}

RichDocument::Transaction::Transaction(RichDocument& doc, quint64& run) : doc_(doc)
{
    doc_.completeLoad();
    if (doc_.transactions_++ > 0) {
        run = 0; // inside another edit: that one is the step
        return;
    }
    doc_.pendingNotice_ = false;
    doc_.transactionCursor_ = QTextCursor(doc_.doc_);
    run_ = &run;
    stepsBefore_ = doc_.steps_;
    // The run's step is the last one done only while the history has not moved since.
    joined_ = run != 0 && run == doc_.steps_ && doc_.canUndo();
    if (joined_) {
        doc_.joining_ = true;
        doc_.transactionCursor_.joinPreviousEditBlock();
    } else {
        doc_.transactionCursor_.beginEditBlock();
    }
}

RichDocument::Transaction::~Transaction()
{
    if (doc_.transactions_ == 1) {
        // The document reports the whole edit here, still inside the transaction.
        doc_.transactionCursor_.endEditBlock();
        doc_.transactionCursor_ = QTextCursor();
        doc_.joining_ = false;
        if (run_)
            *run_ = joined_ || doc_.steps_ != stepsBefore_ ? doc_.steps_ : 0;
    }
    if (--doc_.transactions_ == 0 && doc_.pendingNotice_) {
        doc_.pendingNotice_ = false;
        emit doc_.changed();
    }
}

// ---- content ------------------------------------------------------------------------------

int RichDocument::length() const
{
    completeLoad();
    return lengthSoFar();
}

int RichDocument::lengthSoFar() const { return std::max(0, doc_->characterCount() - 1); }

CharRange RichDocument::clamp(CharRange range) const
{
    // A range within what a long text has put in so far stays within it; only "to the end"
    // needs the rest.
    if (range.max < 0)
        completeLoad();
    const int len = lengthSoFar();
    const int a = std::clamp(range.min, 0, len);
    const int b = range.max < 0 ? len : std::clamp(range.max, a, len);
    return {a, b};
}

void RichDocument::insertText(QTextCursor& cursor, const QString& text)
{
    // The document's own insertion ends a paragraph at each CR, LF and CR LF.
    if (!text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar::ParagraphSeparator)) {
        cursor.insertText(text);
        return;
    }
    const int head = cursor.document()->findBlock(cursor.selectionStart()).blockNumber();
    cursor.beginEditBlock();
    cursor.insertText(text);
    startOnlyOnFirst(*cursor.document(), head, cursor.blockNumber());
    cursor.endEditBlock();
}

void RichDocument::setText(const QString& text)
{
    dropPendingLoad(); // replaced before it was all in
    leftOut_ = {};
    Transaction edit(*this);
    QTextCursor c(doc_);
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setBlockFormat(QTextBlockFormat());
    c.setBlockCharFormat(defaultFormat_);
    c.setCharFormat(defaultFormat_);
    insertText(c, text);
}

void RichDocument::clear()
{
    textForm_ = {};
    if (!(doc_->isEmpty() && doc_->begin().blockFormat() == QTextBlockFormat()))
        setText(QString());
    forgetUndo();
}

void RichDocument::convertToMode(bool plain)
{
    QString content = text();
    if (plain)
        content.remove(QChar::ObjectReplacementCharacter);
    const Transaction edit(*this);
    doc_->appendUndoItem(new ModeSwitch(*this, plain));
    plain_ = plain;
    setText(content);
}

void RichDocument::restoreMode(bool plain)
{
    plain_ = plain;
    emit modeRestored(plain);
}

// ---- formats ------------------------------------------------------------------------------

CharFormat RichDocument::defaultFormat() const { return readCharFormat(defaultFormat_, doc_->defaultFont()); }

void RichDocument::setDefaultFormat(const CharFormat& rec)
{
    // The default format is what unformatted text shows and what an empty document types.
    applyCharFormat(defaultFormat_, rec);
    QFont font = doc_->defaultFont();
    if (rec.mask & cfm::Face)
        font.setFamilies(QStringList{rec.faceName.left(kMaxFaceName)});
    if (rec.mask & cfm::Size)
        font.setPointSizeF(clampHeightTwips(rec.height) / double(kTwipsPerPoint));
    const QuietScope quiet(*this);
    doc_->setDefaultFont(font);
    if (doc_->isEmpty()) {
        QTextCursor c(doc_);
        c.setBlockCharFormat(defaultFormat_);
    }
}

// ---- undo ---------------------------------------------------------------------------------

bool RichDocument::canUndo() const { return undoDepth_ > 0 && doc_->isUndoAvailable(); }
bool RichDocument::canRedo() const { return redoDepth_ > 0 && doc_->isRedoAvailable(); }

void RichDocument::undo(QTextCursor* cursor)
{
    if (!canUndo())
        return;
    // The counts move first, so that the document's notices during the undo see them.
    --undoDepth_;
    ++redoDepth_;
    ++steps_;
    inUndo_ = true;
    undoFrom_ = -1;
    doc_->undo(cursor);
    inUndo_ = false;
    // The caret goes where the change undone starts (where a deleted selection started), not
    // to the end of what came back: after a long deletion undone, the end is far away.
    if (cursor && undoFrom_ >= 0)
        cursor->setPosition(std::min(undoFrom_, doc_->characterCount() - 1));
}

void RichDocument::redo(QTextCursor* cursor)
{
    if (!canRedo())
        return;
    --redoDepth_;
    ++undoDepth_;
    ++steps_;
    inUndo_ = true;
    doc_->redo(cursor);
    inUndo_ = false;
}

int RichDocument::setUndoLimit(int limit)
{
    undoLimit_ = std::max(0, limit);
    undoDepth_ = std::min(undoDepth_, undoLimit_);
    return undoLimit_;
}

void RichDocument::forgetUndo()
{
    doc_->clearUndoRedoStacks();
    undoDepth_ = redoDepth_ = 0;
    ++steps_;
}

// ---- streams ------------------------------------------------------------------------------

bool RichDocument::insertContent(QTextCursor& cursor, QByteArray bytes, TextFormat format, StreamOptions options,
                                 bool wholeDocument)
{
    if (format != TextFormat::Text) {
        LeftOut leftOut;
        const bool ok = format == TextFormat::Rtf    ? readRtf(bytes, cursor, &leftOut)
                        : format == TextFormat::Docx ? readDocx(bytes, cursor, &leftOut)
                                                     : readOdt(bytes, cursor, &leftOut);
        leftOut_ += leftOut;
        return ok;
    }
    QString text;
    if (options.has(StreamOption::Unicode)) {
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        text.remove(QChar(0));
    } else {
        dropZeroBytes(bytes);
        text = decodeTextDocument(bytes);
    }
    bytes = QByteArray(); // the bytes go before the document grows
    if (text.endsWith(u'\r'))
        text.chop(1); // a CR that ends the text ends no paragraph
    if (wholeDocument)
        insertFromTheEnd(cursor, std::move(text), defaultFormat_);
    else
        insertText(cursor, text);
    return true;
}

QTextDocument* RichDocument::newTextDocument(QObject* parent) const
{
    auto* fresh = new QTextDocument(parent);
    fresh->setDefaultFont(doc_->defaultFont());
    fresh->setDefaultTextOption(doc_->defaultTextOption());
    fresh->setDocumentMargin(doc_->documentMargin());
    fresh->setPageSize(doc_->pageSize());
    fresh->setUndoRedoEnabled(false);
    QTextCursor(fresh).setBlockCharFormat(defaultFormat_);
    return fresh;
}

// A whole new document is built apart and then put in place: building it lays nothing out,
// and a view shows it laid out lazily, the visible part first.
bool RichDocument::load(QByteArray bytes, TextFormat format, StreamOptions options)
{
    // Rich text that is no RTF fails before anything changes, so the caller can take it as text.
    if (format == TextFormat::Rtf && !isRtf(bytes))
        return false;
    const LeftOut leftOutBefore = leftOut_;
    leftOut_ = {};
    auto* fresh = newTextDocument(this);
    QTextCursor c(fresh);
    c.setCharFormat(defaultFormat_);
    bool ok = true;
    std::unique_ptr<PendingText> rest;
    const bool bytesText = format == TextFormat::Text && !options.has(StreamOption::Unicode);
    if (bytesText)
        dropZeroBytes(bytes); // before the length decides: a file of zero bytes is no long text
    // A text file is written back as it was read: its encoding, mark and line ends.
    const TextDocumentForm form = bytesText ? textDocumentForm(bytes) : TextDocumentForm{};
    if (bytesText && bytes.size() > kSlicedLoadAbove) {
        // A long text: the first slice now, the rest from the event loop. The parts are
        // copies, so the whole file is held once more only until they are made.
        rest = std::make_unique<PendingText>();
        // The form has read the encoding already (plain ASCII decodes alike either way).
        rest->encoding = form.encoding == TextDocumentForm::Encoding::Utf8 ? TextDocumentEncoding::Utf8
                                                                           : TextDocumentEncoding::Cp1250;
        rest->parts = cutIntoSlices(bytes, form.byteOrderMark ? 3 : 0);
        bytes = QByteArray();
        rest->insertNext(c, defaultFormat_);
        if (rest->parts.empty())
            rest.reset();
    } else if (format == TextFormat::Rtf && bytes.size() > kSlicedRtfAbove) {
        // A long RTF file: the paragraphs of a first slice now, the rest from the event loop.
        rest = std::make_unique<PendingText>();
        rest->rtf = std::make_unique<RtfSliceReader>(std::move(bytes), *fresh);
        rest->insertNext(c, defaultFormat_);
        if (rest->done()) {
            leftOut_ += rest->rtf->leftOut();
            rest.reset();
        }
    } else {
        ok = insertContent(c, std::move(bytes), format, options, true);
    }
    if (!ok) {
        // The document, its undo and what a long text still has to come stay as they were.
        delete fresh;
        leftOut_ = leftOutBefore;
        return false;
    }
    dropPendingLoad(); // what was still to come belongs to the document being replaced
    textForm_ = form;
    // Installed once the text is in, so building the document laid nothing out.
    LineLayout* freshLayout = nullptr;
    if (layout_) {
        freshLayout = newLayout(fresh);
        freshLayout->setLinkDetection(linkDetection());
        freshLayout->setShown(layout_->shown());
        fresh->setDocumentLayout(freshLayout->textLayout());
    }
    QTextDocument* old = doc_;
    doc_ = fresh;
    if (layout_)
        layout_ = freshLayout; // the old one goes with its document
    pending_ = std::move(rest);
    attach(fresh);
    rawValid_ = false;
    rawCache_ = QString();
    undoDepth_ = redoDepth_ = 0;
    ++steps_;
    emit replaced();
    delete old;
    // A document just loaded matches its file; its arrival is one change.
    modified_ = false;
    notice();
    if (pending_)
        loadTimer_->start();
    return true;
}

void RichDocument::continueLoad()
{
    if (!pending_)
        return;
    {
        // The rest of the file is no edit of the user's.
        const QuietScope quiet(*this);
        QTextCursor end(doc_);
        end.movePosition(QTextCursor::End);
        // One edit block per slice: outside one, Qt places the view's caret after every
        // insertion, asking for the rectangle of the last paragraph, which lays out (and
        // settles) everything above it.
        end.beginEditBlock();
        pending_->insertNext(end, defaultFormat_);
        end.endEditBlock();
    }
    if (pending_->done())
        endLoad(true);
}

void RichDocument::completeLoad() const
{
    if (!pending_)
        return;
    auto* self = const_cast<RichDocument*>(this);
    {
        const QuietScope quiet(*self);
        QTextCursor end(doc_);
        end.movePosition(QTextCursor::End);
        end.beginEditBlock(); // one notice of the change for the whole rest
        pending_->insertAll(end, defaultFormat_);
        end.endEditBlock();
    }
    self->endLoad(true);
}

void RichDocument::dropPendingLoad()
{
    if (pending_)
        endLoad(false);
}

void RichDocument::endLoad(bool completed)
{
    if (completed && pending_->rtf)
        leftOut_ += pending_->rtf->leftOut();
    pending_.reset();
    loadTimer_->stop();
    doc_->setUndoRedoEnabled(true);
    if (completed)
        emit loadCompleted();
}

bool RichDocument::insert(QTextCursor& cursor, const QByteArray& bytes, TextFormat format, StreamOptions options)
{
    if (format == TextFormat::Rtf && !isRtf(bytes))
        return false;
    Transaction edit(*this);
    const int head = doc_->findBlock(cursor.selectionStart()).blockNumber();
    const bool done = insertContent(cursor, bytes, format, options, false);
    startOnlyOnFirst(*doc_, head, cursor.blockNumber());
    return done;
}

namespace {

// The block that starts the section holding pos; invalid in the first section.
QTextBlock sectionStart(const QTextDocument& doc, int pos)
{
    for (QTextBlock block = doc.findBlock(pos); block.isValid() && block.blockNumber() > 0; block = block.previous())
        if (block.blockFormat().hasProperty(docprop::Section))
            return block;
    return {};
}

} // namespace

PageSetup RichDocument::sectionPage(int pos) const
{
    completeLoad();
    const QTextBlock start = sectionStart(*doc_, pos);
    return start.isValid() ? sectionOf(start.blockFormat())->page : readPageSetup(*doc_);
}

void RichDocument::setSectionPage(int pos, const PageSetup& page)
{
    if (sectionPage(pos) == page)
        return;
    Transaction edit(*this);
    const QTextBlock start = sectionStart(*doc_, pos);
    if (start.isValid()) {
        QTextBlockFormat format = start.blockFormat();
        SectionSetup setup = *sectionOf(format);
        setup.page = page;
        setSection(format, setup);
        QTextCursor(start).setBlockFormat(format);
    } else {
        applyPageSetup(*doc_, page);
    }
    // The root frame's format is no change of text: an empty document would not tell it.
    modified_ = true;
    notice();
}

} // namespace zorim
