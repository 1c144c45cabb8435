// Creating the main window: the start-up steps and restoring what earlier runs left in the
// state files.
#include "forms/mainwindow/MainWindow.h"

#include "forms/commands/Commands.h"
#include "forms/widgets/StatusBar.h"
#include "platform/Platform.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"
#include "text/FileNames.h"

#include <QAction>

#include <utility>

namespace zorim {

// A step that fails shows its message and ends the start-up steps; the window is shown
// all the same.
void MainWindow::FormCreate()
{
    guarded([&] {
        SelectionChange();
        document_.setModified(false);

        // Only the first argument opens, and only when it names an existing file.
        const QString argument = arguments_.value(0);
        if (!argument.isEmpty() && isPlainFile(argument)) {
            document_.setTitle(DocumentState::titleFor(strip(argument)));
            document_.showInFilePanel(argument);
            try {
                RichEdit1->Lines().LoadFile(argument);
            } catch (...) {
                // The document did not load: it is untitled, so that a Save asks for a
                // name instead of writing under none.
                document_.setFileName(DocumentState::kUntitled);
                throw;
            }
        } else {
            document_.setTitle(DocumentState::titleFor(DocumentState::kUntitled));
            document_.showInFilePanel(DocumentState::kUntitled);
        }
        document_.setFileName(DocumentState::kUntitled);

        RichEdit1->setVerticalScrollBar(true);
        restoreSavedState();
    });
    // One document opens; the others named with it are said to be left, so none is thought
    // open when it is not. Said over the window once it shows, which the box would hold back.
    if (arguments_.size() > 1)
        startupNote_ = QStringLiteral("Otvára sa len prvý dokument. Neotvorené zostali: %1").arg(arguments_.mid(1).join(QStringLiteral(", ")));
}

void MainWindow::showStartupNote()
{
    const QString note = std::exchange(startupNote_, QString());
    if (!note.isEmpty())
        platform_.information(this, note);
}

void MainWindow::Posledny()
{
    // One path: a longer file is no record of ours, and would be laid out as a caption.
    settings_.checkSize(statefile::LastFile);
    RichEdit2->Lines().LoadFile(settings_.filePath(statefile::LastFile));
}

void MainWindow::restoreSavedState()
{
    // The last saved path, offered by the last-file item.
    Posledny();
    recentFileItem->setText(RichEdit2->Text());

    // Every start puts the indent store back to its first step.
    settings_.readValue(statefile::IndentStep);
    settings_.writeValue(statefile::IndentStep, QStringLiteral("10"));

    // The stored theme; anything but one of the eight numbers keeps the layout's colours.
    const QString skin = settings_.readValue(statefile::Skin);
    for (int theme = 1; theme <= 8; ++theme) {
        if (skin == QString::number(theme)) {
            ApplySkin(theme);
            break;
        }
    }

    // Easy mode: "0" on, "1" off, anything else leaves the window as laid out.
    const QString easy = settings_.readValue(statefile::EasyMode);
    if (easy == QLatin1String("0"))
        setEasyMode(true);
    else if (easy == QLatin1String("1"))
        setEasyMode(false);

    commands_->spelling.restoreSpellCheck();
}

} // namespace zorim
