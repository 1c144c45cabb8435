#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextEdit>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace zorim;

namespace {
struct Lines : ::testing::Test {
    RichEdit edit;
    void SetUp() override
    {
        edit.resize(300, 300);
        edit.show();
    }
};
} // namespace

TEST_F(Lines, SelectedTextWriteSelectsTheInsertionAsOneUndoStep)
{
    edit.setText("0123456789");
    edit.setSelectionStart(5);
    edit.setSelectedText("abc");
    EXPECT_EQ(edit.SelectionStart(), 5);
    EXPECT_EQ(edit.SelectionLength(), 3);
    EXPECT_EQ(edit.SelectedText(), "abc");
    // A second write replaces the first.
    edit.setSelectedText("XY");
    EXPECT_EQ(edit.Text(), "01234XY56789");
    // Breaks count one position each.
    edit.setSelectedText("p\r\nq");
    EXPECT_EQ(edit.SelectionLength(), 3);
    EXPECT_EQ(edit.SelectedText(), "p\rq");
    EXPECT_EQ(edit.Text(), "01234p\r\nq56789");
    edit.Undo();
    EXPECT_EQ(edit.Text(), "01234XY56789");
    // An empty write leaves a caret.
    edit.setSelectionStart(2);
    edit.setSelectionLength(3);
    edit.setSelectedText("");
    EXPECT_EQ(edit.SelectionStart(), 2);
    EXPECT_EQ(edit.SelectionLength(), 0);
}

TEST_F(Lines, TextRangesSelectAllDeleteAndClear)
{
    edit.setText("ab\ncd\r\nef\rgh");
    EXPECT_EQ(edit.Text(), "ab\r\ncd\r\nef\r\ngh");
    EXPECT_EQ(edit.TextLength(), 11);
    EXPECT_EQ(edit.TextRange(1, 4), "b\rc");
    EXPECT_EQ(edit.TextRange(9, 1000), "gh");
    edit.SelectAll();
    EXPECT_EQ(edit.SelectionStart(), 0);
    EXPECT_EQ(edit.SelectionLength(), 11);
    edit.setSelectionStart(3);
    edit.setSelectionLength(3);
    edit.DeleteSelection();
    EXPECT_EQ(edit.Text(), "ab\r\nef\r\ngh");
    EXPECT_TRUE(edit.Modified());
    edit.ClearAll();
    EXPECT_EQ(edit.Text(), "");
    EXPECT_FALSE(edit.Modified());
    edit.setModified(true);
    EXPECT_TRUE(edit.Modified());
    // Positions past the end clamp to the end.
    edit.setText("abc");
    edit.setSelectionStart(99);
    EXPECT_EQ(edit.SelectionStart(), 3);
    edit.setSelectionLength(99);
    EXPECT_EQ(edit.SelectionLength(), 0);
}

TEST_F(Lines, LinesFollowTheLayoutAtTheViewsWidth)
{
    edit.setText("first\r\nsecond\r\nthird");
    EXPECT_EQ(edit.Lines().LineCount(), 3);
    EXPECT_EQ(edit.LineStart(0), 0);
    EXPECT_EQ(edit.LineStart(2), 13);
    EXPECT_EQ(edit.LineStart(3), -1);
    edit.setSelectionStart(13);
    EXPECT_EQ(edit.CaretPosition(), QPoint(0, 2));
    edit.setSelectionStart(16);
    EXPECT_EQ(edit.CaretPosition(), QPoint(3, 2));
    EXPECT_EQ(edit.Lines().Line(1), "second");

    // A trailing break makes an empty last line that LineCount does not count.
    edit.setText("first\r\n");
    EXPECT_EQ(edit.view().lineCount(), 2);
    EXPECT_EQ(edit.Lines().LineCount(), 1);
    edit.setText("");
    EXPECT_EQ(edit.Lines().LineCount(), 0);

    // One paragraph wrapped over three lines counts three.
    edit.setText("");
    QString para;
    while (true) {
        edit.setText(para);
        if (edit.view().lineCount() >= 3)
            break;
        para += "wrap ";
    }
    EXPECT_EQ(edit.Lines().LineCount(), 3);
    const int line2 = edit.LineStart(2);
    EXPECT_GT(line2, 0);
    edit.setSelectionStart(line2);
    EXPECT_EQ(edit.CaretPosition(), QPoint(0, 2));
    EXPECT_EQ(edit.view().lineFromChar(line2 - 1), 1);
    EXPECT_GT(edit.view().lineLength(0), 0);
}

TEST_F(Lines, AddingLinesToALighterControl)
{
    RichEdit simple(nullptr, RichEdit::Kind::Simple);
    simple.resize(300, 200);
    simple.Lines().Add("one");
    EXPECT_EQ(simple.Text(), "one\r\n");
    simple.Lines().Add("two");
    EXPECT_EQ(simple.Text(), "one\r\ntwo\r\n");
    EXPECT_EQ(simple.Lines().LineCount(), 2);
}

