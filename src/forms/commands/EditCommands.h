#pragma once
// The edit commands: undo, redo, cut, copy, paste, delete, select all, from the menu, the
// context menu and the toolbar.
#include "forms/commands/CommandContext.h"

namespace zorim {

class EditCommands {
public:
    explicit EditCommands(CommandContext& context) : c_(context) {}

    // Úpravy
    void Nasp1Click();
    void Vpred1Click();
    void Vybra1Click();
    void Koprova1Click();
    void Vloi1Click();
    void Vymaza1Click();
    void Vybravetko1Click();
    // The context menu
    void Vybra2Click();
    void Koprova2Click();
    void Vloi3Click();
    // ToolBar1
    void SpeedButton11Click();
    void SpeedButton13Click();
    void SpeedButton12Click();
    void SpeedButton16Click();
    void SpeedButton21Click();

private:
    CommandContext& c_;
};

} // namespace zorim
