// The exit command, the close box and the Save As they run, and the modified marker.
#include "FormsTestSupport.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest/QTest>

using namespace zorim;
using namespace zorim::test;

namespace {

const QString kQuestion = QStringLiteral("Chcete uložiť rozpísaný dokument?");

class ExitTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        form = start();
        form->show();
        spy = std::make_unique<QSignalSpy>(form.get(), &MainWindow::closed);
    }
    // Typing as the keyboard delivers it: each character with its text, Slovak ones too.
    void type(const QString& text)
    {
        typeText(form->RichEdit1->widget(), text);
    }
    QByteArray document(const QString& name) const
    {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<MainWindow> form;
    std::unique_ptr<QSignalSpy> spy;
};

} // namespace

TEST_F(ExitTest, TypingMarksTheDocumentChangedWithTheMomentOfTheChange)
{
    type(QStringLiteral("Ahoj"));
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    EXPECT_EQ(panel(*form, 4), QStringLiteral("Dátum: 5.3.2024"));
    EXPECT_EQ(panel(*form, 5), QStringLiteral("Čas: 9:07:03"));
    form->document().setModified(false);
    EXPECT_EQ(panel(*form, 2), QString());
}

TEST_F(ExitTest, ExitAsksEvenForAnUnchangedDocumentAndNoEndsTheProgram)
{
    platform.answerQuestion(Answer::No);
    form->exitItem->trigger();
    EXPECT_EQ(platform.questions(), QStringList{kQuestion});
    EXPECT_EQ(platform.endProgramCalls(), 1);
    EXPECT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), QByteArray("Dokument"));
}

TEST_F(ExitTest, ExitCancelEndsTheCommandSilently)
{
    type(QStringLiteral("text"));
    platform.answerQuestion(Answer::Cancel);
    form->commands().file.quit();
    EXPECT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.endProgramCalls(), 0);
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
}

TEST_F(ExitTest, ExitYesSavesAsAndKeepsRunning)
{
    type(QStringLiteral("Dobrý deň"));
    const QString path = folder.filePath(QStringLiteral("list.txt"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(path);
    form->commands().file.quit();

    ASSERT_EQ(platform.shown().size(), 3u);
    const auto& dialog = platform.shown()[1];
    EXPECT_EQ(dialog.kind, ScriptedPlatform::Kind::SaveFile);
    EXPECT_EQ(dialog.file.title, QStringLiteral("Uložiť dokument"));
    EXPECT_EQ(dialog.file.fileName, QStringLiteral("Dokument"));
    EXPECT_EQ(dialog.file.filterIndex, 1);
    EXPECT_EQ(dialog.file.filter, QStringLiteral("Formát ZORIM|*.zrm|Formát RTF|*.rtf|Textový súbor|*.txt|Dokument Word (*.docx)|*.docx|Dokument OpenDocument (*.odt)|*.odt|Všetky formáty|*.*"));
    EXPECT_EQ(platform.informations(), QStringList{QStringLiteral("Dokument bol uložený!")});

    EXPECT_EQ(document(QStringLiteral("list.txt")), QByteArray("Dobr\xFD de\xF2"));
    EXPECT_EQ(platform.endProgramCalls(), 0);
    EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - list.txt"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
    EXPECT_EQ(panel(*form, 2), QString());
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());
}

TEST_F(ExitTest, ExitYesWithTheSaveDialogCancelledSavesNothing)
{
    type(QStringLiteral("x"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(std::nullopt);
    form->commands().file.quit();
    EXPECT_EQ(platform.informations(), QStringList());
    EXPECT_EQ(platform.endProgramCalls(), 0);
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
    EXPECT_EQ(panel(*form, 2), QString());
    EXPECT_TRUE(form->RichEdit1->Modified());
}

TEST_F(ExitTest, SaveOfAnUntitledDocumentWithTheDialogCancelledKeepsTheLastSavedFile)
{
    folder.write(QStringLiteral("data.ini"), "/old/path.zrm");
    platform.answerSaveFile(std::nullopt);
    form->saveItem->trigger();
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), QByteArray("/old/path.zrm"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: Dokument"));
    EXPECT_EQ(panel(*form, 4), QStringLiteral("Dátum: 5.3.2024"));
}

TEST_F(ExitTest, FailedSaveShowsItsMessageAndKeepsTheDocumentChanged)
{
    type(QStringLiteral("x"));
    const QString path = folder.filePath(QStringLiteral("no/such/folder/a.txt"));
    platform.answerSaveFile(path);
    form->saveAsItem->trigger();
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot create file ") + path});
    EXPECT_EQ(platform.informations(), QStringList());
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), QByteArray("Dokument"));
}

TEST_F(ExitTest, CloseBoxClosesAnUnchangedDocumentWithoutAQuestion)
{
    EXPECT_TRUE(form->close());
    EXPECT_EQ(platform.shown().size(), 0u);
    EXPECT_EQ(spy->count(), 1);
}

TEST_F(ExitTest, CloseBoxAsksForAChangedDocument)
{
    type(QStringLiteral("neuložené"));

    platform.answerQuestion(Answer::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(platform.questions(), QStringList{kQuestion});
    EXPECT_EQ(spy->count(), 0);

    // A cancelled or failed save keeps the window open.
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(std::nullopt);
    EXPECT_FALSE(form->close());
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(folder.filePath(QStringLiteral("missing/a.txt")));
    EXPECT_FALSE(form->close());
    EXPECT_EQ(platform.errors().size(), 1);
    EXPECT_EQ(spy->count(), 0);
    EXPECT_TRUE(form->RichEdit1->Modified());

    // Saved: the window closes.
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(folder.filePath(QStringLiteral("a.txt")));
    EXPECT_TRUE(form->close());
    EXPECT_EQ(spy->count(), 1);
    EXPECT_EQ(document(QStringLiteral("a.txt")), QByteArray("neulo\x9E" "en\xE9"));
}

TEST_F(ExitTest, CloseBoxNoClosesWithoutSaving)
{
    type(QStringLiteral("x"));
    platform.answerQuestion(Answer::No);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(spy->count(), 1);
    EXPECT_EQ(platform.informations(), QStringList());
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), QByteArray("Dokument"));
}

TEST_F(ExitTest, SavedPathComesBackAsTheLastFileItemAtTheNextStart)
{
    for (const QString& name : {QStringLiteral("ľúbostný list.txt"), QStringLiteral("Жанна.txt")}) {
        const QString path = folder.filePath(name);
        platform.answerSaveFile(path);
        form->commands().file.saveAs();
        EXPECT_EQ(start()->recentFileItem->text(), path);
    }
    EXPECT_EQ(platform.errors(), QStringList());
}