TEST_F(Lines, OnChangeFiresOncePerChangeAndOnceForABulkChange)
{
    QSignalSpy changes(&edit, &RichEdit::OnChange);
    RichEdit fresh; // creating a control reports nothing
    QSignalSpy freshChanges(&fresh, &RichEdit::OnChange);
    EXPECT_EQ(freshChanges.count(), 0);

    edit.setSelectedText("abc");
    EXPECT_EQ(changes.count(), 1);
    edit.SelectionAttributes().setStyle(fs::Bold);
    EXPECT_EQ(changes.count(), 2);

    changes.clear();
    edit.Lines().BeginUpdate();
    edit.Lines().BeginUpdate();
    edit.setSelectedText("x");
    edit.setSelectedText("y");
    edit.Lines().EndUpdate();
    EXPECT_EQ(changes.count(), 0);
    edit.Lines().EndUpdate();
    EXPECT_EQ(changes.count(), 1);
    edit.Lines().EndUpdate(); // unbalanced: nothing
    EXPECT_EQ(changes.count(), 1);
}

namespace {

// Line numbers counted the slow way: every paragraph laid out, its lines added up.
QList<int> lineStartsByLayout(RichView& e)
{
    QTextDocument* doc = e.document();
    doc->documentLayout()->blockBoundingRect(doc->lastBlock());
    QList<int> starts;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (int i = 0; i < std::max(1, b.layout()->lineCount()); ++i)
            starts.append(b.position() + (b.layout()->lineCount() ? b.layout()->lineAt(i).textStart() : 0));
    return starts;
}

void expectLinesAgree(RichView& e, const char* when)
{
    const QList<int> starts = lineStartsByLayout(e);
    ASSERT_EQ(e.lineCount(), starts.size()) << when;
    for (int line = 0; line < starts.size(); line += 3) {
        EXPECT_EQ(e.lineIndex(line), starts[line]) << when << " line " << line;
        EXPECT_EQ(e.lineFromChar(starts[line]), line) << when << " line " << line;
    }
}

} // namespace

TEST_F(Lines, LineNumbersStayRightThroughEditsAndResizes)
{
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QString("paragraph %1 ").arg(i).repeated(i % 7 + 1) + "\r\n";
    edit.setText(text);
    RichView& e = edit.view();
    // Ask about an early line first, so that only part of the document has been counted.
    EXPECT_EQ(e.lineFromChar(0), 0);
    expectLinesAgree(e, "after load");

    // A paragraph in the middle grows by several lines, another one is split, two are joined.
    edit.setSelectionStart(e.lineIndex(20));
    edit.setSelectedText(QString("longer text ").repeated(40));
    expectLinesAgree(e, "after growing a paragraph");
    edit.setSelectionStart(e.lineIndex(5) + 3);
    edit.setSelectedText("\r\n");
    edit.setSelectionStart(e.lineIndex(40));
    edit.setSelectionLength(e.lineIndex(44) - e.lineIndex(40));
    edit.DeleteSelection();
    expectLinesAgree(e, "after splitting and joining");

    // A narrower view wraps everything anew.
    edit.resize(180, 300);
    QApplication::processEvents();
    expectLinesAgree(e, "after a resize");
}

// The editor's mouse, as a user drags and clicks it: a drag that leaves its first word selects
// whole words, a click in the margin left of the text selects the line (a double click the
// paragraph), and the selection hides while another window is active.
TEST_F(Lines, MouseSelectsWholeWordsAndLinesAndTheSelectionHidesWithTheWindow)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("slovo%1").arg(i);
    edit.setText(words.join(QLatin1Char(' ')) + QStringLiteral("\nkoniec"));
    QTextEdit* w = edit.widget();
    QWidget* port = w->viewport();
    const auto pointAt = [&](int pos) {
        QTextCursor c(w->document());
        c.setPosition(pos);
        return w->cursorRect(c).center();
    };
    const auto sel = [&] { return std::pair(edit.SelectionStart(), edit.SelectionStart() + edit.SelectionLength()); };

    // "slovo1" is 7..13, "slovo2" 14..20, "slovo0" 0..6.
    QTest::mousePress(port, Qt::LeftButton, {}, pointAt(9));
    QTest::mouseMove(port, pointAt(11));
    EXPECT_EQ(sel(), std::pair(9, 11)); // within the first word: characters
    QTest::mouseMove(port, pointAt(16));
    EXPECT_EQ(sel(), std::pair(7, 20)); // past it: whole words
    QTest::mouseMove(port, pointAt(2));
    EXPECT_EQ(sel(), std::pair(0, 13)); // backwards from the first word's end
    QTest::mouseRelease(port, Qt::LeftButton, {}, pointAt(2));

    // The margin: the second laid-out line of the long paragraph, then the whole paragraph.
    const int secondLine = edit.LineStart(1);
    ASSERT_GT(secondLine, 0);
    const QPoint margin(1, pointAt(secondLine + 1).y());
    QTest::mouseClick(port, Qt::LeftButton, {}, margin);
    EXPECT_EQ(sel(), std::pair(secondLine, edit.LineStart(2)));
    QTest::mouseDClick(port, Qt::LeftButton, {}, margin);
    EXPECT_EQ(sel(), std::pair(0, int(words.join(QLatin1Char(' ')).size()) + 1));

    // Highlighted pixels while the editor's window is active, none while another one is.
    const QColor highlight = w->palette().color(QPalette::Active, QPalette::Highlight);
    const QColor inactive = w->palette().color(QPalette::Inactive, QPalette::Highlight);
    const auto highlighted = [&] {
        const QImage image = port->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == highlight || image.pixelColor(x, y) == inactive;
        return n;
    };
    QApplication::setActiveWindow(&edit);
    EXPECT_GT(highlighted(), 100);
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_EQ(highlighted(), 0);
    QApplication::setActiveWindow(&edit);
    EXPECT_GT(highlighted(), 100);
}
