#include "forms/commands/FileCommands.h"

#include "forms/widgets/StatusBar.h"
#include "forms/mainwindow/MainWindow.h"
#include "forms/commands/DocumentState.h"
#include "richtext/document/DocumentFiles.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPrinter>
#include <QSignalBlocker>

#include <exception>

namespace zorim {
namespace {

// What a FILENAME field prints: the file's name without its folder; nothing for a document
// that has none yet (the field keeps its result).
QString printedFileName(const DocumentState& document)
{
    return document.untitled() ? QString() : QFileInfo(document.fileName()).fileName();
}

FileDialogSetup saveDialog(const QString& fileName)
{
    FileDialogSetup setup;
    setup.title = QStringLiteral("Uložiť dokument");
    setup.filter = QStringLiteral("Formát ZORIM|*.zrm|Formát RTF|*.rtf|Textový súbor|*.txt|Dokument Word (*.docx)|*.docx|Dokument OpenDocument (*.odt)|*.odt|Všetky formáty|*.*");
    setup.filterIndex = 1;
    setup.defaultExtension = QStringLiteral("*.rtf");
    setup.fileName = fileName;
    return setup;
}

} // namespace

const QString FileCommands::kExitQuestion = QStringLiteral("Chcete uložiť rozpísaný dokument?");

FileDialogSetup FileCommands::openDialog()
{
    FileDialogSetup setup;
    setup.title = QStringLiteral("Otvoriť dokument");
    setup.filter = QStringLiteral("Všetky súbory|*.*|ZORIM dokumenty (*.zrm)|*.zrm|RTF dokumenty (*.rtf)|*.rtf|"
                                  "Textové súbori (*.txt)|*.txt|HTML stránky (*.htm, *.html)|*.htm;*.html|"
                                  "MOLA Editor (*.mola)|*.mola|Dokumenty Word (*.docx)|*.docx|"
                                  "Dokumenty OpenDocument (*.odt, *.fodt)|*.odt;*.fodt");
    setup.filterIndex = 1;
    setup.defaultExtension = QStringLiteral("*.rtf");
    return setup;
}

// A handler with an empty body belongs to a command that is not built yet: its menu item,
// button and key exist and run it, and it does nothing.

FileCommands::FileCommands(CommandContext& context) : c_(context) {}
FileCommands::~FileCommands() = default;

// The whole document, whatever page range the dialog offered, within the document's margins;
// the job is named with the window's own text, "ZORIM".
void FileCommands::print()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!c_.platform.choosePrinter(&c_.form, *printer_))
        return;
    c_.RichEdit1.Print(c_.form.windowTitle(), *printer_, printedFileName(c_.document));
}

