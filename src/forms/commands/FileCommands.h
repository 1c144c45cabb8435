#pragma once
// The file commands: new, open, save, save as, print, send, the last saved file, insert a
// text file, exit; the tray menu's twins of new, open, save and exit.
#include "forms/commands/CommandContext.h"
#include "platform/Platform.h"

#include <QString>

#include <memory>

class QPrinter;

namespace zorim {

class FileCommands {
public:
    explicit FileCommands(CommandContext& context);
    ~FileCommands();

    // Asked by new, by open of a changed document, by the exit command and by the close box.
    static const QString kExitQuestion;

    void newDocument();
    void open();
    void print();
    void printPreview();
    void send();
    // Opens the file recorded as saved last when the program started.
    void openLastFile();
    void quit();
    void insertTextFile();
    // Saving: an untitled document goes through saveAs, which asks for a name. The close box
    // shares them. Both throw on failure and return false when the user cancelled the name.
    bool save();
    bool saveAs();

    // Empties the document: untitled, in the starting font, marked new.
    void New();
    // Save As, then New once the document is saved.
    void New2();
    // Asks for a file and loads it into the insert buffer RichEdit3; false when cancelled.
    bool VlozSubor();

    // The open dialog of Open and Insert text file. It remembers the folder and the name of
    // the file chosen last for the rest of the run.
    FileDialogSetup OpenDialog1 = openDialog();

    // The printer of the print dialog: its choices (printer, paper, copies) last for the run.
    // Made at the first print, since finding the system's printers takes a while.
    QPrinter* PrintDialog1() const { return printer_.get(); }

private:
    static FileDialogSetup openDialog();
    // The save dialog until it gives a name to write to; empty when the user cancelled.
    std::optional<QString> askSaveName();
    // Offers a changed document for saving before it is replaced; false when it is to stay.
    bool mayReplaceDocument();
    // Runs the load of `path` as the document's file: on failure the document keeps the name
    // and title it had, since it still is the document it was.
    void loadAsDocument(const QString& path, const QString& title);
    // Asks before a save would lose the pictures the load left out; false when it is not to.
    bool mayLoseLeftOut();

    CommandContext& c_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace zorim
