#pragma once
// The note pane under the editor: the text of the note whose reference stands at the caret
// (or before it in the caret's paragraph), to read and edit as word processors' draft views
// show notes. Its edits go back to the document at once, the keys typed in one stay in the
// pane one undo step of the document.
#include <QWidget>

class QLabel;

namespace zorim {

class RichEdit;

class NotePane : public QWidget {
    Q_OBJECT
public:
    NotePane(RichEdit& editor, QWidget* parent);

    // Shows the note at the editor's caret; false when there is none there (the pane then
    // has nothing to show). A note it shows is read again only when the document changed it
    // (an undo).
    bool follow();
    // The pane's own editor.
    RichEdit& edit() { return *edit_; }

private:
    void edited();

    RichEdit& editor_;
    RichEdit* edit_;
    QLabel* caption_;
    int ref_ = -1;    // the reference of the note shown
    quint64 run_ = 0; // the undo step the pane's keys go into
};

} // namespace zorim
