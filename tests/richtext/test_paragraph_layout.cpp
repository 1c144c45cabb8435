// The paragraph layout: places that stay the sum of the heights above through edits, hit
// tests that find the characters the caret rectangles show, wrapped lines, spacing and hidden
// text. What it draws: test_layout_drawing.cpp.
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

// Every paragraph stands right below the one before it, at the document margin, and the
// document is as tall as its paragraphs.
void expectStacked(QTextDocument* doc, const char* when)
{
    QAbstractTextDocumentLayout* lay = doc->documentLayout();
    lay->blockBoundingRect(doc->lastBlock()); // everything laid out
    const qreal m = doc->documentMargin();
    qreal y = m;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QRectF r = lay->blockBoundingRect(b);
        ASSERT_DOUBLE_EQ(r.top(), y) << when << " block " << b.blockNumber();
        ASSERT_DOUBLE_EQ(r.left(), m) << when;
        ASSERT_GT(r.height(), 0) << when;
        ASSERT_GT(b.layout()->lineCount(), 0) << when;
        // The height is the paragraph's own lines, not an estimate.
        const QTextLine last = b.layout()->lineAt(b.layout()->lineCount() - 1);
        ASSERT_NEAR(r.height(), last.y() + last.height(), 0.01) << when << " block " << b.blockNumber();
        y += r.height();
    }
    EXPECT_DOUBLE_EQ(lay->documentSize().height(), y + m) << when;
}

QString words(QRandomGenerator& rng, int count)
{
    static const char* const pool[] = {"slovo ", "dlhšie ", "a ", "najdlhšieslovo ", "riadok ", "x "};
    QString out;
    for (int i = 0; i < count; ++i)
        out += QString::fromUtf8(pool[rng.bounded(6)]);
    return out;
}

} // namespace

TEST_F(Layout, TheEngineShowsItsDocumentsThroughTheParagraphLayout)
{
    EXPECT_NE(layout(), nullptr);
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 one\\par two}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    EXPECT_NE(layout(), nullptr) << "a loaded document keeps the layout";
    EXPECT_EQ(edit.Lines().LineCount(), 2);
}

TEST_F(Layout, PlacesStayTheSumOfTheHeightsAboveThroughRandomEdits)
{
    QRandomGenerator rng(20261207);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += words(rng, int(rng.bounded(1, 40))) + "\r\n";
    edit.setText(text);
    expectStacked(doc(), "after the text is set");
    for (int step = 0; step < 150; ++step) {
        const int len = edit.TextLength();
        const int at = int(rng.bounded(len + 1));
        QTextCursor c(doc());
        c.setPosition(at);
        switch (rng.bounded(5)) {
        case 0: c.insertText(words(rng, int(rng.bounded(1, 30)))); break; // may wrap anew
        case 1: c.insertText(QStringLiteral("\u2029")); break;             // splits a paragraph
        case 2:                                                            // joins or cuts
            c.setPosition(std::min(len, at + int(rng.bounded(1, 80))), QTextCursor::KeepAnchor);
            c.removeSelectedText();
            break;
        case 3: c.insertText(words(rng, 3) + QStringLiteral("\u2029") + words(rng, 50) + QStringLiteral("\u2029")); break;
        default: {
            QTextCharFormat f;
            f.setFontPointSize(8 + rng.bounded(20));
            c.setPosition(std::min(len, at + 40), QTextCursor::KeepAnchor);
            c.mergeCharFormat(f); // taller or shorter lines, same text
        }
        }
        // Only some edits are checked all through, so that lazily laid out paragraphs are
        // edited too.
        if (step % 10 == 9)
            expectStacked(doc(), "after an edit");
        if (HasFatalFailure())
            return;
    }
    edit.Undo();
    expectStacked(doc(), "after an undo");
    edit.resize(250, 300);
    expectStacked(doc(), "at another width");
}

