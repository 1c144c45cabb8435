#include "richtext/RichEngine.h"

#include "richtext/DocFormats.h"
#include "richtext/ParagraphLayout.h"
#include "richtext/rtf/Picture.h"
#include "richtext/rtf/Rtf.h"
#include "text/Codepage.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>
#include <vector>

namespace zorim {

namespace {

constexpr QChar kParagraphSeparator(0x2029);

// Web and mail addresses as the control recognises them while text is typed or inserted.
const QRegularExpression& urlPattern()
{
    static const QRegularExpression re(
        QStringLiteral(R"((?:(?:https?|ftp|file|news|nntp|telnet|gopher|wais|prospero)://|mailto:|www\.)[^\s<>"]+)"
                       R"(|[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\.[A-Za-z0-9-]+)+)"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// Trailing punctuation closes the sentence, not the address.
int trimmedUrlLength(const QString& text, int start, int length)
{
    while (length > 0) {
        const QChar c = text[start + length - 1];
        if (c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?' || c == u')'
            || c == u'\'' || c == u'"')
            --length;
        else
            break;
    }
    return length;
}

template <typename F>
void forEachDetectedUrl(const QString& text, F&& f)
{
    auto it = urlPattern().globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const int len = trimmedUrlLength(text, int(m.capturedStart()), int(m.capturedLength()));
        if (len > 0)
            f(int(m.capturedStart()), len);
    }
}

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

} // namespace

// Shows links as links, without changing the document: detected addresses and linked runs
// are drawn blue and underlined on top of their own format.
class LinkHighlighter : public QSyntaxHighlighter {
public:
    // Owned by the engine, not by a document: a load replaces the document.
    explicit LinkHighlighter(QObject* owner) : QSyntaxHighlighter(owner) {}
    bool detect = true;

protected:
    void highlightBlock(const QString& text) override
    {
        QTextCharFormat link;
        link.setForeground(QColor(0, 0, 255));
        link.setFontUnderline(true);
        if (detect)
            forEachDetectedUrl(text, [&](int start, int len) { setFormat(start, len, link); });
        for (auto it = currentBlock().begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.isValid() && frag.charFormat().isAnchor())
                setFormat(frag.position() - currentBlock().position(), frag.length(), link);
        }
    }
};

