#include "richtext/editor/RichView.h"

#include "richtext/document/DocFormats.h"
#include "richtext/editor/DocumentAccessible.h"
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/document/RichDocument.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cmath>
#include <vector>

namespace zorim {

namespace {
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");
} // namespace

// The widget: Qt's text edit with our undo, our clipboard formats and our link notices.
class ViewWidget : public QTextEdit {
public:
    ViewWidget(RichView& view, QWidget* parent) : QTextEdit(parent), widget_(view)
    {
        setAcceptRichText(true);
        setTabChangesFocus(false);
        setLineWrapMode(QTextEdit::WidgetWidth);
        // Wrapped lines never need it; a table or picture wider than the page does.
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        viewport()->setMouseTracking(true);
    }

protected:
    // A key, an input method, a drop or a paste may change the document or ask for all of
    // it (Ctrl+End, Ctrl+A): a long text still coming in is taken in whole first. Keys that
    // only move through what is shown, or copy from it, do not wait for the rest.
    static bool staysInWhatIsIn(const QKeyEvent* e)
    {
        if (e->matches(QKeySequence::Copy))
            return true;
        switch (e->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            return true;
        case Qt::Key_End:
            return !e->modifiers().testFlag(Qt::ControlModifier);
        default:
            return false;
        }
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        // The context menu's keys, as on other desktops: the menu key and Shift+F10 open it at
        // the caret, through the same event as a right click.
        if ((e->key() == Qt::Key_Menu && e->modifiers() == Qt::NoModifier)
            || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier)) {
            const QPoint caret = cursorRect().center();
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, caret, viewport()->mapToGlobal(caret));
            QCoreApplication::sendEvent(viewport(), &menu);
            startMenuOnFirstItem();
            return;
        }
        if (!staysInWhatIsIn(e))
            widget_.model().completeLoad();
        emit widget_.keyDown(e->key(), e->modifiers());
        if (e->matches(QKeySequence::Undo)) {
            widget_.undo();
            return;
        }
        if (e->matches(QKeySequence::Redo)) {
            widget_.redo();
            return;
        }
        if (!e->text().isEmpty() && e->text()[0].isPrint())
            emit widget_.keyPress(e->text());
        if (widget_.tableKey(e) || widget_.listKey(e))
            return;
        QTextEdit::keyPressEvent(e);
    }
    // A context menu opened from the keyboard starts on its first item, as on other desktops,
    // so that a screen reader says where the user is.
    static void startMenuOnFirstItem()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* item : menu->actions())
            if (item->isVisible() && item->isEnabled() && !item->isSeparator()) {
                menu->setActiveAction(item);
                return;
            }
    }
    void inputMethodEvent(QInputMethodEvent* e) override
    {
        widget_.model().completeLoad();
        QTextEdit::inputMethodEvent(e);
    }
    void dropEvent(QDropEvent* e) override
    {
        widget_.model().completeLoad();
        QTextEdit::dropEvent(e);
    }
    void showEvent(QShowEvent* e) override
    {
        widget_.model().layout().setShown(true);
        QTextEdit::showEvent(e);
    }
    void hideEvent(QHideEvent* e) override
    {
        widget_.model().layout().setShown(false);
        QTextEdit::hideEvent(e);
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        QTextEdit::keyReleaseEvent(e);
        emit widget_.keyUp(e->key(), e->modifiers());
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        linkNotice(e, LinkEvent::Press);
        if (!pressInSelectionBar(e)) {
            QTextEdit::mousePressEvent(e);
            startWordDrag(e);
        }
        emit widget_.mouseDown(e->button(), e->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        linkNotice(e, LinkEvent::Release);
        dragAnchor_ = -1;
        barPressed_ = false;
        QTextEdit::mouseReleaseEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const QPoint at = e->position().toPoint();
        const int pos = widget_.positionAt(at);
        const bool onLink = pos >= 0 && widget_.linkAt(pos).min >= 0;
        viewport()->setCursor(inSelectionBar(at) ? Qt::ArrowCursor : onLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        if (barPressed_ && (e->buttons() & Qt::LeftButton))
            return;
        QTextEdit::mouseMoveEvent(e);
        extendWordDrag(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && inSelectionBar(e->position().toPoint())) {
            selectParagraphAt(e->position().toPoint());
            return;
        }
        QTextEdit::mouseDoubleClickEvent(e);
    }
    void paintEvent(QPaintEvent* e) override
    {
        if (selectionShown())
            QTextEdit::paintEvent(e);
        else
            paintWithoutSelection(e);
    }
    bool event(QEvent* e) override
    {
        // The selection hides while another window is active and shows again on return. Only
        // a window that was active can be left: without a window manager none ever is.
        if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate) {
            wasActive_ = wasActive_ || e->type() == QEvent::WindowActivate;
            windowLeft_ = wasActive_ && e->type() == QEvent::WindowDeactivate;
            viewport()->update();
        }
        // The desktop's own menu key arrives as a context menu event from the keyboard.
        const bool menuFromKeys = e->type() == QEvent::ContextMenu
                               && static_cast<QContextMenuEvent*>(e)->reason() == QContextMenuEvent::Keyboard;
        const bool done = QTextEdit::event(e);
        if (menuFromKeys)
            startMenuOnFirstItem();
        return done;
    }
    QMimeData* createMimeDataFromSelection() const override { return widget_.mimeDataFor(widget_.getSel()); }
    bool canInsertFromMimeData(const QMimeData* source) const override { return widget_.canInsertMime(source); }
    void insertFromMimeData(const QMimeData* source) override { widget_.insertMime(source); }

private:
    // ---- the selection bar, word selection and the hidden selection --------------------------

    // The margin left of the text: a click there selects the line, a double click the paragraph.
    bool inSelectionBar(const QPoint& viewportPoint) const
    {
        return viewportPoint.x() + horizontalScrollBar()->value() < document()->documentMargin();
    }
    // The text position nearest to a point of the viewport.
    int nearestPosition(const QPoint& viewportPoint) const { return cursorForPosition(viewportPoint).position(); }
    void selectRange(int anchor, int position)
    {
        QTextCursor c(document());
        c.setPosition(anchor);
        c.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(c);
    }
    int lastPosition() const { return std::max(0, document()->characterCount() - 1); }
    bool pressInSelectionBar(QMouseEvent* e)
    {
        barPressed_ = false;
        const QPoint at = e->position().toPoint();
        if (e->button() != Qt::LeftButton || e->modifiers() != Qt::NoModifier || !inSelectionBar(at))
            return false;
        barPressed_ = true;
        setFocus(Qt::MouseFocusReason);
        // The line under the pointer with its end, up to the next line's start.
        const int line = widget_.lineFromChar(nearestPosition(QPoint(0, at.y())));
        const int next = line + 1 < widget_.lineCount() ? widget_.lineIndex(line + 1) : lastPosition();
        selectRange(widget_.lineIndex(line), next);
        e->accept();
        return true;
    }
    void selectParagraphAt(const QPoint& viewportPoint)
    {
        const QTextBlock block = document()->findBlock(nearestPosition(QPoint(0, viewportPoint.y())));
        selectRange(block.position(), std::min(block.position() + block.length(), lastPosition()));
    }
    // A drag that leaves the word it started in selects whole words from then on: the word
    // it started in, and each word the pointer reaches.
    void startWordDrag(QMouseEvent* e)
    {
        dragAnchor_ = -1;
        wordDrag_ = false;
        if (e->button() == Qt::LeftButton && e->modifiers() == Qt::NoModifier && !textCursor().hasSelection())
            dragAnchor_ = textCursor().position();
    }
    void extendWordDrag(QMouseEvent* e)
    {
        if (dragAnchor_ < 0 || !(e->buttons() & Qt::LeftButton))
            return;
        const int pos = nearestPosition(e->position().toPoint());
        const auto wordEdge = [this](int at, QTextCursor::MoveOperation edge) {
            QTextCursor c(document());
            c.setPosition(at);
            c.movePosition(edge);
            return c.position();
        };
        const int wordStart = wordEdge(dragAnchor_, QTextCursor::StartOfWord);
        const int wordEnd = wordEdge(dragAnchor_, QTextCursor::EndOfWord);
        wordDrag_ = wordDrag_ || pos < wordStart || pos > wordEnd;
        if (!wordDrag_)
            return;
        if (pos >= dragAnchor_)
            selectRange(wordStart, std::max(pos, wordEdge(pos, QTextCursor::EndOfWord)));
        else
            selectRange(wordEnd, std::min(pos, wordEdge(pos, QTextCursor::StartOfWord)));
    }
    bool selectionShown() const { return !windowLeft_ || !textCursor().hasSelection(); }
    // What Qt's own painting does, with no selection: while another window is active.
    void paintWithoutSelection(QPaintEvent* e)
    {
        QPainter painter(viewport());
        const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
        painter.translate(-offset);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = palette();
        context.clip = e->rect().translated(offset);
        painter.setClipRect(context.clip);
        document()->documentLayout()->draw(&painter, context);
    }

    void linkNotice(QMouseEvent* e, LinkEvent event)
    {
        if (!widget_.linkNotices())
            return;
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
            return;
        const int pos = widget_.positionAt(e->position().toPoint());
        if (pos < 0)
            return;
        const CharRange range = widget_.linkAt(pos);
        if (range.min >= 0)
            emit widget_.linkNotice(event, e->button(), range);
    }
    RichView& widget_;
    bool barPressed_ = false; // the left button went down in the selection bar
    int dragAnchor_ = -1;     // where a drag that may turn to whole words started
    bool wordDrag_ = false;   // the drag has left its first word
    bool wasActive_ = false;  // the view's window has been the active window
    bool windowLeft_ = false; // ... and another one is active now
};

