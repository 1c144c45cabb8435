#pragma once
// The tools: find, find next, replace, go to line, statistics, clipboard viewer, calculator,
// help and about, and the status bar's double click.
#include "forms/commands/CommandContext.h"

namespace zorim {

class ToolsCommands {
public:
    explicit ToolsCommands(CommandContext& context) : c_(context) {}

    void find();
    void findNext();
    void replace();
    void goToLine();
    void showStatistics();
    void showClipboard();
    void openCalculator();
    void showHelp();
    void showAbout();
    // The desktop's date and time settings (a double click on the status bar).
    void openDateTimeSettings();

private:
    CommandContext& c_;
};

} // namespace zorim
