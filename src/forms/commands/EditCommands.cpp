#include "forms/commands/EditCommands.h"

#include "richtext/editor/RichEdit.h"

namespace zorim {

// Each command is one call of the document control; none checks first whether there is
// anything to undo, redo or cut; the control does nothing then.

void EditCommands::undo() { c_.RichEdit1.Undo(); }
void EditCommands::redo() { c_.RichEdit1.Redo(); }
void EditCommands::cut() { c_.RichEdit1.Cut(); }
void EditCommands::copy() { c_.RichEdit1.Copy(); }
void EditCommands::paste() { c_.RichEdit1.Paste(); }
// Removes the whole document, text and objects, whatever is selected, without asking: one
// edit like any other, so the document counts as changed and Naspäť brings it back whole.
void EditCommands::clearDocument() { c_.RichEdit1.Lines().Clear(); }
void EditCommands::selectAll() { c_.RichEdit1.SelectAll(); }

} // namespace zorim
