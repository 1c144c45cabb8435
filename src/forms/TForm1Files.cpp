// The close box.
#include "forms/TForm1.h"

#include "forms/commands/Commands.h"
#include "platform/Platform.h"
#include "richtext/RichEdit.h"

#include <QCloseEvent>

namespace zorim {

// The close box must not lose unsaved changes: a changed document asks the exit question
// first, and the window closes only once the document is saved or the user lets it go.
void TForm1::closeEvent(QCloseEvent* event)
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
    if (!close) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

} // namespace zorim
