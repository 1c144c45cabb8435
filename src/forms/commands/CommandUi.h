#pragma once
// Builds the main window's menus, context menus, toolbars and boxes from the command table,
// runs the handlers they trigger, routes the keys by the window's key rule and keeps the
// enabled state of the entries that follow the document.
#include "forms/commands/CommandTable.h"

#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QStringList>

#include <array>
#include <exception>
#include <functional>
#include <vector>

class QAbstractButton;
class QActionGroup;
class QButtonGroup;
class QMenu;
class QMenuBar;
class QToolBar;
class QIcon;
class QKeyEvent;

namespace zorim {

class Commands;

// The font box's list: every family once, without the foundry Qt adds to a family that
// several foundries make, sorted without regard to case.
QStringList fontFamilyList(QStringList families);
// A family's name as the font box lists it: without the foundry ("Nimbus Sans [urw]").
QString familyWithoutFoundry(QString family);

class CommandUi : public QObject {
    Q_OBJECT
public:
    // Failures of a handler go to onError (the application's error box).
    CommandUi(MainWindowControls& controls, Commands& commands, QWidget* window,
              std::function<void(const std::exception&)> onError);
    ~CommandUi() override;

    // Creates every menu, item, toolbar, button and box of the table: the main menus in
    // mainMenu, the toolbars in controlBar, the context menus as menus of the window.
    void build(QMenuBar* mainMenu, QWidget* controlBar);

    // Runs the row's handler; a failure shows in the error box and ends the command.
    void run(const CommandRow& row);
    // Runs the handler of the entry named so (nothing when there is none).
    void run(const char* name);

    // The key rule: the context menu contextMenu first, then the main menu, each depth first
    // in menu order, hidden items included; the first entry carrying the key. nullptr: none.
    const CommandRow* rowForKey(QKeyCombination key) const;
    // Runs the command of a key pressed in the window before any control sees it.
    bool routeKey(const QKeyEvent& event);

    // The enabled state of the entries that follow the document.
    void refreshEnabled(bool canUndo, bool canRedo, bool hasSelection);

    // The controls that show one selection attribute, in table order.
    const std::vector<QAction*>& actionsFollowing(Follows what) const { return followingActions_[size_t(what)]; }
    const std::vector<QAbstractButton*>& buttonsFollowing(Follows what) const { return followingButtons_[size_t(what)]; }

    // Shows or hides a toolbar's button or box (the toolbar closes the gap).
    void setShown(const char* name, bool shown);

    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const { return menus_.value(QByteArray(name)); }
    QAbstractButton* button(const char* name) const;

    // The icon of an entry: the desktop's icon theme, then Breeze, then our own pictures.
    static QIcon icon(const char* name);
    // Selects Breeze as the theme to fall back on where the desktop's theme lacks a name.
    static void setUpIconTheme();

signals:
    // A command is about to run (its row's name); for tracing and tests.
    void running(const char* name);
    // The command of a menu item, button or key has ended, done or failed: what it left is to
    // be shown.
    void ran(const char* name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addMenu(const CommandRow& row, QMenuBar* mainMenu);
    void addItem(const CommandRow& row);
    void addToolBar(const CommandRow& row, QWidget* controlBar);
    void addButton(const CommandRow& row);
    void addBox(const CommandRow& row);
    void addSeparator(const CommandRow& row);
    void buildKeyTable();
    // A box's change, joined to the box's change before while the box keeps the focus.
    void runFromBox(const CommandRow& row, QObject* box);

    MainWindowControls& controls_;
    Commands& commands_;
    QWidget* window_;
    std::function<void(const std::exception&)> onError_;
    QHash<QByteArray, QMenu*> menus_;
    QHash<QByteArray, QToolBar*> toolBars_;
    QHash<QByteArray, QObject*> entries_; // actions and buttons by name
    QHash<QByteArray, QAction*> toolBarPlaces_; // a toolbar's action holding a button or box
    QHash<int, QActionGroup*> actionGroups_;
    QHash<int, QButtonGroup*> buttonGroups_;
    QHash<int, const CommandRow*> keys_; // by QKeyCombination::toCombined()
    std::array<std::vector<QAction*>, 8> followingActions_;
    std::array<std::vector<QAbstractButton*>, 8> followingButtons_;
    struct Enabling {
        EnabledWhen when;
        QAction* action;
        QAbstractButton* button;
    };
    std::vector<Enabling> enabling_;
    // The undo step of each box's changes in a row (RichDocument::Transaction's run).
    QHash<const QObject*, quint64> boxRuns_;
};

} // namespace zorim
