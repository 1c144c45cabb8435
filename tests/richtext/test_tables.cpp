// Tables in the layout: cells side by side at their widths, rows as tall as their tallest
// cell, the caret and keys in cells, lines through rows.
#include "LayoutTest.h"
#include "TableTest.h"
#include "richtext/document/DocFormats.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {

struct Tables : Layout {
    QTextTable* table = nullptr;
    // "pred" above, a table of rows × three cells 1500 twips (100 pixels) wide, "po" below.
    void build(int rows)
    {
        QTextCursor c(doc());
        c.insertText(QStringLiteral("pred"));
        table = insertTable(c, rows, {1500, 1500, 1500});
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("po"));
    }
    // Cell (1, 1) shaded, with a stated border on its left only.
    void shadeAndBorder()
    {
        QTextCharFormat f = table->cellAt(1, 1).format();
        f.setBackground(QColor(255, 230, 180));
        f.setProperty(tableprop::BorderTwips, QVariant::fromValue(QList<int>{30, 0, 0, 0}));
        table->cellAt(1, 1).setFormat(f);
    }
    QRectF rectOf(int pos) { return layout()->blockBoundingRect(doc()->findBlock(pos)); }
    QRectF cellRect(int r, int c) { return rectOf(table->cellAt(r, c).firstPosition()); }
};

} // namespace

TEST_F(Tables, CellsStandSideBySideAndARowIsAsTallAsItsTallestCell)
{
    build(2);
    const qreal m = doc()->documentMargin();
    const qreal gap = 60 / 15.0;
    for (int c = 0; c < 3; ++c) {
        EXPECT_DOUBLE_EQ(cellRect(0, c).left(), m + 100 * c + gap) << c;
        EXPECT_DOUBLE_EQ(cellRect(0, c).top(), cellRect(0, 0).top()) << c;
        EXPECT_DOUBLE_EQ(cellRect(0, c).width(), 100 - 2 * gap) << c;
    }
    EXPECT_DOUBLE_EQ(cellRect(0, 0).top(), rectOf(0).bottom()) << "the table follows the paragraph above";
    // A long text wraps in its cell and makes its row taller; the other cells stay one line.
    const qreal oneLine = cellRect(1, 0).top() - cellRect(0, 0).top();
    QTextCursor c = table->cellAt(0, 1).lastCursorPosition();
    c.insertText(QStringLiteral(" slovo").repeated(12));
    const int lines = doc()->findBlock(c.position()).layout()->lineCount();
    EXPECT_GT(lines, 2);
    EXPECT_EQ(doc()->findBlock(table->cellAt(0, 0).firstPosition()).layout()->lineCount(), 1);
    EXPECT_NEAR(cellRect(1, 0).top() - cellRect(0, 0).top(), oneLine * lines, 1);
    EXPECT_DOUBLE_EQ(rectOf(table->lastPosition() + 1).top(), cellRect(1, 2).bottom()) << "below the last row";
}

TEST_F(Tables, ARowCountsTheLinesOfItsCellWithTheMost)
{
    build(2);
    QTextCursor c = table->cellAt(0, 1).lastCursorPosition();
    c.insertText(QStringLiteral(" slovo").repeated(12));
    const QTextBlock wrapped = doc()->findBlock(c.position());
    const int rowLines = wrapped.layout()->lineCount();
    ParagraphLayout* lay = layout();
    // "pred", the first row's lines, the second row's one, "po".
    EXPECT_EQ(lay->lineCount(), 1 + rowLines + 1 + 1);
    const int lastLineStart = wrapped.position() + wrapped.layout()->lineAt(rowLines - 1).textStart();
    EXPECT_EQ(lay->lineOf(lastLineStart), rowLines);
    EXPECT_EQ(lay->placeAsShown(lastLineStart + 2), QPoint(2, rowLines));
    EXPECT_EQ(lay->lineOf(table->cellAt(0, 2).firstPosition()), 1) << "cells of a row share its first line";
    EXPECT_EQ(lay->lineOf(table->cellAt(1, 2).firstPosition() + 1), 1 + rowLines);
    // A line of the row starts in the first cell that has it, from the left.
    EXPECT_EQ(lay->lineStart(1), table->cellAt(0, 0).firstPosition());
    EXPECT_EQ(lay->lineStart(rowLines), lastLineStart);
    EXPECT_EQ(lay->lineStart(1 + rowLines), table->cellAt(1, 0).firstPosition());
    EXPECT_EQ(lay->lineStart(2 + rowLines), table->lastPosition() + 1);
}

