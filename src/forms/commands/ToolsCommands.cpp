#include "forms/commands/ToolsCommands.h"

#include "forms/commands/DesktopCalculator.h"
#include "forms/IntegerText.h"
#include "richtext/editor/DocumentSearch.h"
#include "forms/dialogs/AboutBox.h"
#include "forms/dialogs/GoToLineDialog.h"
#include "forms/dialogs/HelpWindow.h"
#include "forms/dialogs/ClipboardViewer.h"
#include "forms/dialogs/ReplaceDialog.h"
#include "forms/dialogs/FindDialog.h"
#include "forms/dialogs/StatisticsDialog.h"
#include "platform/Platform.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QStringList>
#include <utility>

namespace zorim {

// Find and go to line show their dialog, and when it has closed, however it was closed, read
// what the dialog handed over through its state file: after "Storno" they act on the texts
// confirmed last, also in an earlier run. Replace changes the document, so it runs only when
// its dialog was confirmed: "Storno" and the close box change nothing. A state file that
// cannot be read (none was ever confirmed) ends the command with the store's message before
// the document is touched. Without its dialog (a window that failed to be created) a command
// does nothing.

void ToolsCommands::find()
{
    FindDialog* dialog = c_.windows.find;
    if (!dialog)
        return;
    dialog->execute();
    FindInDocument(c_.RichEdit1, c_.settings.readValue(statefile::Find));
}

// No dialog: the search text confirmed last, searched for after the current selection.
void ToolsCommands::findNext() { FindNextInDocument(c_.RichEdit1, c_.settings.readValue(statefile::Find)); }

void ToolsCommands::replace()
{
    ReplaceDialog* dialog = c_.windows.replace;
    if (!dialog)
        return;
    if (dialog->execute() != QDialog::Accepted)
        return;
    const QString text = c_.settings.readValue(statefile::Find);
    const QString replacement = c_.settings.readValue(statefile::Replace);
    ReplaceInDocument(c_.RichEdit1, text, replacement);
}

// The number as the user typed it; text that is no whole number names itself in the error and
// the caret stays.
void ToolsCommands::goToLine()
{
    GoToLineDialog* dialog = c_.windows.goToLine;
    if (!dialog)
        return;
    dialog->execute();
    const int line = StrToInt(c_.settings.readValue(statefile::GoToLine));
    GoToLine(c_.RichEdit1, line);
    c_.RichEdit1.setFocus();
}

void ToolsCommands::showStatistics()
{
    if (StatisticsDialog* dialog = c_.windows.statistics)
        dialog->showFor(c_.RichEdit1);
}

void ToolsCommands::showClipboard()
{
    if (ClipboardViewer* viewer = c_.windows.clipboardViewer)
        viewer->showClipboard();
}

void ToolsCommands::openCalculator() { Kakulaka(c_.platform); }

void ToolsCommands::showHelp()
{
    if (HelpWindow* help = c_.windows.help)
        help->execute();
}

void ToolsCommands::showAbout()
{
    if (AboutBox* about = c_.windows.aboutBox)
        about->execute();
}

// The desktop's date and time settings: the first of the known settings programs that starts.
// Nothing is said when none does.
void ToolsCommands::openDateTimeSettings()
{
    const std::pair<const char*, QStringList> settings[] = {
        {"gnome-control-center", {QStringLiteral("datetime")}},
        {"systemsettings", {QStringLiteral("kcm_clock")}},
        {"kcmshell5", {QStringLiteral("clock")}},
        {"xfce4-datetime-settings", {}},
        {"mate-time-admin", {}},
        {"time-admin", {}},
    };
    for (const auto& [program, arguments] : settings)
        if (c_.platform.startDetached(QString::fromLatin1(program), arguments))
            return;
}

} // namespace zorim
