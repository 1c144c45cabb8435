// Tables as the commands that read text see them, and copies of cells.
#include "richtext/layout/LaidOutDocument.h"
#include "richtext/document/DocumentEdits.h"
#include "richtext/document/RichDocument.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTest>
#include <QTextEdit>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace zorim;

namespace {

QString cellText(int r, int c) { return QStringLiteral("r%1c%2").arg(r).arg(c); }

// Text before, a table of rows x columns whose first cell holds two paragraphs, text after.
QByteArray tableRtf(int rows, int columns)
{
    QByteArray rtf = "{\\rtf1 before\\par ";
    for (int r = 0; r < rows; ++r) {
        rtf += "\\trowd";
        for (int c = 0; c < columns; ++c)
            rtf += "\\cellx" + QByteArray::number(1000 * (c + 1));
        for (int c = 0; c < columns; ++c)
            rtf += "\\pard\\intbl " + cellText(r, c).toLatin1() + (r == 0 && c == 0 ? "\\par second" : "") + "\\cell ";
        rtf += "\\row ";
    }
    return rtf + "\\pard after\\par}";
}

// The text commands see: rows as lines, cells after tabs, a cell's paragraphs joined by a blank.
QString tableText(int rows, int columns)
{
    QString text = "before\r\n";
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            text += (c ? "\t" : "") + cellText(r, c) + (r == 0 && c == 0 ? " second" : "");
        text += "\r\n";
    }
    return text + "after";
}

QTextTable* firstTable(const RichDocument& doc)
{
    const auto frames = doc.textDocument()->rootFrame()->childFrames();
    return frames.isEmpty() ? nullptr : qobject_cast<QTextTable*>(frames.first());
}

} // namespace

TEST(TableText, TextSearchAndReplaceSeeRowsAsLinesAndKeepTheTable)
{
    LaidOutDocument doc;
    ASSERT_TRUE(doc.load(tableRtf(3, 2), TextFormat::Rtf));
    ASSERT_NE(firstTable(doc), nullptr);
    EXPECT_EQ(doc.text(), tableText(3, 2));
    EXPECT_EQ(doc.length(), doc.textDocument()->characterCount() - 1);

    // Positions stay the document's: a match is where the cell holds it.
    const CharRange found = doc.find(cellText(1, 1), {0, -1}, {});
    ASSERT_GE(found.min, 0);
    QTextCursor at(doc.textDocument());
    at.setPosition(found.min);
    ASSERT_NE(at.currentTable(), nullptr);
    EXPECT_EQ(at.currentTable()->cellAt(found.min).row(), 1);
    EXPECT_EQ(doc.textRange({found.min - 5, found.max}), "r1c0\tr1c1");

    std::vector<int> starts;
    for (int r = 0; r < 3; ++r)
        starts.push_back(doc.find(cellText(r, 0), {0, -1}, {}).min);
    replaceEach(doc, starts, 4, "nové");
    QTextTable* table = firstTable(doc);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_EQ(doc.text(), QString(tableText(3, 2)).replace(QRegularExpression("r\\dc0"), "nové"));

    // Saved and read again, the table and its text are the same.
    LaidOutDocument copy;
    ASSERT_TRUE(copy.load(doc.save(TextFormat::Rtf), TextFormat::Rtf));
    EXPECT_EQ(copy.text(), doc.text());
    EXPECT_EQ(firstTable(copy)->rows(), 3);
}

TEST(TableText, ACopyOfCellsKeepsThemAsATable)
{
    RichEdit edit;
    ASSERT_TRUE(edit.document().load(tableRtf(3, 3), TextFormat::Rtf));
    // From the middle cell of the first row to the last cell of the second: two rows, two columns.
    const int from = edit.document().find(cellText(0, 1), {0, -1}, {}).min;
    const int to = edit.document().find(cellText(1, 2), {0, -1}, {}).max;
    edit.view().setSel({from, to});
    edit.view().copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat("text/rtf"));
    EXPECT_EQ(data->text(), "r0c1\tr0c2\r\nr1c1\tr1c2");

    RichEdit other;
    other.Paste();
    QTextTable* table = firstTable(other.document());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_EQ(other.Text(), "\r\nr0c1\tr0c2\r\nr1c1\tr1c2\r\n");

    // Pasted into a cell, the cells stay text there: no table in a table.
    other.setSelectionStart(other.document().find("r1c2", {0, -1}, {}).max);
    other.Paste();
    EXPECT_TRUE(firstTable(other.document())->childFrames().isEmpty());
    EXPECT_EQ(other.Text().toStdString(), "\r\nr0c1\tr0c2\r\nr1c1\tr1c2r0c1\tr0c2 r1c1\tr1c2 \r\n");
}

// A table in a cell: its cells read after tabs within the outer cell, keys type and move in it,
// and a copy of the outer cell's text keeps it a table.
TEST(TableText, ATableInACellReadsAndCopiesAsOne)
{
    RichEdit edit;
    edit.widget()->resize(600, 300);
    ASSERT_TRUE(edit.document().load("{\\rtf1 before\\par\\trowd\\cellx3000\\cellx6000\\pard\\intbl A1\\par"
                                      "\\pard\\intbl\\itap2 x1\\nestcell x2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
                                      "\\pard\\intbl\\itap2 x3\\nestcell x4\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
                                      "\\pard\\intbl po\\cell B1\\cell\\row\\pard after\\par}",
                                      TextFormat::Rtf));
    EXPECT_EQ(edit.Text().toStdString(), "before\r\nA1 x1\tx2 x3\tx4 po\tB1\r\nafter");
    // Down from the inner table's first row goes to the cell below in it; Tab to the next inner cell.
    edit.setSelectionStart(edit.document().find("x1", {0, -1}, {}).max);
    QTest::keyClick(edit.widget(), Qt::Key_Down);
    EXPECT_EQ(edit.document().find("x3", {0, -1}, {}).min, edit.SelectionStart());
    QTest::keyClick(edit.widget(), Qt::Key_Tab);
    QTest::keyClicks(edit.widget(), "z");
    EXPECT_EQ(edit.Text().toStdString(), "before\r\nA1 x1\tx2 x3\tzx4 po\tB1\r\nafter");

    edit.view().setSel({edit.document().find("A1", {0, -1}, {}).min, edit.document().find("po", {0, -1}, {}).max});
    edit.view().copy();
    RichEdit other;
    other.Paste();
    QTextTable* table = firstTable(other.document());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(other.Text().toStdString(), "A1\r\nx1\tx2\r\nx3\tzx4\r\npo");
}
