#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace zorim;

namespace {
struct Control : ::testing::Test {
    RichEdit edit;
    void SetUp() override
    {
        edit.resize(400, 300);
        edit.show();
    }
};
} // namespace

TEST_F(Control, SearchTextHonoursCaseWholeWordDirectionAndRange)
{
    edit.setText("Hello hello helloworld HELLO");
    EXPECT_EQ(edit.SearchText("hello", 0, 100, so::MatchCase), 6);
    EXPECT_EQ(edit.SearchText("hello", 0, 100, 0), 0);
    EXPECT_EQ(edit.SearchText("Hellow", 0, 100, so::MatchCase), -1);
    EXPECT_EQ(edit.SearchText("hello", 7, 100, so::WholeWord), 23);
    EXPECT_EQ(edit.SearchText("hello", 0, 100, so::Backward), 23);
    EXPECT_EQ(edit.SearchText("hello", 0, 22, so::Backward | so::MatchCase), 12);
    // The range is start .. start + |length|.
    EXPECT_EQ(edit.SearchText("hello", 6, -5, so::MatchCase), 6);
    EXPECT_EQ(edit.SearchText("hello", 6, 4, so::MatchCase), -1);
    EXPECT_EQ(edit.SearchText("absent", 0, 100, 0), -1);
    EXPECT_EQ(edit.SelectionLength(), 0);
    EXPECT_EQ(edit.SearchText("world", 0, 100, so::SelectMatch), 17);
    EXPECT_EQ(edit.SelectionStart(), 17);
    EXPECT_EQ(edit.SelectedText(), "world");
}

TEST_F(Control, UndoAndRedoWithinTheUndoLimit)
{
    edit.setUndoLimit(3);
    for (const char* t : {"a", "b", "c", "d", "e"}) {
        edit.setSelectionStart(edit.TextLength());
        edit.setSelectedText(t);
    }
    EXPECT_EQ(edit.Text(), "abcde");
    edit.Undo();
    edit.Undo();
    edit.Undo();
    EXPECT_EQ(edit.Text(), "ab");
    edit.Undo(); // past the limit
    EXPECT_EQ(edit.Text(), "ab");
    edit.Redo();
    EXPECT_EQ(edit.Text(), "abc");
    edit.setUndoLimit(100);
    EXPECT_EQ(edit.UndoLimit(), 100);

    // Keyboard undo goes through the same counter.
    edit.widget()->setFocus();
    QTest::keyClick(edit.widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), "ab");
}

TEST_F(Control, UndoingADeletedSelectionPutsTheCaretWhereTheSelectionStarted)
{
    QStringList paragraphs;
    for (int i = 0; i < 300; ++i)
        paragraphs << QStringLiteral("Odsek %1 s niekoľkými slovami.").arg(i);
    const QString text = paragraphs.join(QStringLiteral("\r\n"));
    edit.setText(text);
    const int start = edit.SearchText(QStringLiteral("Odsek 100 "), 0, edit.TextLength(), so::MatchCase);
    edit.setSelectionStart(start);
    edit.setSelectionLength(edit.SearchText(QStringLiteral("Odsek 250 "), 0, edit.TextLength(), so::MatchCase) - start);
    edit.DeleteSelection();
    edit.Undo();
    EXPECT_EQ(edit.Text(), text);
    EXPECT_EQ(edit.SelectionStart(), start);
    EXPECT_EQ(edit.SelectionLength(), 0);
}

TEST_F(Control, ClipboardCarriesTextBothWays)
{
    edit.setText("copy me");
    edit.setSelectionStart(0);
    edit.setSelectionLength(4);
    edit.Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "copy");
    EXPECT_TRUE(edit.CanPaste());
    edit.setSelectionStart(edit.TextLength());
    edit.Paste();
    EXPECT_EQ(edit.Text(), "copy mecopy");
    edit.setSelectionStart(0);
    edit.setSelectionLength(5);
    edit.Cut();
    EXPECT_EQ(edit.Text(), "mecopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "copy ");
    QApplication::clipboard()->setText("two\nlines");
    edit.setSelectionStart(0);
    edit.Paste();
    EXPECT_EQ(edit.Text(), "two\r\nlinesmecopy");
    QApplication::clipboard()->clear();
    EXPECT_FALSE(edit.CanPaste());
}

TEST_F(Control, TypedAndInsertedAddressesBecomeLinks)
{
    edit.setText("see www.zorim.sk, or write to jan.novak@example.sk. plain words");
    const CharRange web = edit.view().linkAt(6);
    EXPECT_EQ(edit.TextRange(web.min, web.max), "www.zorim.sk");
    const CharRange mail = edit.view().linkAt(35);
    EXPECT_EQ(edit.TextRange(mail.min, mail.max), "jan.novak@example.sk");
    EXPECT_EQ(edit.view().linkAt(55).min, -1);
    edit.setSelectionStart(0);
    edit.setSelectedText("https://a.b/c?d=1 ");
    EXPECT_EQ(edit.view().linkAt(3), (CharRange{0, 17}));
}

TEST_F(Control, ALinkClickNeedsPressAndReleaseOnTheSameLinkWithTheSameButton)
{
    edit.setText("http://one.sk and http://two.sk");
    QSignalSpy clicks(&edit, &RichEdit::OnURLClick);
    RichView& e = edit.view();
    const CharRange one = e.linkAt(2), two = e.linkAt(20);
    emit e.linkNotice(LinkEvent::Press, Qt::LeftButton, one);
    emit e.linkNotice(LinkEvent::Release, Qt::LeftButton, two);
    EXPECT_EQ(clicks.count(), 0);
    emit e.linkNotice(LinkEvent::Release, Qt::LeftButton, two); // forgotten after a release
    EXPECT_EQ(clicks.count(), 0);
    emit e.linkNotice(LinkEvent::Press, Qt::RightButton, two);
    emit e.linkNotice(LinkEvent::Release, Qt::LeftButton, two);
    EXPECT_EQ(clicks.count(), 0);
    emit e.linkNotice(LinkEvent::Press, Qt::RightButton, two);
    emit e.linkNotice(LinkEvent::Release, Qt::RightButton, two);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toString(), "http://two.sk");
    EXPECT_EQ(clicks[0][1].value<Qt::MouseButton>(), Qt::RightButton);

    // With the real mouse on the view.
    clicks.clear();
    const QRect r = edit.widget()->cursorRect(QTextCursor(e.document()));
    const QPoint onLink = r.center() + QPoint(15, 0);
    QTest::mouseClick(edit.widget()->viewport(), Qt::LeftButton, {}, onLink);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toString(), "http://one.sk");
}
