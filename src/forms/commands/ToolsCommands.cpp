#include "forms/commands/ToolsCommands.h"

#include "platform/Platform.h"

#include <QStringList>
#include <utility>

namespace zorim {

// A handler with an empty body belongs to a command that is not built yet: its menu item,
// button and key exist and run it, and it does nothing.

void ToolsCommands::Njs1Click() {}
void ToolsCommands::Njsal1Click() {}
void ToolsCommands::Nahradi1Click() {}
void ToolsCommands::Prejsnariadok1Click() {}
void ToolsCommands::Parametredokumentu1Click() {}
void ToolsCommands::Obsahschrnky1Click() {}
void ToolsCommands::Kakulaka1Click() {}
void ToolsCommands::Akopracovasprogramom1Click() {}
void ToolsCommands::Oautorovi1Click() {}
void ToolsCommands::SpeedButton22Click() {}
void ToolsCommands::SpeedButton23Click() {}
// The help button runs the menu's help command.
void ToolsCommands::SpeedButton27Click() { Akopracovasprogramom1Click(); }
// The desktop's date and time settings: the first of the known settings programs that starts.
// Nothing is said when none does.
void ToolsCommands::StatusBar1DblClick()
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
