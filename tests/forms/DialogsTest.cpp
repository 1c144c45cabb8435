// The dialog windows as a user meets them: fields typed into, buttons pressed, the close box,
// in a temporary program folder on the scripted platform.
#include "ProgramFolder.h"
#include "QStringPrinter.h"
#include "ScriptedPlatform.h"
#include "forms/commands/DesktopCalculator.h"
#include "forms/ProgramInfo.h"
#include "forms/dialogs/AboutBox.h"
#include "forms/dialogs/HyperlinkDialog.h"
#include "forms/dialogs/PageSetupDialog.h"
#include "forms/dialogs/GoToLineDialog.h"
#include "forms/dialogs/HelpWindow.h"
#include "forms/dialogs/ClipboardViewer.h"
#include "forms/dialogs/ReplaceDialog.h"
#include "forms/dialogs/FindDialog.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

class DialogsTest : public ::testing::Test {
protected:
    // The user's part while the dialog is shown. The dialog must be closed at the end.
    void user(std::function<void(QDialog&)> actions) { platform.answerModalAsUser(std::move(actions)); }
    static void type(QWidget* field, const QString& text)
    {
        field->setFocus();
        QTest::keyClicks(field, text);
    }
    static void enter(QWidget* field) { QTest::keyClick(field, Qt::Key_Return); }
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    ProgramFolder folder;
    SettingsStore settings{folder.path()};
    ScriptedPlatform platform;
};

} // namespace

// ---- find and replace ---------------------------------------------------------------------

TEST_F(DialogsTest, FindWritesTheTypedTextOnEnterAndKeepsItForTheNextShowing)
{
    FindDialog form(platform, settings);
    EXPECT_EQ(form.windowTitle(), u("Hľadať text"));
    EXPECT_TRUE(form.Button1->isDefault());
    user([&](QDialog&) {
        EXPECT_EQ(form.Edit1->text(), QString());
        type(form.Edit1, "zlty");
        form.Edit1->setText(u("žltý kôň")); // QTest types Latin-1 only
        enter(form.Edit1);
    });
    EXPECT_EQ(form.execute(), QDialog::Accepted);
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("\x9elt\xfd k\xf4\xf2"));

    user([&](QDialog&) {
        EXPECT_EQ(form.Edit1->text(), u("žltý kôň"));
        form.Edit1->setText(QString());
        click(form.Button1);
    });
    form.execute();
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray());
}

TEST_F(DialogsTest, FindCancelledOrClosedWritesNothing)
{
    FindDialog form(platform, settings);
    folder.write("hladat.ini", "stary");
    user([&](QDialog&) {
        type(form.Edit1, "novy");
        click(form.Button2);
    });
    EXPECT_EQ(form.execute(), QDialog::Rejected);
    user([&](QDialog& dialog) {
        type(form.Edit1, "x");
        dialog.close(); // the close box
    });
    EXPECT_EQ(form.execute(), QDialog::Rejected);
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("stary"));
    EXPECT_EQ(form.Edit1->text(), "novyx"); // still there for the next showing
}

TEST_F(DialogsTest, FindThatCannotWriteItsFileShowsTheErrorAndStaysOpen)
{
    FindDialog form(platform, settings);
    QDir().mkpath(folder.dataPath("hladat.ini")); // a folder where the file should be
    platform.answerModal([&](QDialog& dialog) {
        dialog.show();
        type(form.Edit1, "abc");
        click(form.Button1);
        EXPECT_TRUE(dialog.isVisible());
        click(form.Button2);
        return dialog.result();
    });
    EXPECT_EQ(form.execute(), QDialog::Rejected);
    EXPECT_EQ(platform.errors(), QStringList{"File access denied"});
}

