#pragma once
// The insertion commands: date, time, phrases, special characters, hyperlink, picture,
// object, paste special, from the menu, the context menu and the toolbars; link clicks.
#include "forms/commands/CommandContext.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QLocale>
#include <QString>
#include <Qt>

#include <memory>

namespace zorim {

struct EmbeddedObject;

class InsertCommands {
public:
    explicit InsertCommands(CommandContext& context);
    // The copies of embedded files this run made for opening go when the program ends.
    ~InsertCommands();

    void insertDate();
    void insertTime();
    void insertGreeting();
    void insertSir();
    void insertMadam();
    void insertRegards();
    void insertAt();
    void insertHash();
    void insertDollar();
    void insertSection();
    void insertBackslash();
    void insertLessThan();
    void insertGreaterThan();
    void insertBraces();
    void insertPicture();
    void insertObject();
    // A footnote at the caret, its text then typed in the note pane.
    void insertFootnote();
    // The hyperlink dialog.
    void insertLink();
    void pasteSpecial();
    // A click on a link in the document.
    void RichEdit1URLClick(const QString& url, Qt::MouseButton button);
    // The context menu is about to open: its object entries show when an object is selected.
    void PopupMenu1Popup();
    // The object entries of the context menu: properties, open, save a copy.
    void showObjectProperties();
    void openSelectedObject();
    void saveSelectedObjectCopy();

    // The time pattern built at start from the regional settings: "h" or "hh" as the
    // regional leading zero says, the minutes and seconds after the regional separator, and
    // the morning or afternoon marker before or after the time for a 12-hour clock.
    static QString longTimePattern(const QLocale& locale);

    // An embedded file opened with the desktop's program was saved there: the object in the
    // document takes the new contents.
    void objectFileChanged(const QString& path);

private:
    // Opens the object with the desktop's program; an embedded file's copy is watched, so
    // that what the user saves there comes back into the document.
    void openObject(const EmbeddedObject& object, const QString& key);
    // Opening a program, a script or a desktop entry would run it: refused with the message.
    static void refuseRunnable(const EmbeddedObject& object);
    void insertText(const QString& text);
    CommandContext& c_;
    QString timePattern_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    QHash<QString, QString> openedObjects_; // copy's path -> the object's key in the document
};

} // namespace zorim
