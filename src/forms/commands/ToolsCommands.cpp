#include "forms/commands/ToolsCommands.h"

#include "forms/Calculator.h"
#include "forms/IntegerText.h"
#include "forms/SearchCommands.h"
#include "forms/TAboutBox.h"
#include "forms/TForm4.h"
#include "forms/TForm5.h"
#include "forms/TForm6.h"
#include "forms/TForm7.h"
#include "forms/TForm8.h"
#include "forms/TForm9.h"
#include "platform/Platform.h"
#include "richtext/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QStringList>
#include <utility>

namespace zorim {

// Find, replace and go to line show their dialog, and when it has closed, however it was
// closed, read what the dialog handed over through its state file: after "Storno" they act on
// the texts confirmed last, also in an earlier run. A state file that cannot be read (none was
// ever confirmed) ends the command with the store's message before the document is touched.
// Without its dialog (a window that failed to be created) a command does nothing.

void ToolsCommands::find()
{
    TForm8* dialog = c_.windows.Form8;
    if (!dialog)
        return;
    dialog->execute();
    FindInDocument(c_.RichEdit1, c_.settings.readValue(statefile::Find));
}

// No dialog: the search text confirmed last, searched for after the current selection.
void ToolsCommands::findNext() { FindNextInDocument(c_.RichEdit1, c_.settings.readValue(statefile::Find)); }

void ToolsCommands::replace()
{
    TForm7* dialog = c_.windows.Form7;
    if (!dialog)
        return;
    dialog->execute();
    const QString text = c_.settings.readValue(statefile::Find);
    const QString replacement = c_.settings.readValue(statefile::Replace);
    ReplaceInDocument(c_.RichEdit1, text, replacement);
}

// The number as the user typed it; text that is no whole number names itself in the error and
// the caret stays.
void ToolsCommands::goToLine()
{
    TForm4* dialog = c_.windows.Form4;
    if (!dialog)
        return;
    dialog->execute();
    const int line = StrToInt(c_.settings.readValue(statefile::GoToLine));
    GoToLine(c_.RichEdit1, line);
    c_.RichEdit1.setFocus();
}

void ToolsCommands::showStatistics()
{
    if (TForm9* dialog = c_.windows.Form9)
        dialog->showFor(c_.RichEdit1);
}

void ToolsCommands::showClipboard()
{
    if (TForm6* viewer = c_.windows.Form6)
        viewer->showClipboard();
}

void ToolsCommands::openCalculator() { Kakulaka(c_.platform); }

void ToolsCommands::showHelp()
{
    if (TForm5* help = c_.windows.Form5)
        help->execute();
}

void ToolsCommands::showAbout()
{
    if (TAboutBox* about = c_.windows.AboutBox)
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
