// The keys that act otherwise at the start of a list item.
#include "richtext/document/ListLevels.h"
#include "richtext/document/RichDocument.h"
#include "richtext/editor/RichView.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace zorim {

bool RichView::listKey(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool backTab = e->key() == Qt::Key_Backtab || (e->key() == Qt::Key_Tab && mods == Qt::ShiftModifier);
    if (!backTab && !(e->key() == Qt::Key_Tab && mods == Qt::NoModifier))
        return false;
    QTextCursor c = widget()->textCursor();
    if (widget()->isReadOnly() || c.hasSelection() || !c.atBlockStart() || !c.block().textList())
        return false;
    // Tab puts the item a level further in, Shift+Tab a level out; beyond the first and the
    // last level the key does nothing.
    const int level = listLevelOf(c.block()) + (backTab ? -1 : 1);
    if (level >= 0 && level < kListLevelCount) {
        const RichDocument::Transaction transaction(doc_);
        setListLevel(c, level);
    }
    return true;
}

} // namespace zorim
