#include "forms/widgets/NotePane.h"

#include "richtext/document/NoteEdits.h"
#include "richtext/editor/RichEdit.h"

#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>

namespace zorim {

NotePane::NotePane(RichEdit& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), edit_(new RichEdit(this, RichEdit::Kind::Simple)), caption_(new QLabel(this))
{
    setObjectName(QStringLiteral("NotePane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(caption_);
    layout->addWidget(edit_, 1);
    edit_->widget()->setAccessibleName(QStringLiteral("Poznámka"));
    connect(edit_, &RichEdit::OnChange, this, &NotePane::edited);
}

bool NotePane::follow()
{
    const int ref = noteReferenceNear(editor_.document(), editor_.SelectionStart());
    if (ref < 0) {
        ref_ = -1;
        return false;
    }
    // The pane's own edits come back here through the document: the note it shows, as it
    // shows it, is not read again (the caret in the pane stays where it is).
    if (ref == ref_ && noteHolds(editor_.document(), ref, edit_->document()))
        return true;
    if (!readNoteAt(editor_.document(), ref, edit_->document()))
        return false;
    ref_ = ref;
    run_ = 0; // another note, or the same after the document changed: a new undo step
    const int number = noteNumberAt(editor_.document(), ref);
    const bool endnote = isEndnoteAt(editor_.document(), ref);
    QString caption = endnote ? QStringLiteral("Vysvetlivka") : QStringLiteral("Poznámka pod čiarou");
    if (number > 0)
        caption += QStringLiteral(" č. %1").arg(number);
    caption_->setText(caption);
    return true;
}

void NotePane::edited()
{
    if (ref_ >= 0 && !setNoteText(editor_.document(), ref_, edit_->document(), &run_))
        ref_ = -1;
}

} // namespace zorim
