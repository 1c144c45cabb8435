// Creating the main window: the command-line document, the document state and restoring
// what the state files hold, with every failure of those steps.
#include "FormsTestSupport.h"
#include "forms/mainwindow/Recovery.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextEdit>
#include <QScreen>
#include <QScrollBar>

using namespace zorim;
using namespace zorim::test;

namespace {

class StartupTest : public MainWindowTest {};

} // namespace

TEST_F(StartupTest, WithoutDocumentStartsUntitledAndRestoresTheInstalledState)
{
    folder.write(QStringLiteral("tab.ini"), "70");
    auto form = start();

    EXPECT_EQ(platform.shown().size(), 0u) << platform.errors().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZORIM"));
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - Dokument"));
    EXPECT_EQ(form->CaptionBar1->title(), QStringLiteral("ZORIM - Dokument"));
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: Dokument"));
    EXPECT_EQ(panel(*form, 2), QString());
    // Nothing changed yet: the date and time panels keep their layout texts.
    EXPECT_EQ(panel(*form, 4), QStringLiteral("Dátum"));
    EXPECT_EQ(panel(*form, 5), QStringLiteral("Čas"));
    EXPECT_TRUE(form->RichEdit1->verticalScrollBar());
    EXPECT_FALSE(form->RichEdit1->Modified());

    EXPECT_EQ(form->recentFileItem->text(), QStringLiteral("Dokument"));
    EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("10"));
    EXPECT_EQ(form->appliedSkin(), 4);
    // easy.ini "1": the laid-out editor, fixed border, "Plain Text" offered.
    EXPECT_FALSE(form->RichEdit1->PlainText());
    EXPECT_FALSE(form->easyModeItem->isChecked());
    EXPECT_FALSE(form->editorFillsClientArea());
    EXPECT_FALSE(form->borderResizable());
    EXPECT_EQ(form->RichEdit1->geometry(), QRect(8, 61, 777, 470));
    EXPECT_TRUE(form->plainTextItem->isVisible());

    EXPECT_TRUE(form->RichEdit2->isHidden());
    EXPECT_TRUE(form->RichEdit2->PlainText());
    EXPECT_TRUE(form->RichEdit3->isHidden());
    EXPECT_FALSE(form->RichEdit3->PlainText());
}

TEST_F(StartupTest, FirstArgumentNamingAFileIsShownUntitled)
{
    const QString path = folder.writeDocument(QStringLiteral("list.txt"), QByteArray("Dobr\xFD de\xF2"));
    auto form = start({path, QStringLiteral("/nonexistent/second.txt")});

    EXPECT_EQ(platform.errors(), QStringList());
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - list.txt"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("Dobrý deň"));
    // The loaded document has no file name for saving: Save asks for one.
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
    EXPECT_TRUE(form->RichEdit1->verticalScrollBar());
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("Dobrý deň"));
    EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("10"));
    // The second document is named as not opened, over the shown window: not before it shows,
    // which the box would hold back, and once.
    EXPECT_TRUE(platform.informations().isEmpty());
    form->show();
    QTRY_VERIFY(!platform.informations().isEmpty());
    ASSERT_EQ(platform.informations().size(), 1);
    EXPECT_TRUE(platform.informations()[0].endsWith(QStringLiteral("/nonexistent/second.txt")));
    form->hide();
    form->show();
    QTest::qWait(20);
    EXPECT_EQ(platform.informations().size(), 1);
}

TEST_F(StartupTest, ArgumentThatIsNoExistingFileCountsAsNone)
{
    for (const QString& argument : {folder.filePath(QStringLiteral("missing.zrm")), folder.dataPath(QString()), QString()}) {
        auto form = start({argument});
        EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - Dokument")) << argument.toStdString();
        EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: Dokument"));
        EXPECT_EQ(form->RichEdit1->Text(), QString());
    }
    EXPECT_EQ(platform.shown().size(), 0u);
}

TEST_F(StartupTest, UnreadableDocumentEndsTheStartupStepsButLeavesItUntitled)
{
    const QString path = folder.writeDocument(QStringLiteral("tajne.txt"), "text");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    folder.openToOthers();
    folder.write(QStringLiteral("tab.ini"), "30");
    std::unique_ptr<MainWindow> form;
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        form = start({path});
    }
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot open file ") + path});
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - tajne.txt"));
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
    EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("30"));
    EXPECT_EQ(form->appliedSkin(), 0);
}

