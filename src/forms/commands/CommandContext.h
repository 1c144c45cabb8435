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
class TForm1;
class TAboutBox;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;

// The windows created after the main window. Each is null until the program has created it
// (and stays null in tests that start only the main window), so a handler checks before use.
struct OtherWindows {
    TAboutBox* AboutBox = nullptr;
    TForm3* Form3 = nullptr;   // page setup
    TForm4* Form4 = nullptr;   // go to line
    TForm5* Form5 = nullptr;   // help topics
    TForm6* Form6 = nullptr;   // clipboard viewer
    TForm7* Form7 = nullptr;   // replace
    TForm8* Form8 = nullptr;   // find
    TForm9* Form9 = nullptr;   // statistics
    TForm10* Form10 = nullptr; // hyperlink
    TForm11* Form11 = nullptr; // calculator window
};

struct CommandContext {
    TForm1& form;
    DocumentState& document;
    RichEdit& RichEdit1; // the document
    RichEdit& RichEdit2; // hidden, plain text: the last-file record
    RichEdit& RichEdit3; // hidden, rich text: buffer of the insert-text-file command
    Platform& platform;
    SettingsStore& settings;
    OtherWindows windows;
};

} // namespace zorim