namespace {
QAccessibleInterface* documentAccessible(const QString&, QObject* object)
{
    auto* view = dynamic_cast<ViewWidget*>(object);
    return view ? new DocumentAccessible(view) : nullptr;
}
} // namespace

RichView::RichView(RichDocument& doc, QWidget* viewParent) : doc_(doc), widget_(new ViewWidget(*this, viewParent))
{
    static const bool accessibleInstalled = (QAccessible::installFactory(documentAccessible), true);
    (void)accessibleInstalled;
    showDocument();
    connect(&doc_, &RichDocument::replaced, this, &RichView::showDocument);
}

RichView::~RichView() = default;

void RichView::showDocument()
{
    QTextDocument* doc = doc_.textDocument();
    doc_.layout().setShown(widget_->isVisible());
    widget_->setDocument(doc);
    // As the paragraphs above settle, the text in view stays where it is.
    // Repainted only when what moved is on the screen: what the view follows down looks the
    // same, so the scroll bar moves without the view scrolling (the part of a pixel the bar
    // cannot take is carried to the next move).
    connect(&ParagraphLayout::of(doc_), &ParagraphLayout::placesMoved, widget_, [this](qreal y, qreal delta) {
        QScrollBar* bar = widget_->verticalScrollBar();
        const int top = bar->value();
        if (top < y) {
            if (y < top + widget_->viewport()->height())
                widget_->viewport()->update();
            return;
        }
        settleCarry_ += delta;
        const int by = int(std::lround(settleCarry_));
        settleCarry_ -= by;
        if (by == 0)
            return;
        const int to = top + by;
        const QSignalBlocker quiet(bar);
        bar->setMaximum(std::max(bar->maximum(), to));
        bar->setValue(to);
    });
    // Qt's own edit takes undo in hand when it is given a document; the document keeps it
    // (off while a long text is still coming in).
    doc->setUndoRedoEnabled(!doc_.loading());
    widget_->setCurrentCharFormat(doc->begin().charFormat());
}

