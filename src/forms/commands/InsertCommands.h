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

    // Vložiť
    void Dtum1Click();
    void as1Click();
    void Dobrde1Click();
    void Venpn1Click();
    void Venpani1Click();
    void Spozdravom1Click();
    void N17Click();
    void N18Click();
    void N19Click();
    void N20Click();
    void N21Click();
    void N22Click();
    void N23Click();
    void N24Click();
    void Hypertextovodkaz1Click();
    void Obrzok1Click();
    void Objekt2Click();
    // Úpravy
    void Vloiinak1Click();
    // The context menu
    void Dtum2Click();
    void as2Click();
    void Dobrde2Click();
    void Venpn2Click();
    void Venpani2Click();
    void Spozdravom2Click();
    void N25Click();
    void N26Click();
    void N27Click();
    void N28Click();
    void N29Click();
    void N30Click();
    void N31Click();
    void N32Click();
    // ToolBar1, ToolBar5
    void SpeedButton20Click();
    void SpeedButton24Click();
    void SpeedButton25Click();
    void SpeedButton26Click();
    void SpeedButton28Click();
    // A click on a link in the document.
    void RichEdit1URLClick(const QString& url, Qt::MouseButton button);
    // The context menu is about to open: its object entries show when an object is selected.
    void PopupMenu1Popup();
    // The object entries of the context menu: properties, open, save a copy.
    void Vlastnosti1Click();
    void Otvori3Click();
    void Uloikpiu1Click();

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
