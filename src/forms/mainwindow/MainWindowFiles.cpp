// The close box.
#include "forms/mainwindow/MainWindow.h"

#include "forms/mainwindow/Recovery.h"
#include "forms/commands/Commands.h"
#include "platform/Platform.h"
#include "richtext/editor/RichEdit.h"

#include <QCloseEvent>

namespace zorim {

// The close box and the desktop's logout must not lose unsaved changes: a changed document asks
// the exit question first, and the program ends only once the document is saved or the user
// lets it go.
bool MainWindow::confirmEnd()
{
    bool close = true;
    if (RichEdit1->Modified()) {
        switch (platform_.question(this, FileCommands::kExitQuestion)) {
        case Answer::Yes:
            guarded([&] { commands_->file.saveAs(); });
            close = !RichEdit1->Modified();
            break;
        case Answer::No:
            break;
        case Answer::Cancel:
            close = false;
            break;
        }
    }
    return close;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!confirmEnd()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void MainWindow::endFromOutside()
{
    if (endedFromOutside_)
        return;
    endedFromOutside_ = true;
    if (recovery_)
        recovery_->keepForNextStart();
    // Not by closing the window, which would ask the exit question: every event loop ends, a
    // box's or dialog's included, and one that opens after that closes at once.
    platform_.endProgram();
}

} // namespace zorim
