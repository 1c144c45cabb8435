#include "richtext/document/ListLevels.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTest>
#include <gtest/gtest.h>

using namespace zorim;

namespace {

struct Edit : ::testing::Test {
    RichEdit edit;
    void SetUp() override
    {
        edit.resize(400, 300);
        edit.show();
    }
    void select(int from, int to)
    {
        edit.setSelectionStart(from);
        edit.setSelectionLength(to - from);
    }
};

} // namespace

TEST_F(Edit, WritingOneStyleOverMixedRunsTouchesOnlyTheMaskedAttributes)
{
    edit.setText("abcdef");
    select(0, 3);
    edit.SelectionAttributes().setStyle(fs::Italic);
    edit.SelectionAttributes().setColor(0x0000FF);
    edit.SelectionAttributes().setSize(20);
    // Bold over a selection that is half italic: italic stays where it was.
    select(1, 5);
    edit.SelectionAttributes().setStyle(fs::Bold | (edit.SelectionAttributes().Style() & ~fs::Bold));
    select(4, 5);
    EXPECT_EQ(edit.SelectionAttributes().Style() & fs::Italic, fs::Italic) << "style set wrote italic onto plain text";
    select(1, 2);
    EXPECT_EQ(edit.SelectionAttributes().Style(), fs::Bold | fs::Italic);
    EXPECT_EQ(edit.SelectionAttributes().Color(), 0x0000FFu);
    EXPECT_EQ(edit.SelectionAttributes().Size(), 20);
    select(5, 6);
    EXPECT_EQ(edit.SelectionAttributes().Style(), 0);
    EXPECT_EQ(edit.SelectionAttributes().Color(), kClWindowText);

    // A face change leaves size and colour.
    select(0, 6);
    edit.SelectionAttributes().setName("Courier New");
    select(0, 1);
    EXPECT_EQ(edit.SelectionAttributes().Name(), "Courier New");
    EXPECT_EQ(edit.SelectionAttributes().Size(), 20);
    EXPECT_EQ(edit.SelectionAttributes().Color(), 0x0000FFu);
}

TEST_F(Edit, SizesAreWholePointsOverTwipsAndClamped)
{
    edit.setText("x");
    select(0, 1);
    CharFormat half;
    half.mask = cfm::Size;
    half.height = 210; // 10.5 pt
    edit.view().setCharFormat(FormatScope::Selection, half);
    EXPECT_EQ(edit.SelectionAttributes().Size(), 10);
    EXPECT_EQ(edit.SelectionAttributes().Height(), 210);
    edit.SelectionAttributes().setSize(10);
    EXPECT_EQ(edit.SelectionAttributes().Height(), 200);
    edit.SelectionAttributes().setSize(0);
    EXPECT_EQ(edit.SelectionAttributes().Size(), 1);
    edit.SelectionAttributes().setSize(-5);
    EXPECT_EQ(edit.SelectionAttributes().Size(), 1);
    edit.SelectionAttributes().setSize(2000000000); // points x 20 would overflow
    EXPECT_EQ(edit.SelectionAttributes().Size(), 1638);
}

TEST_F(Edit, AutomaticColoursAndVerticalPosition)
{
    edit.setText("xy");
    select(0, 1);
    edit.SelectionAttributes().setColor(0x00FF00);
    edit.SelectionAttributes().setColor(kClDefault);
    EXPECT_EQ(edit.SelectionAttributes().Color(), kClWindowText);
    edit.SelectionAttributes().setColor(0x123456);
    EXPECT_EQ(edit.SelectionAttributes().Color(), 0x123456u);
    edit.SelectionAttributes().setColor(kClWindowText);
    EXPECT_EQ(edit.SelectionAttributes().Color(), kClWindowText);

    EXPECT_EQ(edit.SelectionAttributes().BackColor(), kClWindow);
    edit.SelectionAttributes().setBackColor(0x00FFFF);
    EXPECT_EQ(edit.SelectionAttributes().BackColor(), 0x00FFFFu);
    edit.SelectionAttributes().setBackColor(kClWindow);
    EXPECT_EQ(edit.SelectionAttributes().BackColor(), kClWindow);

    edit.SelectionAttributes().setVerticalPosition(VerticalPosition::Superscript);
    EXPECT_TRUE(edit.view().getCharFormat(FormatScope::Selection).effects & cfe::Superscript);
    edit.SelectionAttributes().setVerticalPosition(VerticalPosition::Subscript);
    EXPECT_EQ(edit.view().getCharFormat(FormatScope::Selection).effects & (cfe::Subscript | cfe::Superscript), cfe::Subscript);
    edit.SelectionAttributes().setVerticalPosition(VerticalPosition::Normal);
    EXPECT_EQ(edit.view().getCharFormat(FormatScope::Selection).effects & (cfe::Subscript | cfe::Superscript), 0u);
}

