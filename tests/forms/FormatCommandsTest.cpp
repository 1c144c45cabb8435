// Character and paragraph formatting as the user applies it: the font and size boxes, the
// style buttons and menu items, the font and colour dialogs, the indexes, alignment, bullets,
// the indent steps and line wrapping.
#include "DocumentTestSupport.h"

#include "forms/widgets/ColorStrip.h"
#include "forms/IntegerText.h"
#include "richtext/document/DocFormats.h"
#include "settings/StateFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

using namespace zorim;
using namespace zorim::test;

namespace {

class FormatCommandsTest : public DocumentTest {
protected:
    // Replaces the size box's text by typing, key by key, as the user does.
    void typeSize(const QString& text)
    {
        QLineEdit* edit = form->fontSizeBox->lineEdit();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text); // the first key replaces the selected text
        settle();
    }
    QString tabIni() { return settings.readValue(statefile::IndentStep); }
};

// ---- font name and size ----------------------------------------------------------------------

TEST_F(FormatCommandsTest, FontBoxGivesTheSelectionOrTheNextTypedTextTheChosenFont)
{
    ASSERT_GT(form->fontNameBox->count(), 1);
    type(QStringLiteral("ab"));
    select(0, 1);
    QTest::keyClick(form->fontNameBox, Qt::Key_Down);
    const QString chosen = form->fontNameBox->currentText();
    EXPECT_EQ(nameAt(0), chosen);
    EXPECT_NE(nameAt(1), chosen);

    // Nothing selected: the text typed next is in the chosen font.
    press(Qt::Key_End);
    QTest::keyClick(form->fontNameBox, Qt::Key_Down);
    QTest::keyClick(form->fontNameBox, Qt::Key_Down);
    const QString next = form->fontNameBox->currentText();
    ASSERT_NE(next, chosen);
    type(QStringLiteral("c"));
    EXPECT_EQ(nameAt(2), next);
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(FormatCommandsTest, SizeBoxAppliesEveryEditAndEveryChoiceFromItsList)
{
    type(QStringLiteral("abc"));
    select(0, 2);
    typeSize(QStringLiteral("14"));
    EXPECT_EQ(sizeAt(0), 14);
    EXPECT_EQ(sizeAt(1), 14);
    EXPECT_EQ(sizeAt(2), 12);

    // A choice from the list: the entry after the one the box stands on.
    QComboBox* box = form->fontSizeBox;
    QTest::keyClick(box, Qt::Key_Down);
    const int listed = box->currentText().toInt();
    EXPECT_GT(listed, 0);
    EXPECT_EQ(sizeAt(0), listed);
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(FormatCommandsTest, SizeTextThatIsNoIntegerShowsTheErrorAndChangesNothing)
{
    type(QStringLiteral("abc"));
    select(0, 3);
    typeSize(QString());
    typeSize(QStringLiteral("1.5"));
    typeSize(QStringLiteral("x"));
    // Every edit is converted: "1" applies, "1." and "1.5" fail.
    EXPECT_EQ(platform.errors(), QStringList({QStringLiteral("'' is not a valid integer value"),
                                              QStringLiteral("'1.' is not a valid integer value"),
                                              QStringLiteral("'1.5' is not a valid integer value"),
                                              QStringLiteral("'x' is not a valid integer value")}));
    EXPECT_EQ(sizeAt(0), 1);
    // The box keeps what the user typed.
    EXPECT_EQ(form->fontSizeBox->currentText(), QStringLiteral("x"));

    platform.clearShown();
    typeSize(QStringLiteral(" 20 "));
    EXPECT_EQ(sizeAt(2), 20);
    EXPECT_EQ(platform.errors().size(), 1); // the blank typed first
}

// Keys typed in the size box edit the box, not the document; each change applies, and the
// changes typed one after another are one undo step until the focus leaves the box.
TEST_F(FormatCommandsTest, KeysInTheSizeBoxEditItAndItsChangesInARowAreOneUndoStep)
{
    type(QStringLiteral("abc"));
    select(0, 2);
    QComboBox* box = form->fontSizeBox;
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->lineEdit()->selectedText(), QStringLiteral("12"));
    EXPECT_EQ(doc().SelectionLength(), 2);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Right);
    QTest::keyClicks(box, QStringLiteral("20")); // between the digits: 122, then 1202
    EXPECT_EQ(sizeAt(0), 1202);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->currentText(), QStringLiteral("120"));
    EXPECT_EQ(sizeAt(1), 120);
    EXPECT_EQ(sizeAt(2), 12);

    // Focus elsewhere, then back: a step of its own.
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(box, &out);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(sizeAt(0), 12);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sizeAt(0), 120);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sizeAt(0), 12);
    EXPECT_EQ(doc().Text(), QStringLiteral("abc")); // the typing is one step more
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(FormatCommandsTest, SizesOutsideWhatTheControlShowsReachItAndAreKeptWithinItsRange)
{
    type(QStringLiteral("abc"));
    select(0, 1);
    typeSize(QStringLiteral("0"));
    EXPECT_EQ(sizeAt(0), 1);
    typeSize(QStringLiteral("-5"));
    EXPECT_EQ(sizeAt(0), 1);
    EXPECT_EQ(platform.errors(), QStringList({QStringLiteral("'-' is not a valid integer value")}));
    typeSize(QStringLiteral("99999999"));
    EXPECT_EQ(sizeAt(0), 1638);
    // The box shows the size the control keeps, and the other characters keep theirs.
    EXPECT_EQ(form->fontSizeBox->currentText(), QStringLiteral("1638"));
    EXPECT_EQ(sizeAt(1), 12);
}

