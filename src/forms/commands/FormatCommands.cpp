#include "forms/commands/FormatCommands.h"

namespace zorim {

// A handler with an empty body belongs to a command that is not built yet: its menu item,
// button and key exist and run it, and it does nothing.

void FormatCommands::Psmo1Click() {}
void FormatCommands::Tun1Click() {}
void FormatCommands::ikm1Click() {}
void FormatCommands::Podiarknut1Click() {}
void FormatCommands::Prekrtnut1Click() {}
void FormatCommands::Hornindex1Click() {}
void FormatCommands::Dolnindex1Click() {}
void FormatCommands::Naavo1Click() {}
void FormatCommands::Nastred1Click() {}
void FormatCommands::Napravo1Click() {}
void FormatCommands::SpeedButton17Click() {}
void FormatCommands::SpeedButton18Click() {}
void FormatCommands::ComboBox1Change() {}
void FormatCommands::ComboBox2Change() {}
void FormatCommands::SpeedButton5Click() {}
void FormatCommands::SpeedButton6Click() {}
void FormatCommands::SpeedButton7Click() {}
void FormatCommands::SpeedButton8Click() {}
void FormatCommands::SpeedButton9Click() {}
void FormatCommands::SpeedButton10Click() {}
void FormatCommands::SpeedButton14Click() {}
void FormatCommands::SpeedButton15Click() {}
void FormatCommands::SpeedButton19Click() {}
void FormatCommands::SpeedButton40Click() {}
void FormatCommands::SpeedButton41Click() {}
// The strips run their buttons' commands.
void FormatCommands::Panel1Click() { SpeedButton15Click(); }
void FormatCommands::Panel2Click() { SpeedButton19Click(); }

} // namespace zorim