TEST_F(StartupTest, LastFileRecordBecomesTheLastFileItemsCaption)
{
    folder.write(QStringLiteral("data.ini"), "/home/jan/dopisy/list.zrm");
    EXPECT_EQ(start()->recentFileItem->text(), QStringLiteral("/home/jan/dopisy/list.zrm"));
    folder.write(QStringLiteral("data.ini"), "");
    EXPECT_EQ(start()->recentFileItem->text(), QString());
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(StartupTest, ALastFileRecordLongerThanAStateFileIsRefused)
{
    // One line far longer than a path: reported, and no caption is made of it.
    folder.write(QStringLiteral("data.ini"), QByteArray(100 << 10, 'a'));
    const auto form = start();
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Stavový súbor data.ini je dlhší ako 64 kB; nenačítal sa.")});
    EXPECT_EQ(form->recentFileItem->text(), QString());
}

TEST_F(StartupTest, IndentStoreIsResetWhateverItHeld)
{
    for (const QByteArray& held : {QByteArray("250"), QByteArray("abc"), QByteArray(), QByteArray("30\r\n")}) {
        folder.write(QStringLiteral("tab.ini"), held);
        start();
        EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("10")) << held.toStdString();
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(StartupTest, ThemeIsAppliedOnlyForExactlyOneOfTheEightNumbers)
{
    const std::pair<QByteArray, int> cases[] = {{"1", 1}, {"5", 5}, {"8", 8}, {"8\r\n", 8}, {"9", 0}, {"08", 0},
                                                {" 5", 0}, {"5 ", 0}, {"", 0}, {"0", 0}, {"\n3", 0}};
    for (const auto& [held, theme] : cases) {
        folder.write(QStringLiteral("skin.ini"), held);
        EXPECT_EQ(start()->appliedSkin(), theme) << held.toStdString();
        EXPECT_EQ(folder.read(QStringLiteral("skin.ini")), held);
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(StartupTest, EasyModeOnFillsTheClientAreaInPlainTextWithAResizableBorder)
{
    folder.write(QStringLiteral("easy.ini"), "0");
    auto form = start();
    EXPECT_TRUE(form->RichEdit1->PlainText());
    EXPECT_TRUE(form->easyModeItem->isChecked());
    EXPECT_TRUE(form->editorFillsClientArea());
    EXPECT_TRUE(form->borderResizable());
    EXPECT_EQ(form->RichEdit1->width(), form->centralWidget()->width());

    form->resize(form->width() + 100, form->height() + 50);
    EXPECT_EQ(form->RichEdit1->width(), form->centralWidget()->width());
}

TEST_F(StartupTest, OtherEasyModeValuesChangeNothing)
{
    for (const QByteArray& held : {QByteArray("2"), QByteArray(""), QByteArray(" 0"), QByteArray("01")}) {
        folder.write(QStringLiteral("easy.ini"), held);
        auto form = start();
        EXPECT_FALSE(form->RichEdit1->PlainText()) << held.toStdString();
        EXPECT_FALSE(form->easyModeItem->isChecked());
        EXPECT_FALSE(form->editorFillsClientArea());
        EXPECT_FALSE(form->borderResizable());
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

// Each failing step shows one message and ends the steps after it; the window stands.
TEST_F(StartupTest, MissingStateFileEndsTheRestoringSteps)
{
    struct Case {
        const char* missing;
        QString message;
        bool tabReset;
        int theme;
    };
    const Case cases[] = {
        {"data.ini", QStringLiteral("Cannot open file %1"), false, 0},
        {"tab.ini", QStringLiteral("File not found"), false, 0},
        {"skin.ini", QStringLiteral("File not found"), true, 0},
        {"easy.ini", QStringLiteral("File not found"), true, 7},
    };
    for (const Case& c : cases) {
        ProgramFolder fresh;
        SettingsStore store(fresh.path());
        ScriptedPlatform shown;
        fresh.write(QStringLiteral("tab.ini"), "30");
        fresh.write(QStringLiteral("skin.ini"), "7");
        fresh.write(QStringLiteral("easy.ini"), "0");
        fresh.remove(QString::fromLatin1(c.missing));
        MainWindow form(shown, store, {});
        EXPECT_EQ(shown.errors(), QStringList{QString(c.message).replace(QLatin1String("%1"), fresh.dataPath(QStringLiteral("data.ini")))})
            << c.missing;
        if (QString::fromLatin1(c.missing) != QLatin1String("tab.ini")) {
            EXPECT_EQ(fresh.read(QStringLiteral("tab.ini")), c.tabReset ? QByteArray("10") : QByteArray("30")) << c.missing;
        }
        EXPECT_EQ(form.appliedSkin(), c.theme) << c.missing;
        EXPECT_FALSE(form.RichEdit1->PlainText()) << c.missing;
        EXPECT_FALSE(form.easyModeItem->isChecked());
        EXPECT_EQ(form.document().title(), QStringLiteral("ZORIM - Dokument"));
        EXPECT_FALSE(fresh.exists(QString::fromLatin1(c.missing)));
    }
}

TEST_F(StartupTest, ReadOnlyDataFolderStopsAtTheIndentStoreAndChangesNothing)
{
    folder.write(QStringLiteral("tab.ini"), "30");
    folder.write(QStringLiteral("skin.ini"), "5");
    folder.openToOthers();
    const QStringList before = QDir(folder.dataPath(QString())).entryList(QDir::Files | QDir::Hidden);
    std::unique_ptr<MainWindow> form;
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        form = start();
    }
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("File access denied")});
    EXPECT_EQ(form->recentFileItem->text(), QStringLiteral("Dokument"));
    EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("30"));
    EXPECT_EQ(form->appliedSkin(), 0);
    EXPECT_EQ(QDir(folder.dataPath(QString())).entryList(QDir::Files | QDir::Hidden), before);
}

TEST_F(StartupTest, GarbledStateFilesGiveTheStoresMessages)
{
    // A state file that is a folder cannot be read as one.
    folder.remove(QStringLiteral("skin.ini"));
    QDir().mkdir(folder.dataPath(QStringLiteral("skin.ini")));
    folder.write(QStringLiteral("easy.ini"), "0");
    auto form = start();
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("File access denied")});
    EXPECT_FALSE(form->RichEdit1->PlainText());
    platform.clearShown();

    // A link that leads nowhere but to itself: said as such, not as a bare error number.
    QDir(folder.dataPath(QString())).rmdir(QStringLiteral("skin.ini"));
    QFile::link(QStringLiteral("skin.ini"), folder.dataPath(QStringLiteral("skin.ini")));
    start();
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Invalid filename (a loop of symbolic links)")});
}

