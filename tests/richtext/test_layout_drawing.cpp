// What the paragraph layout draws: list markers, pictures, the selection and the caret, a
// selected paragraph break, justified lines and page breaks, also scrolled far into a document.
#include "LayoutTest.h"
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"
#include "richtext/formats/rtf/Picture.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTextList>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {

bool anyInk(const QImage& image, QRect area)
{
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}

} // namespace

TEST_F(Layout, ListParagraphsDrawTheirMarkersLeftOfTheText)
{
    edit.setText("bullet one\r\nbullet two\r\nplain\r\nnumber");
    edit.view().setSel({0, 12});
    edit.ParagraphAttributes().setNumbering(1);
    edit.ParagraphAttributes().setFirstIndent(10);
    edit.ParagraphAttributes().setOffset(20);
    const QTextBlock last = doc()->lastBlock();
    edit.view().setSel({last.position(), last.position()});
    edit.ParagraphAttributes().setNumbering(2);
    edit.ParagraphAttributes().setFirstIndent(10);
    edit.ParagraphAttributes().setOffset(20);
    ASSERT_NE(doc()->begin().textList(), nullptr);
    ASSERT_EQ(doc()->findBlockByNumber(2).textList(), nullptr);
    QAbstractTextDocumentLayout* lay = doc()->documentLayout();
    const QImage image = drawn(QSize(400, 200));
    auto markerArea = [&](const QTextBlock& b) {
        const QRectF r = lay->blockBoundingRect(b);
        const QTextLine first = b.layout()->lineAt(0);
        return QRectF(r.left(), r.top() + first.y(), first.x() - 1, first.height()).toAlignedRect();
    };
    EXPECT_TRUE(anyInk(image, markerArea(doc()->begin()))) << "the bullet";
    EXPECT_TRUE(anyInk(image, markerArea(doc()->begin().next())));
    EXPECT_TRUE(anyInk(image, markerArea(last))) << "the number";
    // The plain paragraph has nothing left of its text, and its text is drawn.
    const QTextBlock plain = doc()->findBlockByNumber(2);
    const QRectF pr = lay->blockBoundingRect(plain);
    EXPECT_FALSE(anyInk(image, QRectF(0, pr.top(), pr.left() + plain.layout()->lineAt(0).x() - 1, pr.height()).toAlignedRect()));
    EXPECT_TRUE(anyInk(image, pr.toAlignedRect()));
    // A number with no indent before the text: the first line's text makes room for it.
    edit.ParagraphAttributes().setFirstIndent(0);
    edit.ParagraphAttributes().setOffset(0);
    EXPECT_TRUE(anyInk(drawn(QSize(400, 200)), markerArea(last))) << "the number, with no hanging indent";
}

TEST_F(Layout, PicturesTakeTheirSizeInTheLineAndAreDrawn)
{
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    edit.setText("ab");
    QTextCursor c(doc());
    c.setPosition(1);
    insertPicture(c, pictureFromImage(red));
    QAbstractTextDocumentLayout* lay = doc()->documentLayout();
    const QTextBlock block = doc()->begin();
    const QRectF br = lay->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineAt(0);
    const qreal w = line.cursorToX(2) - line.cursorToX(1);
    EXPECT_NEAR(w, 40, 0.5) << "the picture is as wide as its image";
    EXPECT_GE(line.height(), 30);
    EXPECT_GE(br.height(), 30);
    const QImage image = drawn(QSize(400, 200));
    const QPoint inside = (br.topLeft() + QPointF(line.cursorToX(1) + 20, line.y() + line.ascent() - 15)).toPoint();
    EXPECT_EQ(image.pixel(inside), qRgb(255, 0, 0));
}

TEST_F(Layout, TheSelectionAndTheCaretAreDrawn)
{
    edit.setText("selected text");
    QAbstractTextDocumentLayout* lay = doc()->documentLayout();
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, Qt::black);
    QAbstractTextDocumentLayout::Selection sel;
    sel.cursor = QTextCursor(doc());
    sel.cursor.setPosition(0);
    sel.cursor.setPosition(8, QTextCursor::KeepAnchor);
    sel.format.setBackground(QColor(0, 0, 255));
    sel.format.setForeground(Qt::white);
    ctx.selections.append(sel);
    ctx.cursorPosition = 13;
    QImage image(400, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        lay->draw(&p, ctx);
    }
    const QRectF br = lay->blockBoundingRect(doc()->begin());
    const QTextLine line = doc()->begin().layout()->lineAt(0);
    const QPoint inSelection = (br.topLeft() + QPointF(line.cursorToX(4) + 0.5, line.y() + 1)).toPoint();
    EXPECT_EQ(image.pixel(inSelection), qRgb(0, 0, 255));
    const QPoint atCaret = (br.topLeft() + QPointF(line.cursorToX(13), line.y() + line.height() / 2)).toPoint();
    EXPECT_TRUE(anyInk(image, QRect(atCaret - QPoint(1, 0), QSize(3, 1)))) << "the caret";
}