namespace {
int countPixels(const QImage& image, QRgb colour, QRect area = {})
{
    area = area.isNull() ? image.rect() : area;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}
} // namespace

TEST_F(Tables, ShadingAndBordersAsStatedGuideLinesOnScreenOnly)
{
    build(2);
    shadeAndBorder();
    const QRectF shaded = cellRect(1, 1);
    const QImage screen = drawn(QSize(400, 200));
    EXPECT_EQ(screen.pixel(int(shaded.right()) - 2, int(shaded.center().y())), qRgb(255, 230, 180));
    // The stated border: two pixels of black on the cell's left edge.
    const int edge = int(shaded.left() - 60 / 15.0);
    EXPECT_EQ(screen.pixel(edge, int(shaded.center().y())), qRgb(0, 0, 0));
    // Guide lines round the cells with no border, as along the table's right edge.
    const int right = int(doc()->documentMargin()) + 300;
    EXPECT_GT(countPixels(screen, qRgb(200, 200, 200), QRect(right - 1, 0, 3, 200)), 20);

    QImage paper(400, 200, QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter p(&paper);
        EXPECT_EQ(layout()->layoutPage(&p, QRectF(paper.rect()), 96, 96, 0), doc()->characterCount() - 1);
    }
    EXPECT_EQ(countPixels(paper, qRgb(200, 200, 200), QRect(299, 0, 3, 200)), 0) << "no guide lines on paper";
    EXPECT_GT(countPixels(paper, qRgb(255, 230, 180)), 100);
    EXPECT_GT(countPixels(paper, qRgb(0, 0, 0)), 20);
}

TEST_F(Tables, BordersShowInTheirColoursGuideLinesGiveWayToThemAndPaddingMovesTheText)
{
    build(2);
    // Cell (0, 1): a 0.5 pt red border on its left, where cell (0, 0) has none; cell (0, 0): a
    // blue one along its bottom, where cell (1, 0) has none. Cell (1, 1): padding left and top.
    auto restate = [&](int r, int c, auto change) {
        QTextCharFormat f = table->cellAt(r, c).format();
        change(f);
        table->cellAt(r, c).setFormat(f);
    };
    restate(0, 1, [](QTextCharFormat& f) {
        f.setProperty(tableprop::BorderTwips, QVariant::fromValue(QList<int>{10, 0, 0, 0}));
        f.setProperty(QTextFormat::TableCellLeftBorderBrush, QBrush(QColor(255, 0, 0)));
    });
    restate(0, 0, [](QTextCharFormat& f) {
        f.setProperty(tableprop::BorderTwips, QVariant::fromValue(QList<int>{0, 0, 0, 10}));
        f.setProperty(QTextFormat::TableCellBottomBorderBrush, QBrush(QColor(0, 0, 255)));
    });
    const qreal rowTop = cellRect(1, 0).top();
    restate(1, 1, [](QTextCharFormat& f) { f.setProperty(tableprop::PaddingTwips, QVariant::fromValue(QList<int>{300, 150, -1, -1})); });
    const int m = int(doc()->documentMargin());
    EXPECT_DOUBLE_EQ(cellRect(1, 1).left(), m + 100 + 20);
    EXPECT_DOUBLE_EQ(cellRect(1, 1).width(), 100 - 20 - 60 / 15.0) << "the right side keeps the row's gap";
    EXPECT_DOUBLE_EQ(cellRect(1, 1).top(), rowTop + 10);
    EXPECT_DOUBLE_EQ(cellRect(1, 0).top(), rowTop);

    const QImage screen = drawn(QSize(400, 200));
    const QRgb guide = qRgb(200, 200, 200);
    const QRectF first = cellRect(0, 0);
    const QRect vertical(m + 98, int(first.top()) + 2, 5, int(first.height()) - 4);
    EXPECT_GT(countPixels(screen, qRgb(255, 0, 0), vertical), 5);
    EXPECT_EQ(countPixels(screen, guide, vertical), 0);
    const QRect horizontal(m + 2, int(rowTop) - 2, 96, 5);
    EXPECT_GT(countPixels(screen, qRgb(0, 0, 255), horizontal), 50);
    EXPECT_EQ(countPixels(screen, guide, horizontal), 0);
    EXPECT_GT(countPixels(screen, guide, horizontal.translated(200, 0)), 50) << "guide lines where no border is";
}

