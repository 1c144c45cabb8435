// The commands that show the dialog windows, run as the user runs them: keys pressed with the
// focus in the document, toolbar buttons and menu items, the dialog played through the
// scripted platform; checked by the document, the selection, the state files and what was
// shown.
#include "FormsTestSupport.h"
#include "forms/Program.h"
#include "forms/dialogs/AboutBox.h"
#include "forms/dialogs/HyperlinkDialog.h"
#include "forms/dialogs/PageSetupDialog.h"
#include "forms/dialogs/GoToLineDialog.h"
#include "forms/dialogs/HelpWindow.h"
#include "forms/dialogs/ClipboardViewer.h"
#include "forms/dialogs/ReplaceDialog.h"
#include "forms/dialogs/FindDialog.h"
#include "forms/dialogs/StatisticsDialog.h"
#include "forms/widgets/ColorStrip.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace zorim;
using namespace zorim::test;

namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

class ToolsCommandsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        windows = createWindows(platform, settings, {});
        ASSERT_TRUE(windows->mainWindow);
        form = windows->mainWindow.get();
        ASSERT_EQ(platform.errors(), QStringList());
    }

    RichEdit& doc() { return *form->RichEdit1; }
    QTextEdit* widget() { return form->RichEdit1->widget(); }

    // Keys pressed with the focus in the document.
    void type(const QString& text)
    {
        typeText(widget(), text);
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(widget(), key, modifiers); }
    void select(int start, int length)
    {
        doc().setSelectionStart(start);
        doc().setSelectionLength(length);
    }
    std::pair<int, int> selection() { return {doc().SelectionStart(), doc().SelectionLength()}; }

    // The user's part while the next dialog is open; the actions must close it.
    void user(std::function<void(QDialog&)> actions) { platform.answerModalAsUser(std::move(actions)); }
    // A field filled as typed, then the dialog confirmed with Enter.
    static void fill(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    static void enter(QWidget* field) { QTest::keyClick(field, Qt::Key_Return); }
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The find dialog confirmed with a text, or cancelled.
    void findDialogConfirms(const QString& text)
    {
        user([this, text](QDialog&) {
            fill(windows->find->Edit1, text);
            enter(windows->find->Edit1);
        });
    }
    void cancels()
    {
        user([](QDialog& dialog) { dialog.reject(); });
    }
    QStringList shownDialogs() const { return platform.texts(ScriptedPlatform::Kind::Modal); }

    std::unique_ptr<Windows> windows;
    MainWindow* form = nullptr;
};

} // namespace

// ---- find and find next ----------------------------------------------------------------------

TEST_F(ToolsCommandsTest, FindSelectsTheFirstMatchAndFindNextWalksOnWrappingToTheTop)
{
    type(QStringLiteral("abc abc abc"));
    findDialogConfirms(QStringLiteral("abc"));
    press(Qt::Key_F9);
    EXPECT_EQ(shownDialogs(), QStringList{u("Hľadať text")});
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("abc"));
    EXPECT_EQ(selection(), std::make_pair(0, 3));

    press(Qt::Key_F10);
    EXPECT_EQ(selection(), std::make_pair(4, 3));
    press(Qt::Key_F10);
    EXPECT_EQ(selection(), std::make_pair(8, 3));
    press(Qt::Key_F10);
    EXPECT_EQ(selection(), std::make_pair(0, 3));

    // From the caret: the next match after it.
    select(5, 0);
    press(Qt::Key_F10);
    EXPECT_EQ(selection(), std::make_pair(8, 3));
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(ToolsCommandsTest, FindIsCaseSensitiveAndNoMatchLeavesTheSelection)
{
    type(QStringLiteral("abc abc"));
    select(1, 2);
    findDialogConfirms(QStringLiteral("Abc"));
    press(Qt::Key_F9);
    EXPECT_EQ(selection(), std::make_pair(1, 2));
    press(Qt::Key_F10);
    EXPECT_EQ(selection(), std::make_pair(1, 2));

    // An empty text finds nothing either.
    findDialogConfirms(QString());
    press(Qt::Key_F9);
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray());
    EXPECT_EQ(selection(), std::make_pair(1, 2));
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(ToolsCommandsTest, CancelledFindSearchesForTheTextConfirmedLastAlsoInAnEarlierRun)
{
    folder.write("hladat.ini", "dva"); // confirmed in an earlier run
    type(QStringLiteral("jeden dva"));
    user([this](QDialog&) {
        fill(windows->find->Edit1, QStringLiteral("jeden"));
        click(windows->find->Button2); // "Storno"
    });
    form->findButton->click(); // the toolbar's "Nájsť"
    EXPECT_EQ(shownDialogs(), QStringList{u("Hľadať text")});
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("dva"));
    EXPECT_EQ(selection(), std::make_pair(6, 3));

    // The menu item, the close box.
    user([](QDialog& dialog) { dialog.close(); });
    select(0, 0);
    form->findItem->trigger();
    EXPECT_EQ(selection(), std::make_pair(6, 3));
}