TEST_F(Layout, ALargeChangeIsLaidOutOnlyWhereItIsAsked)
{
    // Loaded, the document shows its start; nothing asks for the paragraphs below.
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int i = 0; i < 2000; ++i)
        rtf += QByteArray("paragraph ") + QByteArray::number(i) + " with some words in it\\par\n";
    rtf += "}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    ASSERT_EQ(doc()->blockCount(), 2000);
    ASSERT_NE(layout(), nullptr);
    EXPECT_LT(layout()->laidOutCount(), 1000);
    const QTextBlock middle = doc()->findBlockByNumber(1000);
    doc()->documentLayout()->blockBoundingRect(middle);
    // Asking for a paragraph lays it out at once; the ones above it settle on the event
    // loop, after which its place is exact.
    EXPECT_GT(middle.layout()->lineCount(), 0);
    EXPECT_LT(layout()->laidOutCount(), 1000);
    ASSERT_TRUE(settle());
    EXPECT_GE(layout()->laidOutCount(), 1001);
    for (QTextBlock b = doc()->begin(); b.blockNumber() <= 1000; b = b.next())
        ASSERT_GT(b.layout()->lineCount(), 0) << b.blockNumber();
    const int laid = layout()->laidOutCount();
    EXPECT_LT(laid, 1500);
    // Ten paragraphs removed above: the paragraphs laid out move up by ten, and asking for
    // one just below them lays it out.
    QTextCursor c(doc());
    c.setPosition(doc()->findBlockByNumber(100).position());
    c.setPosition(doc()->findBlockByNumber(110).position(), QTextCursor::KeepAnchor);
    c.removeSelectedText();
    ASSERT_EQ(doc()->blockCount(), 1990);
    EXPECT_EQ(layout()->laidOutCount(), laid - 10);
    auto expectLaidOutTo = [&](int last, const char* when) {
        QAbstractTextDocumentLayout* lay = doc()->documentLayout();
        lay->blockBoundingRect(doc()->findBlockByNumber(last));
        ASSERT_TRUE(settle()) << when;
        qreal y = doc()->documentMargin();
        for (QTextBlock b = doc()->begin(); b.blockNumber() <= last; b = b.next()) {
            ASSERT_GT(b.layout()->lineCount(), 0) << when << " " << b.blockNumber();
            const QRectF r = lay->blockBoundingRect(b);
            ASSERT_DOUBLE_EQ(r.top(), y) << when << " " << b.blockNumber();
            const QTextLine line = b.layout()->lineAt(b.layout()->lineCount() - 1);
            ASSERT_NEAR(r.height(), line.y() + line.height(), 0.01) << when << " " << b.blockNumber();
            y += r.height();
        }
    };
    expectLaidOutTo(995, "after a removal");
    // Paragraphs added above move the rest down.
    c.setPosition(doc()->findBlockByNumber(50).position());
    c.insertText(QStringLiteral("new\u2029new\u2029new\u2029"));
    expectLaidOutTo(1005, "after an insertion");
    expectStacked(doc(), "all laid out");
}

