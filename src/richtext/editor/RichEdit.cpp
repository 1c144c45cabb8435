#include "richtext/editor/RichEdit.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/DocumentFiles.h"
#include "richtext/document/RichDocument.h"
#include "richtext/editor/RichView.h"
#include "richtext/layout/LaidOutDocument.h"
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/layout/RichPrint.h"
#include "richtext/spelling/SpellCheck.h"

#include <QBuffer>
#include <QPrinter>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>
#include <utility>

namespace zorim {

namespace {

// Indents in points to twips, bounded so that no value the user types can overflow.
int32_t indentTwips(int points)
{
    return int32_t(std::clamp<int64_t>(int64_t(points) * kTwipsPerPoint, -0x7FFFFFF, 0x7FFFFFF));
}

} // namespace

// ---- attributes ---------------------------------------------------------------------------

CharFormat TextAttributes::read() const
{
    return edit_.view().getCharFormat(scope_);
}

void TextAttributes::write(const CharFormat& rec)
{
    edit_.view().setCharFormat(scope_, rec);
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

void TextAttributes::assign(const FontDesc& font, uint32_t mask)
{
    CharFormat rec = fontCharFormat(font.name, font.size, font.style, font.color, font.charset, font.pitch, font.weight);
    rec.mask &= mask;
    if (rec.mask != 0)
        write(rec);
}

ParaFormat ParaAttributes::read() const { return edit_.view().getParaFormat(); }

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
    edit_.view().setParaFormat(sent);
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

RichEdit::RichEdit(QWidget* parent, Kind kind)
    : QWidget(parent), kind_(kind), doc_(std::make_unique<LaidOutDocument>()), view_(std::make_unique<RichView>(*doc_, this)),
      spell_(std::make_unique<SpellCheck>(*doc_))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_->widget());
    setFocusProxy(view_->widget());

    RichView& e = *view_;
    e.setLinkNotices(kind_ == Kind::Document);
    e.setBackgroundColor(color_);
    doc_->setLinkDetection(kind_ == Kind::Document);
    DefaultAttributes().assign(font_);
    doc_->setModified(false);

    connect(doc_.get(), &RichDocument::changed, this, &RichEdit::OnChange);
    connect(doc_.get(), &RichDocument::linesSettled, this, &RichEdit::LinesSettled);
    connect(doc_.get(), &RichDocument::loadCompleted, this, &RichEdit::LoadCompleted);
    connect(doc_.get(), &RichDocument::loadCompleted, this, [this] {
        if (!std::exchange(leftOutToCome_, false))
            return;
        // The rest may have come in for a key or a command: the notice waits until it is done.
        QTimer::singleShot(0, this, [this] {
            if (const LeftOut leftOut = doc_->leftOut(); leftOut.any())
                emit LeftOutOnLoad(leftOut);
        });
    });
    connect(doc_.get(), &RichDocument::modeRestored, this, &RichEdit::PlainTextRestored);
    connect(&e, &RichView::linkNotice, this, &RichEdit::handleLinkNotice);
    connect(&e, &RichView::keyDown, this, &RichEdit::OnKeyDown);
    connect(&e, &RichView::keyPress, this, &RichEdit::OnKeyPress);
    connect(&e, &RichView::keyUp, this, &RichEdit::OnKeyUp);
    connect(&e, &RichView::mouseDown, this, &RichEdit::OnMouseDown);
    connect(e.widget(), &QTextEdit::cursorPositionChanged, spell_.get(), [this] { spell_->caretMovedTo(view_->caret()); });
}

RichEdit::~RichEdit()
{
    // The view goes first: its widget shows the document and calls back into the view.
    delete view_->widget();
    view_.reset();
}

QTextEdit* RichEdit::widget() const { return view_->widget(); }

void RichEdit::handleLinkNotice(LinkEvent event, Qt::MouseButton button, CharRange range)
{
    if (event == LinkEvent::Press) {
        linkRange_ = range;
        linkButton_ = button;
        return;
    }
    // A click counts when press and release hit the same link with the same button.
    const bool complete = linkButton_ == button && linkRange_ == range;
    linkRange_ = {-1, -1};
    if (!complete)
        return;
    // A linked run opens its target; an address found in the text is its own target.
    QTextCursor at(doc_->textDocument());
    at.setPosition(std::min(range.min + 1, doc_->lengthSoFar()));
    const QString target = at.charFormat().anchorHref();
    emit OnURLClick(target.isEmpty() ? doc_->textRange(range) : target, button);
}