class RichView : public QTextEdit {
public:
    RichView(RichEngine& engine, QWidget* parent) : QTextEdit(parent), engine_(engine)
    {
        setAcceptRichText(true);
        setTabChangesFocus(false);
        setLineWrapMode(QTextEdit::WidgetWidth);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        viewport()->setMouseTracking(true);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        emit engine_.keyDown(e->key(), e->modifiers());
        if (e->matches(QKeySequence::Undo)) {
            engine_.undo();
            return;
        }
        if (e->matches(QKeySequence::Redo)) {
            engine_.redo();
            return;
        }
        if (!e->text().isEmpty() && e->text()[0].isPrint())
            emit engine_.keyPress(e->text());
        QTextEdit::keyPressEvent(e);
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        QTextEdit::keyReleaseEvent(e);
        emit engine_.keyUp(e->key(), e->modifiers());
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        linkNotice(e, linkmsg::Press);
        QTextEdit::mousePressEvent(e);
        emit engine_.mouseDown(e->button(), e->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        linkNotice(e, linkmsg::Release);
        QTextEdit::mouseReleaseEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const int pos = engine_.positionAt(e->position().toPoint());
        const bool onLink = pos >= 0 && engine_.linkAt(pos).min >= 0;
        viewport()->setCursor(onLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        QTextEdit::mouseMoveEvent(e);
    }
    QMimeData* createMimeDataFromSelection() const override
    {
        const CharRange sel = engine_.getSel();
        return engine_.mimeDataFor(sel);
    }
    bool canInsertFromMimeData(const QMimeData* source) const override { return engine_.canInsertMime(source); }
    void insertFromMimeData(const QMimeData* source) override { engine_.insertMime(source); }

private:
    void linkNotice(QMouseEvent* e, int message)
    {
        if (!(engine_.eventMask() & enm::Link))
            return;
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
            return;
        const int pos = engine_.positionAt(e->position().toPoint());
        if (pos < 0)
            return;
        const CharRange range = engine_.linkAt(pos);
        if (range.min >= 0)
            emit engine_.linkNotice(message, e->button(), range);
    }
    RichEngine& engine_;
};

RichEngine::RichEngine(QWidget* viewParent) : view_(new RichView(*this, viewParent))
{
    QTextDocument* doc = view_->document();
    // Paragraphs read left to right unless told otherwise. Without a fixed direction Qt
    // scans a paragraph's text for it each time it asks.
    QTextOption option = doc->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    doc->setDefaultTextOption(option);
    // Our own layout: an edit lays out only the paragraphs it changed.
    doc->setDocumentLayout(new ParagraphLayout(doc));
    highlighter_ = new LinkHighlighter(this);
    highlighter_->setDocument(doc);
    attachDocument(doc);
}

void RichEngine::attachDocument(QTextDocument* doc)
{
    doc->setUndoRedoEnabled(true);
    connect(doc, &QTextDocument::contentsChange, this, &RichEngine::onContentsChange);
    connect(doc, &QTextDocument::undoCommandAdded, this, [this] {
        if (inUndo_)
            return;
        undoDepth_ = std::min(undoDepth_ + 1, undoLimit_);
        redoDepth_ = 0;
    });
}

RichEngine::~RichEngine() = default;

QTextEdit* RichEngine::view() const { return view_; }
QTextDocument* RichEngine::document() const { return view_->document(); }

void RichEngine::onContentsChange(int from, int removed, int added)
{
    rawValid_ = false;
    const QTextDocument* doc = document();
    const int count = doc->blockCount();
    const int delta = count - knownBlockCount_;
    knownBlockCount_ = count;
    QTextBlock b = doc->findBlock(from);
    if (b.blockNumber() < syncedBlocks_) {
        syncedBlocks_ = std::max(b.blockNumber(), syncedBlocks_ + delta);
        const QTextBlock last = doc->findBlock(from + added);
        // A large change is cheaper to count again from its start than block by block.
        for (int n = 0; b.isValid(); b = b.next(), ++n) {
            if (n > 256) {
                syncedBlocks_ = std::min(syncedBlocks_, doc->findBlock(from).blockNumber());
                break;
            }
            unsyncedBlocks_.append(b);
            if (b == last)
                break;
        }
    }
    if (removed == 0 && added == 0)
        return;
    if (creating_)
        return;
    modified_ = true;
    if (eventMask_ & enm::Change)
        emit changed();
}

// ---- formats ----------------------------------------------------------------------------

CharFormat RichEngine::getCharFormat(int scope) const
{
    const QFont def = document()->defaultFont();
    if (scope == 0)
        return readCharFormat(defaultFormat_, def);
    QTextCursor c = view_->textCursor();
    if (c.hasSelection()) {
        // A selection with mixed attributes reports those of its first character.
        QTextCursor first(document());
        first.setPosition(c.selectionStart() + 1);
        return readCharFormat(first.charFormat(), def);
    }
    return readCharFormat(c.charFormat(), def);
}

void RichEngine::setCharFormat(int scope, const CharFormat& rec)
{
    QTextDocument* doc = document();
    if (scope == 0) {
        // The default format is what unformatted text shows and what an empty control types.
        applyCharFormat(defaultFormat_, rec);
        const QTextCharFormat f = defaultFormat_;
        QFont font = doc->defaultFont();
        if (rec.mask & cfm::Face)
            font.setFamilies(QStringList{rec.faceName.left(kMaxFaceName)});
        if (rec.mask & cfm::Size)
            font.setPointSizeF(clampHeightTwips(rec.height) / double(kTwipsPerPoint));
        const bool wasCreating = creating_;
        creating_ = true; // a default change is no edit of the user's
        doc->setDefaultFont(font);
        syncedBlocks_ = 0; // every paragraph without a font of its own lays out anew
        if (doc->isEmpty()) {
            QTextCursor c(doc);
            c.setBlockCharFormat(f);
            view_->setCurrentCharFormat(f);
        }
        creating_ = wasCreating;
        return;
    }
    QTextCursor c = view_->textCursor();
    if (!c.hasSelection()) {
        QTextCharFormat f = c.charFormat();
        applyCharFormat(f, rec);
        c.setCharFormat(f);
        view_->setTextCursor(c);
        return;
    }
    // Each run keeps every attribute the mask does not name.
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    QTextCursor edit(doc);
    edit.beginEditBlock();
    QTextBlock block = doc->findBlock(start);
    while (block.isValid() && block.position() < end) {
        // The runs are taken first: writing a run's format may merge it with its neighbour,
        // which ends the paragraph's run iterator.
        struct Run {
            int from, to;
            QTextCharFormat format;
        };
        std::vector<Run> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int a = std::max(start, frag.position());
            const int b = std::min(end, frag.position() + frag.length());
            if (a < b)
                runs.push_back({a, b, frag.charFormat()});
        }
        for (Run& run : runs) {
            applyCharFormat(run.format, rec);
            edit.setPosition(run.from);
            edit.setPosition(run.to, QTextCursor::KeepAnchor);
            edit.setCharFormat(run.format);
        }
        // The paragraph break carries the format typed at an empty paragraph's end.
        const int breakPos = block.position() + block.length() - 1;
        if (breakPos >= start && breakPos < end) {
            QTextCharFormat f = block.charFormat();
            applyCharFormat(f, rec);
            edit.setPosition(block.position());
            edit.setBlockCharFormat(f);
        }
        block = block.next();
    }
    edit.endEditBlock();
}

ParaFormat RichEngine::getParaFormat() const
{
    return readParaFormat(view_->textCursor().block());
}

void RichEngine::setParaFormat(const ParaFormat& rec)
{
    QTextCursor c = view_->textCursor();
    c.beginEditBlock();
    applyParaFormat(c, rec);
    c.endEditBlock();
}

// ---- selection and text -------------------------------------------------------------------

int RichEngine::textLength() const { return std::max(0, document()->characterCount() - 1); }

CharRange RichEngine::getSel() const
{
    const QTextCursor c = view_->textCursor();
    return {c.selectionStart(), c.selectionEnd()};
}

int RichEngine::caret() const { return view_->textCursor().position(); }

void RichEngine::setSel(CharRange range)
{
    const int len = textLength();
    QTextCursor c(document());
    if (range.min < 0) {
        c.setPosition(view_->textCursor().position());
    } else {
        const int a = std::clamp(range.min, 0, len);
        const int b = range.max < 0 ? len : std::clamp(range.max, 0, len);
        c.setPosition(a);
        c.setPosition(b, QTextCursor::KeepAnchor);
    }
    view_->setTextCursor(c);
}

void RichEngine::scrollCaret() { view_->ensureCursorVisible(); }

void RichEngine::insertPlain(QTextCursor& cursor, const QString& text) const
{
    // CR LF, CR and LF each end a paragraph. One pass: loads bring megabytes through here.
    QString t(text.size(), Qt::Uninitialized);
    QChar* out = t.data();
    const QChar* in = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = in[i];
        if (ch == u'\r' && i + 1 < n && in[i + 1] == u'\n')
            continue; // the LF that follows ends the paragraph
        *out++ = (ch == u'\r' || ch == u'\n') ? kParagraphSeparator : ch;
    }
    t.truncate(out - t.constData());
    cursor.insertText(t);
}