TEST_F(ToolsCommandsTest, FindBeforeAnySearchWasConfirmedShowsTheStoresMessageAndChangesNothing)
{
    ASSERT_FALSE(folder.exists("hladat.ini"));
    type(QStringLiteral("abc"));
    select(1, 1);
    press(Qt::Key_F10);
    EXPECT_EQ(platform.errors(), QStringList{"File not found"});
    cancels();
    press(Qt::Key_F9);
    EXPECT_EQ(platform.errors(), (QStringList{"File not found", "File not found"}));
    EXPECT_EQ(selection(), std::make_pair(1, 1));
    EXPECT_EQ(doc().Text(), QStringLiteral("abc"));
}

// ---- replace ---------------------------------------------------------------------------------

TEST_F(ToolsCommandsTest, ReplaceReplacesEveryMatchAsOneChangeAndOneUndoStep)
{
    type(QStringLiteral("abab ab"));
    QSignalSpy changes(&doc(), &RichEdit::OnChange);
    user([this](QDialog&) {
        fill(windows->replace->Edit1, QStringLiteral("ab"));
        fill(windows->replace->Edit2, QStringLiteral("xyz"));
        enter(windows->replace->Edit2);
    });
    press(Qt::Key_F11);
    EXPECT_EQ(shownDialogs(), QStringList{u("Nahradiť text")});
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("ab"));
    EXPECT_EQ(folder.read("nahradit.ini"), QByteArray("xyz"));
    EXPECT_EQ(doc().Text(), QStringLiteral("xyzxyz xyz"));
    EXPECT_EQ(selection(), std::make_pair(7, 3)); // the last replacement
    EXPECT_EQ(changes.count(), 1);

    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().Text(), QStringLiteral("abab ab"));
    EXPECT_EQ(platform.errors(), QStringList());

    // "a" by "aa": what a replacement brought in is not searched again.
    doc().setText(QStringLiteral("a a"));
    user([this](QDialog&) {
        fill(windows->replace->Edit1, QStringLiteral("a"));
        fill(windows->replace->Edit2, QStringLiteral("aa"));
        click(windows->replace->Button1);
    });
    press(Qt::Key_F11);
    EXPECT_EQ(doc().Text(), QStringLiteral("aa aa"));
}

TEST_F(ToolsCommandsTest, ReplaceOfMoreMatchesThanTheUndoLimitIsStillUndoneInOneStep)
{
    const QString many = QStringLiteral("x ").repeated(150);
    doc().setSelectedText(many);
    user([this](QDialog&) {
        fill(windows->replace->Edit1, QStringLiteral("x"));
        fill(windows->replace->Edit2, QStringLiteral("yy"));
        click(windows->replace->Button1);
    });
    form->replaceButton->click(); // the toolbar's "Nahradiť"
    EXPECT_EQ(doc().Text(), QStringLiteral("yy ").repeated(150));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().Text(), many);
}