void RichEdit::setFont(const FontDesc& font)
{
    font_ = font;
    DefaultAttributes().assign(font_);
}

void RichEdit::setColor(ColorRef color)
{
    color_ = color;
    view_->setBackgroundColor(color);
}

int RichEdit::SelectionStart() const { return view_->getSel().min; }

void RichEdit::setSelectionStart(int pos)
{
    pos = std::max(0, pos);
    view_->setSel({pos, pos});
}

int RichEdit::SelectionLength() const
{
    const CharRange r = view_->getSel();
    return r.max - r.min;
}

void RichEdit::setSelectionLength(int length)
{
    const int s = view_->getSel().min;
    view_->setSel({s, int(std::min<int64_t>(int64_t(s) + std::max(0, length), INT32_MAX))});
    view_->scrollCaret();
}

QString RichEdit::SelectedText() const { return doc_->textRange(view_->getSel()); }

void RichEdit::setSelectedText(const QString& text)
{
    const int s = view_->getSel().min;
    view_->replaceSel(text, doc_->undoLimit() > 1 && version() >= 2);
    // The inserted text stays selected, measured in the document's own positions (a CR LF
    // pair is one paragraph break).
    view_->setSel({s, view_->caret()});
    view_->scrollCaret();
}

QPoint RichEdit::CaretPosition() const
{
    const CharRange r = view_->getSel();
    const int line = doc_->lineOf(r.max);
    const int column = r.max - view_->lineIndex(-1);
    return {column, line};
}

bool RichEdit::Loading() const { return doc_->loading(); }
void RichEdit::CompleteLoad() { doc_->completeLoad(); }

QPoint RichEdit::CaretPositionAsShown() const { return ParagraphLayout::of(*doc_).placeAsShown(view_->getSel().max); }

int RichEdit::LineStart(int line) const { return doc_->lineStart(line); }

QString RichEdit::Text() const { return doc_->text(); }

void RichEdit::setText(const QString& text)
{
    doc_->setText(text);
    view_->setSel({0, 0});
    widget()->setCurrentCharFormat(doc_->defaultCharFormat());
}

QString RichEdit::TextRange(int from, int to) const { return doc_->textRange({from, to}); }
int RichEdit::TextLength() const { return doc_->length(); }
void RichEdit::SelectAll() { view_->selectAll(); }
void RichEdit::DeleteSelection() { view_->deleteSelection(); }

void RichEdit::ClearAll()
{
    doc_->clear();
    view_->setSel({0, 0});
    widget()->setCurrentCharFormat(doc_->defaultCharFormat());
    doc_->setModified(false);
}

bool RichEdit::Modified() const { return doc_->modified(); }
void RichEdit::setModified(bool modified) { doc_->setModified(modified); }

int RichEdit::SearchText(const QString& text, int start, int length, int options)
{
    SearchOptions flags = SearchOptions::fromInt(options);
    // The older control only searches forward.
    if (version() < 2 && flags.has(SearchOption::Backward))
        flags = SearchOptions::fromInt(options & ~so::Backward);
    const int64_t end = int64_t(start) + std::llabs(int64_t(length));
    const CharRange found = doc_->find(text, {start, int(std::min<int64_t>(end, INT32_MAX))}, flags);
    if (found.min >= 0 && flags.has(SearchOption::SelectMatch)) {
        view_->setSel(found);
        view_->scrollCaret();
    }
    return found.min;
}

void RichEdit::Undo() { view_->undo(); }
void RichEdit::Redo() { view_->redo(); }
bool RichEdit::CanUndo() const { return doc_->canUndo(); }
bool RichEdit::CanRedo() const { return doc_->canRedo(); }
void RichEdit::setUndoLimit(int limit) { doc_->setUndoLimit(limit); }
void RichEdit::Cut() { view_->cut(); }
void RichEdit::Copy() { view_->copy(); }
void RichEdit::Paste() { view_->paste(); }
bool RichEdit::CanPaste() const { return view_->canPaste(); }

// ---- streaming ----------------------------------------------------------------------------