TEST_F(Layout, HitTestsFindTheCharactersTheCaretRectanglesShow)
{
    QRandomGenerator rng(7);
    QString text;
    for (int i = 0; i < 12; ++i)
        text += words(rng, int(rng.bounded(1, 30))) + "\r\n";
    edit.setText(text);
    edit.view().selectAll();
    edit.ParagraphAttributes().setAlignment(ParaAlignment::Center);
    edit.view().setSel({0, 0});
    QAbstractTextDocumentLayout* lay = doc()->documentLayout();
    lay->blockBoundingRect(doc()->lastBlock());
    int checked = 0;
    for (int pos = 0; pos < edit.TextLength(); ++pos) {
        const QTextBlock b = doc()->findBlock(pos);
        const QRectF br = lay->blockBoundingRect(b);
        const QTextLine line = b.layout()->lineForTextPosition(pos - b.position());
        ASSERT_TRUE(line.isValid());
        const int rel = pos - b.position();
        if (rel >= line.textStart() + line.textLength() - 1 && rel != b.length() - 1)
            continue; // the caret at a wrap stands at the next line's start as well
        const qreal x = br.left() + line.cursorToX(rel);
        const qreal y = br.top() + line.y() + line.height() / 2;
        EXPECT_EQ(lay->hitTest(QPointF(x + 0.4, y), Qt::FuzzyHit), pos) << pos;
        if (rel < b.length() - 1) {
            // On the character's left half, an exact hit names the character.
            const qreal next = br.left() + line.cursorToX(rel + 1);
            if (next > x + 1) {
                EXPECT_EQ(lay->hitTest(QPointF(x + 0.25 * (next - x), y), Qt::ExactHit), pos) << pos;
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 100);
    // Beyond the text: exact finds nothing, fuzzy the nearest place.
    EXPECT_EQ(lay->hitTest(QPointF(2, -50), Qt::ExactHit), -1);
    EXPECT_EQ(lay->hitTest(QPointF(2, -50), Qt::FuzzyHit), 0);
    const qreal below = lay->documentSize().height() + 100;
    EXPECT_EQ(lay->hitTest(QPointF(1000, below), Qt::ExactHit), -1);
    EXPECT_EQ(lay->hitTest(QPointF(1000, below), Qt::FuzzyHit), edit.TextLength());
    // Through the view: the point of the caret rectangle gives the caret's place back.
    QTextCursor c(doc());
    c.setPosition(37);
    const QRect r = edit.widget()->cursorRect(c);
    EXPECT_EQ(edit.widget()->cursorForPosition(r.center()).position(), 37);
}

TEST_F(Layout, AWrappedParagraphHasLinesBelowEachOtherWithinTheWidth)
{
    edit.setText(QString("slovo ").repeated(80));
    edit.ParagraphAttributes().setFirstIndent(20);
    edit.ParagraphAttributes().setOffset(10);
    const QTextBlock block = doc()->begin();
    const QRectF br = doc()->documentLayout()->blockBoundingRect(block);
    const QTextLayout* tl = block.layout();
    ASSERT_GE(tl->lineCount(), 3);
    EXPECT_GE(br.height(), tl->lineCount() * tl->lineAt(0).height());
    const qreal available = doc()->textWidth() - 2 * doc()->documentMargin();
    int covered = 0;
    for (int i = 0; i < tl->lineCount(); ++i) {
        const QTextLine line = tl->lineAt(i);
        EXPECT_EQ(line.textStart(), covered) << "lines follow each other";
        covered += line.textLength();
        EXPECT_LE(line.x() + line.naturalTextWidth(), available + 0.5) << i;
        if (i > 0) {
            EXPECT_DOUBLE_EQ(line.y(), tl->lineAt(i - 1).y() + tl->lineAt(i - 1).height());
            EXPECT_NEAR(line.x(), 30 * 96.0 / 72.0, 1.0) << "following lines at start + offset";
        }
    }
    EXPECT_NEAR(tl->lineAt(0).x(), 20 * 96.0 / 72.0, 1.0) << "first line at the start indent";
    EXPECT_EQ(covered, block.length() - 1);
    EXPECT_EQ(edit.Lines().LineCount(), tl->lineCount());
    // Narrower, the same paragraph takes more lines.
    const int before = tl->lineCount();
    edit.resize(250, 300);
    doc()->documentLayout()->blockBoundingRect(block);
    EXPECT_GT(block.layout()->lineCount(), before);
    EXPECT_EQ(edit.Lines().LineCount(), block.layout()->lineCount());
}

TEST_F(Layout, AWordLongerThanTheLineBreaksAtTheWidth)
{
    // Lines still break between words where they can; a word wider than the line fills
    // lines to the width.
    const QString word(3000, u'x');
    edit.setText(QStringLiteral("krátke ") + word + QStringLiteral(" koniec"));
    const QTextBlock block = doc()->begin();
    doc()->documentLayout()->blockBoundingRect(block);
    const QTextLayout* tl = block.layout();
    ASSERT_GE(tl->lineCount(), 10);
    EXPECT_EQ(tl->lineAt(0).textLength(), 7) << "the short word keeps its own line";
    const qreal available = doc()->textWidth() - 2 * doc()->documentMargin();
    for (int i = 0; i < tl->lineCount(); ++i)
        EXPECT_LE(tl->lineAt(i).naturalTextWidth(), available + 0.5) << i;
    EXPECT_EQ(edit.Lines().LineCount(), tl->lineCount());
}

TEST(LayoutHidden, AControlNobodySeesLaysNothingOutToLoad)
{
    // A conversion loads into a control that is never shown: one long paragraph must cost
    // its reading alone.
    RichEdit hidden;
    QByteArray bytes(200000, 'x');
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    hidden.LoadStream(buffer);
    const auto* laid = qobject_cast<ParagraphLayout*>(hidden.view().document()->documentLayout());
    ASSERT_NE(laid, nullptr);
    EXPECT_EQ(laid->laidOutCount(), 0);
    EXPECT_EQ(hidden.TextLength(), 200000);
}


TEST(HeightTreeSums, AgreeWithPlainSumsThroughSetsAndSplices)
{
    QRandomGenerator rng(99);
    std::vector<qreal> plain;
    // Enough values for many chunks, so that splices split, join and cut chunks anew.
    for (int i = 0; i < 3000; ++i)
        plain.push_back(rng.bounded(1, 40));
    HeightTree tree;
    tree.assign(plain);
    auto check = [&](const char* when) {
        ASSERT_EQ(tree.size(), int(plain.size())) << when;
        qreal sum = 0;
        for (int i = 0; i < int(plain.size()); ++i) {
            ASSERT_EQ(tree.before(i), sum) << when << " " << i;
            ASSERT_EQ(tree.find(sum), i) << when << " top of " << i;
            ASSERT_EQ(tree.find(sum + plain[size_t(i)] - 0.5), i) << when << " bottom of " << i;
            sum += plain[size_t(i)];
        }
        ASSERT_EQ(tree.total(), sum) << when;
        ASSERT_EQ(tree.find(-10), 0) << when;
        ASSERT_EQ(tree.find(sum + 10), int(plain.size()) - 1) << when;
    };
    check("built");
    for (int step = 0; step < 200; ++step) {
        const int at = int(rng.bounded(int(plain.size())));
        if (step % 3 == 0) {
            const qreal h = rng.bounded(1, 40);
            plain[size_t(at)] = h;
            tree.set(at, h);
        } else {
            const bool many = step % 10 == 1;
            const int count = std::min(int(many ? rng.bounded(1500) : rng.bounded(1, 4)), int(plain.size()) - at);
            std::vector<qreal> with(size_t(many ? rng.bounded(1, 1500) : rng.bounded(1, 4)), qreal(rng.bounded(1, 40)));
            plain.erase(plain.begin() + at, plain.begin() + at + count);
            plain.insert(plain.begin() + at, with.begin(), with.end());
            tree.splice(at, count, with);
        }
        check("after a change");
        if (HasFatalFailure())
            return;
    }
    // Text arriving at the end: the last values replaced by more of them, again and again.
    for (int step = 0; step < 60; ++step) {
        const int count = std::min(int(rng.bounded(1, 3)), int(plain.size()));
        const int at = int(plain.size()) - count;
        std::vector<qreal> with(size_t(rng.bounded(1, 40)));
        for (qreal& h : with)
            h = rng.bounded(1, 40);
        plain.erase(plain.begin() + at, plain.end());
        plain.insert(plain.end(), with.begin(), with.end());
        tree.splice(at, count, with);
        check("after text arrived at the end");
        if (HasFatalFailure())
            return;
    }
}


namespace {

// Paragraphs of two sizes: every third one set large, far taller than a paragraph's length in
// the default font suggests.
QByteArray mixedSizes(int paragraphs)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int i = 0; i < paragraphs; ++i)
        rtf += (i % 3 ? QByteArray("\\fs20 ") : QByteArray("\\fs72 ")) + "paragraph " + QByteArray::number(i)
               + " with a word to change in it\\par\n";
    return rtf + "}";
}

} // namespace

