#pragma once
// The main window: its layout (caption bar, menu, tool bar area, the document control with
// its two hidden scratch buffers, colour strips, status bar), the document state (current
// (DocumentState: file name, title, the status bar's marker), the refresh that keeps the toolbars in step with the
// selection, and the colour themes. Split by concern: MainWindow.cpp (layout and document state),
// MainWindowStartup.cpp (creation and restoring the saved state), MainWindowSelection.cpp (the
// refresh, the editor's events, the resize rule), MainWindowAppearance.cpp (themes, easy mode),
// MainWindowFiles.cpp (the close box), MainWindowRecovery.cpp (recovery snapshots). The commands live in commands/, by concern, built from
// the command table.
#include "forms/mainwindow/MainWindowControls.h"
#include "forms/commands/CommandContext.h"
#include "forms/commands/DocumentState.h"
#include "richtext/document/CharFormat.h"

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <exception>
#include <memory>

class QMenuBar;
class QSizeGrip;

namespace zorim {

class CaptionBar;
class CommandUi;
class Recovery;
class TerminationSignals;
class Commands;
class Platform;
class RichEdit;
class SettingsStore;
class NotePane;
class StatusBar;

class MainWindow : public QMainWindow, public MainWindowControls {
    Q_OBJECT
public:
    // arguments: the command line without the program's own name. Creating the window runs
    // FormCreate; the window is shown by whoever created it.
    MainWindow(Platform& platform, SettingsStore& settings, const QStringList& arguments, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Child controls beside the named menus, toolbars and strips of MainWindowControls.
    CaptionBar* CaptionBar1 = nullptr;
    RichEdit* RichEdit1 = nullptr; // the document
    RichEdit* RichEdit2 = nullptr; // hidden, plain text: reads the last-file record
    RichEdit* RichEdit3 = nullptr; // hidden, rich text: buffer of the insert-text-file command
    StatusBar* StatusBar1 = nullptr;
    NotePane* notePane = nullptr; // under the editor while the caret is at a note

    // The commands and the menus, toolbars and keys built from their table.
    Commands& commands() { return *commands_; }
    CommandUi& commandUi() { return *commandUi_; }
    // The windows created after this one, for the commands that show them.
    void setOtherWindows(const OtherWindows& windows);

    // The open document's file name, title and the status bar's marker and stamps.
    DocumentState& document() { return document_; }
    // The document position the context menu was opened at; -1 when it was opened on the
    // window rather than the document.
    int contextMenuPosition() const { return contextMenuPosition_; }
    const DocumentState& document() const { return document_; }

    // The part of a path after its last separator; the whole text when it has none.
    static QString strip(const QString& path);
    // The part of a path before its last separator; empty when it has none.
    static QString path_strip(const QString& path);

    // Operations of the window.
    void Original();
    void Posledny();
    // The document's recovery snapshot is no longer wanted: it was saved, or replaced by a new or
    // opened document.
    void discardRecovery();
    Recovery* recovery() const { return recovery_.get(); }
    // Whether the program may end now: a changed document asks the exit question first (Yes
    // saves); false when the user stays, or the save did not happen.
    bool confirmEnd();
    // The program is ended from outside (SIGTERM, SIGHUP): the unsaved document's snapshot is
    // written and kept for the next start, and the program ends without asking, whatever box or
    // dialog is open (each gives up as if cancelled).
    void endFromOutside();
    // Whether the program was ended from outside; ended while a start-up box was shown, the
    // program does not go on to run.
    bool endedFromOutside() const { return endedFromOutside_; }

    // The font box shows the entry of that name (letter case aside), or none.
    void showFontName(const QString& name);
    // Shows a failure the running command did not handle in the error box.
    void showError(const std::exception& error);

    // The refresh of everything that follows the selection, and its last step.
    void SelectionChange();
    // Asks for one SelectionChange when the event loop next turns: the events of one keystroke
    // (key down, the character, the change, key up) refresh once, with the state after it.
    void requestSelectionChange();
    void UpdateCursorPos();
    // The editor's events; each refreshes. RichEdit1Change also marks the change and stamps
    // the date and time panels.
    void RichEdit1Change();
    void RichEdit1MouseDown();
    void RichEdit1KeyDown();
    void RichEdit1KeyPress();
    void RichEdit1KeyUp();
    // The resize rule: tool bar area, editor and the status bar's spacer follow the window.
    void FormResize();
    // The note pane follows the caret: shown with the note there, else hidden.
    void followNote();
    // The window's outer width as the resize rule measures it (the client area and a system
    // frame). Setting it keeps the window's left edge, top and height; a shown window is laid
    // out for the new width (FormResize) before it returns.
    int outerWidth() const;
    void setOuterWidth(int width);

    // Colour themes 1..8; anything else changes nothing.
    void ApplySkin(int theme);
    // The colour theme last applied (0: the layout's colours).
    int appliedSkin() const { return appliedSkin_; }
    // The colours in force, as colour values (system colours keep their top bit).
    ColorRef captionColor() const { return captionColor_; }
    ColorRef frameColor() const { return frameColor_; }
    ColorRef editorColor() const { return RichEdit1Color_; }
    ColorRef horizontalScrollBarColor() const { return horzScrollBarColor_; }
    ColorRef statusBarColor() const { return statusBarColor_; }

    // Easy mode's parts: the editor filling the client area, a sizeable border, and the
    // formatting controls shown or hidden.
    bool editorFillsClientArea() const { return editorFillsClient_; }
    void setEditorFillsClientArea(bool fill);
    bool borderResizable() const { return borderResizable_; }
    void setBorderResizable(bool resizable);
    void setFormattingControlsShown(bool shown);
    // Start-up's reading of easy.ini: "0" on, "1" off.
    void setEasyMode(bool easy);

signals:
    // The window was closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void centreOnScreen();
    void buildWindow();
    QMenuBar* buildCaptionAndMenuBar();
    QWidget* buildClientArea();
    void buildCommands(QMenuBar* menuBar, QWidget* controlBar);
    void connectEditor();
    void connectMenusAndPanels(QWidget* controlBar);
    void FormCreate();
    void restoreSavedState();
    void placeColorStrips();
    void refreshCommandState();
    void startRecovery();
    void offerRecovery();
    // The start-up note about the documents named but not opened, shown once the window is.
    void showStartupNote();
    void applyThemeColors();
    template <typename F>
    void guarded(F&& command);

    Platform& platform_;
    SettingsStore& settings_;
    QStringList arguments_;
    QString startupNote_;
    QWidget* client_ = nullptr;
    QSizeGrip* sizeGrip_ = nullptr;
    std::unique_ptr<Commands> commands_;
    std::unique_ptr<Recovery> recovery_;
    std::unique_ptr<TerminationSignals> termination_;
    CommandUi* commandUi_ = nullptr;
    QHash<QString, int> fontIndex_; // lower-case font name -> entry of fontNameBox (a face not installed: its substitute's)
    DocumentState document_;
    int appliedSkin_ = 0;
    ColorRef captionColor_;
    ColorRef frameColor_;
    ColorRef RichEdit1Color_;
    ColorRef horzScrollBarColor_;
    ColorRef statusBarColor_;
    bool editorFillsClient_ = false;
    int contextMenuPosition_ = -1;
    bool borderResizable_ = false;
    bool centred_ = false;
    bool selectionChangeRequested_ = false;
    bool endedFromOutside_ = false;
};

template <typename F>
void MainWindow::guarded(F&& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        showError(error);
    }
}

} // namespace zorim
