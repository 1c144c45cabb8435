#pragma once
// The view commands: colour themes, plain-text and HTML modes, easy mode, line wrapping, page
// setup, and the tool bar area's menu.
#include "forms/commands/CommandContext.h"

class QAction;
class QToolBar;

namespace zorim {

class ViewCommands {
public:
    explicit ViewCommands(CommandContext& context) : c_(context) {}

    // The colour themes, named by their colour.
    void skinRed();
    void skinBlack();
    void skinStandard();
    void skinStandardExtra();
    void skinBlue();
    void skinPink();
    void skinGreen();
    void skinYellow();
    // Each switches its mode over and moves its check mark.
    void switchPlainText();
    void switchHtmlMode();
    void switchEasyMode();
    void switchLineWrap();
    void pageSetup();
    // The tool bar area's menu: each entry shows or hides its toolbar.
    void switchBasicToolBar();
    void switchSearchToolBar();
    void switchInsertToolBar();
    void switchHelpToolBar();
    void switchFontToolBar();
    void switchIndexToolBar();

    // Plain-text mode on and off: the check mark of plainTextItem and the document's mode together.
    void Zapn1();
    void Vypn1();
    // HTML mode on and off: the check mark of htmlModeItem, and the document's markup coloured
    // (text blue, markup red, quoted values green) or made black.
    void Zapn3();
    void Vypn3();

private:
    // A theme command: applies the theme and keeps its number in skin.ini.
    void chooseSkin(int theme);
    // A tool bar area menu entry: flips its mark and shows or hides its toolbar.
    void showToolBar(QAction* entry, QToolBar* bar);

    CommandContext& c_;
};

} // namespace zorim