TEST_F(Tables, ATableWiderThanTheViewScrollsSideways)
{
    // 600 pixels of table in a view 400 wide: the horizontal scroll bar reaches its right edge.
    QTextCursor c(doc());
    c.insertText(QStringLiteral("slovo ").repeated(100));
    QApplication::processEvents();
    QScrollBar* bar = edit.widget()->horizontalScrollBar();
    EXPECT_FALSE(bar->isVisible()) << "wrapped text alone";
    table = insertTable(c, 2, {3000, 3000, 3000});
    QApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_GE(bar->maximum() + edit.widget()->viewport()->width(), int(doc()->documentMargin()) + 600);
    edit.view().setSel({table->cellAt(1, 2).lastPosition(), table->cellAt(1, 2).lastPosition()});
    edit.view().scrollCaret();
    EXPECT_GT(bar->value(), 0) << "the caret in the last cell is shown";
    table->removeRows(0, 2);
    QApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
}

namespace {

struct TableKeys : Tables {
    QWidget* keys() { return edit.widget(); }
    QString textOf(int r, int c)
    {
        QTextCursor cursor = table->cellAt(r, c).firstCursorPosition();
        cursor.setPosition(table->cellAt(r, c).lastPosition(), QTextCursor::KeepAnchor);
        return cursor.selectedText();
    }
    void caretAt(int pos) { edit.view().setSel({pos, pos}); }
    int caret() { return edit.view().caret(); }
    void type(const QString& text) { QTest::keyClicks(keys(), text); }
};

} // namespace

TEST_F(TableKeys, TheMouseAndTheArrowsTakeTheCaretIntoCellsWhereTypingStays)
{
    build(2);
    const QRectF target = cellRect(1, 1);
    QTest::mouseClick(edit.widget()->viewport(), Qt::LeftButton, {}, QPoint(int(target.left()) + 1, int(target.center().y())));
    EXPECT_EQ(caret(), table->cellAt(1, 1).firstPosition());
    type(QStringLiteral("ab"));
    EXPECT_EQ(textOf(1, 1), QStringLiteral("ab") + cellText(1, 1));
    EXPECT_EQ(textOf(1, 0), cellText(1, 0));
    EXPECT_EQ(textOf(1, 2), cellText(1, 2));
    caretAt(table->cellAt(0, 0).lastPosition());
    QTest::keyClick(keys(), Qt::Key_Right);
    EXPECT_EQ(caret(), table->cellAt(0, 1).firstPosition());
    QTest::keyClick(keys(), Qt::Key_Down);
    EXPECT_EQ(table->cellAt(caret()).row(), 1);
    EXPECT_EQ(table->cellAt(caret()).column(), 1);
    QTest::keyClick(keys(), Qt::Key_Down);
    EXPECT_EQ(caret(), table->lastPosition() + 1) << "down from the last row: the paragraph below";
    // The caret panel's line and column through the table.
    caretAt(table->cellAt(1, 2).firstPosition() + 2);
    EXPECT_EQ(layout()->placeAsShown(caret()), QPoint(2, 2));
}

