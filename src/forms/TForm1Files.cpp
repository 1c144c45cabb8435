// Saving the document and ending the program.
#include "forms/TForm1.h"

#include "forms/StatusBar.h"
#include "platform/Platform.h"
#include "richtext/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QCloseEvent>

namespace zorim {
namespace {

const QString kExitQuestion = QStringLiteral("Chcete uložiť rozpísaný dokument?");

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

void TForm1::SpeedButton3Click()
{
    guarded([&] { save(); });
}

void TForm1::Uloako1Click()
{
    guarded([&] { saveAs(); });
}

// An untitled document goes through Save As. Either way the current file name is recorded
// as the last saved file.
void TForm1::save()
{
    if (currentFileName_ != kUntitled) {
        RichEdit1->Lines().SaveFile(currentFileName_);
        RichEdit1->setModified(false);
    } else {
        saveAs();
    }
    settings_.writeValue(statefile::LastFile, currentFileName_);
    refreshFilePanel();
    refreshDateTimePanels();
    SetModified(false);
}

void TForm1::saveAs()
{
    const std::optional<QString> path = platform_.saveFileName(this, saveDialog(currentFileName_));
    if (path) {
        currentFileName_ = *path;
        setTitle(QStringLiteral("ZORIM - ") + strip(*path));
        save();
        platform_.information(this, QStringLiteral("Dokument bol uložený!"));
    }
    SetModified(false);
}

// Asked every time, changed document or not. Yes saves and keeps the program running.
void TForm1::Koniefc1Click()
{
    guarded([&] {
        switch (platform_.question(this, kExitQuestion)) {
        case Answer::Yes:
            saveAs();
            break;
        case Answer::No:
            platform_.endProgram();
            break;
        case Answer::Cancel:
            break;
        }
    });
}

// The close box must not lose unsaved changes: a changed document asks the exit question
// first, and the window closes only once the document is saved or the user lets it go.
void TForm1::closeEvent(QCloseEvent* event)
{
    bool close = true;
    if (RichEdit1->Modified()) {
        switch (platform_.question(this, kExitQuestion)) {
        case Answer::Yes:
            guarded([&] { saveAs(); });
            close = !RichEdit1->Modified();
            break;
        case Answer::No:
            break;
        case Answer::Cancel:
            close = false;
            break;
        }
    }
    if (!close) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

} // namespace zorim