TEST_F(Edit, FaceNamesAreCutAt32Characters)
{
    edit.setText("x");
    select(0, 1);
    edit.SelectionAttributes().setName(QString(40, u'F'));
    EXPECT_EQ(edit.SelectionAttributes().Name(), QString(32, u'F'));
}

TEST_F(Edit, AssigningABoldFontInWindowTextColourGivesAutomaticColour)
{
    edit.setText("abc");
    select(0, 3);
    FontDesc f;
    f.name = "Arial";
    f.size = 14;
    f.style = fs::Bold;
    f.color = kClWindowText;
    edit.SelectionAttributes().assign(f);
    const CharFormat rec = edit.view().getCharFormat(FormatScope::Selection);
    EXPECT_TRUE(rec.effects & cfe::AutoColor);
    EXPECT_TRUE(rec.effects & cfe::Bold);
    EXPECT_EQ(rec.weight, 700);
    EXPECT_EQ(edit.SelectionAttributes().Name(), "Arial");
    EXPECT_EQ(edit.SelectionAttributes().Size(), 14);
}

TEST_F(Edit, TheInsertionPointKeepsAttributesForTypedText)
{
    edit.setText("ab");
    edit.setSelectionStart(2);
    edit.SelectionAttributes().setStyle(fs::Underline);
    edit.SelectionAttributes().setSize(30);
    edit.setSelectedText("cd");
    select(2, 4);
    EXPECT_EQ(edit.SelectionAttributes().Style(), fs::Underline);
    EXPECT_EQ(edit.SelectionAttributes().Size(), 30);
    select(0, 1);
    EXPECT_EQ(edit.SelectionAttributes().Style(), 0);
}

TEST_F(Edit, DefaultAttributesAndFontShapeAnEmptyControl)
{
    EXPECT_EQ(edit.DefaultAttributes().Name(), "Verdana");
    EXPECT_EQ(edit.DefaultAttributes().Size(), 12);
    FontDesc f;
    f.name = "Times New Roman";
    f.size = 16;
    f.color = 0x0000FF;
    edit.setFont(f);
    EXPECT_EQ(edit.DefaultAttributes().Name(), "Times New Roman");
    EXPECT_EQ(edit.DefaultAttributes().Size(), 16);
    EXPECT_EQ(edit.DefaultAttributes().Color(), 0x0000FFu);
    edit.widget()->setFocus();
    edit.setSelectedText("typed");
    select(0, 5);
    EXPECT_EQ(edit.SelectionAttributes().Name(), "Times New Roman");
    EXPECT_EQ(edit.SelectionAttributes().Size(), 16);
    EXPECT_EQ(edit.SelectionAttributes().Color(), 0x0000FFu);

    edit.setColor(0x00FFFF);
    EXPECT_EQ(edit.Color(), 0x00FFFFu);
    EXPECT_EQ(edit.widget()->palette().color(QPalette::Base), QColor(255, 255, 0));
}