// "Storno" and the close box change nothing, before any replacement was confirmed (no state
// file is read, so none is missed) and after one.
TEST_F(ToolsCommandsTest, CancelledReplaceChangesNothing)
{
    type(QStringLiteral("x"));
    cancels();
    press(Qt::Key_F11);
    EXPECT_EQ(doc().Text(), QStringLiteral("x"));
    EXPECT_EQ(platform.errors(), QStringList());

    user([this](QDialog&) {
        fill(windows->replace->Edit1, QStringLiteral("x"));
        fill(windows->replace->Edit2, QStringLiteral("y"));
        click(windows->replace->Button1);
    });
    press(Qt::Key_F11);
    EXPECT_EQ(doc().Text(), QStringLiteral("y"));

    press(Qt::Key_End);
    type(QStringLiteral(" x x"));
    user([this](QDialog&) {
        fill(windows->replace->Edit1, QStringLiteral("q"));
        click(windows->replace->Button2); // "Storno"
    });
    form->replaceItem->trigger();
    user([](QDialog& dialog) { dialog.close(); });
    press(Qt::Key_F11);
    EXPECT_EQ(doc().Text(), QStringLiteral("y x x"));
    EXPECT_EQ(selection(), std::make_pair(5, 0)); // the caret where the typing left it
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("x"));
    EXPECT_EQ(platform.errors(), QStringList());
}

// The caret panel and the colour strips show the selection each command left, also when the
// command came from a button and no key reached the document.
TEST_F(ToolsCommandsTest, TheStatusBarFollowsTheSelectionEveryCommandLeaves)
{
    for (const char* line : {"jeden ab", "dva", "tri", "styri ab"}) {
        if (doc().TextLength() > 0)
            press(Qt::Key_Return);
        type(QString::fromLatin1(line));
    }
    select(doc().TextLength() - 2, 2);
    doc().SelectionAttributes().setColor(0x0000FF); // red
    press(Qt::Key_Home, Qt::ControlModifier);
    settle();
    const auto shows = [this](const char* caret, const QColor& text) {
        settle();
        EXPECT_EQ(panel(*form, 0), QString::fromLatin1(caret));
        EXPECT_EQ(form->textColorStrip->color(), text);
    };
    shows("   1 /  1", Qt::black);

    // The dialog runs its own event loop, as the program shows it.
    platform.answerModal([this](QDialog& dialog) {
        QTimer::singleShot(0, &dialog, [this] {
            fill(windows->replace->Edit1, QStringLiteral("ab"));
            fill(windows->replace->Edit2, QStringLiteral("xyz"));
            click(windows->replace->Button1);
        });
        return dialog.exec();
    });
    form->replaceButton->click();
    EXPECT_EQ(selection(), std::make_pair(doc().TextLength() - 3, 3));
    shows("   4 / 10", Qt::red);

    findDialogConfirms(QStringLiteral("jeden"));
    form->findButton->click();
    shows("   1 /  6", Qt::black);

    user([this](QDialog&) {
        windows->goToLine->SpinEdit1->setValue(4);
        click(windows->goToLine->Button1);
    });
    form->goToLineItem->trigger();
    shows("   4 /  1", Qt::black);
}

// ---- go to line ------------------------------------------------------------------------------

