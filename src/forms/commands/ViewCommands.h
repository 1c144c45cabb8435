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

    // Nastavenie, Skin programu
    void erven2Click();
    void ierna1Click();
    void Klasik1Click();
    void Klasikextra1Click();
    void Modr1Click();
    void erven1Click();
    void Zelen1Click();
    void lt1Click();
    // Nastavenie
    void PlainText1Click();
    void HTML1Click();
    void Easymd1Click();
    void Zalamovanieriadkov1Click();
    void Vzhadstrnky1Click();
    // The tool bar area's menu: each entry shows or hides its toolbar.
    void Zkladnfunkcie1Click();
    void Hladanie1Click();
    void Vkladanie1Click();
    void Npoveda1Click();
    void Nastaveniepsma1Click();
    void Indexy1Click();

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