QTextEdit* RichView::widget() const { return widget_; }
QTextDocument* RichView::document() const { return doc_.textDocument(); }

// ---- formats ------------------------------------------------------------------------------

CharFormat RichView::getCharFormat(FormatScope scope) const
{
    if (scope == FormatScope::Default)
        return doc_.defaultFormat();
    const QFont def = document()->defaultFont();
    QTextCursor c = widget_->textCursor();
    if (c.hasSelection()) {
        QTextCursor first(document());
        first.setPosition(c.selectionStart() + 1);
        return readCharFormat(first.charFormat(), def);
    }
    return readCharFormat(c.charFormat(), def);
}

void RichView::setCharFormat(FormatScope scope, const CharFormat& rec)
{
    QTextDocument* doc = document();
    if (scope == FormatScope::Default) {
        doc_.setDefaultFormat(rec);
        if (doc->isEmpty())
            widget_->setCurrentCharFormat(doc_.defaultCharFormat());
        return;
    }
    QTextCursor c = widget_->textCursor();
    if (!c.hasSelection()) {
        QTextCharFormat f = c.charFormat();
        applyCharFormat(f, rec);
        c.setCharFormat(f);
        widget_->setTextCursor(c);
        return;
    }
    // Each run keeps every attribute the mask does not name.
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    const RichDocument::Transaction transaction(doc_);
    QTextCursor edit(doc);
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
}

ParaFormat RichView::getParaFormat() const { return readParaFormat(widget_->textCursor().block()); }

void RichView::setParaFormat(const ParaFormat& rec)
{
    const RichDocument::Transaction transaction(doc_);
    applyParaFormat(widget_->textCursor(), rec);
}

// ---- selection ----------------------------------------------------------------------------

CharRange RichView::getSel() const
{
    const QTextCursor c = widget_->textCursor();
    return {c.selectionStart(), c.selectionEnd()};
}

int RichView::caret() const { return widget_->textCursor().position(); }

void RichView::setSel(CharRange range)
{
    QTextCursor c(document());
    if (range.min < 0) {
        c.setPosition(widget_->textCursor().position());
    } else {
        // The selection keeps its direction: a range from its end backwards selects backwards.
        // Only a selection to the end waits for a long text still coming in.
        const int len = range.max < 0 ? doc_.length() : doc_.lengthSoFar();
        c.setPosition(std::clamp(range.min, 0, len));
        c.setPosition(range.max < 0 ? len : std::clamp(range.max, 0, len), QTextCursor::KeepAnchor);
    }
    widget_->setTextCursor(c);
}

