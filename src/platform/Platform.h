#pragma once
// Everything outside the program that the windows talk to: message boxes and questions, the
// standard dialogs, showing one of our dialogs modally, starting programs, opening links, the
// tray, ending the program, the clock and the regional date and time formats. The program
// runs on QtPlatform; the tests run the same windows on a scripted implementation.
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDialog;
class QIcon;
class QMenu;
class QPrinter;
class QWidget;

namespace zorim {

// The answer to a Yes/No/Cancel question; closing the box without an answer is Cancel.
enum class Answer { Yes, No, Cancel };

// An open or save dialog. The filter is written as pairs "Shown|patterns|Shown|patterns",
// patterns separated by ';'; filterIndex counts from 1.
struct FileDialogSetup {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString defaultExtension; // appended by the dialog to a name typed without one
    QString folder;           // starting folder; empty: the dialog's own choice
    QString fileName;         // preset file name (a bare name or a full path)
    // A picture dialog shows what this makes of the file under the cursor (null: nothing).
    std::function<QImage(const QString& path)> preview;
};

// What the font dialog shows and hands back.
struct FontChoice {
    QFont font;   // family, point size, bold, italic, underline, strikeout
    QColor color; // text colour
};

class Platform {
public:
    virtual ~Platform() = default;

    // The warning box with Yes, No and Cancel.
    virtual Answer question(QWidget* parent, const QString& text) = 0;
    // The warning box with Yes and No; true for Yes. Closing the box is No.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // The information box with OK.
    virtual void information(QWidget* parent, const QString& text) = 0;
    // A plain message box with OK, titled with the program's name.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The error box that shows a failure the running command did not handle.
    virtual void error(QWidget* parent, const QString& text) = 0;

    // Standard dialogs; an empty result means the user cancelled.
    virtual std::optional<QString> openFileName(QWidget* parent, const FileDialogSetup& setup) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const FileDialogSetup& setup) = 0;
    virtual std::optional<QString> pictureFileName(QWidget* parent, const FileDialogSetup& setup) = 0;
    virtual std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    // The print dialog: sets up the printer; false when cancelled.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;

    // Shows one of our own dialogs modally; returns its result code.
    virtual int showModal(QDialog& dialog) = 0;

    // Starts a program without waiting for it; false when it could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Opens a file with the program the desktop associates with its type; false when none
    // could be started.
    virtual bool openFile(const QString& path) = 0;
    // Hands a web or mail address to the desktop. Anything else (files, programs, other
    // schemes) is refused: false, and nothing is started.
    virtual bool openLink(const QString& address) = 0;

    // The notification-area icon with its tooltip and menu (right click).
    virtual void showTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu) = 0;
    virtual void hideTrayIcon() = 0;

    // Ends the program at once: no window is asked whether it may close.
    virtual void endProgram() = 0;

    virtual QDateTime now() = 0;
    // Dates and times as the user's regional settings write them.
    virtual QString shortDate(const QDate& date) = 0;
    virtual QString longTime(const QTime& time) = 0;
    // The user's regional settings: time format, separators, the morning and afternoon markers.
    virtual QLocale locale() = 0;

    // The print preview on printer, with page navigation and zoom: paint draws every page on
    // the printer it is given (as printing does) whenever the preview asks for them.
    virtual void showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;
};

// The longest address handed to the desktop; longer ones are no address a person wrote.
inline constexpr qsizetype kMaxLinkLength = 2048;

// The address as handed to the desktop when it is a web or mail address (http, https, ftp,
// mailto; "www." and "ftp." names get their scheme) of at most kMaxLinkLength characters;
// empty when it is anything else.
QString openableLink(const QString& address);

// "Shown|a;b|Other|c" as Qt's name filters, "Shown (a b)", one per pair.
QStringList qtNameFilters(const QString& filter);

} // namespace zorim