void RichEngine::replaceSel(const QString& text, bool /*canUndo*/)
{
    // Every replacement is one undo step; the document keeps one edit block per call.
    QTextCursor c = view_->textCursor();
    c.beginEditBlock();
    insertPlain(c, text);
    c.endEditBlock();
    view_->setTextCursor(c);
}

void RichEngine::selectAll() { setSel({0, -1}); }

QString RichEngine::textRange(CharRange range) const
{
    const QString& raw = rawText();
    const int len = int(raw.size());
    const int a = std::clamp(range.min, 0, len);
    const int b = range.max < 0 ? len : std::clamp(range.max, 0, len);
    if (b <= a)
        return {};
    QString out = raw.mid(a, b - a);
    out.replace(kParagraphSeparator, u'\r');
    out.replace(QChar(0x2028), u'\v');
    return out;
}

QString RichEngine::text() const
{
    QString out = rawText();
    out.replace(kParagraphSeparator, QStringLiteral("\r\n"));
    out.replace(QChar(0x2028), u'\v');
    return out;
}

void RichEngine::setText(const QString& text)
{
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setBlockFormat(QTextBlockFormat());
    c.setBlockCharFormat(defaultFormat_);
    c.setCharFormat(defaultFormat_);
    insertPlain(c, text);
    c.endEditBlock();
    setSel({0, 0});
    view_->setCurrentCharFormat(defaultFormat_);
}

