// The refresh that keeps toolbars, boxes, strips, check marks and the caret panel in step
// with the selection; the editor's events that run it; the status bar and the resize rule.
#include "FormsTestSupport.h"
#include "forms/widgets/ColorStrip.h"
#include "richtext/editor/DocumentSearch.h"
#include "forms/commands/CommandUi.h"
#include "richtext/document/DocFormats.h"

#include <QBuffer>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using namespace zorim;
using namespace zorim::test;

namespace {

class SelectionTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        platform.clock = QDateTime(QDate(2026, 3, 14), QTime(9, 5, 7));
        form = start();
        QObject::connect(&form->commandUi(), &CommandUi::running,
                         [this](const char* name) { ran << QString::fromLatin1(name); });
    }
    RichEdit& edit() { return *form->RichEdit1; }
    // Puts the caret at pos and refreshes, as a click in the document does.
    void caretAt(int pos)
    {
        edit().setSelectionStart(pos);
        edit().setSelectionLength(0);
        form->SelectionChange();
    }
    // Formats the characters from..to.
    void select(int from, int to)
    {
        edit().setSelectionStart(from);
        edit().setSelectionLength(to - from);
    }
    int fontEntry(const QString& name) const { return form->fontNameBox->findText(name, Qt::MatchFixedString); }

    std::unique_ptr<MainWindow> form;
    QStringList ran;
};

TEST_F(SelectionTest, AfterStartTheControlsShowTheEmptyDocument)
{
    EXPECT_EQ(form->fontSizeBox->currentText(), QStringLiteral("12"));
    // Verdana, or the family drawn in its place when it is not installed.
    EXPECT_EQ(form->fontNameBox->currentIndex(), fontEntry(QFontInfo(QFont(QStringLiteral("Verdana"))).family()));
    for (QToolButton* b : {form->boldButton, form->italicButton, form->underlineButton, form->bulletsButton})
        EXPECT_FALSE(b->isChecked());
    EXPECT_EQ(panel(*form, 0), QStringLiteral("   1 /  1"));
    EXPECT_EQ(form->backgroundColorStrip->color(), colorFromRef(kClWindow));
}

TEST_F(SelectionTest, StylesFollowTheCaretBothWaysOnButtonsAndMenuMarks)
{
    edit().setText(QStringLiteral("plain bold italic under strike"));
    select(6, 10);
    edit().SelectionAttributes().setStyle(fs::Bold);
    select(11, 17);
    edit().SelectionAttributes().setStyle(fs::Italic);
    select(18, 23);
    edit().SelectionAttributes().setStyle(fs::Underline);
    select(24, 30);
    edit().SelectionAttributes().setStyle(fs::StrikeOut);

    caretAt(8);
    EXPECT_TRUE(form->boldButton->isChecked());
    EXPECT_TRUE(form->boldItem->isChecked());
    EXPECT_FALSE(form->italicButton->isChecked());
    caretAt(13);
    EXPECT_FALSE(form->boldButton->isChecked());
    EXPECT_FALSE(form->boldItem->isChecked());
    EXPECT_TRUE(form->italicButton->isChecked());
    EXPECT_TRUE(form->italicItem->isChecked());
    caretAt(20);
    EXPECT_TRUE(form->underlineButton->isChecked());
    EXPECT_TRUE(form->underlineItem->isChecked());
    EXPECT_FALSE(form->italicItem->isChecked());
    caretAt(27); // strikeout shows nowhere
    EXPECT_FALSE(form->strikeOutItem->isChecked());
    EXPECT_FALSE(form->underlineButton->isChecked());
    EXPECT_FALSE(form->underlineItem->isChecked());
}

TEST_F(SelectionTest, AlignmentPressesOneButtonAndOnlyAddsMenuMarks)
{
    edit().setText(QStringLiteral("centre\r\nleft\r\njustified\r\nright"));
    caretAt(0);
    edit().ParagraphAttributes().setAlignment(ParaAlignment::Center);
    caretAt(16);
    edit().ParagraphAttributes().setAlignment(ParaAlignment::Justify);
    caretAt(27);
    edit().ParagraphAttributes().setAlignment(ParaAlignment::Right);
    for (QAction* mark : {form->alignLeftItem, form->alignCenterItem, form->alignRightItem})
        mark->setChecked(false);

    caretAt(2);
    EXPECT_TRUE(form->alignCenterButton->isChecked());
    EXPECT_TRUE(form->alignCenterItem->isChecked());
    caretAt(9);
    EXPECT_TRUE(form->alignLeftButton->isChecked());
    EXPECT_FALSE(form->alignCenterButton->isChecked());
    EXPECT_TRUE(form->alignLeftItem->isChecked());
    EXPECT_TRUE(form->alignCenterItem->isChecked()); // a mark stays until an alignment command clears it
    caretAt(18); // justified changes nothing
    EXPECT_TRUE(form->alignLeftButton->isChecked());
    EXPECT_FALSE(form->alignRightItem->isChecked());
    caretAt(28);
    EXPECT_TRUE(form->alignRightButton->isChecked());
    EXPECT_FALSE(form->alignLeftButton->isChecked());
    EXPECT_TRUE(form->alignRightItem->isChecked());
}

