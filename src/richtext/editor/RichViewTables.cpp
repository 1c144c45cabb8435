// The keys that act otherwise in a table than in running text.
#include "richtext/document/DocFormats.h"
#include "richtext/document/RichDocument.h"
#include "richtext/editor/RichView.h"
#include "richtext/document/TableFormat.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextTable>
#include <algorithm>

namespace zorim {

namespace {

// Tab in a table's last cell: a new row below, its cells formatted as those above them (so it
// has their widths, borders and shading), and what is typed in each takes the face and size
// at the end of the cell above and its paragraph's alignment; the caret in its first cell.
void appendRowLike(QTextTable* table, QTextCursor& c)
{
    const int last = table->rows() - 1;
    table->appendRows(1);
    for (int col = 0; col < table->columns(); ++col) {
        const QTextTableCell above = table->cellAt(last, col);
        QTextTableCell cell = table->cellAt(last + 1, col);
        QTextCharFormat f = above.format();
        f.clearProperty(tableprop::MergeHorizontal);
        f.clearProperty(tableprop::MergeVertical);
        cell.setFormat(f);
        const QTextCursor end = above.lastCursorPosition();
        const QTextCursor start = cell.firstCursorPosition();
        CharFormat chars = readCharFormat(end.charFormat(), table->document()->defaultFont());
        chars.mask = cfm::Face | cfm::Charset | cfm::Size;
        QTextCharFormat typed = start.blockCharFormat();
        applyCharFormat(typed, chars);
        QTextCursor(start).setBlockCharFormat(typed);
        ParaFormat para = readParaFormat(end.block());
        para.mask = pfm::Alignment;
        applyParaFormat(start, para);
    }
    c = table->cellAt(last + 1, 0).firstCursorPosition();
}

} // namespace

bool RichView::tableKey(QKeyEvent* e)
{
    QTextCursor c = widget()->textCursor();
    QTextTable* table = c.currentTable();
    if (!table)
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool backTab = e->key() == Qt::Key_Backtab || (e->key() == Qt::Key_Tab && mods == Qt::ShiftModifier);
    if (backTab || (e->key() == Qt::Key_Tab && mods == Qt::NoModifier)) {
        c.clearSelection();
        if (!c.movePosition(backTab ? QTextCursor::PreviousCell : QTextCursor::NextCell) && !backTab) {
            const RichDocument::Transaction transaction(doc_);
            appendRowLike(table, c);
        }
        widget()->setTextCursor(c);
        return true;
    }
    if (c.hasComplexSelection() && (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete))
        return removeWholeRows(); // otherwise Qt empties the selected cells
    const bool wordBack = e->matches(QKeySequence::DeleteStartOfWord);
    if (!c.hasSelection() && (wordBack || e->matches(QKeySequence::DeleteEndOfWord))) {
        // Qt would take the neighbouring cell's word too and empty both cells.
        const QTextTableCell cell = table->cellAt(c.position());
        QTextCursor word = c;
        word.movePosition(wordBack ? QTextCursor::PreviousWord : QTextCursor::NextWord);
        c.setPosition(std::clamp(word.position(), cell.firstPosition(), cell.lastPosition()), QTextCursor::KeepAnchor);
        c.removeSelectedText();
        widget()->setTextCursor(c);
        return true;
    }
    return false;
}

bool RichView::removeWholeRows()
{
    QTextCursor c = widget()->textCursor();
    QTextTable* table = c.hasComplexSelection() ? c.currentTable() : nullptr;
    if (!table)
        return false;
    int row = 0, rows = 0, column = 0, columns = 0;
    c.selectedTableCells(&row, &rows, &column, &columns);
    if (rows <= 0 || column != 0 || columns != table->columns())
        return false;
    {
        // Every row gone takes the table with it.
        const RichDocument::Transaction transaction(doc_);
        table->removeRows(row, rows);
    }
    c.clearSelection();
    widget()->setTextCursor(c);
    return true;
}

} // namespace zorim
