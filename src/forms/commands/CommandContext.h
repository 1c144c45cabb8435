#pragma once
// What every command handler is given: the main window, the open document's state, the three
// document controls, the platform, the settings store and the program's other windows.
// Handlers take what they need from here and keep nothing of their own between runs.
#include <QPointer>

namespace zorim {

class DocumentState;
class Platform;
class RichEdit;
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

// The windows created after the main window. Each is null until the program has created it
// (and stays null in tests that start only the main window), so a handler checks before use.
struct OtherWindows {
    AboutBox* aboutBox = nullptr;
    PageSetupDialog* pageSetup = nullptr;   // page setup
    GoToLineDialog* goToLine = nullptr;   // go to line
    HelpWindow* help = nullptr;   // help topics
    ClipboardViewer* clipboardViewer = nullptr;   // clipboard viewer
    ReplaceDialog* replace = nullptr;   // replace
    FindDialog* find = nullptr;   // find
    StatisticsDialog* statistics = nullptr;   // statistics
    HyperlinkDialog* hyperlink = nullptr; // hyperlink
    CalculatorWindow* calculator = nullptr; // calculator window
};

struct CommandContext {
    MainWindow& form;
    DocumentState& document;
    RichEdit& RichEdit1; // the document
    RichEdit& RichEdit2; // hidden, plain text: the last-file record
    RichEdit& RichEdit3; // hidden, rich text: buffer of the insert-text-file command
    Platform& platform;
    SettingsStore& settings;
    OtherWindows windows;
};

} // namespace zorim