TEST_F(DialogsTest, ReplaceWritesBothTextsOnlyWhenConfirmed)
{
    ReplaceDialog form(platform, settings);
    EXPECT_EQ(form.windowTitle(), u("Nahradiť text"));
    EXPECT_EQ(form.Edit2->parentWidget(), &form);
    user([&](QDialog&) {
        type(form.Edit1, "x");
        form.Edit2->setText(u("ý"));
        enter(form.Edit2);
    });
    form.execute();
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("x"));
    EXPECT_EQ(folder.read("nahradit.ini"), QByteArray("\xfd"));

    user([&](QDialog&) {
        form.Edit1->setText("a");
        form.Edit2->setText("b");
        click(form.Button2);
    });
    form.execute();
    EXPECT_EQ(folder.read("hladat.ini"), QByteArray("x"));
    EXPECT_EQ(folder.read("nahradit.ini"), QByteArray("\xfd"));
}

// ---- go to line ---------------------------------------------------------------------------

TEST_F(DialogsTest, GoToLineWritesTheNumberAsTyped)
{
    GoToLineDialog form(platform, settings);
    EXPECT_EQ(form.windowTitle(), u("Riadok"));
    EXPECT_EQ(form.SpinEdit1->Value(), 0);
    const QString separator = QLocale().decimalPoint();
    struct Case {
        QString typed;
        QByteArray stored;
    };
    const Case cases[] = {
        {"12", "12"},
        {"-3", "-3"},
        {"1a2b", "12"},                      // letters are refused as they are typed
        {"1" + separator + "5", "0"},        // not a whole number
        {"99999999999", "0"},                // beyond any line number
        {"+7", "7"},
    };
    for (const Case& c : cases) {
        user([&](QDialog&) {
            form.SpinEdit1->lineEdit()->clear();
            type(form.SpinEdit1, c.typed);
            enter(form.SpinEdit1);
        });
        form.execute();
        EXPECT_EQ(folder.read("riadok.ini"), c.stored) << c.typed.toStdString();
    }
}

TEST_F(DialogsTest, GoToLineArrowsStepTheValueWhichIsKeptUnlessCancelled)
{
    GoToLineDialog form(platform, settings);
    user([&](QDialog&) {
        form.SpinEdit1->setFocus();
        QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QTest::keyClick(form.SpinEdit1, Qt::Key_Up);
        QTest::keyClick(form.SpinEdit1, Qt::Key_Down);
        click(form.Button1);
    });
    form.execute();
    EXPECT_EQ(folder.read("riadok.ini"), QByteArray("2"));

    user([&](QDialog&) {
        EXPECT_EQ(form.SpinEdit1->Value(), 2);
        form.SpinEdit1->lineEdit()->setText("abc"); // pasted text counts as 0
        EXPECT_EQ(form.SpinEdit1->Value(), 0);
        click(form.Button2);
    });
    form.execute();
    EXPECT_EQ(folder.read("riadok.ini"), QByteArray("2"));
}

// ---- hyperlink ----------------------------------------------------------------------------

TEST_F(DialogsTest, HyperlinkInsertsTheFieldExactlyAsTypedInPlaceOfTheSelection)
{
    HyperlinkDialog form(platform);
    EXPECT_EQ(form.windowTitle(), u("Vložiť hypertextový odkaz"));
    RichEdit document;
    document.setText("Adresa: X.");
    document.setSelectionStart(8);
    document.setSelectionLength(1);

    user([&](QDialog&) {
        EXPECT_EQ(form.Edit1->text(), "http://");
        enter(form.Edit1);
    });
    form.execute(document);
    EXPECT_EQ(document.Text(), "Adresa: http://.");
    EXPECT_EQ(document.SelectedText(), "http://");

    user([&](QDialog&) {
        form.Edit1->setText("www.zorim.sk ");
        click(form.Button1);
    });
    form.execute(document);
    EXPECT_EQ(document.Text(), "Adresa: www.zorim.sk .");

    // An empty field removes the selection.
    user([&](QDialog&) {
        form.Edit1->clear();
        click(form.Button1);
    });
    form.execute(document);
    EXPECT_EQ(document.Text(), "Adresa: .");
}

