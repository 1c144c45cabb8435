#pragma once
// The main window: the document control with its two hidden scratch buffers, the document
// state (current file name, title, modified marker), the status bar, the start-up steps and
// the commands of the window. Split by concern: TForm1.cpp (window and document state),
// TForm1Startup.cpp (creation and restoring the saved state), TForm1Files.cpp (saving and
// ending the program).
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <exception>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;

namespace zorim {

class Platform;
class RichEdit;
class SettingsStore;
class StatusBar;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // arguments: the command line without the program's own name. Creating the window runs
    // FormCreate; the window is shown by whoever created it.
    TForm1(Platform& platform, SettingsStore& settings, const QStringList& arguments, QWidget* parent = nullptr);
    ~TForm1() override;

    // Child controls.
    RichEdit* RichEdit1 = nullptr; // the document
    RichEdit* RichEdit2 = nullptr; // hidden, plain text: reads the last-file record
    RichEdit* RichEdit3 = nullptr; // hidden, rich text: buffer of the insert-text-file command
    StatusBar* StatusBar1 = nullptr;
    QLabel* TitleLabel = nullptr; // shows the title until the painted caption bar takes over
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Sbor1 = nullptr;
    QAction* Ulo1 = nullptr;
    QAction* Uloako1 = nullptr;
    QAction* PoslednySubor = nullptr;
    QAction* Koniefc1 = nullptr;
    QMenu* Nastavenie1 = nullptr;
    QAction* PlainText1 = nullptr;
    QAction* Easymd1 = nullptr;

    // Document state. "Dokument" means the document has no file yet.
    static const QString kUntitled;
    QString currentFileName() const { return currentFileName_; }
    // The text of the caption bar: "ZORIM - " and a file name, a path or "Dokument".
    QString title() const { return title_; }
    // The colour theme last applied (0: the layout's colours).
    int appliedSkin() const { return appliedSkin_; }
    bool editorFillsClientArea() const { return editorFillsClient_; }
    bool borderResizable() const { return borderResizable_; }

    // The part of a path after its last separator; the whole text when it has none.
    static QString strip(const QString& path);
    // The part of a path before its last separator; empty when it has none.
    static QString path_strip(const QString& path);

    // Operations of the window.
    void SetModified(bool modified);
    void Original();
    void SelectionChange();
    void Posledny();
    void ApplySkin(int theme);

    // Commands. Each shows its own failure in the error box and returns.
    void Koniefc1Click();      // exit
    void Uloako1Click();       // save as
    void SpeedButton3Click();  // save
    void RichEdit1Change();    // the document changed

signals:
    void titleChanged(const QString& title);
    // The window was closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void FormCreate();
    void restoreSavedState();
    void setEasyMode(bool easy);
    void setTitle(const QString& title);
    void setEditorFillsClientArea(bool fill);
    void setBorderResizable(bool resizable);
    void layoutClientArea();
    void refreshFilePanel();
    void refreshDateTimePanels();
    // The application's default handler: the failure's message in the error box.
    void showError(const std::exception& error);
    template <typename F>
    void guarded(F&& command);
    void saveAs();
    void save();

    Platform& platform_;
    SettingsStore& settings_;
    QStringList arguments_;
    QWidget* client_ = nullptr;
    QString currentFileName_;
    QString title_;
    int appliedSkin_ = 0;
    bool editorFillsClient_ = false;
    bool borderResizable_ = false;
};

template <typename F>
void TForm1::guarded(F&& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        showError(error);
    }
}

} // namespace zorim
