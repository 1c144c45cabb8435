// The colour themes and the parts of easy mode.
#include "forms/mainwindow/MainWindow.h"

#include "forms/widgets/CaptionBar.h"
#include "forms/widgets/ColorStrip.h"
#include "forms/widgets/StatusBar.h"
#include "forms/commands/CommandUi.h"
#include "richtext/document/DocFormats.h"
#include "richtext/editor/RichEdit.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace zorim {
namespace {

constexpr int kEditorLeft = 8;
constexpr int kEditorWidth = 777;
constexpr int kEditorHeight = 470;

struct Theme {
    ColorRef caption; // caption bar background and the inactive title
    ColorRef frame;   // tool bar area, window, status bar
    ColorRef editor;  // the document's background, the window's horizontal scroll bar
};

// By the number kept in skin.ini.
constexpr Theme kThemes[8] = {
    {0x009B9BFF, 0x009B9BFF, 0x00EAEAFF}, // 1 Červená
    {0x00FF9B9B, kClMenu, kClWindow},     // 2 Štandard
    {0x00FF9B9B, kClMenu, 0x00F4F4F4},    // 3 Štandard extra
    {0x00FF9B9B, 0x00FF9B9B, 0x00FFEAEA}, // 4 Modrá
    {0x00555555, 0x00555555, 0x00C4C4C4}, // 5 Čierna
    {0x00D5AAFF, 0x00D5AAFF, 0x00F4EAFF}, // 6 Ružová
    {0x00AAFFAA, 0x00AAFFAA, 0x00EAFFEA}, // 7 Zelená
    {0x0000FFFF, 0x0000FFFF, 0x00EAFFFF}, // 8 Žltá
};

void fill(QWidget* widget, ColorRef color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colorFromRef(color));
    widget->setPalette(palette);
}

} // namespace

void MainWindow::ApplySkin(int theme)
{
    if (theme < 1 || theme > 8)
        return;
    const Theme& t = kThemes[theme - 1];
    appliedSkin_ = theme;
    captionColor_ = t.caption;        // 1., 2. the title bar: inactive title, background
    frameColor_ = t.frame;            // 3., 4. the tool bar area and the window
    RichEdit1Color_ = t.editor;       // 5. the document
    horzScrollBarColor_ = t.editor;   // 6. the window's horizontal scroll bar
    statusBarColor_ = t.frame;        // 7. the status bar
    applyThemeColors();
}

// Puts the colours in force on the controls; system colours are looked up afresh, so a change
// of the desktop's colour scheme reaches them.
void MainWindow::applyThemeColors()
{
    if (!CaptionBar1 || !ControlBar1)
        return;
    CaptionBar1->setInactiveText(colorFromRef(captionColor_));
    CaptionBar1->setBackground(colorFromRef(captionColor_));
    fill(ControlBar1, frameColor_);
    fill(centralWidget(), frameColor_);
    RichEdit1->setColor(RichEdit1Color_);
    StatusBar1->setBackground(colorFromRef(statusBarColor_));
}

// The controls easy mode hides: the formatting buttons, boxes and the text colour strip, and
// the font, alignment, page setup and plain-text items with the separator above the font item.
void MainWindow::setFormattingControlsShown(bool shown)
{
    for (const char* name : {"SpeedButton5", "SpeedButton6", "SpeedButton7", "SpeedButton8", "SpeedButton9",
                             "SpeedButton10", "SpeedButton14", "SpeedButton15", "SpeedButton17", "SpeedButton20",
                             "ComboBox1", "ComboBox2"})
        commandUi_->setShown(name, shown);
    textColorStrip->setVisible(shown);
    for (QAction* item : {fontItem, alignMenu->menuAction(), fontSeparator, pageSetupItem, plainTextItem})
        item->setVisible(shown);
}

// Only the editor, the plain-text mode and the border follow here; the formatting buttons
// and menu items that the easy-mode command hides stay visible.
void MainWindow::setEasyMode(bool easy)
{
    RichEdit1->setPlainText(easy);
    easyModeItem->setChecked(easy);
    if (easy) {
        setEditorFillsClientArea(true);
        setBorderResizable(true);
    } else {
        setEditorFillsClientArea(false);
        RichEdit1->setGeometry(kEditorLeft, RichEdit1->y(), kEditorWidth, kEditorHeight);
        setBorderResizable(false);
        plainTextItem->setVisible(true);
    }
}

} // namespace zorim