TEST_F(Layout, AChangeAllThroughTheDocumentIsShownAtOnceAndSettlesLater)
{
    QByteArray rtf = mixedSizes(3000);
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    const int lines = layout()->lineCount(); // every paragraph laid out
    const qreal height = layout()->documentSize().height();

    // Every paragraph changed in place, in one edit, as a replace-all does it.
    {
        QTextCursor edit1(doc());
        edit1.beginEditBlock();
        for (QTextCursor at = doc()->find(QStringLiteral("change")); !at.isNull();
             at = doc()->find(QStringLiteral("change"), at))
            at.insertText(QStringLiteral("alter"));
        edit1.endEditBlock();
    }
    EXPECT_LT(layout()->laidOutCount(), 100);
    // Until they are laid out again, the paragraphs keep the heights they had.
    EXPECT_DOUBLE_EQ(layout()->documentSize().height(), height);

    // Showing the last paragraph lays out about a screenful, not the document.
    edit.setSelectionStart(edit.TextLength());
    edit.setSelectionLength(0);
    EXPECT_LT(layout()->laidOutCount(), 200);
    EXPECT_FALSE(layout()->isSettled());

    ASSERT_TRUE(settle());
    EXPECT_EQ(layout()->lineCount(), lines);
    expectStacked(doc(), "settled after the change");
}