TEST_F(Edit, ParagraphAlignmentAndBulletsWithTheOffsetRule)
{
    edit.setText("one\r\ntwo\r\nthree");
    for (auto a : {ParaAlignment::Right, ParaAlignment::Center, ParaAlignment::Justify, ParaAlignment::Left}) {
        edit.ParagraphAttributes().setAlignment(a);
        EXPECT_EQ(edit.ParagraphAttributes().Alignment(), a);
    }
    edit.setSelectionStart(0);
    edit.ParagraphAttributes().setOffset(4);
    edit.ParagraphAttributes().setNumbering(1);
    EXPECT_EQ(edit.ParagraphAttributes().Numbering(), 1);
    EXPECT_EQ(edit.ParagraphAttributes().Offset(), 10);
    EXPECT_NE(edit.view().document()->begin().textList(), nullptr) << "bullets are shown as a list";
    edit.ParagraphAttributes().setNumbering(0);
    EXPECT_EQ(edit.ParagraphAttributes().Numbering(), 0);
    EXPECT_EQ(edit.ParagraphAttributes().Offset(), 0);
    EXPECT_EQ(edit.view().document()->begin().textList(), nullptr);

    // A selection over two paragraphs bullets both, in one list.
    select(0, 5);
    edit.ParagraphAttributes().setNumbering(1);
    const QTextBlock first = edit.view().document()->begin();
    ASSERT_NE(first.textList(), nullptr);
    EXPECT_EQ(first.textList(), first.next().textList());
    EXPECT_EQ(first.next().next().textList(), nullptr);

    // Right to left: left and right exchange on the way out.
    edit.setRightToLeft(true);
    edit.ParagraphAttributes().setAlignment(ParaAlignment::Left);
    EXPECT_EQ(edit.ParagraphAttributes().Alignment(), ParaAlignment::Right);
}

// Tab and Shift+Tab at the start of a list item put it a level in and out, each one undo
// step; its number counts at its level and the items after it count on at theirs.
TEST_F(Edit, TabAtTheStartOfAListItemChangesItsLevel)
{
    edit.setText("one\r\ntwo\r\nthree");
    select(0, 9);
    edit.ParagraphAttributes().setNumbering(2);
    const QTextBlock second = edit.view().document()->begin().next();
    const auto labels = [&] {
        QStringList out;
        for (QTextBlock b = edit.view().document()->begin(); b.isValid(); b = b.next())
            out << listLabel(b);
        return out.join(u' ');
    };
    ASSERT_EQ(labels(), "1. 2. 3.");
    const int indent = edit.ParagraphAttributes().FirstIndent();
    edit.view().setSel({second.position(), second.position()});
    QTest::keyClick(edit.widget(), Qt::Key_Tab);
    EXPECT_EQ(labels(), "1. 1. 2.");
    EXPECT_EQ(listLevelOf(second), 1);
    EXPECT_EQ(edit.ParagraphAttributes().FirstIndent(), indent + 18) << "a level further in";
    EXPECT_EQ(second.text(), "two") << "no tab typed";
    QTest::keyClick(edit.widget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(labels(), "1. 2. 3.");
    QTest::keyClick(edit.widget(), Qt::Key_Tab);
    QTest::keyClick(edit.widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(labels(), "1. 2. 3.");
    EXPECT_EQ(edit.ParagraphAttributes().FirstIndent(), indent);
    // Elsewhere in the item Tab types a tab.
    edit.view().setSel({second.position() + 1, second.position() + 1});
    QTest::keyClick(edit.widget(), Qt::Key_Tab);
    EXPECT_EQ(second.text(), "t\two");
}

TEST_F(Edit, IndentsPlaceTheFirstAndFollowingLinesOfAWrappedParagraph)
{
    edit.resize(300, 300);
    edit.setText(QString("word ").repeated(60));
    edit.ParagraphAttributes().setFirstIndent(30);
    edit.ParagraphAttributes().setOffset(15);
    EXPECT_EQ(edit.ParagraphAttributes().FirstIndent(), 30);
    EXPECT_EQ(edit.ParagraphAttributes().Offset(), 15);
    ASSERT_GT(edit.Lines().LineCount(), 2);
    const QTextBlock block = edit.view().document()->begin();
    const QTextLayout* layout = block.layout();
    ASSERT_GE(layout->lineCount(), 2);
    const double pxPerPoint = 96.0 / 72.0;
    const QRectF blockRect = edit.view().document()->documentLayout()->blockBoundingRect(block);
    const double docMargin = edit.view().document()->documentMargin();
    EXPECT_NEAR(layout->lineAt(0).x() + blockRect.x() - docMargin, 30 * pxPerPoint, 1.5);
    EXPECT_NEAR(layout->lineAt(1).x() + blockRect.x() - docMargin, 45 * pxPerPoint, 1.5);
}

TEST_F(Edit, AttributeWritesOnAnEmptyRangeOrPastTheEndDoNotCrash)
{
    edit.setSelectionStart(1000);
    edit.SelectionAttributes().setStyle(fs::Bold);
    edit.ParagraphAttributes().setFirstIndent(-100000000);
    edit.ParagraphAttributes().setNumbering(70000);
    EXPECT_EQ(edit.SelectionStart(), 0);
}
