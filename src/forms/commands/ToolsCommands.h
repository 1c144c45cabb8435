#pragma once
// The tools: find, find next, replace, go to line, statistics, clipboard viewer, calculator,
// help and about, and the status bar's double click.
#include "forms/commands/CommandContext.h"

namespace zorim {

class ToolsCommands {
public:
    explicit ToolsCommands(CommandContext& context) : c_(context) {}

    // Hľadať
    void Njs1Click();
    void Njsal1Click();
    void Nahradi1Click();
    // Úpravy
    void Prejsnariadok1Click();
    // Nástroje
    void Parametredokumentu1Click();
    void Obsahschrnky1Click();
    void Kakulaka1Click();
    // Pomoc
    void Akopracovasprogramom1Click();
    void Oautorovi1Click();
    // ToolBar4, ToolBar6
    void SpeedButton22Click();
    void SpeedButton23Click();
    void SpeedButton27Click();
    // The status bar
    void StatusBar1DblClick();

private:
    CommandContext& c_;
};

} // namespace zorim