TEST_F(SelectionTest, BulletsOfAnyNumberingPressTheBulletButton)
{
    edit().setText(QStringLiteral("one\r\ntwo\r\nthree"));
    caretAt(0);
    edit().ParagraphAttributes().setNumbering(1);
    caretAt(5);
    edit().ParagraphAttributes().setNumbering(2);
    caretAt(1);
    EXPECT_TRUE(form->bulletsButton->isChecked());
    caretAt(6);
    EXPECT_TRUE(form->bulletsButton->isChecked());
    caretAt(10);
    EXPECT_FALSE(form->bulletsButton->isChecked());
}

TEST_F(SelectionTest, BoxesShowSizeAndFontWithoutApplyingThem)
{
    const QString installed = form->fontNameBox->itemText(form->fontNameBox->count() / 2);
    edit().setText(QStringLiteral("small big other"));
    select(0, 5);
    edit().SelectionAttributes().setSize(9);
    edit().SelectionAttributes().setName(installed.toUpper()); // the box compares without case
    select(6, 9);
    edit().SelectionAttributes().setSize(20);
    edit().SelectionAttributes().setName(QStringLiteral("No Such Font Installed"));

    ran.clear();
    caretAt(2);
    EXPECT_EQ(form->fontSizeBox->currentText(), QStringLiteral("9"));
    EXPECT_EQ(form->fontNameBox->currentText(), installed);
    caretAt(7);
    EXPECT_EQ(form->fontSizeBox->currentText(), QStringLiteral("20"));
    // A face that is not installed shows as the family drawn in its place.
    EXPECT_EQ(form->fontNameBox->currentText(), QFontInfo(QFont(QStringLiteral("No Such Font Installed"))).family());
    // Also where the family drawn is one several foundries make ("Nimbus Sans [urw]" for Helvetica).
    select(6, 9);
    edit().SelectionAttributes().setName(QStringLiteral("Helvetica"));
    caretAt(7);
    EXPECT_EQ(form->fontNameBox->currentText(), familyWithoutFoundry(QFontInfo(QFont(QStringLiteral("Helvetica"))).family()));
    EXPECT_FALSE(form->fontNameBox->currentText().isEmpty());
    select(6, 9);
    edit().SelectionAttributes().setName(QStringLiteral("No Such Font Installed"));
    // A selection over both sizes shows the first and changes neither.
    select(0, 9);
    form->SelectionChange();
    EXPECT_EQ(ran, QStringList()); // neither box's change ran
    select(7, 8);
    EXPECT_EQ(edit().SelectionAttributes().Size(), 20);
    EXPECT_EQ(edit().SelectionAttributes().Name(), QStringLiteral("No Such Font Installed"));
}

TEST_F(SelectionTest, StripsShowTextAndBackgroundColours)
{
    edit().setText(QStringLiteral("red marked plain"));
    select(0, 3);
    edit().SelectionAttributes().setColor(0x000000FF);
    select(4, 10);
    edit().SelectionAttributes().setBackColor(0x0000FFFF);
    caretAt(1);
    EXPECT_EQ(form->textColorStrip->color(), QColor(255, 0, 0));
    caretAt(6);
    EXPECT_EQ(form->backgroundColorStrip->color(), QColor(255, 255, 0));
    caretAt(13); // automatic colours: the desktop's window text and window colours
    EXPECT_EQ(form->textColorStrip->color(), colorFromRef(kClWindowText));
    EXPECT_EQ(form->backgroundColorStrip->color(), colorFromRef(kClWindow));
}

TEST_F(SelectionTest, CaretPanelCountsFromOneInFieldsOfThree)
{
    QString text;
    for (int i = 0; i < 1233; ++i)
        text += QStringLiteral("x\r\n");
    edit().setText(text + QStringLiteral("abcdef"));
    caretAt(edit().TextLength() - 2);
    EXPECT_EQ(panel(*form, 0), QStringLiteral(" 1234 /  5"));
    caretAt(0);
    EXPECT_EQ(panel(*form, 0), QStringLiteral("   1 /  1"));
}

TEST_F(SelectionTest, AfterAReplaceAllThroughALongDocumentTheCaretPanelSettlesOnTheExactLine)
{
    // Every third paragraph set large and wrapping: the lines of paragraphs not laid out yet
    // are estimated far too few.
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int i = 0; i < 3000; ++i) {
        const QByteArray words = "riadok " + QByteArray::number(i) + " so slovom na zmenu ";
        rtf += i % 3 ? "\\fs20 " + words : "\\fs72 " + words.repeated(3);
        rtf += "\\par\n";
    }
    rtf += "}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit().LoadStream(buffer);
    QSignalSpy settled(&edit(), &RichEdit::LinesSettled);

    ASSERT_EQ(ReplaceInDocument(edit(), QStringLiteral("zmenu"), QStringLiteral("opravu")), 5000);
    form->SelectionChange();
    const QString shownAtOnce = panel(*form, 0);
    ASSERT_TRUE(settled.wait(20000));
    const QPoint exact = edit().CaretPosition();
    EXPECT_EQ(panel(*form, 0), QString::asprintf(" %3d /%3d", exact.y() + 1, exact.x() + 1));
    EXPECT_NE(shownAtOnce, panel(*form, 0)) << "the estimate was right, so this shows nothing";
}

