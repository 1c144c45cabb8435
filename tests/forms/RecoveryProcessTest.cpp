// The main window's recovery snapshots through the program's own window: a run killed with
// SIGKILL leaves its typing behind, and the next start offers it back.
//
// The killed run is this test program started again as a child process in the "child" mode
// below: it builds the real main window in the given program folder, types, waits for the
// snapshot and then waits to be killed.
#include "FormsTestSupport.h"
#include "forms/mainwindow/Recovery.h"

#include <QDir>
#include <QProcess>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest/QTest>

#include <csignal>

using namespace zorim;
using namespace zorim::test;

namespace {

const char* const kChildFolder = "ZORIM_RECOVERY_CHILD_FOLDER";
const char* const kChildWaitsForTerm = "ZORIM_RECOVERY_CHILD_TERM";


QStringList snapshotsIn(const QString& dataFolder, const QString& pattern = QStringLiteral("recovery-*.zrs"))
{
    return QDir(dataFolder).entryList({pattern}, QDir::Files);
}

class RecoveryProcessTest : public MainWindowTest {
protected:
    // Starts the killed run: it types a greeting with a bold name and is killed once its
    // snapshot is on the disk.
    void runAndKill(int signal = SIGKILL)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildFolder), folder.path());
        if (signal != SIGKILL)
            env.insert(QString::fromLatin1(kChildWaitsForTerm), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=RecoveryChild.*")});
        ASSERT_TRUE(child.waitForStarted(30000));
        QByteArray out;
        while (!out.contains("SNAPSHOT WRITTEN") && child.state() == QProcess::Running)
            if (child.waitForReadyRead(60000))
                out += child.readAllStandardOutput();
            else
                break;
        ASSERT_TRUE(out.contains("SNAPSHOT WRITTEN")) << out.toStdString();
        ::kill(pid_t(child.processId()), signal);
        ASSERT_TRUE(child.waitForFinished(30000));
        if (signal == SIGKILL) {
            EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        } else {
            EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(child.exitCode(), 0);
        }
    }
};

} // namespace

// The child's part; skipped in an ordinary run.
TEST(RecoveryChild, TypeAndWaitToBeKilled)
{
    const QString folder = qEnvironmentVariable(kChildFolder);
    if (folder.isEmpty())
        GTEST_SKIP() << "runs only as the child of RecoveryProcessTest";
    SettingsStore settings(folder);
    ScriptedPlatform platform;
    MainWindow form(platform, settings, {});
    form.show();
    // Ended with SIGTERM, the run has no snapshot yet when the signal comes: it writes one then.
    const bool waitsForTerm = qEnvironmentVariableIsSet(kChildWaitsForTerm);
    form.recovery()->setDelays(waitsForTerm ? 600000 : 50, waitsForTerm ? 600000 : 1000);
    bool ended = false;
    QObject::connect(&form, &MainWindow::closed, [&] { ended = true; });
    QWidget* view = form.RichEdit1->widget();
    view->setFocus();
    typeText(view, QStringLiteral("Vážený pán "));
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    typeText(view, QStringLiteral("Novák"));
    if (!waitsForTerm)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(form.recovery()->snapshotPath()), 30000);
    std::fputs("SNAPSHOT WRITTEN\n", stdout);
    std::fflush(stdout);
    while (!ended)
        QTest::qWait(50);
}

TEST_F(RecoveryProcessTest, KilledRunOffersItsTypingBackWithItsFormatting)
{
    runAndKill();
    ASSERT_EQ(snapshotsIn(folder.dataPath(QString())).size(), 1u);

    platform.answerQuestion(Answer::Yes);
    const auto form = start();
    ASSERT_EQ(platform.questions().size(), 1u);
    EXPECT_TRUE(platform.questions()[0].contains(QStringLiteral("„Dokument“"))) << platform.questions()[0].toStdString();
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("Vážený pán Novák"));
    QTextCursor at(form->RichEdit1->widget()->document());
    at.setPosition(14); // inside "Novák"
    EXPECT_GE(at.charFormat().fontWeight(), 700) << "the bold name stays bold";
    at.setPosition(3);
    EXPECT_LT(at.charFormat().fontWeight(), 700);
    // Back as an unsaved untitled document: Save will ask for a name.
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(form->document().fileName(), DocumentState::kUntitled);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - Dokument"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    // The dead run's snapshot is gone; only this run may write one now.
    for (const QString& name : snapshotsIn(folder.dataPath(QString())))
        EXPECT_TRUE(folder.dataPath(name) == form->recovery()->snapshotPath()) << name.toStdString();
}

