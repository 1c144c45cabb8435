#include "forms/commands/InsertCommands.h"

#include "forms/TForm10.h"

namespace zorim {

// A handler with an empty body belongs to a command that is not built yet: its menu item,
// button and key exist and run it, and it does nothing.

void InsertCommands::Dtum1Click() {}
void InsertCommands::as1Click() {}
void InsertCommands::Dobrde1Click() {}
void InsertCommands::Venpn1Click() {}
void InsertCommands::Venpani1Click() {}
void InsertCommands::Spozdravom1Click() {}
void InsertCommands::N17Click() {}
void InsertCommands::N18Click() {}
void InsertCommands::N19Click() {}
void InsertCommands::N20Click() {}
void InsertCommands::N21Click() {}
void InsertCommands::N22Click() {}
void InsertCommands::N23Click() {}
void InsertCommands::N24Click() {}
// The menu item runs the toolbar button's hyperlink dialog.
void InsertCommands::Hypertextovodkaz1Click() { SpeedButton20Click(); }
void InsertCommands::Obrzok1Click() {}
void InsertCommands::Objekt2Click() {}
void InsertCommands::Vloiinak1Click() {}
void InsertCommands::Dtum2Click() {}
void InsertCommands::as2Click() {}
void InsertCommands::Dobrde2Click() {}
void InsertCommands::Venpn2Click() {}
void InsertCommands::Venpani2Click() {}
void InsertCommands::Spozdravom2Click() {}
void InsertCommands::N25Click() {}
void InsertCommands::N26Click() {}
void InsertCommands::N27Click() {}
void InsertCommands::N28Click() {}
void InsertCommands::N29Click() {}
void InsertCommands::N30Click() {}
void InsertCommands::N31Click() {}
void InsertCommands::N32Click() {}
// The hyperlink dialog; its "Vložiť" puts the typed address into the document.
void InsertCommands::SpeedButton20Click()
{
    if (TForm10* dialog = c_.windows.Form10)
        dialog->execute(c_.RichEdit1);
}
// The date and time buttons run the menu's date and time commands.
void InsertCommands::SpeedButton24Click() { Dtum1Click(); }
void InsertCommands::SpeedButton25Click() { as1Click(); }
void InsertCommands::SpeedButton26Click() {}
void InsertCommands::SpeedButton28Click() {}
void InsertCommands::RichEdit1URLClick(const QString&, Qt::MouseButton) {}

} // namespace zorim