TEST_F(DialogsTest, HyperlinkCancelledOrClosedInsertsNothingButKeepsTheTypedAddress)
{
    HyperlinkDialog form(platform);
    RichEdit document;
    document.setText("abc");
    document.SelectAll();
    user([&](QDialog&) {
        form.Edit1->setText("https://example.sk");
        click(form.Button2);
    });
    form.execute(document);
    user([&](QDialog& dialog) {
        EXPECT_EQ(form.Edit1->text(), "https://example.sk");
        dialog.close();
    });
    form.execute(document);
    EXPECT_EQ(document.Text(), "abc");
}

// ---- page setup ---------------------------------------------------------------------------

namespace {

// Records what page setup does to the main window, in order.
struct RecordingWindow {
    QStringList calls;
    PageTarget target()
    {
        return {[this](int w) { calls << QStringLiteral("window %1").arg(w); },
                [this](int x) { calls << QStringLiteral("left %1").arg(x); },
                [this](int w) { calls << QStringLiteral("width %1").arg(w); },
                {},
                {}}; // no document
    }
};

} // namespace

TEST_F(DialogsTest, PageSetupRunsThePortraitRoutineThenTheLandscapeOne)
{
    PageSetupDialog form(platform, settings);
    RecordingWindow window;
    form.setTarget(window.target());
    EXPECT_TRUE(form.RadioButton1->isChecked()); // A4
    EXPECT_TRUE(form.RadioButton8->isChecked()); // portrait

    user([&](QDialog&) {
        click(form.RadioButton3); // A5
        click(form.RadioButton7); // landscape
        click(form.Button1);
    });
    form.execute();
    EXPECT_EQ(window.calls, (QStringList{"window 660", "left 75", "width 510", "window 714", "left 8", "width 690"}));

    // A4 landscape keeps the width that A4 portrait set.
    window.calls.clear();
    user([&](QDialog&) {
        click(form.RadioButton1);
        click(form.Button1);
    });
    form.execute();
    EXPECT_EQ(window.calls, (QStringList{"window 660", "left 8", "width 636", "left 8", "width 636"}));
}

TEST_F(DialogsTest, PageSetupGeometryOfEverySize)
{
    PageSetupDialog form(platform, settings);
    RecordingWindow window;
    form.setTarget(window.target());
    struct Case {
        QRadioButton* size;
        bool landscape;
        QStringList last; // the values that stand at the end
    };
    const Case cases[] = {
        {form.RadioButton4, false, {"window 660", "left 157", "width 345"}},
        {form.RadioButton4, true, {"window 660", "left 75", "width 510"}},
        {form.RadioButton3, false, {"window 660", "left 75", "width 510"}},
        {form.RadioButton2, false, {"window 800", "left 8", "width 777"}},
        {form.RadioButton2, true, {"window 800", "left 8", "width 777"}},
    };
    for (const Case& c : cases) {
        window.calls.clear();
        user([&](QDialog&) {
            click(c.size);
            click(c.landscape ? form.RadioButton7 : form.RadioButton8);
            click(form.Button1);
        });
        form.execute();
        EXPECT_EQ(window.calls.mid(window.calls.size() - 3), c.last) << c.size->text().toStdString() << c.landscape;
    }
}

TEST_F(DialogsTest, PageSetupCancelledChangesNothingAndKeepsTheRadioButtons)
{
    PageSetupDialog form(platform, settings);
    RecordingWindow window;
    form.setTarget(window.target());
    user([&](QDialog&) {
        click(form.RadioButton4);
        click(form.RadioButton7);
        click(form.Button2);
    });
    form.execute();
    user([&](QDialog& dialog) {
        EXPECT_TRUE(form.RadioButton4->isChecked());
        EXPECT_TRUE(form.RadioButton7->isChecked());
        dialog.close();
    });
    form.execute();
    EXPECT_TRUE(window.calls.isEmpty());
}