TextFormat RichEdit::basicFormat(StreamFormat format) const
{
    // The lighter controls stream by their PlainText setting alone.
    if (kind_ == Kind::Simple)
        format = StreamFormat::Default;
    switch (format) {
    case StreamFormat::RichText: return TextFormat::Rtf;
    case StreamFormat::PlainText: return TextFormat::Text;
    default: return PlainText() ? TextFormat::Text : TextFormat::Rtf;
    }
}

// The stream is read once; bytes that are not what the format names get the other format,
// once (the lighter controls only fall back from rich text to text).
void RichEdit::load(QIODevice& stream, StreamFormat streamFormat, int mode)
{
    QByteArray bytes = stream.readAll();
    const TextFormat format = basicFormat(streamFormat);
    StreamOptions options = StreamOptions::fromInt(mode & (sm::Selection | sm::Unicode));
    if (format == TextFormat::Rtf || version() < 2)
        options = StreamOptions::fromInt(options.toInt() & ~sm::Unicode);
    // Asked only for an insertion: for a whole load it would read a long file still coming in.
    const LeftOut leftOutBefore = options.has(StreamOption::Selection) ? doc_->leftOut() : LeftOut{};
    leftOutToCome_ = false;
    QTextCursor selection = widget()->textCursor();
    const bool ok = loadDocumentBytes(*doc_, std::move(bytes), format, options,
                                      options.has(StreamOption::Selection) ? &selection : nullptr);
    if (!ok)
        throw RichEditError(QStringLiteral("Failed to Load Stream"));
    view_->setSel({0, 0});
    view_->scrollCaret();
    if (doc_->loading()) {
        leftOutToCome_ = true; // told once the whole file is read
        return;
    }
    const LeftOut leftOut = doc_->leftOut() - leftOutBefore;
    if (leftOut.any())
        emit LeftOutOnLoad(leftOut);
}

void RichEdit::LoadStream(QIODevice& stream) { load(stream, streamFormat_, streamMode_); }

QByteArray RichEdit::saveBytes(StreamFormat streamFormat, int mode) const
{
    const TextFormat format = basicFormat(streamFormat);
    StreamOptions options = StreamOptions::fromInt(mode & (sm::NoObjects | sm::Unicode));
    if (format == TextFormat::Rtf || version() < 2)
        options = StreamOptions::fromInt(options.toInt() & ~sm::Unicode);
    const CharRange range = (mode & sm::Selection) ? view_->getSel() : CharRange{0, -1};
    return doc_->save(format, range, options);
}

void RichEdit::save(QIODevice& stream, StreamFormat streamFormat, int mode)
{
    const QByteArray bytes = saveBytes(streamFormat, mode);
    if (stream.write(bytes) != bytes.size())
        throw RichEditError(QStringLiteral("Failed to Save Stream"));
}

void RichEdit::SaveStream(QIODevice& stream) { save(stream, streamFormat_, streamMode_); }

// The main control's file operations take the format from the file's extension (.txt text,
// .rtf rich text); other extensions, and the lighter controls, follow the control's settings.
StreamFormat RichEdit::fileFormat(const QString& path) const
{
    const std::optional<TextFormat> format = formatOfFileName(path);
    if (format && kind_ == Kind::Document)
        return *format == TextFormat::Text ? StreamFormat::PlainText : StreamFormat::RichText;
    return streamFormat_;
}

void RichLines::LoadFile(const QString& path)
{
    QByteArray bytes;
    if (const auto failure = readDocumentFile(path, bytes))
        throw RichEditError(*failure);
    const bool package = packageFormat(bytes).has_value();
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    try {
        edit_.load(stream, edit_.fileFormat(path), edit_.streamMode_);
    } catch (const RichEditError&) {
        if (package) // a package that cannot be read is a damaged file, not a failed stream
            throw RichEditError(damagedFileMessage(path));
        throw;
    }
}

void RichLines::SaveFile(const QString& path)
{
    // A Word or OpenDocument text is written as one whatever the control's stream settings: its
    // name says so. A flat OpenDocument name (.fodt) gets the zipped kind, which every reader takes.
    const std::optional<TextFormat> named = formatOfFileName(path);
    const bool package = edit_.kind_ == RichEdit::Kind::Document && (named == TextFormat::Docx || named == TextFormat::Odt);
    const QByteArray bytes = package ? edit_.document().save(*named)
                                     : edit_.saveBytes(edit_.fileFormat(path), edit_.streamMode_);
    if (const auto failure = writeDocumentFile(path, bytes))
        throw RichEditError(*failure);
}