TEST_F(SelectionTest, AKeyRefreshesOnceTheEventLoopTurnsWithTheStateItLeft)
{
    edit().setText(QStringLiteral("abc"));
    caretAt(0);
    QWidget* view = edit().widget();
    QTest::keyPress(view, Qt::Key_Right);
    EXPECT_EQ(panel(*form, 0), QStringLiteral("   1 /  1"));
    QTest::keyRelease(view, Qt::Key_Right);
    settle();
    EXPECT_EQ(panel(*form, 0), QStringLiteral("   1 /  2"));
    // A typed character shows the new place before its key-up, through the change notice.
    QTest::keyPress(view, Qt::Key_X);
    settle();
    EXPECT_EQ(panel(*form, 0), QStringLiteral("   1 /  3"));
    QTest::keyRelease(view, Qt::Key_X);
}

TEST_F(SelectionTest, ChangeMarksTheDocumentAndStampsDateAndTime)
{
    EXPECT_EQ(panel(*form, 4), QStringLiteral("Dátum"));
    QTest::keyClicks(edit().widget(), QStringLiteral("a"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    EXPECT_EQ(panel(*form, 4), QStringLiteral("Dátum: 14.3.2026"));
    EXPECT_EQ(panel(*form, 5), QStringLiteral("Čas: 9:05:07"));
}

TEST_F(SelectionTest, StripsRunTheColourButtonsAndTheStatusBarOpensDateAndTimeSettings)
{
    // Each strip runs its colour button, which asks for a colour.
    platform.answerColor(std::nullopt);
    platform.answerColor(std::nullopt);
    QTest::mouseClick(form->textColorStrip, Qt::LeftButton);
    QTest::mouseClick(form->backgroundColorStrip, Qt::LeftButton);
    EXPECT_EQ(ran, QStringList({"Panel1", "Panel2"}));

    // Any panel; the first settings program that starts is the only one.
    QTest::mouseDClick(const_cast<QLabel*>(form->StatusBar1->panel(1)), Qt::LeftButton);
    ASSERT_EQ(platform.started().size(), 1u);
    EXPECT_EQ(platform.started()[0].program, QStringLiteral("gnome-control-center"));
    platform.startResult = false; // none there: nothing is said
    QTest::mouseDClick(const_cast<QLabel*>(form->StatusBar1->panel(4)), Qt::LeftButton);
    EXPECT_TRUE(platform.errors().isEmpty()) << platform.errors().size() << " " << platform.errors().value(0).toStdString();
}

TEST_F(SelectionTest, StatusBarPanelsAsLaidOut)
{
    form->show();
    StatusBar& bar = *form->StatusBar1;
    ASSERT_EQ(bar.panelCount(), 6);
    const int widths[] = {80, 300, 60, 114, 133, 99};
    const Qt::Alignment alignments[] = {Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignLeft,
                                        Qt::AlignHCenter, Qt::AlignHCenter};
    const QFrame::Shadow shadows[] = {QFrame::Sunken, QFrame::Sunken, QFrame::Sunken, QFrame::Plain, QFrame::Raised,
                                      QFrame::Raised};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(bar.panelWidth(i), widths[i]) << i;
        EXPECT_TRUE(bar.panel(i)->alignment() & alignments[i]) << i;
        if (i == 3)
            EXPECT_EQ(bar.panel(i)->frameShape(), QFrame::NoFrame);
        else
            EXPECT_EQ(bar.panel(i)->frameShadow(), shadows[i]) << i;
    }
    EXPECT_EQ(bar.height(), 19);
    EXPECT_EQ(bar.geometry().bottom(), form->centralWidget()->height() - 1);
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: Dokument"));
    EXPECT_EQ(panel(*form, 5), QStringLiteral("Čas"));
    EXPECT_EQ(bar.panel(0)->font().pixelSize(), 11);
}

TEST_F(SelectionTest, ResizeFollowsTheWindowAndClampsTheSpacer)
{
    form->show();
    form->setBorderResizable(true);
    QWidget* client = form->centralWidget();
    form->resize(form->width() + 100, form->height() + 50);
    EXPECT_EQ(form->RichEdit1->geometry(), QRect(8, 61, 877, 520));
    EXPECT_EQ(form->ControlBar1->geometry(), QRect(0, 0, client->width(), 60));
    EXPECT_EQ(form->StatusBar1->panelWidth(3), 214);
    form->resize(600, form->height());
    EXPECT_EQ(form->StatusBar1->panelWidth(3), 0);
    EXPECT_EQ(form->RichEdit1->width(), client->width() + 8 - 23);
}

} // namespace