TEST_F(DialogsTest, PageSetupShowsTheOrientationPictureOrSaysWhichFileIsMissing)
{
    PageSetupDialog form(platform, settings);
    const QImage portrait = form.Image1->pixmap().toImage();
    user([&](QDialog&) {
        click(form.RadioButton7);
        EXPECT_EQ(form.Image1->pixmap().toImage(), QImage(folder.dataPath("sirka.bmp")).convertToFormat(QImage::Format_RGB32));
        click(form.RadioButton8);
        EXPECT_EQ(form.Image1->pixmap().toImage(), QImage(folder.dataPath("vyska.bmp")).convertToFormat(QImage::Format_RGB32));
        click(form.Button2);
    });
    form.execute();
    EXPECT_NE(portrait, QImage());
    EXPECT_TRUE(platform.errors().isEmpty());

    folder.remove("sirka.bmp");
    const QImage before = form.Image1->pixmap().toImage();
    user([&](QDialog&) {
        click(form.RadioButton7);
        click(form.Button2);
    });
    form.execute();
    EXPECT_EQ(platform.errors(), QStringList{"Cannot open file " + folder.dataPath("sirka.bmp")});
    EXPECT_TRUE(form.RadioButton7->isChecked());
    EXPECT_EQ(form.Image1->pixmap().toImage(), before);
}

// ---- help topics and about box ------------------------------------------------------------

TEST_F(DialogsTest, HelpShowsTheFirstTopicAndEachButtonItsOwn)
{
    HelpWindow form(platform, settings);
    EXPECT_EQ(form.windowTitle(), u("Ako pracovať s programom?"));
    EXPECT_TRUE(platform.errors().isEmpty());
    EXPECT_TRUE(form.RichEdit1->Text().startsWith(u("Čo je nové v tejto verzii?")));
    struct Case {
        QPushButton* button;
        const char* heading;
    };
    const Case cases[] = {
        {form.Button2, "Základné funkcie"},     {form.Button3, "Vytvoriť nový dokument"},
        {form.Button4, "Otváranie dokumentu"},  {form.Button5, "Ukladanie dokumentu"},
        {form.Button6, "Vytlačenie dokumentu"}, {form.Button7, "Špeciálne funkcie"},
        {form.Button9, "Klávesové skratky"},    {form.Button8, "LICENCIA"},
        {form.Button1, "Čo je nové v tejto verzii?"},
    };
    for (const Case& c : cases) {
        click(c.button);
        EXPECT_TRUE(form.RichEdit1->Text().startsWith(u(c.heading))) << c.heading;
        // A real rich text document: the heading is bold.
        form.RichEdit1->setSelectionStart(0);
        form.RichEdit1->setSelectionLength(3);
        EXPECT_EQ(form.RichEdit1->SelectionAttributes().Style() & fs::Bold, fs::Bold) << c.heading;
    }
    EXPECT_TRUE(platform.errors().isEmpty());
    EXPECT_TRUE(form.Label1->text().endsWith(programVersion()));
}

TEST_F(DialogsTest, HelpKeepsTheLastTopicBetweenShowings)
{
    HelpWindow form(platform, settings);
    user([&](QDialog& dialog) {
        click(form.Button5);
        dialog.close();
    });
    form.execute();
    user([&](QDialog& dialog) {
        EXPECT_TRUE(form.RichEdit1->Text().startsWith(u("Ukladanie dokumentu")));
        dialog.close();
    });
    form.execute();
}

TEST_F(DialogsTest, HelpTopicThatCannotBeReadIsNamedAndTheFieldKeepsItsContent)
{
    folder.remove("help1.zrm");
    HelpWindow form(platform, settings);
    EXPECT_EQ(platform.errors(), QStringList{"Cannot open file " + folder.dataPath("help1.zrm")});
    EXPECT_EQ(form.RichEdit1->Text(), QString());

    click(form.Button4);
    folder.remove("help6.zrm");
    click(form.Button6);
    EXPECT_EQ(platform.errors().last(), "Cannot open file " + folder.dataPath("help6.zrm"));
    EXPECT_TRUE(form.RichEdit1->Text().startsWith(u("Otváranie dokumentu")));
}

