// The main window's recovery snapshots through the program's own window: a run killed with
// SIGKILL leaves its typing behind, and the next start offers it back; a run told to end with
// SIGTERM or SIGHUP writes its snapshot and ends by itself, whatever it shows.
//
// The killed run is this test program started again as a child process in one of the "child"
// modes below: the main window alone, which types, waits for the snapshot and then waits to be
// killed; or the whole program on Qt's own boxes, offscreen or on an X server, played by a
// timer up to the state the parent asked for.
#include "FormsTestSupport.h"
#include "forms/Program.h"
#include "forms/mainwindow/Recovery.h"
#include "platform/QtPlatform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/QTest>

#include <csignal>
#include <unistd.h>

using namespace zorim;
using namespace zorim::test;

namespace {

const char* const kChildFolder = "ZORIM_RECOVERY_CHILD_FOLDER";
// The whole program's run: what the user does before the signal ("type", "replace": opens the
// replace dialog) and what must be on screen when it comes ("box": any modal box or dialog).
const char* const kProgramSteps = "ZORIM_PROGRAM_CHILD_STEPS";

enum class Screen { Offscreen, XServer };

QStringList snapshotsIn(const QString& dataFolder, const QString& pattern = QStringLiteral("recovery-*.zrs"))
{
    return QDir(dataFolder).entryList({pattern}, QDir::Files);
}

class RecoveryProcessTest : public MainWindowTest {
protected:
    // Starts the killed run: it types a greeting with a bold name and is killed once its
    // snapshot is on the disk.
    void runAndKill()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildFolder), folder.path());
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
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }

    // Runs the program in this folder until it has done `steps`, then sends it the signal: it
    // must end by itself with 0, leaving no lock file. On an X server, xvfb-run gives it one
    // of its own; the program names its process, as xvfb-run stands between.
    void runProgramAndSignal(const QString& steps, int signal, Screen screen = Screen::Offscreen)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildFolder), folder.path());
        env.insert(QString::fromLatin1(kProgramSteps), steps);
        QString program = QCoreApplication::applicationFilePath();
        QStringList arguments = {QStringLiteral("--gtest_filter=RecoveryChild.RunTheProgram")};
        if (screen == Screen::XServer) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            arguments = QStringList{QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"), program} + arguments;
            program = QStringLiteral("xvfb-run");
        } else {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A group of its own, so that a test that fails takes the program and the X server down too.
        child.setChildProcessModifier([] { ::setpgid(0, 0); });
        child.start(program, arguments);
        ASSERT_TRUE(child.waitForStarted(30000)) << program.toStdString();
        const auto cleanUp = qScopeGuard([&] {
            if (child.state() != QProcess::NotRunning)
                ::kill(-pid_t(child.processId()), SIGKILL);
        });
        QByteArray out;
        static const QRegularExpression ready(QStringLiteral("READY (\\d+)\n"));
        QRegularExpressionMatch match;
        while (!(match = ready.match(QString::fromLatin1(out))).hasMatch() && child.state() == QProcess::Running
               && child.waitForReadyRead(60000))
            out += child.readAllStandardOutput();
        ASSERT_TRUE(match.hasMatch()) << out.toStdString();
        const pid_t pid = pid_t(match.captured(1).toLongLong());
        ::kill(pid, signal);
        if (!child.waitForFinished(30000)) {
            ::kill(pid, SIGKILL);
            child.waitForFinished(30000);
            FAIL() << "the program still ran after the signal";
        }
        out += child.readAllStandardOutput();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains("ENDED 0")) << out.toStdString();
        EXPECT_TRUE(snapshotsIn(folder.dataPath(QString()), QStringLiteral("recovery-*.lock")).isEmpty());
    }

    // A run with unsaved typing ended while the replace dialog is open leaves its snapshot; the
    // next start, ended while its start-up box asks about that snapshot, keeps it for later.
    void endWithADialogAndAStartUpBox(Screen screen)
    {
        runProgramAndSignal(QStringLiteral("type replace box"), SIGHUP, screen);
        const QStringList left = snapshotsIn(folder.dataPath(QString()));
        ASSERT_EQ(left.size(), 1u);
        const auto snapshot = decodeSnapshot(folder.read(left[0]));
        ASSERT_TRUE(snapshot);
        EXPECT_TRUE(snapshot->content.contains("Nov\\'e1k")) << snapshot->content.toStdString();

        runProgramAndSignal(QStringLiteral("box"), SIGTERM, screen);
        EXPECT_EQ(snapshotsIn(folder.dataPath(QString())), left);
    }
};

} // namespace

