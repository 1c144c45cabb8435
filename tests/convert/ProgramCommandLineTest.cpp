// zorim itself on the command line: --help and --version answer on the terminal without a
// window, so they work where there is no display at all.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <utility>

TEST(ProgramCommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    // A platform that needs a display which is not there: creating the window would fail.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const std::pair<QString, QString> answers[] = {{QStringLiteral("--help"), QStringLiteral("Použitie: zorim")},
                                                   {QStringLiteral("--version"), QStringLiteral("zorim 1.")}};
    for (const auto& [option, answer] : answers) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZORIM_PROGRAM), {option});
        ASSERT_TRUE(p.waitForFinished(30000)) << option.toStdString();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << option.toStdString();
        EXPECT_EQ(p.exitCode(), 0) << option.toStdString();
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(out.startsWith(answer)) << out.toStdString();
    }
}