TEST_F(DialogsTest, HelpTopicsAreReadFromTheProgramFolderNotTheWorkingFolder)
{
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    HelpWindow form(platform, settings);
    QDir::setCurrent(before);
    EXPECT_TRUE(platform.errors().isEmpty());
    EXPECT_FALSE(form.RichEdit1->Text().isEmpty());
}

TEST_F(DialogsTest, AboutBoxRevealsItsHiddenPictureWithCtrlF1ForTheRestOfTheRun)
{
    AboutBox box(platform);
    EXPECT_EQ(box.windowTitle(), u("O programe"));
    EXPECT_EQ(box.Version->text(), "(" + programVersion() + ")");
    EXPECT_FALSE(programVersion().isEmpty());
    user([&](QDialog&) {
        EXPECT_FALSE(box.Image1->isVisible());
        QApplication::setActiveWindow(&box);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        QTest::keyClick(&box, Qt::Key_F1, Qt::ControlModifier);
        EXPECT_TRUE(box.Image1->isVisible());
        click(box.OKButton);
    });
    box.execute();
    user([&](QDialog&) {
        EXPECT_TRUE(box.Image1->isVisible());
        click(box.OKButton);
    });
    EXPECT_EQ(box.execute(), QDialog::Accepted);
}

// ---- clipboard viewer ---------------------------------------------------------------------

namespace {
void putOnClipboard(const QByteArray& rtf, const QString& text)
{
    auto* data = new QMimeData;
    if (!rtf.isEmpty())
        data->setData("text/rtf", rtf);
    data->setText(text);
    QApplication::clipboard()->setMimeData(data);
}
} // namespace

TEST_F(DialogsTest, ClipboardViewerShowsTheClipboardFormattedAndAsLoweredPlainText)
{
    ClipboardViewer form(platform);
    EXPECT_EQ(form.windowTitle(), u("Obsah schránky"));
    putOnClipboard("{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Verdana;}}\\f0{\\b V\\'e1\\'9een\\'fd p\\'e1n ABC}}",
                   u("Vážený pán ABC"));
    user([&](QDialog&) {
        EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet1);
        EXPECT_EQ(form.RichEdit1->Text(), u("Vážený pán ABC"));
        form.RichEdit1->SelectAll();
        EXPECT_EQ(form.RichEdit1->SelectionAttributes().Style() & fs::Bold, fs::Bold);
        EXPECT_EQ(form.RichEdit2->Text(), u("vážený pán abc\r\n"));
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        click(form.Button1);
    });
    form.showClipboard();

    // The second showing holds the new content only, on the page chosen last.
    putOnClipboard({}, u("ŠTATISTIKA"));
    user([&](QDialog&) {
        EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet2);
        EXPECT_EQ(form.RichEdit1->Text(), u("ŠTATISTIKA"));
        EXPECT_EQ(form.RichEdit2->Text(), u("Štatistika\r\n"));
        click(form.Button1);
    });
    form.showClipboard();
}

TEST_F(DialogsTest, ClipboardViewerWithAnEmptyClipboardShowsOneEmptyLine)
{
    ClipboardViewer form(platform);
    QApplication::clipboard()->clear();
    form.fillFromClipboard();
    EXPECT_EQ(form.RichEdit1->Text(), QString());
    EXPECT_EQ(form.RichEdit2->Text(), "\r\n");
}

// ---- calculator ---------------------------------------------------------------------------

TEST_F(DialogsTest, CalculatorStartsTheFirstCalculatorFoundOrNothing)
{
    QTemporaryDir bin;
    Kakulaka(platform, {bin.path()});
    EXPECT_TRUE(platform.started().empty());

    for (const char* name : {"xcalc", "galculator"}) {
        QFile program(bin.filePath(name));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    platform.startResult = false; // a failed start is not reported
    Kakulaka(platform, {bin.path()});
    ASSERT_EQ(platform.started().size(), 1u);
    EXPECT_EQ(platform.started()[0].program, bin.filePath("galculator"));
    EXPECT_TRUE(platform.started()[0].arguments.isEmpty());
    EXPECT_TRUE(platform.shown().empty());
}