TEST_F(Layout, ASelectedParagraphBreakShows)
{
    edit.setText("ab\r\ncd");
    QAbstractTextDocumentLayout* lay = doc()->documentLayout();
    QAbstractTextDocumentLayout::PaintContext ctx;
    QAbstractTextDocumentLayout::Selection sel;
    sel.cursor = QTextCursor(doc());
    sel.cursor.setPosition(1);
    sel.cursor.setPosition(4, QTextCursor::KeepAnchor);
    sel.format.setBackground(QColor(0, 0, 255));
    ctx.selections.append(sel);
    QImage image(300, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        lay->draw(&p, ctx);
    }
    const QTextBlock first = doc()->begin();
    const QRectF br = lay->blockBoundingRect(first);
    const QTextLine line = first.layout()->lineAt(0);
    const QPoint afterText = (br.topLeft() + QPointF(line.cursorToX(2) + 1.5, line.y() + line.height() / 2)).toPoint();
    EXPECT_EQ(image.pixel(afterText), qRgb(0, 0, 255)) << "the selected break";
    const QPoint farRight = (br.topLeft() + QPointF(line.cursorToX(2) + 60, line.y() + line.height() / 2)).toPoint();
    EXPECT_EQ(image.pixel(farRight), qRgb(255, 255, 255));
}

TEST_F(Layout, ScrolledIntoTheMiddleOfALargeDocumentTheViewDrawsAndHitsText)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int i = 0; i < 3000; ++i)
        rtf += QByteArray("odsek ") + QByteArray::number(i) + " a niekoko slov v om, aby sa zalamoval na viac riadkov\\par\n";
    rtf += "}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    QScrollBar* bar = edit.widget()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 10000) << "the estimated heights give the document its length";
    bar->setValue(bar->maximum() / 2);
    QCoreApplication::processEvents();
    EXPECT_LT(layout()->laidOutCount(), 1000) << "only what is shown is laid out";
    const QImage shot = edit.widget()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    bool ink = false;
    for (int y = 0; y < shot.height() && !ink; ++y)
        for (int x = 0; x < shot.width() && !ink; ++x)
            ink = qGray(shot.pixel(x, y)) < 128;
    EXPECT_TRUE(ink) << "text is drawn where the view looks";
    const QPoint middle(40, edit.widget()->viewport()->height() / 2);
    const int pos = edit.widget()->cursorForPosition(middle).position();
    EXPECT_GT(pos, 1000);
    QTextCursor c(doc());
    c.setPosition(pos);
    EXPECT_EQ(edit.widget()->cursorForPosition(edit.widget()->cursorRect(c).center()).position(), pos);
}

TEST_F(Layout, JustifiedLinesReachTheRightEdgeExceptTheLast)
{
    edit.setText(QString("slovo a dlhšie slovo ").repeated(12));
    edit.ParagraphAttributes().setAlignment(ParaAlignment::Justify);
    const QTextBlock block = doc()->begin();
    doc()->documentLayout()->blockBoundingRect(block);
    const QTextLayout* tl = block.layout();
    ASSERT_GE(tl->lineCount(), 3);
    const qreal available = doc()->textWidth() - 2 * doc()->documentMargin();
    for (int i = 0; i + 1 < tl->lineCount(); ++i) {
        const QTextLine line = tl->lineAt(i);
        // The last visible character of a full line ends at the right edge.
        int end = line.textStart() + line.textLength();
        while (end > line.textStart() && block.text()[end - 1].isSpace())
            --end;
        EXPECT_NEAR(line.cursorToX(end), available, 1.5) << "line " << i;
    }
    const QTextLine last = tl->lineAt(tl->lineCount() - 1);
    EXPECT_LT(last.cursorToX(last.textStart() + last.textLength()), available - 10) << "the last line stays short";
}

TEST_F(Layout, TheViewDrawsItsCaretWhenFocused)
{
    edit.setText("abc");
    QApplication::setActiveWindow(&edit);
    edit.widget()->setFocus();
    QCoreApplication::processEvents();
    if (!edit.widget()->hasFocus())
        GTEST_SKIP() << "the platform gives no focus";
    edit.view().setSel({3, 3});
    const QRect caret = edit.widget()->cursorRect();
    auto inkAtCaret = [&] {
        const QImage shot = edit.widget()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int dark = 0;
        for (int y = caret.top() + 2; y < caret.bottom() - 1; ++y)
            for (int x = caret.left(); x < caret.left() + 2; ++x)
                dark += qGray(shot.pixel(x, y)) < 128;
        return dark;
    };
    const int focused = inkAtCaret();
    edit.widget()->clearFocus();
    QCoreApplication::processEvents();
    EXPECT_GT(focused, caret.height() / 2) << "a caret line right of the text";
    EXPECT_LT(inkAtCaret(), focused) << "without focus, no caret";
}
TEST_F(Layout, APageBreakShowsAsADottedLineAcrossThePage)
{
    QByteArray rtf = "{\\rtf1\\ansi a\\par\\page b\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    QCoreApplication::processEvents();
    const QImage shot = edit.widget()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRectF b = layout()->blockBoundingRect(doc()->begin().next());
    // Far right of the short text, on the paragraph's top edge: dots and gaps.
    int ink = 0;
    const int y = int(b.top());
    for (int x = shot.width() / 2; x < shot.width() - 20; ++x)
        ink += qGray(shot.pixel(x, y)) < 128;
    EXPECT_GT(ink, (shot.width() / 2 - 20) / 4);
    EXPECT_LT(ink, (shot.width() / 2 - 20) * 3 / 4);
}
