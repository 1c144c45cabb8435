// Recovery snapshots: written after a pause and at the latest after the longest delay, removed
// when discarded, offered back only from runs that are over, and refused when damaged.
#include "QStringPrinter.h"
#include "forms/mainwindow/Recovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zorim;

namespace {

Snapshot sample()
{
    Snapshot s;
    s.info.fileName = QStringLiteral("/home/jana/list\nso zlomom.zrm");
    s.info.untitled = false;
    s.info.plainText = false;
    s.info.savedAt = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15, 250), Qt::UTC);
    s.info.textForm = {TextDocumentForm::Encoding::Utf8, true, QStringLiteral("\n")};
    s.content = QByteArray("{\\rtf1\\ansi Vážený pán\\par}");
    return s;
}

class RecoveryTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::atomic<int> captures{0};
    bool unsaved = true;
    QByteArray text = "prvá verzia";

    std::unique_ptr<Recovery> makeRecovery(int quietMs = 40, int longestMs = 5000)
    {
        auto recovery = std::make_unique<Recovery>(folder.path(), [this]() -> std::optional<Recovery::Job> {
            ++captures;
            if (!unsaved)
                return std::nullopt;
            SnapshotInfo info;
            info.fileName = QStringLiteral("Dokument");
            info.savedAt = QDateTime::currentDateTimeUtc();
            const QByteArray content = text;
            return Recovery::Job{info, [content] { return content; }, {}};
        });
        recovery->setDelays(quietMs, longestMs);
        return recovery;
    }

    static QByteArray contentOf(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const auto snapshot = decodeSnapshot(file.readAll());
        return snapshot ? snapshot->content : QByteArray("<damaged>");
    }

    // A snapshot as a run that was killed leaves it: the file and an unlocked lock file.
    QString leaveDeadSnapshot(const QString& id, const QByteArray& bytes)
    {
        const QString path = folder.filePath(QStringLiteral("recovery-%1.zrs").arg(id));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        QFile lock(folder.filePath(QStringLiteral("recovery-%1.lock").arg(id)));
        EXPECT_TRUE(lock.open(QIODevice::WriteOnly));
        return path;
    }
};

} // namespace

TEST(RecoverySnapshotFile, RoundTripsAndRefusesEveryCutOrAlteredByte)
{
    const Snapshot s = sample();
    const QByteArray bytes = encodeSnapshot(s);
    const auto back = decodeSnapshot(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->info, s.info);
    EXPECT_EQ(back->content, s.content);

    for (qsizetype cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(decodeSnapshot(bytes.left(cut))) << "cut at " << cut;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        QByteArray altered = bytes;
        altered[i] = char(altered[i] ^ 0x04);
        EXPECT_FALSE(decodeSnapshot(altered)) << "byte " << i << " altered";
    }
    EXPECT_FALSE(decodeSnapshot(QByteArray()));
    EXPECT_FALSE(decodeSnapshot(QByteArray(100000, 'x')));
}

TEST_F(RecoveryTest, SnapshotFollowsAPauseAndGoesWhenDiscarded)
{
    auto recovery = makeRecovery();
    EXPECT_FALSE(QFile::exists(recovery->snapshotPath()));
    recovery->documentChanged();
    EXPECT_EQ(captures, 0) << "the keystroke itself never captures";
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recovery->snapshotPath()), 5000);
    EXPECT_EQ(contentOf(recovery->snapshotPath()), text);

    // A later change replaces it whole.
    text = "druhá verzia";
    recovery->documentChanged();
    QTRY_COMPARE_WITH_TIMEOUT(contentOf(recovery->snapshotPath()), text, 5000);

    recovery->discard();
    EXPECT_FALSE(QFile::exists(recovery->snapshotPath()));
    const QString lock = QString(recovery->snapshotPath()).replace(QStringLiteral(".zrs"), QStringLiteral(".lock"));
    EXPECT_TRUE(QFile::exists(lock));
    recovery.reset();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << "a clean end leaves nothing";
}

TEST_F(RecoveryTest, TypingWithoutPauseStillGetsASnapshotAfterTheLongestDelay)
{
    auto recovery = makeRecovery(/*quietMs=*/150, /*longestMs=*/300);
    QElapsedTimer typing;
    typing.start();
    while (!QFile::exists(recovery->snapshotPath()) && typing.elapsed() < 5000) {
        recovery->documentChanged();
        QTest::qWait(20);
        recovery->flush();
    }
    EXPECT_TRUE(QFile::exists(recovery->snapshotPath()));
}

TEST_F(RecoveryTest, NothingUnsavedRemovesTheSnapshot)
{
    auto recovery = makeRecovery();
    recovery->snapshotNow();
    recovery->flush();
    ASSERT_TRUE(QFile::exists(recovery->snapshotPath()));
    unsaved = false;
    recovery->snapshotNow();
    recovery->flush();
    EXPECT_FALSE(QFile::exists(recovery->snapshotPath()));
}

