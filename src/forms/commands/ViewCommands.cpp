#include "forms/commands/ViewCommands.h"

#include "forms/mainwindow/ColorTags.h"
#include "forms/mainwindow/LineWrap.h"
#include "forms/dialogs/PageSetupDialog.h"
#include "forms/mainwindow/MainWindow.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QAction>
#include <QToolBar>

namespace zorim {

// A handler with an empty body belongs to a command that is not built yet: its menu item,
// button and key exist and run it, and it does nothing.

// Page setup: the dialog shapes the main window for the chosen page and gives the section
// where the caret stands its paper. The window's outer width
// lays the window out for that width first; the editor's left edge and width then override
// that layout's, its top and height stay.
void ViewCommands::pageSetup()
{
    PageSetupDialog* dialog = c_.windows.pageSetup;
    if (!dialog)
        return;
    MainWindow& form = c_.form;
    RichEdit& editor = c_.RichEdit1;
    dialog->setTarget({[&form](int width) { form.setOuterWidth(width); },
                       [&editor](int left) { editor.move(left, editor.y()); },
                       [&editor](int width) { editor.resize(width, editor.height()); },
                       [&editor] { return editor.SectionPage(); },
                       [&editor](const PageSetup& page) { editor.SetSectionPage(page); }});
    dialog->execute();
}

// The theme commands, in the menu's order; the numbers are those kept in skin.ini.
void ViewCommands::skinRed() { chooseSkin(1); }
void ViewCommands::skinBlack() { chooseSkin(5); }
void ViewCommands::skinStandard() { chooseSkin(2); }
void ViewCommands::skinStandardExtra() { chooseSkin(3); }
void ViewCommands::skinBlue() { chooseSkin(4); }
void ViewCommands::skinPink() { chooseSkin(6); }
void ViewCommands::skinGreen() { chooseSkin(7); }
void ViewCommands::skinYellow() { chooseSkin(8); }

// Checked, lines wrap at the editor's right edge; unchecked, each paragraph stays on one line
// and a horizontal scroll bar reaches its end.
void ViewCommands::switchLineWrap()
{
    const bool wrap = !c_.form.lineWrapItem->isChecked();
    setLineWrapping(c_.RichEdit1, wrap);
    c_.form.lineWrapItem->setChecked(wrap);
}

// Easy mode switches the document's mode without the check mark, so the mark and the
// document can disagree; the command follows the mark.
void ViewCommands::switchPlainText()
{
    if (c_.form.plainTextItem->isChecked())
        Vypn1();
    else
        Zapn1();
}

// The mark goes first: a conversion that fails leaves it changed.
void ViewCommands::Zapn1()
{
    c_.form.plainTextItem->setChecked(true);
    c_.RichEdit1.setPlainText(true);
}

void ViewCommands::Vypn1()
{
    c_.form.plainTextItem->setChecked(false);
    c_.RichEdit1.setPlainText(false);
}

// The mark only says which of the two the next click does: text typed or loaded afterwards
// is not coloured.
void ViewCommands::switchHtmlMode()
{
    if (c_.form.htmlModeItem->isChecked())
        Vypn3();
    else
        Zapn3();
}

void ViewCommands::Zapn3()
{
    c_.form.htmlModeItem->setChecked(true);
    ColorTags(c_.RichEdit1, {0x00FF0000, 0x000000FF, 0x00008000});
}

void ViewCommands::Vypn3()
{
    c_.form.htmlModeItem->setChecked(false);
    ColorTags(c_.RichEdit1, {0x00000000, 0x00000000, 0x00000000});
}

// The colours go first: a failed write of skin.ini leaves them applied.
void ViewCommands::chooseSkin(int theme)
{
    c_.form.ApplySkin(theme);
    c_.settings.writeValue(statefile::Skin, QString::number(theme));
}

// Switches easy mode over: a plain-text editor filling the window, with a sizeable border and
// without the formatting controls; off puts the formatting controls back. The mode is kept in
// easy.ini ("0" on, "1" off).
void ViewCommands::switchEasyMode()
{
    MainWindow& form = c_.form;
    const bool on = !form.easyModeItem->isChecked();
    form.easyModeItem->setChecked(on);
    if (on) {
        form.setEditorFillsClientArea(true);
        c_.RichEdit1.setPlainText(true);
        form.setBorderResizable(true);
    } else {
        form.setEditorFillsClientArea(false);
        c_.RichEdit1.setGeometry(8, c_.RichEdit1.y(), 638, 500);
        c_.RichEdit1.setPlainText(false);
        form.setBorderResizable(false);
    }
    form.setFormattingControlsShown(!on);
    c_.settings.writeValue(statefile::EasyMode, on ? QStringLiteral("0") : QStringLiteral("1"));
}

void ViewCommands::showToolBar(QAction* entry, QToolBar* bar)
{
    const bool shown = !entry->isChecked();
    entry->setChecked(shown);
    bar->setVisible(shown);
}

void ViewCommands::switchBasicToolBar() { showToolBar(c_.form.basicToolBarItem, c_.form.ToolBar1); }
void ViewCommands::switchSearchToolBar() { showToolBar(c_.form.searchToolBarItem, c_.form.ToolBar4); }
void ViewCommands::switchInsertToolBar() { showToolBar(c_.form.insertToolBarItem, c_.form.ToolBar5); }
void ViewCommands::switchHelpToolBar() { showToolBar(c_.form.helpToolBarItem, c_.form.ToolBar6); }
void ViewCommands::switchFontToolBar() { showToolBar(c_.form.fontToolBarItem, c_.form.ToolBar2); }
void ViewCommands::switchIndexToolBar() { showToolBar(c_.form.indexToolBarItem, c_.form.ToolBar3); }

} // namespace zorim