void RichEngine::clearAll()
{
    QTextDocument* doc = document();
    if (doc->isEmpty() && doc->begin().blockFormat() == QTextBlockFormat()) {
        view_->setCurrentCharFormat(defaultFormat_);
        return;
    }
    setText(QString());
    doc->clearUndoRedoStacks();
    undoDepth_ = redoDepth_ = 0;
    view_->setCurrentCharFormat(defaultFormat_);
}

const QString& RichEngine::rawText() const
{
    if (!rawValid_) {
        rawCache_ = document()->toRawText();
        rawValid_ = true;
    }
    return rawCache_;
}

// ---- lines --------------------------------------------------------------------------------

void RichEngine::ensureLaidOutTo(int pos) const
{
    QTextDocument* doc = document();
    const QTextBlock block = doc->findBlock(std::clamp(pos, 0, textLength()));
    // Asking for a paragraph's place lays out every paragraph up to it.
    doc->documentLayout()->blockBoundingRect(block.isValid() ? block : doc->lastBlock());
}

// The document keeps a line index over its paragraphs (first line number of each) that the
// layout does not feed: each paragraph's line count is handed to it here, only as far as a
// query needs, so that the paragraphs beyond it may still be laid out lazily.
void RichEngine::syncLinesTo(int blockNumber) const
{
    QTextDocument* doc = document();
    if (doc->textWidth() != syncedWidth_) {
        syncedBlocks_ = 0;
        unsyncedBlocks_.clear();
        syncedWidth_ = doc->textWidth();
    }
    auto sync = [](QTextBlock b) { b.setLineCount(std::max(1, b.layout() ? b.layout()->lineCount() : 1)); };
    for (const QTextBlock& b : std::as_const(unsyncedBlocks_)) {
        if (b.isValid() && b.blockNumber() < syncedBlocks_) {
            doc->documentLayout()->blockBoundingRect(b);
            sync(b);
        }
    }
    unsyncedBlocks_.clear();
    blockNumber = std::min(blockNumber, doc->blockCount() - 1);
    if (blockNumber < syncedBlocks_)
        return;
    // Asking for a paragraph's place lays out every paragraph up to it.
    doc->documentLayout()->blockBoundingRect(doc->findBlockByNumber(blockNumber));
    for (QTextBlock b = doc->findBlockByNumber(syncedBlocks_); b.isValid() && syncedBlocks_ <= blockNumber; b = b.next()) {
        sync(b);
        ++syncedBlocks_;
    }
}

int RichEngine::lineFromChar(int pos) const
{
    if (pos < 0)
        pos = caret();
    pos = std::clamp(pos, 0, textLength());
    syncLinesTo(document()->findBlock(pos).blockNumber());
    const QTextBlock block = document()->findBlock(pos);
    const QTextLayout* layout = block.layout();
    int inBlock = 0;
    if (layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(pos - block.position());
        inBlock = line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
    }
    return block.firstLineNumber() + inBlock;
}