// The child's part; skipped in an ordinary run.
// The greeting both children type: a bold name in it.
void typeGreeting(QWidget* view)
{
    view->setFocus();
    typeText(view, QStringLiteral("Vážený pán "));
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    typeText(view, QStringLiteral("Novák"));
}

TEST(RecoveryChild, TypeAndWaitToBeKilled)
{
    const QString folder = qEnvironmentVariable(kChildFolder);
    if (folder.isEmpty() || qEnvironmentVariableIsSet(kProgramSteps))
        GTEST_SKIP() << "runs only as the child of RecoveryProcessTest";
    SettingsStore settings(folder);
    ScriptedPlatform platform;
    MainWindow form(platform, settings, {});
    form.show();
    form.recovery()->setDelays(50, 1000);
    typeGreeting(form.RichEdit1->widget());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(form.recovery()->snapshotPath()), 30000);
    std::fputs("SNAPSHOT WRITTEN\n", stdout);
    std::fflush(stdout);
    for (;;)
        QTest::qWait(50);
}

// The program as it runs, on Qt's boxes; a timer plays the user once the event loop runs,
// also inside a box shown while the windows are being created.
TEST(RecoveryChild, RunTheProgram)
{
    const QString folder = qEnvironmentVariable(kChildFolder);
    const QStringList steps = qEnvironmentVariable(kProgramSteps).split(u' ', Qt::SkipEmptyParts);
    if (folder.isEmpty() || steps.isEmpty())
        GTEST_SKIP() << "runs only as the child of RecoveryProcessTest";
    SettingsStore settings(folder);
    QtPlatform platform;
    bool typed = !steps.contains(QStringLiteral("type"));
    bool opened = !steps.contains(QStringLiteral("replace"));
    bool told = false;
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        MainWindow* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<MainWindow*>(w); main && main->isVisible())
                form = main;
        QWidget* box = QApplication::activeModalWidget();
        if (!typed) {
            if (!form || box)
                return;
            typeGreeting(form->RichEdit1->widget());
            typed = true;
        }
        if (!opened) {
            opened = true;
            QTimer::singleShot(0, form->replaceItem, &QAction::trigger);
            return;
        }
        const bool ready = steps.contains(QStringLiteral("box")) ? box != nullptr : form != nullptr;
        if (ready && !told) {
            told = true;
            std::printf("READY %lld\n", QCoreApplication::applicationPid());
            std::fflush(stdout);
        }
    });
    user.start();
    const int status = runWindows(platform, settings, {});
    std::printf("ENDED %d\n", status);
    std::fflush(stdout);
    EXPECT_EQ(status, 0);
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

// Closing would ask the exit question: the signal ends the program without asking.
TEST_F(RecoveryProcessTest, TerminationWritesTheSnapshotEndsCleanlyAndLeavesNoLock)
{
    runProgramAndSignal(QStringLiteral("type"), SIGTERM);
    EXPECT_EQ(snapshotsIn(folder.dataPath(QString())).size(), 1u);

    platform.answerQuestion(Answer::Yes);
    const auto form = start();
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("Vážený pán Novák"));
    EXPECT_TRUE(form->RichEdit1->Modified());
}

TEST_F(RecoveryProcessTest, TerminationEndsTheProgramWhateverBoxOrDialogIsOpen)
{
    endWithADialogAndAStartUpBox(Screen::Offscreen);
}

TEST_F(RecoveryProcessTest, TerminationEndsTheProgramOnAnXServerToo)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed";
    endWithADialogAndAStartUpBox(Screen::XServer);
}

// The snapshot of a document read from a text file is no copy of that file: the save after
// the recovery writes the file in the form it was read in.
TEST_F(RecoveryProcessTest, ARecoveredTextFileIsSavedInTheFormItWasReadIn)
{
    const QByteArray original = QByteArray("Dobrý deň\nriadok\n");
    const QString path = folder.writeDocument(QStringLiteral("list.txt"), original);
    {
        const auto form = start();
        platform.answerOpenFile(path);
        QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F2);
        typeText(form->RichEdit1->widget(), QStringLiteral("Ahoj "));
        form->endFromOutside();
        EXPECT_EQ(platform.endProgramCalls(), 1);
    }
    platform.answerQuestion(Answer::Yes);
    const auto form = start();
    ASSERT_EQ(form->document().fileName(), path);
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F3);
    EXPECT_EQ(platform.errors(), QStringList());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Ahoj ") + original);
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