TEST(StrToIntTest, TakesDecimalIntegersWithSignAndBlanksAndNamesAnythingElse)
{
    EXPECT_EQ(StrToInt(QStringLiteral("14")), 14);
    EXPECT_EQ(StrToInt(QStringLiteral(" +7 ")), 7);
    EXPECT_EQ(StrToInt(QStringLiteral("-0")), 0);
    EXPECT_EQ(StrToInt(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
    for (const QString& text : {QString(), QStringLiteral(" "), QStringLiteral("+"), QStringLiteral("1 2"),
                                QStringLiteral("0x10"), QStringLiteral("1e3"), QStringLiteral("2147483648"),
                                QStringLiteral("99999999999"), QStringLiteral("\u0661\u0662"), QStringLiteral("12pt")}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << text.toStdString();
        } catch (const std::exception& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
}

// ---- styles ----------------------------------------------------------------------------------

TEST_F(FormatCommandsTest, StyleButtonWritesTheWholeStyleSetOfTheSelection)
{
    type(QStringLiteral("ab"));
    select(1, 1);
    press(Qt::Key_I, Qt::ControlModifier);
    ASSERT_EQ(styleAt(1), fs::Italic);

    // The selection reads as its first character: plain. Bold on writes bold and no italic.
    press(Qt::Key_A, Qt::ControlModifier);
    ASSERT_FALSE(form->boldButton->isChecked());
    click(form->boldButton);
    EXPECT_EQ(styleAt(0), fs::Bold);
    EXPECT_EQ(styleAt(1), fs::Bold);

    // The released button takes bold off again.
    click(form->boldButton);
    EXPECT_EQ(styleAt(0), 0);
    EXPECT_EQ(styleAt(1), 0);
}

TEST_F(FormatCommandsTest, StyleMenuItemsAndTheirKeysOnlySwitchOn)
{
    type(QStringLiteral("slovo"));
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(styleAt(0), fs::Bold);
    EXPECT_TRUE(form->boldButton->isChecked());
    EXPECT_TRUE(form->boldItem->isChecked());
    press(Qt::Key_B, Qt::ControlModifier);
    choose(form->boldItem);
    EXPECT_EQ(styleAt(4), fs::Bold);

    press(Qt::Key_U, Qt::ControlModifier);
    choose(form->strikeOutItem);
    EXPECT_EQ(styleAt(2), fs::Bold | fs::Underline | fs::StrikeOut);
    // Strikeout is written back by the style buttons as they read it.
    press(Qt::Key_A, Qt::ControlModifier);
    click(form->boldButton);
    click(form->italicButton);
    EXPECT_EQ(styleAt(2), fs::Italic | fs::Underline | fs::StrikeOut);
    EXPECT_FALSE(form->strikeOutItem->isChecked());
}

// ---- the font dialog -------------------------------------------------------------------------

TEST_F(FormatCommandsTest, FontDialogOpensOnTheSelectionsFontAndAssignsWhatTheUserChanged)
{
    type(QStringLiteral("abc"));
    select(0, 2);
    typeSize(QStringLiteral("30"));
    choose(form->strikeOutItem);
    choose(form->italicItem);
    QTest::keyClick(form->fontNameBox, Qt::Key_Down);
    const QString face = nameAt(0);
    ASSERT_NE(face, doc().Font().name);

    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    chosen.setUnderline(true);
    platform.answerFont(FontChoice{chosen, QColor(200, 0, 0)});
    press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(platform.texts(ScriptedPlatform::Kind::Font), QStringList({face}));

    EXPECT_EQ(nameAt(0), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(sizeAt(1), 20);
    // Italic and strikeout were unticked in the dialog: they go.
    EXPECT_EQ(styleAt(1), fs::Bold | fs::Underline);
    EXPECT_EQ(at(0, [](TextAttributes& a) { return a.Color(); }), refFromColor(QColor(200, 0, 0)));
    EXPECT_EQ(sizeAt(2), 12);

    // Cancelled: nothing changes.
    platform.answerFont(std::nullopt);
    choose(form->fontItem);
    EXPECT_EQ(nameAt(0), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(sizeAt(0), 20);

    // Over faces and sizes that differ, a new size alone leaves each character its face.
    form->RichEdit1->SelectAll();
    QFont resized(QStringLiteral("DejaVu Serif"));
    resized.setPointSize(16);
    resized.setBold(true);
    resized.setUnderline(true);
    platform.answerFont(FontChoice{resized, QColor(200, 0, 0)});
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(nameAt(0), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(nameAt(2), doc().Font().name);
    EXPECT_EQ(sizeAt(0), 16);
    EXPECT_EQ(sizeAt(2), 16);
}

// The real dialog on a new document, all of it selected: it shows the editor's face (as the face
// it is drawn in where it is not installed), size and style, and OK leaves everything as it was.
TEST_F(FormatCommandsTest, FontDialogConfirmedWithoutAChangeChangesNothing)
{
    QFont shown;
    platform.answerFontAsUser([&](QDialog& dialog) {
        shown = static_cast<QFontDialog&>(dialog).currentFont();
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(shown.family(), QFontInfo(QFont(doc().Font().name)).family());
    EXPECT_EQ(shown.pointSize(), 12);
    EXPECT_FALSE(shown.bold());
    EXPECT_FALSE(shown.italic());
    EXPECT_FALSE(doc().Modified());
    type(QStringLiteral("x"));
    EXPECT_EQ(nameAt(0), QStringLiteral("Verdana"));
    EXPECT_EQ(sizeAt(0), 12);
    EXPECT_EQ(styleAt(0), 0);
}

// The dialog itself, played as the user: its effects offer a colour, and the chosen colour
// colours the selection.
TEST_F(FormatCommandsTest, FontDialogsColourInItsEffectsColoursTheSelection)
{
    type(QStringLiteral("abc"));
    select(0, 2);
    QStringList offered;
    platform.answerFontAsUser([&](QDialog& dialog) {
        auto* colors = dialog.findChild<QComboBox*>(QStringLiteral("colorBox"));
        ASSERT_NE(colors, nullptr);
        // Beside underline and strikeout, under a Slovak caption.
        const auto* effects = qobject_cast<QGroupBox*>(colors->parentWidget());
        ASSERT_NE(effects, nullptr);
        EXPECT_FALSE(effects->findChildren<QCheckBox*>().isEmpty());
        const auto* caption = effects->findChild<QLabel*>();
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), QStringLiteral("&Farba:"));
        for (int i = 0; i < colors->count(); ++i)
            offered << colors->itemText(i);
        colors->setCurrentIndex(colors->findText(QStringLiteral("Červená")));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(offered.size(), 17) << offered.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(offered.value(0), QStringLiteral("Automatická"));
    EXPECT_EQ(at(0, [](TextAttributes& a) { return a.Color(); }), refFromColor(QColor(255, 0, 0)));
    EXPECT_EQ(at(1, [](TextAttributes& a) { return a.Color(); }), refFromColor(QColor(255, 0, 0)));
    EXPECT_EQ(at(2, [](TextAttributes& a) { return a.Color(); }), kClWindowText);
}

// ---- colours ---------------------------------------------------------------------------------

TEST_F(FormatCommandsTest, ColourDialogsOpenOnTheEditorsBackgroundAndTheStripsFollowTheDialog)
{
    type(QStringLiteral("abc"));
    select(0, 1);
    const QColor editor = colorFromRef(doc().Color());
    const QColor red(255, 0, 0), yellow(255, 255, 0);

    platform.answerColor(red);
    click(form->textColorButton);
    EXPECT_EQ(at(0, [](TextAttributes& a) { return a.Color(); }), refFromColor(red));
    EXPECT_EQ(form->textColorStrip->color(), red);

    // The dialog opens on the editor's background, not on the red text; a cancel shows that
    // colour in the strip and leaves the text as it was.
    platform.answerColor(std::nullopt);
    click(form->textColorButton);
    EXPECT_EQ(form->textColorStrip->color(), editor);
    EXPECT_EQ(at(0, [](TextAttributes& a) { return a.Color(); }), refFromColor(red));

    platform.answerColor(yellow);
    click(form->backgroundColorButton);
    EXPECT_EQ(at(0, [](TextAttributes& a) { return a.BackColor(); }), refFromColor(yellow));
    EXPECT_EQ(at(1, [](TextAttributes& a) { return a.BackColor(); }), kClWindow);
    EXPECT_EQ(form->backgroundColorStrip->color(), yellow);
    platform.answerColor(std::nullopt);
    click(form->backgroundColorButton);
    EXPECT_EQ(form->backgroundColorStrip->color(), editor);

    EXPECT_EQ(platform.texts(ScriptedPlatform::Kind::Color), QStringList(4, editor.name()));
}

// ---- superscript and subscript ---------------------------------------------------------------

TEST_F(FormatCommandsTest, IndexCommandsFollowTheirCheckMarkAndActAsOneGroup)
{
    type(QStringLiteral("x2"));
    select(1, 1);
    press(Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(verticalAt(1), QTextCharFormat::AlignSuperScript);
    EXPECT_TRUE(form->superscriptItem->isChecked());
    EXPECT_TRUE(form->superscriptButton->isChecked());
    press(Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(verticalAt(1), QTextCharFormat::AlignNormal);
    EXPECT_FALSE(form->superscriptItem->isChecked());
    EXPECT_FALSE(form->superscriptButton->isChecked());

    choose(form->superscriptItem);
    press(Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(verticalAt(1), QTextCharFormat::AlignSubScript);
    EXPECT_FALSE(form->superscriptItem->isChecked());
    EXPECT_TRUE(form->subscriptItem->isChecked());
    EXPECT_FALSE(form->superscriptButton->isChecked());
    EXPECT_TRUE(form->subscriptButton->isChecked());

    // The buttons run the items' commands: the pressed subscript button released.
    click(form->subscriptButton);
    EXPECT_EQ(verticalAt(1), QTextCharFormat::AlignNormal);
    EXPECT_FALSE(form->subscriptItem->isChecked());
    EXPECT_FALSE(form->subscriptButton->isChecked());
    click(form->superscriptButton);
    EXPECT_EQ(verticalAt(1), QTextCharFormat::AlignSuperScript);
    EXPECT_TRUE(form->superscriptItem->isChecked());
    EXPECT_TRUE(form->superscriptButton->isChecked());
}

TEST_F(FormatCommandsTest, IndexMarksShowTheLastIndexCommandNotTheTextUnderTheCaret)
{
    type(QStringLiteral("ab"));
    select(0, 1);
    choose(form->superscriptItem);
    choose(form->superscriptItem); // back to normal, unchecked
    select(1, 1);
    choose(form->superscriptItem);
    ASSERT_EQ(verticalAt(1), QTextCharFormat::AlignSuperScript);
    choose(form->superscriptItem);
    ASSERT_FALSE(form->superscriptItem->isChecked());

    // Raised text under the caret: the refresh leaves the marks and buttons alone, and
    // "Horný index" while unchecked raises it again.
    select(0, 1);
    choose(form->superscriptItem);
    select(1, 0);
    select(0, 1);
    EXPECT_TRUE(form->superscriptItem->isChecked());
    EXPECT_TRUE(form->superscriptButton->isChecked());
}

// ---- alignment and bullets -------------------------------------------------------------------

TEST_F(FormatCommandsTest, AlignmentKeysAlignAndLeaveOnlyTheNewMarkAfterTheRefresh)
{
    type(QStringLiteral("riadok"));
    press(Qt::Key_F1, Qt::ShiftModifier);
    // Shift+F1 aligns; it inserts no phrase.
    EXPECT_EQ(doc().Text(), QStringLiteral("riadok"));
    EXPECT_EQ(doc().ParagraphAttributes().Alignment(), ParaAlignment::Left);
    EXPECT_TRUE(form->alignLeftItem->isChecked());
    EXPECT_TRUE(form->alignLeftButton->isChecked());

    press(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(doc().ParagraphAttributes().Alignment(), ParaAlignment::Center);
    EXPECT_FALSE(form->alignLeftItem->isChecked());
    EXPECT_TRUE(form->alignCenterItem->isChecked());
    EXPECT_FALSE(form->alignRightItem->isChecked());
    EXPECT_TRUE(form->alignCenterButton->isChecked());
    EXPECT_FALSE(form->alignLeftButton->isChecked());

    press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(doc().ParagraphAttributes().Alignment(), ParaAlignment::Right);
    EXPECT_FALSE(form->alignCenterItem->isChecked());
    EXPECT_TRUE(form->alignRightItem->isChecked());
    EXPECT_EQ(doc().Text(), QStringLiteral("riadok"));
}

TEST_F(FormatCommandsTest, AlignmentCommandsClearTheOtherMarksButNotTheirOwn)
{
    type(QStringLiteral("riadok"));
    form->alignLeftItem->setChecked(true);
    form->alignCenterItem->setChecked(true);
    choose(form->alignRightItem);
    EXPECT_FALSE(form->alignLeftItem->isChecked());
    EXPECT_FALSE(form->alignCenterItem->isChecked());
    EXPECT_EQ(doc().ParagraphAttributes().Alignment(), ParaAlignment::Right);

    // The pressed left button clicked again stays pressed and aligns left again.
    click(form->alignLeftButton);
    EXPECT_TRUE(form->alignLeftButton->isChecked());
    EXPECT_EQ(doc().ParagraphAttributes().Alignment(), ParaAlignment::Left);
    click(form->alignLeftButton);
    EXPECT_TRUE(form->alignLeftButton->isChecked());
    EXPECT_EQ(doc().ParagraphAttributes().Alignment(), ParaAlignment::Left);
}

TEST_F(FormatCommandsTest, BulletsButtonSwitchesBulletsWithTheirOffset)
{
    type(QStringLiteral("bod"));
    doc().ParagraphAttributes().setOffset(4);
    click(form->bulletsButton);
    EXPECT_EQ(doc().ParagraphAttributes().Numbering(), 1);
    EXPECT_EQ(doc().ParagraphAttributes().Offset(), 10);
    click(form->bulletsButton);
    EXPECT_EQ(doc().ParagraphAttributes().Numbering(), 0);
    EXPECT_EQ(doc().ParagraphAttributes().Offset(), 0);
}

// ---- indent steps ----------------------------------------------------------------------------

TEST_F(FormatCommandsTest, IndentStepsMoveTheSharedValueKeptInTabIni)
{
    type(QStringLiteral("prvý"));
    press(Qt::Key_Return);
    type(QStringLiteral("druhý"));
    ASSERT_EQ(tabIni(), QStringLiteral("10"));

    click(form->indentMoreButton);
    EXPECT_EQ(doc().ParagraphAttributes().FirstIndent(), 30);
    EXPECT_EQ(tabIni(), QStringLiteral("30"));
    // Another paragraph takes the next value, whatever its own indent.
    press(Qt::Key_Home, Qt::ControlModifier);
    click(form->indentMoreButton);
    EXPECT_EQ(doc().ParagraphAttributes().FirstIndent(), 50);
    EXPECT_EQ(tabIni(), QStringLiteral("50"));
}

TEST_F(FormatCommandsTest, IndentStepLeftMayGoBelowZeroButStoresZero)
{
    type(QStringLiteral("odsek"));
    click(form->indentLessButton);
    EXPECT_EQ(doc().ParagraphAttributes().FirstIndent(), -10);
    EXPECT_EQ(tabIni(), QStringLiteral("0"));
    click(form->indentLessButton);
    EXPECT_EQ(doc().ParagraphAttributes().FirstIndent(), -20);
    EXPECT_EQ(tabIni(), QStringLiteral("0"));
    click(form->indentMoreButton);
    EXPECT_EQ(doc().ParagraphAttributes().FirstIndent(), 20);
    EXPECT_EQ(tabIni(), QStringLiteral("20"));
}

TEST_F(FormatCommandsTest, IndentStepsReportTheSettingsStoreAndLeaveTheParagraph)
{
    type(QStringLiteral("odsek"));
    folder.remove(statefile::IndentStep);
    click(form->indentMoreButton);
    folder.write(statefile::IndentStep, "abc");
    click(form->indentLessButton);
    EXPECT_EQ(platform.errors(), QStringList({QStringLiteral("File not found"), QStringLiteral("Invalid numeric input")}));
    EXPECT_EQ(doc().ParagraphAttributes().FirstIndent(), 0);
    EXPECT_EQ(folder.read(statefile::IndentStep), QByteArray("abc"));

    // The largest and smallest stored values step without wrapping around.
    folder.write(statefile::IndentStep, "2147483647");
    click(form->indentMoreButton);
    EXPECT_EQ(tabIni(), QStringLiteral("2147483647"));
    EXPECT_GT(doc().ParagraphAttributes().FirstIndent(), 0);
    folder.write(statefile::IndentStep, "-2147483648");
    click(form->indentLessButton);
    EXPECT_EQ(tabIni(), QStringLiteral("0"));
    EXPECT_LT(doc().ParagraphAttributes().FirstIndent(), 0);
    EXPECT_EQ(platform.errors().size(), 2);
}

// ---- line wrapping ---------------------------------------------------------------------------

TEST_F(FormatCommandsTest, LineWrapItemSwitchesBetweenWrappedLinesAndAHorizontalScrollBar)
{
    form->show();
    QString line;
    for (int i = 0; i < 80; ++i)
        line += QStringLiteral("slovo%1 ").arg(i);
    doc().setText(line + QStringLiteral("\r\nkrátky"));
    QApplication::processEvents();
    ASSERT_TRUE(form->lineWrapItem->isChecked());
    EXPECT_EQ(widget()->horizontalScrollBar()->maximum(), 0);

    choose(form->lineWrapItem);
    QApplication::processEvents();
    EXPECT_FALSE(form->lineWrapItem->isChecked());
    EXPECT_EQ(doc().Lines().LineCount(), 2);
    EXPECT_GT(widget()->horizontalScrollBar()->maximum(), 0);
    // Typing at the end of the long line makes it longer still, and the view follows the caret.
    const int range = widget()->horizontalScrollBar()->maximum();
    doc().setSelectionStart(int(line.size()));
    const QString more(300, QLatin1Char('w'));
    type(more);
    QApplication::processEvents();
    EXPECT_EQ(doc().Lines().LineCount(), 2);
    EXPECT_GT(widget()->horizontalScrollBar()->maximum(), range);
    EXPECT_GT(widget()->horizontalScrollBar()->value(), range / 2);
    EXPECT_EQ(doc().Text(), line + more + QStringLiteral("\r\nkrátky"));

    choose(form->lineWrapItem);
    QApplication::processEvents();
    EXPECT_TRUE(form->lineWrapItem->isChecked());
    EXPECT_GT(doc().Lines().LineCount(), 4);
    EXPECT_EQ(widget()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(FormatCommandsTest, LoadedDocumentStaysUnwrappedWithItsOwnScrollRange)
{
    form->show();
    choose(form->lineWrapItem);
    QByteArray line;
    for (int i = 0; i < 100; ++i)
        line += "slovo " + QByteArray::number(i) + ' ';
    doc().Lines().LoadFile(folder.writeDocument(QStringLiteral("dlhy.txt"), line + "\r\nkratky"));
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_EQ(doc().Lines().LineCount(), 2);
    EXPECT_GT(widget()->horizontalScrollBar()->maximum(), 0);

    // A short document after it: the page is no wider than the view and a quarter.
    doc().Lines().LoadFile(folder.writeDocument(QStringLiteral("kratky.txt"), "kratky"));
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_LE(widget()->horizontalScrollBar()->maximum(), widget()->viewport()->width() / 4);
}

} // namespace