void RichView::scrollCaret() { widget_->ensureCursorVisible(); }

void RichView::replaceSel(const QString& text, bool canUndo)
{
    QTextCursor c = widget_->textCursor();
    if (canUndo) {
        const RichDocument::Transaction transaction(doc_);
        RichDocument::insertText(c, text);
    } else {
        {
            const RichDocument::Transaction transaction(doc_);
            RichDocument::insertText(c, text);
        }
        doc_.forgetUndo();
    }
    widget_->setTextCursor(c);
}

void RichView::selectAll() { setSel({0, -1}); }

void RichView::deleteSelection()
{
    doc_.completeLoad(); // an edit: nothing can be undone while a long text is coming in
    if (removeWholeRows())
        return;
    QTextCursor c = widget_->textCursor();
    if (c.hasSelection()) {
        c.removeSelectedText();
        widget_->setTextCursor(c);
    }
}

// ---- lines --------------------------------------------------------------------------------

int RichView::lineFromChar(int pos) const { return doc_.lineOf(pos < 0 ? caret() : pos); }

int RichView::lineIndex(int line) const { return doc_.lineStart(line < 0 ? lineFromChar(-1) : line); }

int RichView::lineLength(int pos) const { return doc_.lineLength(pos < 0 ? caret() : pos); }

int RichView::lineCount() const { return doc_.lineCount(); }

// ---- undo and the clipboard ---------------------------------------------------------------

void RichView::undo()
{
    QTextCursor c = widget_->textCursor();
    doc_.undo(&c);
    widget_->setTextCursor(c);
    widget_->ensureCursorVisible();
}

void RichView::redo()
{
    QTextCursor c = widget_->textCursor();
    doc_.redo(&c);
    widget_->setTextCursor(c);
}

void RichView::cut()
{
    doc_.completeLoad();
    if (widget_->textCursor().hasComplexSelection()) {
        widget_->copy();
        if (removeWholeRows())
            return;
    }
    widget_->cut();
}
void RichView::copy() { widget_->copy(); }
void RichView::paste()
{
    doc_.completeLoad();
    widget_->paste();
}

bool RichView::canPaste() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && canInsertMime(data);
}

QMimeData* RichView::mimeDataFor(CharRange range) const
{
    auto* data = new QMimeData;
    QString t = doc_.textRange(range);
    t.replace(u'\r', QStringLiteral("\r\n"));
    data->setText(t);
    // Other word processors take the formatted copy; the plain text is for everything else.
    if (!doc_.plainMode() && range.max > range.min)
        data->setData(kRtfMime, doc_.save(TextFormat::Rtf, range));
    return data;
}

bool RichView::canInsertMime(const QMimeData* data) const
{
    if (!data)
        return false;
    if (data->hasText())
        return true;
    if (doc_.plainMode())
        return false;
    return data->hasFormat(kRtfMime) || data->hasFormat(kRtfMimeAlt) || data->hasImage();
}

void RichView::insertMime(const QMimeData* data)
{
    if (!data)
        return;
    QTextCursor c = widget_->textCursor();
    // A picture or object pasted alone stands in the text like a character: what is typed
    // after it goes on in the format of the text before it, not in the picture's.
    const QTextCharFormat typing = c.charFormat();
    const int start = c.selectionStart();
    {
        const RichDocument::Transaction transaction(doc_);
        bool done = false;
        // Formatted text first, then a picture, then plain text.
        if (!doc_.plainMode()) {
            for (const QString& type : {kRtfMime, kRtfMimeAlt}) {
                if (!done && data->hasFormat(type))
                    done = doc_.insert(c, data->data(type), TextFormat::Rtf);
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
            RichDocument::insertText(c, data->text());
    }
    if (c.position() == start + 1 && document()->characterAt(start) == QChar::ObjectReplacementCharacter)
        c.setCharFormat(typing);
    widget_->setTextCursor(c);
}

void RichView::setBackgroundColor(ColorRef color)
{
    const QColor background = colorFromRef(color);
    QPalette pal = widget_->palette();
    pal.setColor(QPalette::Base, background);
    // Text in the automatic colour is drawn in the palette's text colour. It follows the
    // control's own background, not the desktop's scheme: black on the light colours, so a
    // dark desktop does not put light text on a light page.
    pal.setColor(QPalette::Text, inkOn(background));
    widget_->setPalette(pal);
}

// ---- links --------------------------------------------------------------------------------

int RichView::positionAt(const QPoint& p) const
{
    const QPointF docPoint(p.x() + widget_->horizontalScrollBar()->value(), p.y() + widget_->verticalScrollBar()->value());
    return document()->documentLayout()->hitTest(docPoint, Qt::ExactHit);
}

CharRange RichView::linkAt(int pos) const { return doc_.linkAt(pos); }

} // namespace zorim
