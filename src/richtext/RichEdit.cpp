#include "richtext/RichEdit.h"

#include "richtext/DocFormats.h"
#include "richtext/RichEngine.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>
#include <cstdlib>

namespace zorim {

namespace {

constexpr uint32_t kDocumentEventMask = enm::Change | enm::SelChange | enm::RequestResize | enm::Protected | enm::Link;
constexpr uint32_t kSimpleEventMask = enm::Change | enm::SelChange | enm::RequestResize | enm::Protected;

// The conversion table: extension, and whether it names plain text.
struct ConversionEntry {
    const char* extension;
    bool plainText;
};
constexpr ConversionEntry kConversions[] = {{"txt", true}, {"rtf", false}};

const ConversionEntry* conversionFor(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    for (const auto& entry : kConversions)
        if (ext == QLatin1String(entry.extension))
            return &entry;
    return nullptr;
}

// Indents in points to twips, bounded so that no value the user types can overflow.
int32_t indentTwips(int points)
{
    return int32_t(std::clamp<int64_t>(int64_t(points) * kTwipsPerPoint, -0x7FFFFFF, 0x7FFFFFF));
}

ColorRef resolveSystemColor(ColorRef color)
{
    return (color & 0x80000000u) ? refFromColor(colorFromRef(color)) : color;
}

// Reads a stream for the control in chunks, turning every lone LF and every lone CR into
// CR LF. A CR at the end of a chunk waits for the next chunk to see whether an LF follows;
// a CR that ends the file is dropped. A zero byte is dropped alone.
class LineBreakReader {
public:
    explicit LineBreakReader(QIODevice& in) : in_(in) {}

