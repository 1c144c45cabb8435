#pragma once
// The edit commands: undo, redo, cut, copy, paste, delete, select all, from the menu, the
// context menu and the toolbar.
#include "forms/commands/CommandContext.h"

namespace zorim {

class EditCommands {
public:
    explicit EditCommands(CommandContext& context) : c_(context) {}

    // Each is one call of the document control.
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void clearDocument();
    void selectAll();

private:
    CommandContext& c_;
};

} // namespace zorim