int RichEngine::lineIndex(int line) const
{
    if (line < 0)
        line = lineFromChar(-1);
    QTextDocument* doc = document();
    // Count lines only as far as the asked line lies.
    for (;;) {
        syncLinesTo(syncedBlocks_ > 0 ? syncedBlocks_ - 1 : 0);
        const QTextBlock last = doc->findBlockByNumber(syncedBlocks_ - 1);
        if (syncedBlocks_ >= doc->blockCount() || (last.isValid() && last.firstLineNumber() + last.lineCount() > line))
            break;
        syncLinesTo(std::max(syncedBlocks_ * 2, syncedBlocks_ + 256));
    }
    const QTextBlock block = doc->findBlockByLineNumber(line);
    if (!block.isValid())
        return -1;
    const int inBlock = line - block.firstLineNumber();
    const QTextLayout* layout = block.layout();
    if (!layout || inBlock >= std::max(1, layout->lineCount()))
        return -1;
    if (layout->lineCount() == 0)
        return block.position();
    return block.position() + layout->lineAt(inBlock).textStart();
}

int RichEngine::lineLength(int pos) const
{
    pos = std::clamp(pos < 0 ? caret() : pos, 0, textLength());
    ensureLaidOutTo(pos);
    const QTextBlock block = document()->findBlock(pos);
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return block.length() - 1;
    QTextLine line = layout->lineForTextPosition(pos - block.position());
    if (!line.isValid())
        line = layout->lineAt(layout->lineCount() - 1);
    int len = line.textLength();
    // The last line of a paragraph does not count its break.
    if (line.textStart() + len > block.length() - 1)
        len = block.length() - 1 - line.textStart();
    return std::max(0, len);
}

int RichEngine::lineCount() const
{
    syncLinesTo(document()->blockCount() - 1);
    const QTextBlock last = document()->lastBlock();
    const QTextLayout* layout = last.layout();
    return last.firstLineNumber() + std::max(1, layout ? layout->lineCount() : 1);
}

// ---- find ---------------------------------------------------------------------------------

int RichEngine::findText(int flags, CharRange range, const QString& what, CharRange* found) const
{
    if (what.isEmpty())
        return -1;
    const QString& raw = rawText();
    const int len = int(raw.size());
    const int from = std::clamp(range.min, 0, len);
    const int to = range.max < 0 ? len : std::clamp(range.max, 0, len);
    if (to - from < what.size())
        return -1;
    const Qt::CaseSensitivity cs = (flags & fr::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool whole = flags & fr::WholeWord;
    const bool down = flags & fr::Down;
    const qsizetype n = what.size();
    auto isWhole = [&](qsizetype at) {
        if (!whole)
            return true;
        const bool leftOk = at == 0 || !isWordChar(raw[at - 1]);
        const bool rightOk = at + n >= len || !isWordChar(raw[at + n]);
        return leftOk && rightOk;
    };
    qsizetype hit = -1;
    if (down) {
        qsizetype at = from;
        while ((at = raw.indexOf(what, at, cs)) >= 0 && at + n <= to) {
            if (isWhole(at)) {
                hit = at;
                break;
            }
            ++at;
        }
    } else {
        qsizetype at = to - n;
        while (at >= from && (at = raw.lastIndexOf(what, at, cs)) >= from) {
            if (isWhole(at)) {
                hit = at;
                break;
            }
            --at;
        }
    }
    if (hit < 0)
        return -1;
    if (found)
        *found = {int(hit), int(hit + n)};
    return int(hit);
}

// ---- undo ---------------------------------------------------------------------------------

void RichEngine::undo()
{
    if (undoDepth_ <= 0 || !document()->isUndoAvailable())
        return;
    // The counts move first, so that the document's notices during the undo see them.
    --undoDepth_;
    ++redoDepth_;
    inUndo_ = true;
    document()->undo(nullptr);
    view_->ensureCursorVisible();
    inUndo_ = false;
}

void RichEngine::redo()
{
    if (redoDepth_ <= 0 || !document()->isRedoAvailable())
        return;
    --redoDepth_;
    ++undoDepth_;
    inUndo_ = true;
    document()->redo(nullptr);
    inUndo_ = false;
}

bool RichEngine::canUndo() const { return undoDepth_ > 0 && document()->isUndoAvailable(); }
bool RichEngine::canRedo() const { return redoDepth_ > 0 && document()->isRedoAvailable(); }

int RichEngine::setUndoLimit(int limit)
{
    undoLimit_ = std::max(0, limit);
    undoDepth_ = std::min(undoDepth_, undoLimit_);
    return undoLimit_;
}

// ---- clipboard ----------------------------------------------------------------------------

void RichEngine::cut() { view_->cut(); }
void RichEngine::copy() { view_->copy(); }
void RichEngine::paste() { view_->paste(); }

void RichEngine::clear()
{
    QTextCursor c = view_->textCursor();
    if (c.hasSelection()) {
        c.removeSelectedText();
        view_->setTextCursor(c);
    }
}

bool RichEngine::canPaste() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && canInsertMime(data);
}