    qint64 read(char* out, qint64 cb)
    {
        // Every byte may double, and a carried CR adds two: read at most half, less one.
        const qint64 want = cb / 2 - 1;
        if (want <= 0)
            return 0;
        for (;;) {
            QByteArray chunk(want, Qt::Uninitialized);
            const qint64 got = in_.read(chunk.data(), want);
            if (got < 0)
                return -1;
            chunk.resize(got);
            qint64 n = 0;
            if (pendingCr_) {
                pendingCr_ = false;
                out[n++] = '\r';
                out[n++] = '\n';
                if (chunk.startsWith('\n'))
                    chunk.remove(0, 1);
            }
            if (got == 0)
                return n;
            if (chunk.endsWith('\r')) {
                chunk.chop(1);
                pendingCr_ = !in_.atEnd();
            }
            for (qsizetype i = 0; i < chunk.size(); ++i) {
                const char c = chunk[i];
                if (c == '\0')
                    continue;
                if (c == '\r' || c == '\n') {
                    out[n++] = '\r';
                    out[n++] = '\n';
                    if (c == '\r' && i + 1 < chunk.size() && chunk[i + 1] == '\n')
                        ++i;
                } else {
                    out[n++] = c;
                }
            }
            if (n > 0 || in_.atEnd())
                return n;
            // A chunk of nothing but zero bytes: go on with the next one.
        }
    }

private:
    QIODevice& in_;
    bool pendingCr_ = false;
};

} // namespace

// ---- attributes ---------------------------------------------------------------------------

CharFormat TextAttributes::read() const
{
    return edit_.engine().getCharFormat(int(scope_));
}

void TextAttributes::write(const CharFormat& rec)
{
    edit_.engine().setCharFormat(int(scope_), rec);
}

QString TextAttributes::Name() const { return read().faceName.left(kMaxFaceName); }

void TextAttributes::setName(const QString& name)
{
    CharFormat rec;
    rec.mask = cfm::Face;
    rec.faceName = name.left(kMaxFaceName);
    write(rec);
}

int TextAttributes::Size() const { return read().height / kTwipsPerPoint; }
int TextAttributes::Height() const { return read().height; }

void TextAttributes::setSize(int points)
{
    CharFormat rec;
    rec.mask = cfm::Size;
    rec.height = clampHeightTwips(int64_t(points) * kTwipsPerPoint);
    write(rec);
}

int TextAttributes::Style() const { return int(read().effects & 0xF); }

void TextAttributes::setStyle(int style)
{
    CharFormat rec;
    rec.mask = cfm::Style;
    rec.effects = uint32_t(style) & 0xF;
    write(rec);
}

ColorRef TextAttributes::Color() const
{
    const CharFormat rec = read();
    return (rec.effects & cfe::AutoColor) ? kClWindowText : rec.textColor;
}

void TextAttributes::setColor(ColorRef color)
{
    CharFormat rec;
    rec.mask = cfm::Color;
    if (color == kClWindowText || color == kClDefault)
        rec.effects = cfe::AutoColor;
    else
        rec.textColor = resolveSystemColor(color);
    write(rec);
}

ColorRef TextAttributes::BackColor() const
{
    if (edit_.version() == 1)
        return kClWindow;
    const CharFormat rec = read();
    return (rec.effects & cfe::AutoBackColor) ? kClWindow : rec.backColor;
}

void TextAttributes::setBackColor(ColorRef color)
{
    if (edit_.version() == 1)
        return;
    CharFormat rec;
    rec.mask = cfm::BackColor;
    if (color == kClWindow || color == kClDefault)
        rec.effects = cfe::AutoBackColor;
    else
        rec.backColor = resolveSystemColor(color);
    write(rec);
}

void TextAttributes::setVerticalPosition(VerticalPosition position)
{
    if (edit_.version() == 1)
        return;
    CharFormat rec;
    rec.mask = cfm::SubSuper;
    if (position == VerticalPosition::Subscript)
        rec.effects = cfe::Subscript;
    else if (position == VerticalPosition::Superscript)
        rec.effects = cfe::Superscript;
    write(rec);
}

uint8_t TextAttributes::Charset() const { return read().charset; }

void TextAttributes::setCharset(uint8_t charset)
{
    CharFormat rec;
    rec.mask = cfm::Charset;
    rec.charset = charset;
    write(rec);
}

int TextAttributes::Pitch() const { return read().pitchAndFamily & 0x3; }
int TextAttributes::Weight() const { return read().weight; }

void TextAttributes::assign(const FontDesc& font)
{
    CharFormat rec;
    rec.mask = cfm::Size | cfm::Color | cfm::Face | cfm::Style | cfm::Charset | cfm::Weight;
    rec.height = clampHeightTwips(int64_t(font.size) * kTwipsPerPoint);
    rec.effects = uint32_t(font.style) & 0xF;
    rec.faceName = font.name.left(kMaxFaceName);
    rec.pitchAndFamily = uint8_t(font.pitch & 0x3);
    rec.charset = font.charset;
    if (font.color == kClWindowText || font.color == kClDefault)
        rec.effects |= cfe::AutoColor;
    else
        rec.textColor = resolveSystemColor(font.color);
    rec.weight = font.weight > 0 ? font.weight : ((font.style & fs::Bold) ? 700 : 400);
    write(rec);
}

ParaFormat ParaAttributes::read() const { return edit_.engine().getParaFormat(); }

void ParaAttributes::write(const ParaFormat& rec)
{
    ParaFormat sent = rec;
    // A right-to-left control exchanges left and right just before sending.
    if ((sent.mask & pfm::Alignment) && edit_.rightToLeft()) {
        if (sent.alignment == pfa::Left)
            sent.alignment = pfa::Right;
        else if (sent.alignment == pfa::Right)
            sent.alignment = pfa::Left;
    }
    edit_.engine().setParaFormat(sent);
}

ParaAlignment ParaAttributes::Alignment() const
{
    const int code = read().alignment;
    return code >= 1 && code <= 4 ? ParaAlignment(code - 1) : ParaAlignment::Left;
}

void ParaAttributes::setAlignment(ParaAlignment alignment)
{
    ParaFormat rec;
    rec.mask = pfm::Alignment;
    rec.alignment = uint16_t(int(alignment) + 1);
    write(rec);
}

int ParaAttributes::Numbering() const
{
    const int code = read().numbering;
    return edit_.version() == 1 && code != 0 ? 1 : code;
}

void ParaAttributes::setNumbering(int numbering)
{
    if (edit_.version() == 1 && numbering != 0)
        numbering = 1;
    // Bullets need room beside them: at least 10 points of following-lines offset.
    if (numbering == 0)
        setOffset(0);
    else if (Offset() < 10)
        setOffset(10);
    ParaFormat rec;
    rec.mask = pfm::Numbering;
    rec.numbering = uint16_t(std::clamp(numbering, 0, 0xFFFF));
    write(rec);
}

int ParaAttributes::FirstIndent() const { return read().startIndent / kTwipsPerPoint; }

void ParaAttributes::setFirstIndent(int points)
{
    ParaFormat rec;
    rec.mask = pfm::StartIndent;
    rec.startIndent = indentTwips(points);
    write(rec);
}

int ParaAttributes::Offset() const { return read().offset / kTwipsPerPoint; }

void ParaAttributes::setOffset(int points)
{
    ParaFormat rec;
    rec.mask = pfm::Offset;
    rec.offset = indentTwips(points);
    write(rec);
}

// ---- the control --------------------------------------------------------------------------

RichEdit::RichEdit(QWidget* parent, Kind kind) : QWidget(parent), kind_(kind), engine_(std::make_unique<RichEngine>(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(engine_->view());
    setFocusProxy(engine_->view());

    RichEngine& e = *engine_;
    e.setCreating(true);
    e.setEventMask(kind_ == Kind::Document ? kDocumentEventMask : kSimpleEventMask);
    e.setBackgroundColor(color_);
    e.setAutoUrlDetect(kind_ == Kind::Document);
    if (kind_ == Kind::Document)
        undoLimit_ = e.setUndoLimit(undoLimit_);
    DefaultAttributes().assign(font_);
    e.setModified(false);
    e.setCreating(false);

    connect(&e, &RichEngine::changed, this, &RichEdit::handleEngineChange);
    connect(&e, &RichEngine::linkNotice, this, &RichEdit::handleLinkNotice);
    connect(&e, &RichEngine::keyDown, this, &RichEdit::OnKeyDown);
    connect(&e, &RichEngine::keyPress, this, &RichEdit::OnKeyPress);
    connect(&e, &RichEngine::keyUp, this, &RichEdit::OnKeyUp);
    connect(&e, &RichEngine::mouseDown, this, &RichEdit::OnMouseDown);
}

RichEdit::~RichEdit() = default;

QTextEdit* RichEdit::view() const { return engine_->view(); }

void RichEdit::handleEngineChange()
{
    if (lines_.updateCount_ > 0)
        return; // the outermost EndUpdate reports the whole bulk change once
    emit OnChange();
}

void RichEdit::handleLinkNotice(int message, Qt::MouseButton button, CharRange range)
{
    if (message == linkmsg::Press) {
        linkRange_ = range;
        linkButton_ = button;
        return;
    }
    // A click counts when press and release hit the same link with the same button.
    const bool complete = linkButton_ == button && linkRange_ == range;
    linkRange_ = {-1, -1};
    if (complete)
        emit OnURLClick(engine_->textRange(range), button);
}

void RichEdit::setFont(const FontDesc& font)
{
    font_ = font;
    DefaultAttributes().assign(font_);
}

void RichEdit::setColor(ColorRef color)
{
    color_ = color;
    engine_->setBackgroundColor(color);
}

int RichEdit::SelectionStart() const { return engine_->getSel().min; }

void RichEdit::setSelectionStart(int pos)
{
    pos = std::max(0, pos);
    engine_->setSel({pos, pos});
}

int RichEdit::SelectionLength() const
{
    const CharRange r = engine_->getSel();
    return r.max - r.min;
}

void RichEdit::setSelectionLength(int length)
{
    const int s = engine_->getSel().min;
    engine_->setSel({s, s + std::max(0, length)});
    engine_->scrollCaret();
}

QString RichEdit::SelectedText() const { return engine_->textRange(engine_->getSel()); }

void RichEdit::setSelectedText(const QString& text)
{
    const int s = engine_->getSel().min;
    engine_->replaceSel(text, undoLimit_ > 1 && version() >= 2);
    // The inserted text stays selected, measured in the document's own positions (a CR LF
    // pair is one paragraph break).
    engine_->setSel({s, engine_->caret()});
    engine_->scrollCaret();
}

QPoint RichEdit::CaretPosition() const
{
    const CharRange r = engine_->getSel();
    const int line = engine_->lineFromChar(r.max);
    const int column = r.max - engine_->lineIndex(-1);
    return {column, line};
}

int RichEdit::LineStart(int line) const { return engine_->lineIndex(line); }

QString RichEdit::Text() const { return engine_->text(); }
void RichEdit::setText(const QString& text) { engine_->setText(text); }
QString RichEdit::TextRange(int from, int to) const { return engine_->textRange({from, to}); }
int RichEdit::TextLength() const { return engine_->textLength(); }
void RichEdit::SelectAll() { engine_->selectAll(); }
void RichEdit::DeleteSelection() { engine_->clear(); }

void RichEdit::ClearAll()
{
    engine_->clearAll();
    engine_->setModified(false);
}

bool RichEdit::Modified() const { return engine_->modified(); }
void RichEdit::setModified(bool modified) { engine_->setModified(modified); }

int RichEdit::SearchText(const QString& text, int start, int length, int options)
{
    int flags = 0;
    if (version() >= 2 && !(options & so::Backward))
        flags |= fr::Down;
    if (version() < 2)
        flags |= fr::Down; // the older control only searches forward
    if (options & so::WholeWord)
        flags |= fr::WholeWord;
    if (options & so::MatchCase)
        flags |= fr::MatchCase;
    const int64_t end = int64_t(start) + std::llabs(int64_t(length));
    CharRange found{-1, -1};
    const int at = engine_->findText(flags, {start, int(std::min<int64_t>(end, INT32_MAX))}, text, &found);
    if (at >= 0 && (options & so::SelectMatch)) {
        engine_->setSel(found);
        engine_->scrollCaret();
    }
    return at;
}

void RichEdit::Undo() { engine_->undo(); }
void RichEdit::Redo() { engine_->redo(); }
bool RichEdit::CanUndo() const { return engine_->canUndo(); }
bool RichEdit::CanRedo() const { return engine_->canRedo(); }
void RichEdit::setUndoLimit(int limit) { undoLimit_ = engine_->setUndoLimit(limit); }
void RichEdit::Cut() { engine_->cut(); }
void RichEdit::Copy() { engine_->copy(); }
void RichEdit::Paste() { engine_->paste(); }
bool RichEdit::CanPaste() const { return engine_->canPaste(); }

// ---- streaming ----------------------------------------------------------------------------

int RichEdit::basicStreamCode(StreamFormat format) const
{
    switch (format) {
    case StreamFormat::RichText: return sf::Rtf;
    case StreamFormat::PlainText: return sf::Text;
    default: return plainText_ ? sf::Text : sf::Rtf;
    }
}

void RichEdit::loadFromStream(QIODevice& stream, int code, int flags)
{
    const qint64 start = stream.pos();
    auto attempt = [&](int format, int extra) {
        stream.seek(start);
        const int all = format | extra;
        if (format == sf::Text) {
            LineBreakReader reader(stream);
            return engine_->streamIn(all, [&](char* buf, qint64 cb) { return reader.read(buf, cb); });
        }
        // Rich text goes to the reader byte for byte, so binary picture data stays intact.
        return engine_->streamIn(all, [&](char* buf, qint64 cb) { return stream.read(buf, cb); });
    };
    bool ok = attempt(code, flags);
    if (!ok) {
        // The lighter controls only fall back from rich text to text.
        const bool retry = kind_ == Kind::Document || code == sf::Rtf;
        ok = retry && attempt(code == sf::Rtf ? sf::Text : sf::Rtf, 0);
    }
    if (!ok)
        throw RichEditError(QStringLiteral("Failed to Load Stream"));
    engine_->setSel({0, 0});
    engine_->scrollCaret();
}

void RichEdit::LoadStream(QIODevice& stream)
{
    int code = basicStreamCode(kind_ == Kind::Simple ? StreamFormat::Default : streamFormat_);
    int flags = 0;
    if (code == sf::Rtf && (streamMode_ & sm::PlainRtf))
        flags |= sf::PlainRtf;
    if (code == sf::Text && (streamMode_ & sm::Unicode) && version() >= 2)
        flags |= sf::Unicode;
    if (streamMode_ & sm::Selection)
        flags |= sf::Selection;
    loadFromStream(stream, code, flags);
}

void RichEdit::saveToStream(QIODevice& stream, int flags)
{
    const bool ok = engine_->streamOut(flags, [&](const char* data, qint64 count) { return stream.write(data, count); });
    if (!ok)
        throw RichEditError(QStringLiteral("Failed to Save Stream"));
}

void RichEdit::SaveStream(QIODevice& stream)
{
    int code = basicStreamCode(kind_ == Kind::Simple ? StreamFormat::Default : streamFormat_);
    if (code == sf::Rtf && (streamMode_ & sm::NoObjects))
        code = sf::RtfNoObjects;
    int flags = code;
    if (code != sf::Text && (streamMode_ & sm::PlainRtf))
        flags |= sf::PlainRtf;
    if (code == sf::Text && (streamMode_ & sm::Unicode) && version() >= 2)
        flags |= sf::Unicode;
    if (streamMode_ & sm::Selection)
        flags |= sf::Selection;
    saveToStream(stream, flags);
}

// For the duration of a file load or save, the file's extension chooses the stream format of
// the main control (.txt text, .rtf rich text); the lighter controls follow their PlainText
// setting whatever the extension. The format is restored however the operation ends.
class FileFormatScope {
public:
    FileFormatScope(RichEdit& edit, const QString& path) : edit_(edit), saved_(edit.streamFormat())
    {
        const ConversionEntry* entry = conversionFor(path);
        if (entry && edit.kind() == RichEdit::Kind::Document)
            edit.setStreamFormat(entry->plainText ? StreamFormat::PlainText : StreamFormat::RichText);
    }
    ~FileFormatScope() { edit_.setStreamFormat(saved_); }
    FileFormatScope(const FileFormatScope&) = delete;
    FileFormatScope& operator=(const FileFormatScope&) = delete;

private:
    RichEdit& edit_;
    StreamFormat saved_;
};

void RichLines::LoadFile(const QString& path)
{
    RichEdit& e = edit_;
    const FileFormatScope scope(e, path);
    // Only plain files are documents: a pipe or a device would hang the load or never end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw RichEditError(QStringLiteral("Cannot open file %1").arg(path));
    e.LoadStream(file);
}

void RichLines::SaveFile(const QString& path)
{
    RichEdit& e = edit_;
    const FileFormatScope scope(e, path);
    // The old file is replaced only once the new one is complete, so a failed save never
    // destroys it.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly))
        throw RichEditError(QStringLiteral("Cannot create file %1").arg(path));
    try {
        e.SaveStream(file);
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        throw RichEditError(QStringLiteral("Failed to Save Stream"));
}

void RichLines::BeginUpdate()
{
    if (updateCount_++ == 0 && edit_.isVisible())
        edit_.view()->setUpdatesEnabled(false);
}

void RichLines::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0) {
        if (edit_.isVisible()) {
            edit_.view()->setUpdatesEnabled(true);
            edit_.view()->viewport()->update();
        }
        emit edit_.OnChange();
    }
}

int RichLines::LineCount() const
{
    RichEngine& e = edit_.engine();
    const int count = e.lineCount();
    const int lastStart = e.lineIndex(count - 1);
    const bool lastEmpty = lastStart >= 0 && e.lineLength(lastStart) == 0 && lastStart == e.textLength();
    return lastEmpty ? count - 1 : count;
}

QString RichLines::Line(int index) const
{
    RichEngine& e = edit_.engine();
    const int start = e.lineIndex(index);
    if (start < 0)
        return {};
    return e.textRange({start, start + e.lineLength(start)});
}

void RichLines::Add(const QString& text)
{
    RichEngine& e = edit_.engine();
    const int index = LineCount();
    const int start = e.lineIndex(index);
    QString inserted;
    int at = 0;
    if (start >= 0) {
        at = start;
        inserted = text + QStringLiteral("\r\n");
    } else {
        const int lastStart = e.lineIndex(index - 1);
        at = lastStart < 0 ? 0 : lastStart + e.lineLength(lastStart);
        inserted = QStringLiteral("\r\n") + text;
    }
    e.setSel({at, at});
    e.replaceSel(inserted, false);
    const int expected = at + int(inserted.size()) - int(inserted.count(QStringLiteral("\r\n")));
    if (e.caret() != expected)
        throw RichEditError(QStringLiteral("RichEdit line insertion error"));
}

void RichLines::Clear() { edit_.engine().setText(QString()); }

// ---- modes --------------------------------------------------------------------------------

void RichEdit::setPlainText(bool on)
{
    if (on == plainText_)
        return;
    if (version() >= 2) {
        // The content passes through a stream of the new kind: plain text drops the
        // formatting, rich text gives the text the default format.
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        const StreamFormat savedFormat = streamFormat_;
        const int savedMode = streamMode_;
        streamFormat_ = on ? StreamFormat::PlainText : StreamFormat::RichText;
        streamMode_ = 0;
        try {
            SaveStream(buffer);
        } catch (...) {
            streamFormat_ = savedFormat;
            streamMode_ = savedMode;
            throw;
        }
        buffer.seek(0);
        const bool modified = Modified();
        const uint32_t mask = engine_->eventMask();
        engine_->setEventMask(mask & ~enm::Change);
        engine_->setCreating(true);
        engine_->clearAll();
        engine_->setTextMode(on);
        plainText_ = on;
        engine_->setCreating(false);
        engine_->setEventMask(mask);
        try {
            LoadStream(buffer);
        } catch (...) {
            streamFormat_ = savedFormat;
            streamMode_ = savedMode;
            throw;
        }
        streamFormat_ = savedFormat;
        streamMode_ = savedMode;
        setModified(modified);
    }
    plainText_ = on;
    engine_->setTextMode(on);
}

bool RichEdit::verticalScrollBar() const
{
    return view()->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
}

void RichEdit::setVerticalScrollBar(bool on)
{
    if (on == verticalScrollBar())
        return;
    // Re-creating the control's window: the content passes through a stream and comes
    // back with its formatting and Modified; the caret goes to the start.
    const bool modified = Modified();
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    SaveStream(buffer);
    view()->setVerticalScrollBarPolicy(on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    buffer.seek(0);
    engine_->setCreating(true);
    try {
        LoadStream(buffer);
    } catch (...) {
        engine_->setCreating(false);
        setModified(modified);
        throw;
    }
    engine_->setCreating(false);
    setModified(modified);
}

} // namespace zorim