// The pages as printing gives them, drawn by the same code on the preview's printer, with the
// print dialog's printer and paper. A failure to draw is the command's, once the preview closes.
void FileCommands::printPreview()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    std::exception_ptr failure;
    c_.platform.showPrintPreview(&c_.form, *printer_, [&](QPrinter& printer) {
        try {
            c_.RichEdit1.Print(c_.form.windowTitle(), printer, printedFileName(c_.document));
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (failure)
        std::rethrow_exception(failure);
}

// New asks every time, changed document or not. Yes saves under a name first and empties the
// document only once it is saved: a cancelled or failed Save As keeps it.
void FileCommands::newDocument()
{
    MainWindow& form = c_.form;
    DocumentState& doc = c_.document;
    form.Original();
    doc.setModified(false);
    switch (c_.platform.question(&form, kExitQuestion)) {
    case Answer::Yes:
        New2();
        break;
    case Answer::No:
        New();
        break;
    case Answer::Cancel:
        break;
    }
}

void FileCommands::New2()
{
    if (saveAs())
        New();
}

// The view modes, the theme and easy mode stay as they are.
void FileCommands::New()
{
    MainWindow& form = c_.form;
    DocumentState& doc = c_.document;
    RichEdit& edit = c_.RichEdit1;
    doc.setFileName(DocumentState::kUntitled);
    doc.setTitle(DocumentState::titleFor(DocumentState::kUntitled));
    edit.ClearAll();
    edit.setSelectionStart(0);
    edit.setModified(false);
    form.discardRecovery();
    // The boxes only show the starting font here; nothing is applied from them.
    form.showFontName(QStringLiteral("Verdana"));
    {
        const QSignalBlocker blocker(form.fontSizeBox);
        form.fontSizeBox->setEditText(QStringLiteral("12"));
    }
    FontDesc font = edit.Font();
    font.size = 12;
    edit.setFont(font);
    font.name = QStringLiteral("Verdana");
    edit.setFont(font);
    doc.showFileName();
    doc.setMarker(DocumentState::Marker::New);
    doc.stampDateTime();
}

// Before another file replaces the document, a document with unsaved changes is offered for
// saving: Yes saves it (through Save As when it has no file) and goes on only once it is
// saved, No lets the changes go, Cancel ends the command. An unchanged document is replaced
// without a question.
bool FileCommands::mayReplaceDocument()
{
    if (!c_.RichEdit1.Modified())
        return true;
    switch (c_.platform.question(&c_.form, kExitQuestion)) {
    case Answer::Yes:
        return save();
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void FileCommands::open()
{
    MainWindow& form = c_.form;
    DocumentState& doc = c_.document;
    if (!mayReplaceDocument())
        return;
    form.Original();
    if (const std::optional<QString> path = c_.platform.openFileName(&form, OpenDialog1)) {
        OpenDialog1.folder = MainWindow::path_strip(*path);
        OpenDialog1.fileName = MainWindow::strip(*path);
        loadAsDocument(*path, DocumentState::titleFor(MainWindow::strip(*path)));
    }
    doc.showFileName();
    doc.stampDateTime();
    doc.setModified(false);
}

// The last-file item opens the path recorded when the program started. The load's change
// notification shows the marker; the file panel keeps what it showed.
void FileCommands::openLastFile()
{
    if (!mayReplaceDocument())
        return;
    const QString path = c_.RichEdit2.Text();
    loadAsDocument(path, DocumentState::titleFor(path));
}

void FileCommands::loadAsDocument(const QString& path, const QString& title)
{
    MainWindow& form = c_.form;
    DocumentState& doc = c_.document;
    const QString previousName = doc.fileName();
    const QString previousTitle = doc.title();
    doc.setFileName(path);
    doc.setTitle(title);
    try {
        c_.RichEdit1.Lines().LoadFile(path);
    } catch (...) {
        // Kept under the other file's name, the document would overwrite it at the next Save.
        doc.setFileName(previousName);
        doc.setTitle(previousTitle);
        throw;
    }
    form.discardRecovery();
}

// An untitled document goes through Save As, which comes back here to write it under the
// chosen name. Every save records the name as the last saved file; a Save As cancelled by the
// user records nothing, so the last saved file stays the one saved last.
bool FileCommands::save()
{
    MainWindow& form = c_.form;
    DocumentState& doc = c_.document;
    bool saved = true;
    if (!doc.untitled()) {
        if (!mayLoseLeftOut())
            return false;
        // The file is replaced only once the whole document is written.
        c_.RichEdit1.Lines().SaveFile(doc.fileName());
        c_.RichEdit1.setModified(false);
        // The file holds the document now: its recovery snapshot is not wanted any more.
        form.discardRecovery();
        c_.settings.writeValue(statefile::LastFile, doc.fileName());
    } else {
        saved = saveAs();
    }
    doc.showFileName();
    doc.stampDateTime();
    doc.setModified(false);
    return saved;
}

// A name that names an existing file is confirmed first; No shows the dialog again with that
// name, so the user can change it.
std::optional<QString> FileCommands::askSaveName()
{
    FileDialogSetup setup = saveDialog(c_.document.fileName());
    for (;;) {
        const std::optional<QString> path = c_.platform.saveFileName(&c_.form, setup);
        if (!path || !QFileInfo::exists(*path) ||
            c_.platform.confirm(&c_.form, QStringLiteral("Súbor %1 už existuje. Chcete ho nahradiť?").arg(MainWindow::strip(*path))))
            return path;
        setup.fileName = *path;
    }
}

bool FileCommands::mayLoseLeftOut()
{
    RichDocument& doc = c_.RichEdit1.document();
    const LeftOut leftOut = doc.leftOut();
    if (!leftOut.any())
        return true;
    if (c_.platform.question(&c_.form, leftOutQuestion(leftOut)) != Answer::Yes)
        return false;
    doc.forgetLeftOut(); // taken by the user: asked once
    return true;
}

bool FileCommands::saveAs()
{
    MainWindow& form = c_.form;
    DocumentState& doc = c_.document;
    bool saved = false;
    if (const std::optional<QString> path = askSaveName()) {
        // Declining to save without the pictures left out changes nothing, the name included.
        if (!mayLoseLeftOut())
            return false;
        doc.setFileName(*path);
        doc.setTitle(DocumentState::titleFor(MainWindow::strip(*path)));
        saved = save();
        c_.platform.information(&form, QStringLiteral("Dokument bol uložený!"));
    }
    doc.setModified(false);
    return saved;
}

// The file's text goes in as plain text in place of the selection, taking the attributes of
// the insertion point, and stays selected. The document keeps its own file name.
void FileCommands::insertTextFile()
{
    if (VlozSubor())
        c_.RichEdit1.setSelectedText(c_.RichEdit3.Text());
}

bool FileCommands::VlozSubor()
{
    const std::optional<QString> path = c_.platform.openFileName(&c_.form, OpenDialog1);
    if (!path)
        return false;
    OpenDialog1.folder = MainWindow::path_strip(*path);
    OpenDialog1.fileName = MainWindow::strip(*path);
    // The buffer reads rich text, or plain text when the file is no rich text.
    c_.RichEdit3.Lines().LoadFile(*path);
    return true;
}

void FileCommands::send()
{
    c_.platform.message(&c_.form, QStringLiteral("Posielanie dokumentu e-mailom zatiaľ nefunkčné..."));
}

// Asked every time, changed document or not. Yes saves and keeps the program running.
void FileCommands::quit()
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