TEST_F(ToolsCommandsTest, GoToLinePutsTheCaretAtTheStartOfTheTypedLine)
{
    for (const char* line : {"jeden", "dva", "tri", "styri", "pat"}) {
        if (doc().TextLength() > 0)
            press(Qt::Key_Return);
        type(QString::fromLatin1(line));
    }
    const auto goTo = [this](int line) {
        user([this, line](QDialog&) {
            windows->goToLine->SpinEdit1->setValue(line);
            click(windows->goToLine->Button1);
        });
        press(Qt::Key_F7);
    };
    goTo(3);
    EXPECT_EQ(shownDialogs(), QStringList{u("Riadok")});
    EXPECT_EQ(folder.read("riadok.ini"), QByteArray("3"));
    EXPECT_EQ(selection(), std::make_pair(doc().LineStart(2), 0));
    EXPECT_EQ(doc().LineStart(2), 10);

    // Cancelled: the line confirmed last.
    press(Qt::Key_End, Qt::ControlModifier);
    cancels();
    form->goToLineItem->trigger();
    EXPECT_EQ(selection(), std::make_pair(10, 0));

    goTo(1);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    // No wrap at 65536: past the last line is the start of the last line.
    goTo(65537);
    EXPECT_EQ(selection(), std::make_pair(doc().LineStart(4), 0));
    goTo(0);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    press(Qt::Key_End, Qt::ControlModifier);
    goTo(-5);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
    EXPECT_EQ(folder.read("riadok.ini"), QByteArray("-5"));
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(ToolsCommandsTest, GoToLineWithAnUnreadableNumberShowsTheErrorAndTheCaretStays)
{
    type(QStringLiteral("abc"));
    select(2, 0);
    cancels();
    press(Qt::Key_F7);
    EXPECT_EQ(platform.errors(), QStringList{"File not found"});

    folder.write("riadok.ini", "tri");
    cancels();
    press(Qt::Key_F7);
    EXPECT_EQ(platform.errors().last(), u("'tri' is not a valid integer value"));
    EXPECT_EQ(selection(), std::make_pair(2, 0));
}

// ---- statistics, clipboard viewer, calculator ------------------------------------------------

TEST_F(ToolsCommandsTest, StatisticsCountTheDocumentEachTime)
{
    type(u("Dobrý deň"));
    StatisticsDialog& statistics = *windows->statistics;
    user([&statistics](QDialog&) {
        EXPECT_EQ(statistics.Label2->text(), "9");
        EXPECT_EQ(statistics.Label4->text(), "2");
        EXPECT_EQ(statistics.Label6->text(), "1");
        EXPECT_EQ(statistics.Label8->text(), "1");
        click(statistics.Button1);
    });
    press(Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(shownDialogs(), QStringList{u("Štatistika dokumentu")});

    press(Qt::Key_Return);
    type(QStringLiteral("ab"));
    user([&statistics](QDialog&) {
        EXPECT_EQ(statistics.Label2->text(), "13");
        EXPECT_EQ(statistics.Label6->text(), "2");
        click(statistics.Button1);
    });
    form->statisticsItem->trigger();
}

TEST_F(ToolsCommandsTest, ClipboardViewerShowsWhatTheClipboardHoldsNow)
{
    QApplication::clipboard()->setText(u("ŠTATISTIKA ABC"));
    ClipboardViewer& viewer = *windows->clipboardViewer;
    user([&viewer](QDialog&) {
        EXPECT_EQ(viewer.RichEdit1->Text(), u("ŠTATISTIKA ABC"));
        EXPECT_EQ(viewer.RichEdit2->Text(), u("Štatistika abc\r\n"));
        click(viewer.Button1);
    });
    press(Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(shownDialogs(), QStringList{u("Obsah schránky")});

    QApplication::clipboard()->setText(QStringLiteral("Druhy"));
    user([&viewer](QDialog&) {
        EXPECT_EQ(viewer.RichEdit2->Text(), QStringLiteral("druhy\r\n"));
        click(viewer.Button1);
    });
    form->clipboardItem->trigger();
}

TEST_F(ToolsCommandsTest, CtrlF5StartsTheCalculatorAndNotThePageSetup)
{
    QTemporaryDir bin;
    const QString calculator = bin.filePath(QStringLiteral("xcalc"));
    {
        QFile file(calculator);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()));
    press(Qt::Key_F5, Qt::ControlModifier);
    form->calculatorItem->trigger();
    qputenv("PATH", path);

    ASSERT_EQ(platform.started().size(), 2u);
    EXPECT_EQ(platform.started()[0].program, calculator);
    EXPECT_EQ(platform.started()[1].program, calculator);
    EXPECT_EQ(shownDialogs(), QStringList());
    EXPECT_EQ(platform.errors(), QStringList());
}

// ---- help and about --------------------------------------------------------------------------

TEST_F(ToolsCommandsTest, HelpFromTheKeyTheMenuAndTheButtonAndTheAboutBox)
{
    for (int i = 0; i < 3; ++i)
        user([](QDialog& dialog) { dialog.close(); });
    press(Qt::Key_F1, Qt::ControlModifier);
    form->helpTopicsItem->trigger();
    form->helpButton->click();
    const QString help = u("Ako pracovať s programom?");
    EXPECT_EQ(shownDialogs(), (QStringList{help, help, help}));

    platform.clearShown();
    user([this](QDialog&) { click(windows->aboutBox->OKButton); });
    press(Qt::Key_F2, Qt::ControlModifier);
    user([this](QDialog&) { click(windows->aboutBox->OKButton); });
    form->aboutItem->trigger();
    EXPECT_EQ(shownDialogs(), (QStringList{u("O programe"), u("O programe")}));
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(ToolsCommandsTest, HelpOnNewAndOpenTellsOfTheQuestionAndOfACancelledSave)
{
    HelpWindow& help = *windows->help;
    help.Button3Click();
    const QString onNew = help.RichEdit1->Text();
    EXPECT_TRUE(onNew.contains(u("Chcete uložiť rozpísaný dokument?")));
    EXPECT_TRUE(onNew.contains(u("zrušíte"))) << onNew.toStdString();
    help.Button4Click();
    const QString onOpen = help.RichEdit1->Text();
    EXPECT_TRUE(onOpen.contains(u("Chcete uložiť rozpísaný dokument?"))) << onOpen.toStdString();
    EXPECT_EQ(platform.errors(), QStringList());
}

// ---- hyperlink -------------------------------------------------------------------------------

TEST_F(ToolsCommandsTest, HyperlinkInsertsTheTypedAddressInPlaceOfTheSelection)
{
    type(QStringLiteral("Pozri: X"));
    select(7, 1);
    HyperlinkDialog& link = *windows->hyperlink;
    user([&link](QDialog&) {
        EXPECT_EQ(link.Edit1->text(), QStringLiteral("http://"));
        link.Edit1->setFocus();
        link.Edit1->end(false);
        QTest::keyClicks(link.Edit1, QStringLiteral("www.zorim.sk"));
        enter(link.Edit1);
    });
    press(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(shownDialogs(), QStringList{u("Vložiť hypertextový odkaz")});
    EXPECT_EQ(doc().Text(), QStringLiteral("Pozri: http://www.zorim.sk"));
    EXPECT_EQ(selection(), std::make_pair(7, 19));

    // "Storno" inserts nothing; the field keeps the address for the next showing.
    user([&link](QDialog&) {
        EXPECT_EQ(link.Edit1->text(), QStringLiteral("http://www.zorim.sk"));
        click(link.Button2);
    });
    form->hyperlinkButton->click();
    user([&link](QDialog&) { click(link.Button1); });
    form->hyperlinkItem->trigger();
    EXPECT_EQ(doc().Text(), QStringLiteral("Pozri: http://www.zorim.sk"));
    EXPECT_EQ(shownDialogs().size(), 3);
}

// ---- page setup ------------------------------------------------------------------------------

TEST_F(ToolsCommandsTest, PageSetupShapesTheMainWindowForThePage)
{
    PageSetupDialog& setup = *windows->pageSetup;
    QApplication::processEvents(); // the window just shown lays itself out
    const QRect editor = doc().geometry();
    const auto choose = [&](QRadioButton* size, QRadioButton* orientation, QAbstractButton* button) {
        user([=](QDialog&) {
            click(size);
            click(orientation);
            click(button);
        });
        form->pageSetupItem->trigger();
    };

    choose(setup.RadioButton3, setup.RadioButton7, setup.Button1); // A5, "na šírku", OK
    EXPECT_EQ(shownDialogs(), QStringList{u("Nastavenie programu")});
    EXPECT_EQ(form->outerWidth(), 714);
    EXPECT_EQ(doc().geometry(), QRect(8, editor.y(), 690, editor.height()));
    // The window was laid out for its width: the status bar spans the new client area.
    EXPECT_EQ(form->StatusBar1->width(), 714 - 8);

    choose(setup.RadioButton1, setup.RadioButton7, setup.Button1); // A4 landscape
    EXPECT_EQ(form->outerWidth(), 660);
    EXPECT_EQ(doc().geometry(), QRect(8, editor.y(), 636, editor.height()));
    const QRect a4 = form->geometry();
    choose(setup.RadioButton1, setup.RadioButton8, setup.Button1); // A4 portrait
    EXPECT_EQ(form->geometry(), a4);
    EXPECT_EQ(doc().geometry(), QRect(8, editor.y(), 636, editor.height()));

    // "Storno" changes nothing, and the dialog shows the choice again.
    choose(setup.RadioButton4, setup.RadioButton7, setup.Button2); // A6 landscape, Storno
    EXPECT_EQ(form->geometry(), a4);
    EXPECT_EQ(doc().geometry(), QRect(8, editor.y(), 636, editor.height()));
    user([&setup](QDialog&) {
        EXPECT_TRUE(setup.RadioButton4->isChecked());
        EXPECT_TRUE(setup.RadioButton7->isChecked());
        click(setup.Button1);
    });
    form->pageSetupItem->trigger();
    EXPECT_EQ(form->outerWidth(), 660);
    EXPECT_EQ(doc().geometry(), QRect(75, editor.y(), 510, editor.height()));

    choose(setup.RadioButton2, setup.RadioButton8, setup.Button1); // A3 portrait
    EXPECT_EQ(form->outerWidth(), 800);
    EXPECT_EQ(doc().geometry(), QRect(8, editor.y(), 777, editor.height()));
    EXPECT_EQ(platform.errors(), QStringList());
}

// The dialog shows and sets the paper of the section where the caret stands, the first one's
// being the document's; one undo step, the document modified.
TEST_F(ToolsCommandsTest, PageSetupSetsThePaperOfTheCaretsSection)
{
    PageSetupDialog& setup = *windows->pageSetup;
    QByteArray rtf = "{\\rtf1\\ansi\\paperw11906\\paperh16838\\margl1134 Prvy\\par\\sect\\sectd\\pgwsxn8391\\pghsxn11906"
                     "\\marglsxn1000 Druhy\\par}";
    QBuffer stream(&rtf);
    stream.open(QIODevice::ReadOnly);
    doc().LoadStream(stream);
    doc().setModified(false);
    const int second = 5; // "Druhy", after "Prvy" and its break
    doc().setSelectionStart(second);
    user([&](QDialog&) {
        EXPECT_TRUE(setup.RadioButton3->isChecked()) << "the section's A5";
        EXPECT_TRUE(setup.RadioButton8->isChecked());
        click(setup.RadioButton7); // "na šírku"
        click(setup.Button1);
    });
    form->pageSetupItem->trigger();
    PageSetup a5 = doc().SectionPage();
    EXPECT_EQ(a5.paperWidth, 11906);
    EXPECT_EQ(a5.paperHeight, 8391);
    EXPECT_TRUE(a5.landscape);
    EXPECT_EQ(a5.marginLeft, 1000) << "the margins stay";
    EXPECT_TRUE(doc().Modified());
    doc().setSelectionStart(0);
    EXPECT_EQ(doc().SectionPage().paperWidth, 11906) << "the first section keeps its paper";
    EXPECT_FALSE(doc().SectionPage().landscape);
    doc().Undo();
    doc().setSelectionStart(second);
    EXPECT_EQ(doc().SectionPage().paperWidth, 8391) << "one step takes it back";
    EXPECT_FALSE(doc().SectionPage().landscape);

    doc().setSelectionStart(0);
    user([&](QDialog&) {
        EXPECT_TRUE(setup.RadioButton1->isChecked()) << "the first section's A4";
        EXPECT_TRUE(setup.RadioButton8->isChecked());
        click(setup.RadioButton2); // A3
        click(setup.Button1);
    });
    form->pageSetupItem->trigger();
    EXPECT_EQ(doc().SectionPage().paperHeight, 23811);
    EXPECT_EQ(doc().SectionPage().marginLeft, 1134);
    doc().setSelectionStart(second);
    EXPECT_EQ(doc().SectionPage().paperWidth, 8391);
}