TEST_F(StartupTest, StartingFromAnotherWorkingDirectoryUsesTheProgramFolder)
{
    ProgramFolder other;
    other.write(QStringLiteral("skin.ini"), "6");
    folder.write(QStringLiteral("skin.ini"), "3");
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(other.path()));
    auto form = start();
    QDir::setCurrent(saved);
    EXPECT_EQ(form->appliedSkin(), 3);
}

// The question about a run that ended badly stands in the middle of the main window, which is
// in its place by then, and its date and time do not break apart.
TEST_F(StartupTest, RecoveryQuestionIsAskedOverTheCentredWindowWithItsMomentOnOneLine)
{
    Snapshot snapshot;
    snapshot.info.savedAt = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15), Qt::LocalTime);
    snapshot.content = QByteArray("{\\rtf1\\ansi obnovený\\par}");
    const QString path = folder.dataPath(QStringLiteral("recovery-1-1.zrs"));
    folder.write(QStringLiteral("recovery-1-1.zrs"), encodeSnapshot(snapshot));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    folder.write(QStringLiteral("recovery-1-1.lock"), QByteArray());

    platform.answerQuestion(Answer::Cancel);
    const auto form = start();
    ASSERT_EQ(platform.questions().size(), 1);
    const QString question = platform.questions()[0];
    const qsizetype from = question.indexOf(QStringLiteral("(stav z ")) + 8;
    const QString moment = question.mid(from, question.indexOf(u')', from) - from);
    EXPECT_TRUE(moment.contains(QStringLiteral("9:30:15"))) << question.toStdString();
    EXPECT_FALSE(moment.contains(u' ')) << question.toStdString();
    const QRect over = platform.shown().back().over;
    const QPoint off = over.center() - form->screen()->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 2) << over.x() << "," << over.y();
}
