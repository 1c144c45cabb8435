#pragma once
// The character and paragraph formatting commands: font, styles, indexes, colours, sizes,
// alignment, bullets and the indent steps, from the menu, the toolbars and the boxes.
#include "forms/commands/CommandContext.h"
#include "richtext/RichEdit.h"

class QAction;
class QToolButton;

namespace zorim {

class ColorStrip;

class FormatCommands {
public:
    explicit FormatCommands(CommandContext& context) : c_(context) {}

    // Úpravy
    void Psmo1Click();
    void Tun1Click();
    void ikm1Click();
    void Podiarknut1Click();
    void Prekrtnut1Click();
    void Hornindex1Click();
    void Dolnindex1Click();
    void Naavo1Click();
    void Nastred1Click();
    void Napravo1Click();
    // ToolBar1: indent steps
    void SpeedButton17Click();
    void SpeedButton18Click();
    // ToolBar2
    void ComboBox1Change();
    void ComboBox2Change();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void SpeedButton10Click();
    void SpeedButton14Click();
    void SpeedButton15Click();
    void SpeedButton19Click();
    // ToolBar3
    void SpeedButton40Click();
    void SpeedButton41Click();
    // The colour strips run the colour buttons' commands.
    void Panel1Click();
    void Panel2Click();

private:
    void setStyleFromButton(const QToolButton* button, int style);
    void addStyle(int style);
    void chooseColor(ColorStrip* strip, bool background);
    void switchIndex(QAction* item, QToolButton* button, VerticalPosition position);
    void align(ParaAlignment alignment, QAction* own);

    CommandContext& c_;
};

} // namespace zorim
