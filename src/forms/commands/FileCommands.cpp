#include "forms/commands/FileCommands.h"

#include "forms/StatusBar.h"
#include "forms/TForm1.h"
#include "platform/Platform.h"
#include "richtext/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

namespace zorim {
namespace {

FileDialogSetup saveDialog(const QString& fileName)
{
    FileDialogSetup setup;
    setup.title = QStringLiteral("Uložiť dokument");
    setup.filter = QStringLiteral("Formát ZORIM|*.zrm|Formát RTF|*.rtf|Textový súbor|*.txt|Všetky formáty|*.*");
    setup.filterIndex = 1;
    setup.defaultExtension = QStringLiteral("*.rtf");
    setup.fileName = fileName;
    return setup;
}

} // namespace

const QString FileCommands::kExitQuestion = QStringLiteral("Chcete uložiť rozpísaný dokument?");

// A handler with an empty body belongs to a command that is not built yet: its menu item,
// button and key exist and run it, and it does nothing.

void FileCommands::Nov1Click() {}
void FileCommands::Otvor1Click() {}
void FileCommands::Vytlai1Click() {}
void FileCommands::Odosla1Click() {}
void FileCommands::PoslednySuborClick() {}
void FileCommands::Objekt1Click() {}
void FileCommands::Textovsbor1Click() {}
void FileCommands::SpeedButton1Click() {}
void FileCommands::SpeedButton2Click() {}
void FileCommands::SpeedButton4Click() {}

// Ulo1 runs the save button's command.
void FileCommands::Ulo1Click() { SpeedButton3Click(); }

void FileCommands::Uloako1Click() { saveAs(); }

void FileCommands::SpeedButton3Click() { save(); }

// The tray menu presses the toolbar's buttons and runs the exit item.
void FileCommands::Nov3Click() { SpeedButton1Click(); }
void FileCommands::Otvori2Click() { SpeedButton2Click(); }
void FileCommands::Uloi2Click() { SpeedButton3Click(); }
void FileCommands::Koniec1Click() { Koniefc1Click(); }

// An untitled document goes through Save As. Either way the current file name is recorded
// as the last saved file.
void FileCommands::save()
{
    TForm1& form = c_.form;
    if (form.currentFileName() != TForm1::kUntitled) {
        c_.RichEdit1.Lines().SaveFile(form.currentFileName());
        c_.RichEdit1.setModified(false);
    } else {
        saveAs();
    }
    c_.settings.writeValue(statefile::LastFile, form.currentFileName());
    form.refreshFilePanel();
    form.refreshDateTimePanels();
    form.SetModified(false);
}

void FileCommands::saveAs()
{
    TForm1& form = c_.form;
    const std::optional<QString> path = c_.platform.saveFileName(&form, saveDialog(form.currentFileName()));
    if (path) {
        form.setCurrentFileName(*path);
        form.setTitle(QStringLiteral("ZORIM - ") + TForm1::strip(*path));
        save();
        c_.platform.information(&form, QStringLiteral("Dokument bol uložený!"));
    }
    form.SetModified(false);
}

// Asked every time, changed document or not. Yes saves and keeps the program running.
void FileCommands::Koniefc1Click()
{
    switch (c_.platform.question(&c_.form, kExitQuestion)) {
    case Answer::Yes:
        saveAs();
        break;
    case Answer::No:
        c_.platform.endProgram();
        break;
    case Answer::Cancel:
        break;
    }
}

} // namespace zorim
