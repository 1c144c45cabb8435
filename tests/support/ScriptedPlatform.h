#pragma once
// A platform for tests: questions and dialogs are answered from a queue that the test fills
// beforehand, and everything shown is recorded. A question or dialog that the queue does not
// expect fails the running test (and is answered with Cancel); answers still queued when the
// platform is destroyed fail it too.
#include "platform/Platform.h"

#include <QRect>

#include <deque>
#include <functional>
#include <variant>
#include <vector>

namespace zorim::test {

class ScriptedPlatform : public Platform {
public:
    enum class Kind { Question, Information, Message, Error, OpenFile, SaveFile, PictureFile, Font, Color, Print, Modal, PrintPreview };

    // One thing the program showed.
    struct Shown {
        Kind kind;
        QString text;         // the message or question; a dialog's title
        FileDialogSetup file;  // the setup of a file dialog
        QRect over;            // a question's: where the window it was asked over stood
    };

    ScriptedPlatform();
    ~ScriptedPlatform() override;

    // The script, consumed in order.
    void answerQuestion(Answer answer);
    void answerOpenFile(std::optional<QString> path);
    void answerSaveFile(std::optional<QString> path);
    void answerPictureFile(std::optional<QString> path);
    void answerFont(std::optional<FontChoice> choice);
    // The next font dialog is the program's own, shown and played as a user would (the actions
    // must close it); it hands back what the user chose in it.
    void answerFontAsUser(std::function<void(QDialog&)> actions);
    void answerColor(std::optional<QColor> color);
    void answerPrint(bool accept);
    // The handler plays the user in the dialog and returns its result code.
    void answerModal(std::function<int(QDialog&)> handler);
    // The next dialog shown modally is played as a user would: shown, the actions done in it
    // (they must close it, as a button or Escape does), its result the dialog's own.
    void answerModalAsUser(std::function<void(QDialog&)> actions);
    bool scriptDone() const { return script_.empty(); }

    // What was shown, in order.
    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts(Kind kind) const;
    QStringList errors() const { return texts(Kind::Error); }
    QStringList questions() const { return texts(Kind::Question); }
    QStringList informations() const { return texts(Kind::Information); }
    void clearShown() { shown_.clear(); }

    // What was started or handed on.
    struct Started {
        QString program;
        QStringList arguments;
    };
    const std::vector<Started>& started() const { return started_; }
    const QStringList& openedLinks() const { return openedLinks_; }
    const QStringList& openedFiles() const { return openedFiles_; }
    bool openFileResult = true; // what openFile reports
    bool startResult = true; // what startDetached reports
    // A print dialog answered with true prints to this PDF file, when it is set.
    QString printToFile;
    bool trayShown() const { return trayShown_; }
    QString trayToolTip() const { return trayToolTip_; }
    QMenu* trayMenu() const { return trayMenu_; }
    int endProgramCalls() const { return endProgramCalls_; }

    // The clock and regional formats: a fixed moment, "d.M.yyyy" and "H:mm:ss"; the regional
    // settings are Slovak unless a test sets others.
    QDateTime clock;
    QLocale regional{QLocale::Slovak, QLocale::Slovakia};

    Answer question(QWidget* parent, const QString& text) override;
    // Played from the questions' queue: Yes is Yes, anything else No.
    bool confirm(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    std::optional<QString> openFileName(QWidget* parent, const FileDialogSetup& setup) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogSetup& setup) override;
    std::optional<QString> pictureFileName(QWidget* parent, const FileDialogSetup& setup) override;
    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
    int showModal(QDialog& dialog) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool openFile(const QString& path) override;
    bool openLink(const QString& address) override;
    void showTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu) override;
    void hideTrayIcon() override;
    void endProgram() override;
    QDateTime now() override;
    QString shortDate(const QDate& date) override;
    QString longTime(const QTime& time) override;
    QLocale locale() override;
    // Recorded; the pages are painted as the preview would, into printToFile as a PDF when set.
    void showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;

private:
    using Value = std::variant<Answer, std::optional<QString>, std::optional<FontChoice>, std::optional<QColor>, bool,
                               std::function<int(QDialog&)>>;
    struct Step {
        Kind kind;
        Value value;
    };
    // The next step when it is of the kind asked for; otherwise a failure of the test.
    std::optional<Value> take(Kind kind, const QString& what);
    std::optional<QString> fileDialog(Kind kind, const FileDialogSetup& setup);

    std::deque<Step> script_;
    std::vector<Shown> shown_;
    std::vector<Started> started_;
    QStringList openedLinks_;
    QStringList openedFiles_;
    bool trayShown_ = false;
    QString trayToolTip_;
    QMenu* trayMenu_ = nullptr;
    int endProgramCalls_ = 0;
};

const char* kindName(ScriptedPlatform::Kind kind);

} // namespace zorim::test
