#include "forms/commands/EditCommands.h"

#include "richtext/RichEdit.h"

namespace zorim {

// Each command is one call of the document control; none checks first whether there is
// anything to undo, redo or cut; the control does nothing then.

void EditCommands::Nasp1Click() { c_.RichEdit1.Undo(); }
void EditCommands::Vpred1Click() { c_.RichEdit1.Redo(); }
void EditCommands::Vybra1Click() { c_.RichEdit1.Cut(); }
void EditCommands::Koprova1Click() { c_.RichEdit1.Copy(); }
void EditCommands::Vloi1Click() { c_.RichEdit1.Paste(); }
// Removes the whole document, text and objects, whatever is selected, without asking: one
// edit like any other, so the document counts as changed and Naspäť brings it back whole.
void EditCommands::Vymaza1Click() { c_.RichEdit1.Lines().Clear(); }
void EditCommands::Vybravetko1Click() { c_.RichEdit1.SelectAll(); }

// The toolbar buttons run the menu's commands, and the context menu runs the buttons'.
void EditCommands::SpeedButton11Click() { Vybra1Click(); }
void EditCommands::SpeedButton13Click() { Koprova1Click(); }
void EditCommands::SpeedButton12Click() { Vloi1Click(); }
void EditCommands::SpeedButton16Click() { Nasp1Click(); }
void EditCommands::SpeedButton21Click() { Vpred1Click(); }
void EditCommands::Vybra2Click() { SpeedButton11Click(); }
void EditCommands::Koprova2Click() { SpeedButton13Click(); }
void EditCommands::Vloi3Click() { SpeedButton12Click(); }

} // namespace zorim