TEST_F(TableKeys, TabMovesBetweenCellsAndInTheLastCellAddsARowLikeTheOneAbove)
{
    build(2);
    caretAt(1);
    QTest::keyClick(keys(), Qt::Key_Tab);
    EXPECT_TRUE(edit.Text().startsWith(QStringLiteral("p\tred"))) << "outside a table Tab types a tab";
    caretAt(table->cellAt(0, 2).firstPosition() + 1);
    QTest::keyClick(keys(), Qt::Key_Tab);
    EXPECT_EQ(caret(), table->cellAt(1, 0).firstPosition()) << "from a row's last cell to the next row";
    QTest::keyClick(keys(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(caret(), table->cellAt(0, 2).firstPosition());
    const QString before = edit.Text();
    caretAt(table->cellAt(1, 2).firstPosition());
    QTest::keyClick(keys(), Qt::Key_Tab);
    ASSERT_EQ(table->rows(), 3);
    EXPECT_EQ(caret(), table->cellAt(2, 0).firstPosition());
    EXPECT_EQ(table->cellAt(2, 2).format().intProperty(tableprop::CellRightTwips), 4500);
    EXPECT_DOUBLE_EQ(cellRect(2, 1).left(), cellRect(1, 1).left());
    type(QStringLiteral("riadok"));
    EXPECT_EQ(textOf(2, 0), QStringLiteral("riadok"));
    QTest::keyClick(keys(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(keys(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table->rows(), 2) << "the new row is one undo step";
    EXPECT_EQ(edit.Text(), before);
}

TEST_F(TableKeys, ARowAddedByTabTypesInTheFacesSizesAndAlignmentOfTheRowAbove)
{
    build(2);
    for (int c = 0; c < 3; ++c) {
        QTextCursor cell = table->cellAt(1, c).firstCursorPosition();
        cell.setPosition(table->cellAt(1, c).lastPosition(), QTextCursor::KeepAnchor);
        CharFormat rec;
        rec.mask = cfm::Face | cfm::Size;
        rec.faceName = c == 1 ? QStringLiteral("Courier New") : QStringLiteral("Verdana");
        rec.height = 180 + 40 * c;
        QTextCharFormat f;
        applyCharFormat(f, rec);
        cell.mergeCharFormat(f);
        ParaFormat para;
        para.mask = pfm::Alignment;
        para.alignment = c == 2 ? pfa::Right : pfa::Center;
        applyParaFormat(cell, para);
    }
    caretAt(table->cellAt(1, 2).lastPosition());
    QTest::keyClick(keys(), Qt::Key_Tab);
    ASSERT_EQ(table->rows(), 3);
    for (int c = 0; c < 3; ++c) {
        caretAt(table->cellAt(2, c).firstPosition());
        type(QStringLiteral("nove"));
        QTextCursor at(doc());
        at.setPosition(caret());
        const CharFormat typed = readCharFormat(at.charFormat(), doc()->defaultFont());
        EXPECT_EQ(typed.faceName, c == 1 ? QStringLiteral("Courier New") : QStringLiteral("Verdana")) << c;
        EXPECT_EQ(typed.height, 180 + 40 * c) << c;
        EXPECT_EQ(readParaFormat(doc()->findBlock(caret())).alignment, c == 2 ? pfa::Right : pfa::Center) << c;
        EXPECT_EQ(table->cellAt(2, c).format().intProperty(tableprop::CellRightTwips), 1500 * (c + 1)) << c;
    }
}

TEST_F(TableKeys, DeletingAtACellsEdgesKeepsTheCells)
{
    build(2);
    const QString before = edit.Text();
    caretAt(table->cellAt(0, 1).firstPosition());
    QTest::keyClick(keys(), Qt::Key_Backspace);
    QTest::keyClick(keys(), Qt::Key_Backspace, Qt::ControlModifier);
    caretAt(table->cellAt(0, 1).lastPosition());
    QTest::keyClick(keys(), Qt::Key_Delete);
    QTest::keyClick(keys(), Qt::Key_Delete, Qt::ControlModifier);
    caretAt(table->lastPosition() + 1);
    QTest::keyClick(keys(), Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), before);
    EXPECT_EQ(table->rows(), 2);
    // A word is deleted up to the cell's start, not into the cell before.
    caretAt(table->cellAt(0, 1).lastPosition());
    QTest::keyClick(keys(), Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(textOf(0, 1), QString());
    EXPECT_EQ(textOf(0, 0), cellText(0, 0));
    QTest::keyClick(keys(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), before);
}

TEST_F(TableKeys, DeletingASelectionOfWholeRowsRemovesThemAndUndoBringsThemBack)
{
    build(3);
    const QString before = edit.Text();
    // Rows 1 and 2 selected from the first cell's start to the last cell's end.
    edit.view().setSel({table->cellAt(1, 0).firstPosition(), table->cellAt(2, 2).lastPosition()});
    ASSERT_TRUE(edit.widget()->textCursor().hasComplexSelection());
    QTest::keyClick(keys(), Qt::Key_Delete);
    ASSERT_EQ(table->rows(), 1);
    EXPECT_EQ(textOf(0, 2), cellText(0, 2));
    EXPECT_EQ(rectOf(table->lastPosition() + 1).top(), cellRect(0, 0).bottom());
    QTest::keyClick(keys(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(edit.Text(), before);
    // Cells of part of a row are emptied, as Qt does, and the rows stay.
    edit.view().setSel({table->cellAt(0, 0).firstPosition(), table->cellAt(1, 1).lastPosition()});
    QTest::keyClick(keys(), Qt::Key_Backspace);
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(textOf(1, 1), QString());
    EXPECT_EQ(textOf(1, 2), cellText(1, 2));
}

TEST_F(Tables, ATableInACellShowsAsATableThereAndMergedCellsInTheirCell)
{
    build(3);
    table->mergeCells(1, 0, 2, 1); // cell (1, 0) reaches down over (2, 0)
    table->mergeCells(0, 1, 1, 2); // cell (0, 1) reaches over (0, 2)
    QTextCursor at = table->cellAt(2, 2).firstCursorPosition();
    QTextTable* nested = insertTable(at, 2, {600, 600}, 0, 30); // cells of 40 pixels, text 2 in
    QTextCharFormat shaded = nested->cellAt(1, 1).format();
    shaded.setBackground(QColor(255, 230, 180));
    nested->cellAt(1, 1).setFormat(shaded);
    const auto innerRect = [&](int r, int c) { return rectOf(nested->cellAt(r, c).firstPosition()); };
    // Its cells side by side from the outer cell's text on, its rows one below the other, the
    // outer row below them all.
    const QRectF outer = cellRect(2, 2);
    EXPECT_DOUBLE_EQ(innerRect(0, 0).left(), outer.left() + 2);
    EXPECT_DOUBLE_EQ(innerRect(1, 1).left(), outer.left() + 40 + 2);
    EXPECT_DOUBLE_EQ(innerRect(0, 1).top(), innerRect(0, 0).top());
    EXPECT_NEAR(innerRect(1, 1).top(), innerRect(0, 1).bottom(), 0.5);
    EXPECT_GT(rectOf(table->lastPosition() + 1).top(), innerRect(1, 1).bottom() - 0.5);
    EXPECT_EQ(cellRect(0, 1).width(), 2 * 100 - 2 * 60 / 15.0) << "a cell over two columns is as wide as both";
    // Hit, lines and a printed page find their way through both.
    const QRectF in = innerRect(1, 1);
    const int hit = layout()->hitTest(in.center(), Qt::FuzzyHit);
    EXPECT_EQ(doc()->findBlock(hit).blockNumber(), doc()->findBlock(nested->cellAt(1, 1).firstPosition()).blockNumber());
    // Above it in its cell: the empty paragraph Qt leaves before a table and three inner cells.
    EXPECT_EQ(layout()->lineOf(nested->cellAt(1, 1).firstPosition()), layout()->lineOf(table->cellAt(2, 1).firstPosition()) + 4);
    const QImage screen = drawn(QSize(400, 200));
    EXPECT_EQ(screen.pixel(int(in.right()) - 1, int(in.center().y())), qRgb(255, 230, 180));
    QImage paper(400, 400, QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter p(&paper);
        EXPECT_EQ(layout()->layoutPage(&p, QRectF(paper.rect()), 96, 96, 0), doc()->characterCount() - 1);
    }
    EXPECT_GT(countPixels(paper, qRgb(255, 230, 180)), 100) << "the inner cell's shading prints";
}

TEST_F(Tables, CellsTheDocumentMergesShowAsOne)
{
    build(2);
    auto mark = [&](int r, int c, int property, tableprop::Merge merge) {
        QTextCharFormat f = table->cellAt(r, c).format();
        f.setProperty(property, int(merge));
        table->cellAt(r, c).setFormat(f);
    };
    mark(0, 0, tableprop::MergeHorizontal, tableprop::Merge::First);
    mark(0, 1, tableprop::MergeHorizontal, tableprop::Merge::Continued);
    mark(0, 2, tableprop::MergeVertical, tableprop::Merge::First);
    mark(1, 2, tableprop::MergeVertical, tableprop::Merge::Continued);
    EXPECT_DOUBLE_EQ(cellRect(0, 0).width(), 200 - 2 * 60 / 15.0) << "the first cell spans the one merged into it";
    EXPECT_DOUBLE_EQ(cellRect(1, 0).width(), 100 - 2 * 60 / 15.0);
    const QImage screen = drawn(QSize(400, 200));
    const QRgb guide = qRgb(200, 200, 200);
    const int between = int(cellRect(1, 0).top());
    const int m = int(doc()->documentMargin());
    auto guideAt = [&](int x, int y) { return countPixels(screen, guide, QRect(x, y - 1, 1, 3)) > 0; };
    EXPECT_TRUE(guideAt(m + 50, between)) << "rows of unmerged cells are ruled";
    EXPECT_FALSE(guideAt(m + 250, between)) << "no rule between cells merged down";
    EXPECT_FALSE(guideAt(m + 100, int(cellRect(0, 0).center().y()))) << "no rule between cells merged across";
    EXPECT_TRUE(guideAt(m + 100, int(cellRect(1, 0).center().y())));
}
