#pragma once
// A table put in the document as a read document holds one: a QTextTable whose cells carry
// their right edges, the row's left edge and its gap in twips. Each cell says where it is
// ("r1c2"), so a test finds it in the text.
#include "richtext/document/TableFormat.h"

#include <QTextCursor>
#include <QTextTable>
#include <vector>

namespace zorim::test {

inline QString cellText(int row, int column) { return QStringLiteral("r%1c%2").arg(row).arg(column); }

inline QTextTable* insertTable(QTextCursor& cursor, int rows, const std::vector<int>& widthsTwips, int leftTwips = 0,
                               int gapTwips = 60)
{
    QTextTableFormat tf;
    tf.setBorder(0);
    tf.setCellSpacing(0);
    tf.setCellPadding(0);
    QTextTable* table = cursor.insertTable(rows, int(widthsTwips.size()), tf);
    for (int r = 0; r < rows; ++r) {
        int right = leftTwips;
        for (int c = 0; c < int(widthsTwips.size()); ++c) {
            right += widthsTwips[size_t(c)];
            QTextTableCell cell = table->cellAt(r, c);
            QTextCharFormat f = cell.format();
            f.setProperty(tableprop::CellRightTwips, right);
            f.setProperty(tableprop::RowLeftTwips, leftTwips);
            f.setProperty(tableprop::RowGapTwips, gapTwips);
            cell.setFormat(f);
            cell.firstCursorPosition().insertText(cellText(r, c));
        }
    }
    return table;
}

} // namespace zorim::test