void RichLines::BeginUpdate()
{
    if (updateCount_++ > 0)
        return;
    update_ = std::make_unique<RichDocument::Transaction>(edit_.document());
    if (edit_.isVisible())
        edit_.widget()->setUpdatesEnabled(false);
}

void RichLines::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ > 0)
        return;
    if (edit_.isVisible()) {
        edit_.widget()->setUpdatesEnabled(true);
        edit_.widget()->viewport()->update();
    }
    update_.reset(); // the whole bulk change is reported here, once
}

int RichLines::LineCount() const
{
    const RichDocument& d = edit_.document();
    const int count = d.lineCount();
    const int lastStart = d.lineStart(count - 1);
    const bool lastEmpty = lastStart >= 0 && d.lineLength(lastStart) == 0 && lastStart == d.length();
    return lastEmpty ? count - 1 : count;
}

QString RichLines::Line(int index) const
{
    const RichDocument& d = edit_.document();
    const int start = d.lineStart(index);
    if (start < 0)
        return {};
    return d.textRange({start, start + d.lineLength(start)});
}

void RichLines::Add(const QString& text)
{
    RichView& e = edit_.view();
    const RichDocument& d = edit_.document();
    const int index = LineCount();
    const int start = d.lineStart(index);
    QString inserted;
    int at = 0;
    if (start >= 0) {
        at = start;
        inserted = text + QStringLiteral("\r\n");
    } else {
        const int lastStart = d.lineStart(index - 1);
        at = lastStart < 0 ? 0 : lastStart + d.lineLength(lastStart);
        inserted = QStringLiteral("\r\n") + text;
    }
    e.setSel({at, at});
    e.replaceSel(inserted, false);
    const int expected = at + int(inserted.size()) - int(inserted.count(QStringLiteral("\r\n")));
    if (e.caret() != expected)
        throw RichEditError(QStringLiteral("RichEdit line insertion error"));
}

void RichLines::Clear() { edit_.setText(QString()); }

// ---- modes --------------------------------------------------------------------------------

void RichEdit::setPlainText(bool on)
{
    if (on == PlainText())
        return;
    const bool modified = Modified();
    const bool empty = doc_->length() == 0;
    if (version() < 2 || (empty && !doc_->canUndo())) {
        // Nothing to convert and nothing to undo: only the setting changes.
        doc_->setPlainMode(on);
        if (version() < 2)
            return;
    } else {
        // One edit the user can undo. Its notice follows once Modified is right: dropping the
        // formatting is a change to be saved; giving plain text the default format loses
        // nothing, so the document stays as changed as it was.
        const RichDocument::QuietScope quiet(*doc_);
        doc_->convertToMode(on);
    }
    view_->setSel({0, 0});
    widget()->setCurrentCharFormat(doc_->defaultCharFormat());
    view_->scrollCaret();
    setModified(modified || (on && !empty));
    emit OnChange();
}

bool RichEdit::verticalScrollBar() const
{
    return widget()->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
}

void RichEdit::setVerticalScrollBar(bool on)
{
    if (on == verticalScrollBar())
        return;
    // The document stays as it is; the caret goes to the start, as after the control's
    // window is made anew.
    widget()->setVerticalScrollBarPolicy(on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    view_->setSel({0, 0});
    view_->scrollCaret();
}

int RichEdit::Print(const QString& title, QPrinter& printer, const QString& fileName)
{
    if (printer.printerState() == QPrinter::Active)
        throw RichEditError(QStringLiteral("Printing in progress"));
    const std::optional<int> pages = printDocument(*doc_, title, printer, PageRect, fileName);
    // A printer that cannot take the job (no printer, a file that cannot be written) is said
    // so, rather than the job reported as printed.
    if (!pages)
        throw RichEditError(QStringLiteral("Tlač sa nedá začať: tlačiareň dokument neprijala."));
    return *pages;
}

PageSetup RichEdit::SectionPage() const { return doc_->sectionPage(view_->caret()); }

void RichEdit::SetSectionPage(const PageSetup& page) { doc_->setSectionPage(view_->caret(), page); }

} // namespace zorim
