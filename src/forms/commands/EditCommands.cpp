#include "forms/commands/EditCommands.h"

namespace zorim {

// A handler with an empty body belongs to a command that is not built yet: its menu item,
// button and key exist and run it, and it does nothing.

void EditCommands::Nasp1Click() {}
void EditCommands::Vpred1Click() {}
void EditCommands::Vybra1Click() {}
void EditCommands::Koprova1Click() {}
void EditCommands::Vloi1Click() {}
void EditCommands::Vymaza1Click() {}
void EditCommands::Vybravetko1Click() {}
void EditCommands::Vybra2Click() {}
void EditCommands::Koprova2Click() {}
void EditCommands::Vloi3Click() {}
void EditCommands::SpeedButton11Click() {}
void EditCommands::SpeedButton13Click() {}
void EditCommands::SpeedButton12Click() {}
void EditCommands::SpeedButton16Click() {}
void EditCommands::SpeedButton21Click() {}

} // namespace zorim
