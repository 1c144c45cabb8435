// Keeping the toolbars, boxes, strips, check marks and the caret panel in step with the
// selection, the editor's events that run the refresh, and the resize rule.
#include "forms/mainwindow/MainWindow.h"

#include "forms/mainwindow/Recovery.h"

#include "forms/widgets/ColorStrip.h"
#include "forms/widgets/NotePane.h"
#include "forms/mainwindow/MainWindowLayout.h"
#include "forms/widgets/StatusBar.h"
#include "forms/commands/CommandUi.h"
#include "richtext/document/DocFormats.h"
#include "richtext/editor/RichEdit.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QSignalBlocker>
#include <QSizeGrip>

#include <algorithm>

namespace zorim {
namespace {

using namespace layout;

} // namespace

// Every step asks the control afresh; a control already showing the value is left alone, so
// a refresh that changes nothing repaints nothing. Setting a box from here never applies it:
// its signals are blocked while the refresh writes it.
void MainWindow::SelectionChange()
{
    const CommandUi& ui = *commandUi_;
    const auto show = [&ui](Follows what, bool on) {
        for (QAbstractButton* b : ui.buttonsFollowing(what))
            b->setChecked(on);
        for (QAction* a : ui.actionsFollowing(what))
            a->setChecked(on);
    };
    TextAttributes& selection = RichEdit1->SelectionAttributes();
    ParaAttributes& paragraph = RichEdit1->ParagraphAttributes();

    // 1. The three styles, both ways, button then menu mark.
    const int style = selection.Style();
    show(Follows::Bold, style & fs::Bold);
    show(Follows::Italic, style & fs::Italic);
    show(Follows::Underline, style & fs::Underline);

    // 2. Bullets: any numbering counts.
    show(Follows::Bullets, paragraph.Numbering() != 0);

    // 3. The size box's text; not while the user is typing in it, where it keeps what was
    // typed (text that is no number among it).
    const QString size = QString::number(selection.Size());
    if (fontSizeBox->currentText() != size && !fontSizeBox->hasFocus()) {
        const QSignalBlocker blocker(fontSizeBox);
        fontSizeBox->setEditText(size);
    }

    // 4. The font box shows the font's entry, or none.
    showFontName(selection.Name());

    // 5., 6. The colour strips.
    textColorStrip->setColor(colorFromRef(selection.Color()));
    backgroundColorStrip->setColor(colorFromRef(selection.BackColor()));

    // 7. Alignment presses one button of the group and only ever adds a menu check mark;
    // justified text changes neither.
    switch (paragraph.Alignment()) {
    case ParaAlignment::Left: show(Follows::AlignLeft, true); break;
    case ParaAlignment::Right: show(Follows::AlignRight, true); break;
    case ParaAlignment::Center: show(Follows::AlignCenter, true); break;
    case ParaAlignment::Justify: break;
    }

    // 8.
    UpdateCursorPos();
    followNote();
}

void MainWindow::followNote()
{
    const bool shown = notePane->follow();
    if (shown != notePane->isVisibleTo(client_)) {
        notePane->setVisible(shown);
        FormResize();
    }
}

// Qt::QueuedConnection: the call is posted, and runs once the events already waiting (the
// rest of the keystroke) have been handled.
void MainWindow::requestSelectionChange()
{
    if (selectionChangeRequested_)
        return;
    selectionChangeRequested_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            selectionChangeRequested_ = false;
            SelectionChange();
        },
        Qt::QueuedConnection);
}

// A face that is not installed shows as the family the text is drawn in (fontconfig's
// substitute, Verdana as DejaVu Sans on most desktops); the document keeps the name it states.
// The substitute is looked up once per name.
void MainWindow::showFontName(const QString& name)
{
    if (fontNameBox->currentIndex() >= 0 && fontNameBox->currentText() == name)
        return;
    const QString key = name.toLower();
    int index = -1;
    if (const auto found = fontIndex_.constFind(key); found != fontIndex_.cend()) {
        index = found.value();
    } else if (!name.isEmpty()) {
        index = fontIndex_.value(familyWithoutFoundry(QFontInfo(QFont(name)).family()).toLower(), -1);
        fontIndex_.insert(key, index);
    }
    if (index == fontNameBox->currentIndex())
        return;
    const QSignalBlocker blocker(fontNameBox);
    fontNameBox->setCurrentIndex(index);
}

// " %3d /%3d": line and column from 1, each right-aligned in at least three places. The
// line is counted as the editor shows it: after a change all through a long document the
// lines above settle on the event loop, and the panel is shown again when they have.
void MainWindow::UpdateCursorPos()
{
    const QPoint caret = RichEdit1->CaretPositionAsShown();
    StatusBar1->setPanelText(0, QString::asprintf(" %3d /%3d", caret.y() + 1, caret.x() + 1));
}

void MainWindow::RichEdit1Change()
{
    document_.setModified(RichEdit1->Modified());
    if (recovery_)
        recovery_->documentChanged();
    requestSelectionChange();
    document_.stampDateTime();
}

// Key-down and character events arrive before the editor acts on the key; the refresh they
// ask for runs after it, so it shows the state the key left.
void MainWindow::RichEdit1MouseDown() { requestSelectionChange(); }
void MainWindow::RichEdit1KeyDown() { requestSelectionChange(); }
void MainWindow::RichEdit1KeyPress() { requestSelectionChange(); }
void MainWindow::RichEdit1KeyUp() { requestSelectionChange(); }

void MainWindow::FormResize()
{
    const int width = client_->width();
    const int height = client_->height();
    const int outerWidth = width + kFrameWidth;
    const int outerHeight = height + kFrameHeight;
    ControlBar1->setGeometry(0, 0, width, kControlBarHeight);
    StatusBar1->setGeometry(0, height - kStatusBarHeight, width, kStatusBarHeight);
    if (editorFillsClient_) {
        RichEdit1->setGeometry(0, kControlBarHeight, width,
                               std::max(0, height - kControlBarHeight - kStatusBarHeight));
    } else {
        RichEdit1->setGeometry(kEditorLeft, kEditorTop, std::max(0, outerWidth - 23), std::max(0, outerHeight - 130));
    }
    if (notePane && notePane->isVisibleTo(client_)) {
        // The pane takes the editor's lower part: a third of it, at most kNotePaneHeight.
        const QRect editor = RichEdit1->geometry();
        const int pane = std::min(kNotePaneHeight, editor.height() / 3);
        RichEdit1->setGeometry(editor.adjusted(0, 0, 0, -pane));
        notePane->setGeometry(editor.left(), editor.bottom() + 1 - pane, editor.width(), pane);
    }
    // The spacer keeps the date and time at the right end; a window narrower than the panels
    // gives it no width rather than a negative one.
    StatusBar1->setPanelWidth(3, std::max(0, outerWidth - 686));
    const QSize grip = sizeGrip_->sizeHint();
    sizeGrip_->move(width - grip.width(), height - grip.height());
}

int MainWindow::outerWidth() const { return client_->width() + kFrameWidth; }

void MainWindow::setOuterWidth(int width)
{
    const QMargins border = contentsMargins();
    const int windowWidth = std::max(0, width - kFrameWidth) + border.left() + border.right();
    if (borderResizable_)
        resize(windowWidth, height());
    else
        setFixedSize(windowWidth, height());
    // The shown window has laid itself out in the resize: its client area's resize ran
    // FormResize.
}

} // namespace zorim