TEST_F(RecoveryTest, ADiscardWinsOverAWriteInFlight)
{
    auto recovery = std::make_unique<Recovery>(folder.path(), [] {
        SnapshotInfo info;
        info.savedAt = QDateTime::currentDateTimeUtc();
        return std::optional<Recovery::Job>(Recovery::Job{info, [] {
            QThread::msleep(200);
            return QByteArray("pomalý zápis");
        }, {}});
    });
    recovery->snapshotNow();
    QThread::msleep(50); // the worker is writing now
    recovery->discard();
    recovery->flush();
    EXPECT_FALSE(QFile::exists(recovery->snapshotPath()));
}

TEST_F(RecoveryTest, OnlyRunsThatAreOverAreOfferedAndDamageIsSetAside)
{
    auto live = makeRecovery();
    live->snapshotNow();
    live->flush();
    ASSERT_TRUE(QFile::exists(live->snapshotPath()));

    Snapshot good = sample();
    const QString dead = leaveDeadSnapshot(QStringLiteral("111-1"), encodeSnapshot(good));
    const QString damaged = leaveDeadSnapshot(QStringLiteral("222-2"), encodeSnapshot(good).chopped(3));

    // Another run started from the same folder sees the dead runs, never the live one.
    auto next = makeRecovery();
    const QList<Recovery::Leftover> found = next->leftovers();
    QStringList paths;
    for (const auto& leftover : found)
        paths << leftover.path;
    paths.sort();
    EXPECT_EQ(paths, QStringList({QFileInfo(dead).absoluteFilePath(), QFileInfo(damaged).absoluteFilePath()}));
    for (const auto& leftover : found) {
        if (leftover.path.endsWith(QStringLiteral("111-1.zrs"))) {
            ASSERT_TRUE(leftover.snapshot);
            EXPECT_EQ(leftover.snapshot->content, good.content);
        } else {
            EXPECT_FALSE(leftover.snapshot);
        }
    }

    const QString aside = Recovery::setAside(damaged);
    EXPECT_TRUE(QFile::exists(aside));
    EXPECT_FALSE(QFile::exists(damaged));
    Recovery::removeLeftover(dead);
    EXPECT_FALSE(QFile::exists(dead));
    EXPECT_TRUE(next->leftovers().isEmpty()) << "neither is offered again";
    EXPECT_TRUE(QFile::exists(live->snapshotPath()));
}

// A snapshot names the file that Save then writes: only the user's own, unreadable to others
// and in a folder no one else may write, is read; any other is reported and left alone.
TEST_F(RecoveryTest, OnlyTheUsersOwnSnapshotsAreRead)
{
    const QByteArray bytes = encodeSnapshot(sample());
    leaveDeadSnapshot(QStringLiteral("111-1"), bytes);
    QFile::setPermissions(leaveDeadSnapshot(QStringLiteral("222-2"), bytes), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QString planted = leaveDeadSnapshot(QStringLiteral("333-3"), bytes);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(planted).constData(), 65534, 65534), 0);
    }
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("recovery-111-1.zrs")), folder.filePath(QStringLiteral("recovery-444-4.zrs"))));

    auto recovery = makeRecovery();
    QStringList own, foreign;
    for (const auto& leftover : recovery->leftovers()) {
        (leftover.foreign ? foreign : own) << QFileInfo(leftover.path).fileName();
        EXPECT_EQ(leftover.foreign, !leftover.snapshot.has_value());
    }
    own.sort();
    foreign.sort();
    EXPECT_EQ(own, QStringList{QStringLiteral("recovery-111-1.zrs")});
    EXPECT_EQ(foreign.size(), ::geteuid() == 0 ? 3 : 2) << foreign.join(u' ').toStdString();

    // A folder others may write: nothing in it is read, and snapshots go to the user's own folder.
    QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7777));
    for (const auto& leftover : recovery->leftovers())
        EXPECT_TRUE(leftover.foreign);
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString chosen = Recovery::folderFor(folder.path());
    qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(chosen, config.filePath(QStringLiteral("zorim")));
    EXPECT_EQ(QFileInfo(chosen).permissions() & QFileDevice::Permissions(0x0077), QFileDevice::Permissions());
    EXPECT_EQ(Recovery::folderFor(config.path()), QDir::cleanPath(config.path()));
}

// Runs that are over leave lock files and half-written snapshots; a start removes them, and
// leaves those of a live run.
TEST_F(RecoveryTest, AStartRemovesWhatRunsThatAreOverLeftBehind)
{
    auto touch = [&](const QString& name) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    };
    touch(QStringLiteral("recovery-1-1.lock"));
    touch(QStringLiteral("recovery-1-1.zrs.tmp"));
    touch(QStringLiteral(".recovery-2-2.zrs.k3j9.tmp"));
    const QString liveLock = touch(QStringLiteral("recovery-3-3.lock"));
    touch(QStringLiteral(".recovery-3-3.zrs.x1.tmp"));
    const int held = ::open(QFile::encodeName(liveLock).constData(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    auto recovery = makeRecovery();
    QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(QFileInfo(recovery->snapshotPath()).completeBaseName() + QStringLiteral(".lock"));
    left.sort();
    EXPECT_EQ(left, QStringList({QStringLiteral(".recovery-3-3.zrs.x1.tmp"), QStringLiteral("recovery-3-3.lock")}));
    ::close(held);
}