namespace {
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");
} // namespace

QMimeData* RichEngine::mimeDataFor(CharRange range) const
{
    auto* data = new QMimeData;
    QString t = textRange(range);
    t.replace(u'\r', QStringLiteral("\r\n"));
    data->setText(t);
    // Other word processors take the formatted copy; the plain text is for everything else.
    if (!plain_ && range.max > range.min)
        data->setData(kRtfMime, writeRtf(*document(), range.min, range.max));
    return data;
}

bool RichEngine::canInsertMime(const QMimeData* data) const
{
    if (!data)
        return false;
    if (data->hasText())
        return true;
    if (plain_)
        return false;
    return data->hasFormat(kRtfMime) || data->hasFormat(kRtfMimeAlt) || data->hasImage();
}

void RichEngine::insertMime(const QMimeData* data)
{
    if (!data)
        return;
    QTextCursor c = view_->textCursor();
    c.beginEditBlock();
    bool done = false;
    // Formatted text first, then a picture, then plain text.
    if (!plain_) {
        for (const QString& type : {kRtfMime, kRtfMimeAlt}) {
            if (!done && data->hasFormat(type)) {
                const QByteArray rtf = data->data(type);
                done = looksLikeRtf(rtf) && readRtf(rtf, c);
            }
        }
        if (!done && data->hasImage()) {
            const QImage image = qvariant_cast<QImage>(data->imageData());
            if (!image.isNull()) {
                c.removeSelectedText();
                insertPicture(c, pictureFromImage(image));
                done = true;
            }
        }
    }
    if (!done && data->hasText())
        insertPlain(c, data->text());
    c.endEditBlock();
    view_->setTextCursor(c);
}

// ---- modes and streams ------------------------------------------------------------------

void RichEngine::setTextMode(bool plain) { plain_ = plain; }

void RichEngine::setBackgroundColor(ColorRef color)
{
    QPalette pal = view_->palette();
    pal.setColor(QPalette::Base, colorFromRef(color));
    view_->setPalette(pal);
}

void RichEngine::setAutoUrlDetect(bool on)
{
    if (highlighter_->detect == on)
        return;
    highlighter_->detect = on;
    highlighter_->rehighlight();
}

bool RichEngine::streamIn(int flags, const ReadCallback& read)
{
    QByteArray bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const qint64 n = read(buffer.data(), qint64(buffer.size()));
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytes.append(buffer.data(), n);
    }
    const bool rich = (flags & sf::FormatMask) != sf::Text;
    // Rich text that is no RTF fails before anything changes, so the caller can take it as text.
    if (rich && !looksLikeRtf(bytes))
        return false;
    const bool selectionOnly = flags & sf::Selection;
    if (!selectionOnly)
        return loadDocument(bytes, rich, flags & sf::Unicode);
    QTextCursor c = view_->textCursor();
    c.beginEditBlock();
    const bool ok = insertContent(c, bytes, rich, flags & sf::Unicode);
    c.endEditBlock();
    view_->setTextCursor(c);
    return ok;
}

bool RichEngine::insertContent(QTextCursor& cursor, const QByteArray& bytes, bool rich, bool utf16) const
{
    if (rich)
        return readRtf(bytes, cursor);
    insertPlain(cursor, utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2)
                              : decodeTextDocument(bytes));
    return true;
}