TEST_F(RecoveryProcessTest, TerminationWritesTheSnapshotEndsCleanlyAndLeavesNoLock)
{
    runAndKill(SIGTERM);
    EXPECT_EQ(snapshotsIn(folder.dataPath(QString())).size(), 1u);
    EXPECT_TRUE(snapshotsIn(folder.dataPath(QString()), QStringLiteral("recovery-*.lock")).isEmpty());

    platform.answerQuestion(Answer::Yes);
    const auto form = start();
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("Vážený pán Novák"));
    EXPECT_TRUE(form->RichEdit1->Modified());
}

TEST_F(RecoveryProcessTest, AnsweringNoDiscardsTheSnapshot)
{
    runAndKill();
    platform.answerQuestion(Answer::No);
    const auto form = start();
    EXPECT_EQ(form->RichEdit1->Text(), QString());
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_TRUE(snapshotsIn(folder.dataPath(QString())).isEmpty());
    EXPECT_TRUE(snapshotsIn(folder.dataPath(QString()), QStringLiteral("*.damaged")).isEmpty());
}

TEST_F(RecoveryProcessTest, DamagedSnapshotIsReportedAndSetAsideNeverLoaded)
{
    runAndKill();
    const QString name = snapshotsIn(folder.dataPath(QString())).value(0);
    QByteArray bytes = folder.read(name);
    bytes.chop(5);
    folder.write(name, bytes);

    const auto form = start();
    ASSERT_EQ(platform.errors().size(), 1u);
    EXPECT_TRUE(platform.errors()[0].contains(QStringLiteral("poškodený")));
    EXPECT_TRUE(platform.questions().isEmpty());
    EXPECT_EQ(form->RichEdit1->Text(), QString());
    EXPECT_TRUE(snapshotsIn(folder.dataPath(QString())).isEmpty());
    EXPECT_EQ(snapshotsIn(folder.dataPath(QString()), QStringLiteral("*.damaged")).size(), 1u);
}

TEST_F(RecoveryProcessTest, ACleanEndLeavesNoSnapshotAndALiveRunIsNotOffered)
{
    auto first = start();
    first->recovery()->setDelays(20, 1000);
    QWidget* view = first->RichEdit1->widget();
    view->setFocus();
    typeText(view, QStringLiteral("rozpísané"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(first->recovery()->snapshotPath()), 10000);

    // A second program started from the same folder while the first one runs asks nothing.
    ScriptedPlatform otherPlatform;
    const auto second = std::make_unique<MainWindow>(otherPlatform, settings, QStringList());
    EXPECT_TRUE(otherPlatform.questions().isEmpty());

    first.reset();
    EXPECT_TRUE(snapshotsIn(folder.dataPath(QString())).isEmpty());
    EXPECT_TRUE(snapshotsIn(folder.dataPath(QString()), QStringLiteral("recovery-*")).size() <= 1u)
        << "only the second run's own lock";
}

// Saving, New and Open each leave the document without a snapshot.
TEST_F(RecoveryProcessTest, SaveNewAndOpenRemoveTheSnapshot)
{
    const auto form = start();
    form->recovery()->setDelays(20, 1000);
    QWidget* view = form->RichEdit1->widget();
    view->setFocus();
    const auto typeAndWait = [&] {
        typeText(view, QStringLiteral("list"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(form->recovery()->snapshotPath()), 10000);
    };

    typeAndWait();
    platform.answerSaveFile(folder.filePath(QStringLiteral("list.zrm")));
    QTest::keyClick(view, Qt::Key_F3);
    EXPECT_EQ(platform.informations(), QStringList({QStringLiteral("Dokument bol uložený!")}));
    EXPECT_FALSE(QFile::exists(form->recovery()->snapshotPath())) << "saved";

    typeAndWait();
    platform.answerQuestion(Answer::No);
    QTest::keyClick(view, Qt::Key_F1);
    EXPECT_EQ(form->RichEdit1->Text(), QString());
    EXPECT_FALSE(QFile::exists(form->recovery()->snapshotPath())) << "new document";

    typeAndWait();
    platform.answerQuestion(Answer::No);
    platform.answerOpenFile(folder.filePath(QStringLiteral("list.zrm")));
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("list"));
    EXPECT_FALSE(QFile::exists(form->recovery()->snapshotPath())) << "opened document";
}
