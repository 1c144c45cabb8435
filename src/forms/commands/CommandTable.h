#pragma once
// Commands as data, in two tables. A command is what the program does, named by its verb
// ("cut", "open", "insertDate"): its one handler, when it can be used and which selection
// attribute its controls show. A placement is one menu item, separator, submenu, toolbar,
// button or box of the main window: its name, where it sits, its caption with the access
// letter, its key, its icon, its hint and the command it runs; several placements run one
// command (Ctrl+X in the menu, in the context menu and the toolbar's scissors). The menus,
// context menus, toolbars and the key routing are all built from the placements (CommandUi),
// so what `exitItem` is can be read from its row.
#include "forms/mainwindow/MainWindowControls.h"

#include <span>

namespace zorim {

class Commands;

// A handler: one method of one of the six handler classes, reached through Commands.
using Handler = void (*)(Commands&);

enum class Entry : unsigned char {
    Menu,       // a top-level menu, a submenu or a context menu
    Item,       // a menu item
    Separator,  // a separator line in a menu, a gap with a line in a toolbar
    ToolBar,    // a toolbar in the tool bar area
    Button,     // a push button
    Toggle,     // a button that stays pressed until clicked again
    Group,      // a button of a group: pressing one releases the others
    FontBox,    // the font name box
    SizeBox,    // the font size box
    Event,      // an event of a control the window lays out itself (strips, status bar)
};

// How a menu item shows its check mark.
enum class Check : unsigned char {
    None,  // a plain item
    Mark,  // an independent check mark
    Radio, // a radio mark; items with the same group number exclude each other
};

// The selection attribute a command's controls show; SelectionChange sets it on every refresh.
enum class Follows : unsigned char { Nothing, Bold, Italic, Underline, Bullets, AlignLeft, AlignCenter, AlignRight };

// When a command can be used, derived from the document control's notices.
enum class EnabledWhen : unsigned char { Always, CanUndo, CanRedo, Selection };

struct Command {
    const char* verb;  // "cut", "insertDate"
    Handler run;
    EnabledWhen enabled = EnabledWhen::Always;
    Follows follows = Follows::Nothing; // the check mark or pressed state of its controls
};

// A placement of a command.
struct CommandRow {
    const char* name;         // the control's name: "Nov1", "SpeedButton5"
    Entry entry;
    const char* in;           // the menu, submenu or toolbar that holds it; "MainMenu1" for the main
                              // menus, "ControlBar1" for toolbars, nullptr for a context menu
    const char* caption;      // UTF-8 menu caption, "&" before the access letter; a button's hint
    const char* key = nullptr;  // portable key text ("Ctrl+Shift+F1"); nullptr: none
    const char* icon = nullptr; // freedesktop icon name, or ":/icons/..." for one of ours
    const Command* command = nullptr; // nullptr: the entry runs nothing
    Check check = Check::None;
    int group = 0;              // radio items and group buttons of one group share a number
    bool allowAllUp = false;    // a button group in which every button may be up
    bool checked = false;       // checked or pressed at start
    bool hidden = false;        // hidden at start (its key still works)
    int row = 0, left = 0;      // a toolbar's row (1, 2) and left edge in the tool bar area
    // Where the built control is kept on the window, when it is named there.
    QAction* MainWindowControls::*action = nullptr;
    QMenu* MainWindowControls::*menu = nullptr;
    QToolButton* MainWindowControls::*button = nullptr;
    QToolBar* MainWindowControls::*toolBar = nullptr;
    QComboBox* MainWindowControls::*box = nullptr;

    // Refinements of a row, as the table writes them: item(...).radio(1).hide().
    constexpr CommandRow mark(bool on = false) const { CommandRow r = *this; r.check = Check::Mark; r.checked = on; return r; }
    constexpr CommandRow radio(int number) const { CommandRow r = *this; r.check = Check::Radio; r.group = number; return r; }
    constexpr CommandRow hide() const { CommandRow r = *this; r.hidden = true; return r; }
    constexpr CommandRow inGroup(int number, bool allUp) const { CommandRow r = *this; r.entry = Entry::Group; r.group = number; r.allowAllUp = allUp; return r; }
    constexpr CommandRow toggle() const { CommandRow r = *this; r.entry = Entry::Toggle; return r; }

    Follows follows() const { return command ? command->follows : Follows::Nothing; }
    EnabledWhen enabled() const { return command ? command->enabled : EnabledWhen::Always; }
};

// Every placement of the main window, menus in menu order with each submenu's entries right after
// the submenu's own row (depth first), then the context menus, then the toolbars left to right.
std::span<const CommandRow> commandTable();

// The row named so; nullptr when there is none.
const CommandRow* findCommand(const char* name);

} // namespace zorim