// A whole new document is built apart from the view and then shown: the view lays it out
// lazily, the visible part first, and starts with its caret at the start, in the default
// format and with nothing to undo.
bool RichEngine::loadDocument(const QByteArray& bytes, bool rich, bool utf16)
{
    // The view deletes a document of its own when it takes another; ours go here.
    QPointer<QTextDocument> old = document();
    auto* fresh = new QTextDocument(view_);
    fresh->setDefaultFont(old->defaultFont());
    fresh->setDefaultTextOption(old->defaultTextOption());
    fresh->setDocumentMargin(old->documentMargin());
    fresh->setUndoRedoEnabled(false);
    QTextCursor c(fresh);
    c.setBlockCharFormat(defaultFormat_);
    c.setCharFormat(defaultFormat_);
    const bool ok = insertContent(c, bytes, rich, utf16);
    // Installed once the text is in, so building the document laid nothing out.
    fresh->setDocumentLayout(new ParagraphLayout(fresh));
    view_->setDocument(fresh);
    view_->setCurrentCharFormat(fresh->begin().charFormat());
    // The old document goes before the highlighter leaves it, which would otherwise clear
    // the formats of every one of its paragraphs on the way out.
    if (old && old->parent() == view_)
        delete old.data();
    highlighter_->setDocument(fresh);
    attachDocument(fresh);
    rawValid_ = false;
    syncedBlocks_ = 0;
    unsyncedBlocks_.clear();
    knownBlockCount_ = document()->blockCount();
    undoDepth_ = redoDepth_ = 0;
    // A document just loaded matches its file; its arrival is one change.
    modified_ = false;
    if (!creating_ && (eventMask_ & enm::Change))
        emit changed();
    return ok;
}

bool RichEngine::looksLikeRtf(const QByteArray& bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes[i])))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

bool RichEngine::streamOut(int flags, const WriteCallback& write) const
{
    const CharRange range = (flags & sf::Selection) ? getSel() : CharRange{0, textLength()};
    QByteArray bytes;
    const int format = flags & sf::FormatMask;
    if (format == sf::Text) {
        QString t = textRange(range);
        t.replace(u'\r', QStringLiteral("\r\n"));
        bytes = (flags & sf::Unicode) ? QByteArray(reinterpret_cast<const char*>(t.utf16()), t.size() * 2)
                                      : encodeTextDocument(t);
    } else {
        RtfWriteOptions options;
        options.noObjects = format == sf::RtfNoObjects;
        bytes = writeRtf(*document(), range.min, (flags & sf::Selection) ? range.max : -1, options);
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 chunk = std::min<qsizetype>(bytes.size() - done, 64 * 1024);
        const qint64 n = write(bytes.constData() + done, chunk);
        if (n != chunk)
            return false;
        done += chunk;
    }
    return true;
}

// ---- links --------------------------------------------------------------------------------

int RichEngine::positionAt(const QPoint& p) const
{
    const QPointF docPoint(p.x() + view_->horizontalScrollBar()->value(), p.y() + view_->verticalScrollBar()->value());
    return document()->documentLayout()->hitTest(docPoint, Qt::ExactHit);
}

CharRange RichEngine::linkAt(int pos) const
{
    const QTextBlock block = document()->findBlock(pos);
    if (!block.isValid())
        return {-1, -1};
    // A linked run: the whole stretch of characters that point to the same target.
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (pos < frag.position() || pos >= frag.position() + frag.length())
            continue;
        const QTextCharFormat f = frag.charFormat();
        if (!f.isAnchor())
            break;
        int a = frag.position();
        int b = frag.position() + frag.length();
        auto back = it;
        while (back != block.begin()) {
            --back;
            const QTextCharFormat g = back.fragment().charFormat();
            if (!g.isAnchor() || g.anchorHref() != f.anchorHref())
                break;
            a = back.fragment().position();
        }
        for (auto fwd = ++it; !fwd.atEnd(); ++fwd) {
            const QTextCharFormat g = fwd.fragment().charFormat();
            if (!g.isAnchor() || g.anchorHref() != f.anchorHref())
                break;
            b = fwd.fragment().position() + fwd.fragment().length();
        }
        return {a, b};
    }
    if (!highlighter_->detect)
        return {-1, -1};
    const int at = pos - block.position();
    CharRange result{-1, -1};
    forEachDetectedUrl(block.text(), [&](int start, int len) {
        if (at >= start && at < start + len)
            result = {block.position() + start, block.position() + start + len};
    });
    return result;
}

} // namespace zorim
