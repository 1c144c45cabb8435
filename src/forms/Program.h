#pragma once
// The program entry: creates the windows once, in order, and runs until the main window
// closes or the exit command ends the program.
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace zorim {

class Platform;
class SettingsStore;
class MainWindow;
class AboutBox;
class PageSetupDialog;
class GoToLineDialog;
class HelpWindow;
class ClipboardViewer;
class ReplaceDialog;
class FindDialog;
class StatisticsDialog;
class HyperlinkDialog;
class CalculatorWindow;

// Every window of the program; each lives for the whole run.
struct Windows {
    Windows();
    ~Windows();
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<AboutBox> aboutBox;
    std::unique_ptr<PageSetupDialog> pageSetup;
    std::unique_ptr<GoToLineDialog> goToLine;
    std::unique_ptr<HelpWindow> help;
    std::unique_ptr<ClipboardViewer> clipboardViewer;
    std::unique_ptr<ReplaceDialog> replace;
    std::unique_ptr<FindDialog> find;
    std::unique_ptr<StatisticsDialog> statistics;
    std::unique_ptr<HyperlinkDialog> hyperlink;
    std::unique_ptr<CalculatorWindow> calculator;
};

// Runs the steps in order. A step that fails shows its message in the error box, and the
// next step runs.
void createInOrder(Platform& platform, const std::vector<std::function<void()>>& steps);

// Creates the main window (running its start-up steps) and shows it, then the other
// windows, hidden until their commands show them.
std::unique_ptr<Windows> createWindows(Platform& platform, SettingsStore& settings, const QStringList& arguments);

// The program: returns its exit code.
int runProgram(int argc, char** argv);
// The windows created and the event loop run, in the application object that exists: returns
// the exit code once the main window closes or the program is ended.
int runWindows(Platform& platform, SettingsStore& settings, const QStringList& arguments);

} // namespace zorim