TEST_F(Layout, TheTextInViewStaysPutWhileTheParagraphsAboveItSettle)
{
    QByteArray rtf = mixedSizes(3000);
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    QScrollBar* bar = edit.widget()->verticalScrollBar();

    // The caret goes to the end: the view jumps there without laying out what is above.
    edit.setSelectionStart(edit.TextLength());
    edit.setSelectionLength(0);
    edit.widget()->viewport()->repaint();
    const QRect caret = edit.widget()->cursorRect();
    ASSERT_TRUE(edit.widget()->viewport()->rect().contains(caret.center())) << "the caret is in view";
    const int top = bar->value();
    const qreal estimated = layout()->documentSize().height();
    const int firstShown = edit.widget()->cursorForPosition(QPoint(5, 5)).position();

    // What it shows does not change as the paragraphs above settle, so it is not repainted.
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } count;
    QApplication::processEvents(); // the window's activation repaints it
    edit.widget()->viewport()->installEventFilter(&count);
    ASSERT_TRUE(settle());
    QApplication::processEvents();
    EXPECT_EQ(count.paints, 0);
    // The estimates were far off, so the view's place in the document moved a long way...
    const qreal settled = layout()->documentSize().height();
    ASSERT_GT(settled - estimated, 5000);
    EXPECT_NEAR(bar->value() - top, settled - estimated, 50);
    // ...but what it shows did not.
    EXPECT_NEAR(edit.widget()->cursorRect().top(), caret.top(), 2);
    EXPECT_EQ(edit.widget()->cursorForPosition(QPoint(5, 5)).position(), firstShown);
}

TEST_F(Layout, ParagraphAndLineSpacingPlaceTheLines)
{
    // Single; 300 twips (20 px) before and 150 after; exactly 600 twips a line; double.
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a\\par\\pard\\sb300\\sa150 b\\par"
                     "\\pard\\sl-600\\slmult0 c\\line d\\par\\pard\\sl480\\slmult1 e\\line f\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    auto* lay = layout();
    lay->blockBoundingRect(doc()->lastBlock());
    const QTextBlock a = doc()->begin(), b = a.next(), c = b.next(), e = c.next();
    const qreal single = lay->blockBoundingRect(a).height();
    EXPECT_DOUBLE_EQ(lay->blockBoundingRect(b).height(), single + 30);
    EXPECT_DOUBLE_EQ(b.layout()->lineAt(0).y(), 20);
    EXPECT_DOUBLE_EQ(c.layout()->lineAt(1).y() - c.layout()->lineAt(0).y(), 40);
    EXPECT_NEAR(e.layout()->lineAt(1).y() - e.layout()->lineAt(0).y(), 2 * single, 0.01);
}


TEST_F(Layout, HiddenTextTakesNoRoom)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 abcd\\par ab{\\v a long hidden remark}cd\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    layout()->blockBoundingRect(doc()->lastBlock());
    const QTextBlock shown = doc()->begin(), withHidden = shown.next();
    EXPECT_EQ(withHidden.text().size(), 5);
    EXPECT_DOUBLE_EQ(withHidden.layout()->lineAt(0).naturalTextWidth(), shown.layout()->lineAt(0).naturalTextWidth());
}
