// The refresh that keeps toolbars, boxes, strips, check marks and the caret panel in step
// with the selection; the editor's events that run it; the status bar and the resize rule.
#include "FormsTestSupport.h"
#include "forms/ColorStrip.h"
#include "forms/SearchCommands.h"
#include "forms/commands/CommandUi.h"
#include "richtext/DocFormats.h"

#include <QBuffer>
#include <QComboBox>
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
    int fontEntry(const QString& name) const { return form->ComboBox1->findText(name, Qt::MatchFixedString); }

    std::unique_ptr<TForm1> form;
    QStringList ran;
};

TEST_F(SelectionTest, AfterStartTheControlsShowTheEmptyDocument)
{
    EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("12"));
    EXPECT_EQ(form->ComboBox1->currentIndex(), fontEntry(QStringLiteral("Verdana"))); // none when not installed
    for (QToolButton* b : {form->SpeedButton5, form->SpeedButton6, form->SpeedButton7, form->SpeedButton14})
        EXPECT_FALSE(b->isChecked());
    EXPECT_EQ(panel(*form, 0), QStringLiteral("   1 /  1"));
    EXPECT_EQ(form->Panel2->color(), colorFromRef(kClWindow));
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
    EXPECT_TRUE(form->SpeedButton5->isChecked());
    EXPECT_TRUE(form->Tun1->isChecked());
    EXPECT_FALSE(form->SpeedButton6->isChecked());
    caretAt(13);
    EXPECT_FALSE(form->SpeedButton5->isChecked());
    EXPECT_FALSE(form->Tun1->isChecked());
    EXPECT_TRUE(form->SpeedButton6->isChecked());
    EXPECT_TRUE(form->ikm1->isChecked());
    caretAt(20);
    EXPECT_TRUE(form->SpeedButton7->isChecked());
    EXPECT_TRUE(form->Podiarknut1->isChecked());
    EXPECT_FALSE(form->ikm1->isChecked());
    caretAt(27); // strikeout shows nowhere
    EXPECT_FALSE(form->Prekrtnut1->isChecked());
    EXPECT_FALSE(form->SpeedButton7->isChecked());
    EXPECT_FALSE(form->Podiarknut1->isChecked());
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
    for (QAction* mark : {form->Naavo1, form->Nastred1, form->Napravo1})
        mark->setChecked(false);

    caretAt(2);
    EXPECT_TRUE(form->SpeedButton9->isChecked());
    EXPECT_TRUE(form->Nastred1->isChecked());
    caretAt(9);
    EXPECT_TRUE(form->SpeedButton8->isChecked());
    EXPECT_FALSE(form->SpeedButton9->isChecked());
    EXPECT_TRUE(form->Naavo1->isChecked());
    EXPECT_TRUE(form->Nastred1->isChecked()); // a mark stays until an alignment command clears it
    caretAt(18); // justified changes nothing
    EXPECT_TRUE(form->SpeedButton8->isChecked());
    EXPECT_FALSE(form->Napravo1->isChecked());
    caretAt(28);
    EXPECT_TRUE(form->SpeedButton10->isChecked());
    EXPECT_FALSE(form->SpeedButton8->isChecked());
    EXPECT_TRUE(form->Napravo1->isChecked());
}

TEST_F(SelectionTest, BulletsOfAnyNumberingPressTheBulletButton)
{
    edit().setText(QStringLiteral("one\r\ntwo\r\nthree"));
    caretAt(0);
    edit().ParagraphAttributes().setNumbering(1);
    caretAt(5);
    edit().ParagraphAttributes().setNumbering(2);
    caretAt(1);
    EXPECT_TRUE(form->SpeedButton14->isChecked());
    caretAt(6);
    EXPECT_TRUE(form->SpeedButton14->isChecked());
    caretAt(10);
    EXPECT_FALSE(form->SpeedButton14->isChecked());
}

TEST_F(SelectionTest, BoxesShowSizeAndFontWithoutApplyingThem)
{
    const QString installed = form->ComboBox1->itemText(form->ComboBox1->count() / 2);
    edit().setText(QStringLiteral("small big other"));
    select(0, 5);
    edit().SelectionAttributes().setSize(9);
    edit().SelectionAttributes().setName(installed.toUpper()); // the box compares without case
    select(6, 9);
    edit().SelectionAttributes().setSize(20);
    edit().SelectionAttributes().setName(QStringLiteral("No Such Font Installed"));

    ran.clear();
    caretAt(2);
    EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("9"));
    EXPECT_EQ(form->ComboBox1->currentText(), installed);
    caretAt(7);
    EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("20"));
    EXPECT_EQ(form->ComboBox1->currentIndex(), -1);
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
    EXPECT_EQ(form->Panel1->color(), QColor(255, 0, 0));
    caretAt(6);
    EXPECT_EQ(form->Panel2->color(), QColor(255, 255, 0));
    caretAt(13); // automatic colours: the desktop's window text and window colours
    EXPECT_EQ(form->Panel1->color(), colorFromRef(kClWindowText));
    EXPECT_EQ(form->Panel2->color(), colorFromRef(kClWindow));
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
    QWidget* view = edit().view();
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
    QTest::keyClicks(edit().view(), QStringLiteral("a"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    EXPECT_EQ(panel(*form, 4), QStringLiteral("Dátum: 14.3.2026"));
    EXPECT_EQ(panel(*form, 5), QStringLiteral("Čas: 9:05:07"));
}

TEST_F(SelectionTest, StripsRunTheColourButtonsAndTheStatusBarOpensDateAndTimeSettings)
{
    // Each strip runs its colour button, which asks for a colour.
    platform.answerColor(std::nullopt);
    platform.answerColor(std::nullopt);
    QTest::mouseClick(form->Panel1, Qt::LeftButton);
    QTest::mouseClick(form->Panel2, Qt::LeftButton);
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
