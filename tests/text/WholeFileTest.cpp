// The one file writer: what the file was stays what it is (a link, its other names, its
// permissions and owner), a folder the user may not write still lets a writable file be saved,
// a pipe and another user's link in a shared folder are refused, a failed write leaves the old
// bytes and says why, and what a killed save left goes at the next.
#include "FilePermissions.h"
#include "QStringPrinter.h"
#include "ResourceLimit.h"
#include "text/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zorim;
using namespace zorim::test;

namespace {

constexpr uid_t kNobody = 65534;

class WholeFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void make(const QString& name, const QByteArray& bytes, mode_t mode = 0644) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        ::chmod(QFile::encodeName(path(name)).constData(), mode);
    }
    struct stat statOf(const QString& name) const
    {
        struct stat st = {};
        ::lstat(QFile::encodeName(path(name)).constData(), &st);
        return st;
    }
    QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
};

} // namespace

TEST_F(WholeFileTest, KeepsTheLinkTheOtherNamesThePermissionsAndTheOwner)
{
    make(QStringLiteral("list.txt"), "old", 0640);
    ASSERT_EQ(::symlink("list.txt", QFile::encodeName(path(QStringLiteral("odkaz.txt"))).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(path(QStringLiteral("list.txt"))).constData(),
                     QFile::encodeName(path(QStringLiteral("druhé meno.txt"))).constData()), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(path(QStringLiteral("list.txt"))).constData(), kNobody, kNobody), 0);
    }
    const ino_t inode = statOf(QStringLiteral("list.txt")).st_ino;

    ASSERT_TRUE(writeWholeFile(path(QStringLiteral("odkaz.txt")), {"new ", "text"}).ok());
    EXPECT_TRUE(S_ISLNK(statOf(QStringLiteral("odkaz.txt")).st_mode));
    EXPECT_EQ(read(QStringLiteral("list.txt")), QByteArray("new text"));
    EXPECT_EQ(read(QStringLiteral("druhé meno.txt")), QByteArray("new text"));
    EXPECT_EQ(statOf(QStringLiteral("list.txt")).st_ino, inode);
    EXPECT_EQ(statOf(QStringLiteral("list.txt")).st_mode & 07777, 0640u);

    // A file with one name, owned by someone else, keeps its owner when replaced.
    make(QStringLiteral("cudzí.txt"), "old", 0664);
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(path(QStringLiteral("cudzí.txt"))).constData(), kNobody, kNobody), 0);
    }
    ASSERT_TRUE(writeWholeFile(path(QStringLiteral("cudzí.txt")), {"new"}).ok());
    EXPECT_EQ(read(QStringLiteral("cudzí.txt")), QByteArray("new"));
    if (root) {
        EXPECT_EQ(statOf(QStringLiteral("cudzí.txt")).st_uid, kNobody);
        EXPECT_EQ(statOf(QStringLiteral("list.txt")).st_uid, kNobody);
    }
    EXPECT_EQ(statOf(QStringLiteral("cudzí.txt")).st_mode & 07777, 0664u);
    EXPECT_EQ(names().filter(QStringLiteral(".tmp")), QStringList());
}

// The folder is the owner's alone, the file may be written by anyone: it is written in place,
// and a write that cannot complete there puts the old bytes back.
TEST_F(WholeFileTest, AFileInAFolderTheUserMayNotWriteIsWrittenInPlaceOrLeftWhole)
{
    make(QStringLiteral("kniha.txt"), "stará kniha", 0666);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    WholeFileResult saved, tooBig;
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        saved = writeWholeFile(path(QStringLiteral("kniha.txt")), {"nová"});
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        {
            ResourceLimit full(RLIMIT_FSIZE, 100);
            tooBig = writeWholeFile(path(QStringLiteral("kniha.txt")), {QByteArray(4096, 'x')});
        }
        std::signal(SIGXFSZ, handler);
    }
    EXPECT_TRUE(saved.ok());
    EXPECT_EQ(tooBig.status, WholeFileResult::Status::WriteFailed);
    EXPECT_EQ(read(QStringLiteral("kniha.txt")), QByteArray("nová"));
    EXPECT_EQ(names(), QStringList{QStringLiteral("kniha.txt")});
}

TEST_F(WholeFileTest, APipeIsRefusedAndALinkOfTheProgramsOwnIsReplaced)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("rúra"))).constData(), 0666), 0);
    EXPECT_EQ(writeWholeFile(path(QStringLiteral("rúra")), {"x"}).status, WholeFileResult::Status::NotPlainFile);
    EXPECT_TRUE(S_ISFIFO(statOf(QStringLiteral("rúra")).st_mode));
    EXPECT_EQ(writeWholeFile(path(QStringLiteral("rúra")), {"x"}, {.ownFile = true}).status,
              WholeFileResult::Status::NotPlainFile);

    make(QStringLiteral("mimo.ini"), "outside");
    ASSERT_EQ(::symlink("mimo.ini", QFile::encodeName(path(QStringLiteral("tab.ini"))).constData()), 0);
    ASSERT_TRUE(writeWholeFile(path(QStringLiteral("tab.ini")), {"10"}, {.ownFile = true}).ok());
    EXPECT_TRUE(S_ISREG(statOf(QStringLiteral("tab.ini")).st_mode));
    EXPECT_EQ(read(QStringLiteral("mimo.ini")), QByteArray("outside"));
}

// A save killed midway left its temporary; the next save of that document removes it, but not
// the temporary of another document, nor one a save still running holds.
TEST_F(WholeFileTest, TheNextSaveRemovesWhatAKilledSaveOfThatDocumentLeft)
{
    make(QStringLiteral("kniha.txt"), "old");
    make(QStringLiteral(".kniha.txt.k3x9q.tmp"), QByteArray(1 << 20, 'x'));
    make(QStringLiteral(".iná.txt.k3x9q.tmp"), "another document's");
    make(QStringLiteral(".kniha.txt.5m1.tmp"), "being written");
    const Fd running(openRetrying(QFile::encodeName(path(QStringLiteral(".kniha.txt.5m1.tmp"))), O_RDONLY));
    ASSERT_EQ(::flock(running.get(), LOCK_EX), 0);

    ASSERT_TRUE(writeWholeFile(path(QStringLiteral("kniha.txt")), {"new"}).ok());
    EXPECT_EQ(read(QStringLiteral("kniha.txt")), QByteArray("new"));
    EXPECT_EQ(names(), (QStringList{QStringLiteral(".iná.txt.k3x9q.tmp"), QStringLiteral(".kniha.txt.5m1.tmp"),
                                    QStringLiteral("kniha.txt")}));
}

// In a folder anyone may write that keeps files to their owners (as /tmp), another user's link
// is not followed: the file it points at stays as it was. The user's own link is.
TEST_F(WholeFileTest, AnotherUsersLinkInASharedStickyFolderIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a link of another user's needs root to make";
    make(QStringLiteral("cieľ.txt"), "old");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("zdieľaný")));
    ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("zdieľaný"))).constData(), 01777), 0);
    const QByteArray link = QFile::encodeName(path(QStringLiteral("zdieľaný/odkaz.txt")));
    ASSERT_EQ(::symlink("../cieľ.txt", link.constData()), 0);
    ASSERT_EQ(::lchown(link.constData(), kNobody, kNobody), 0);

    const WholeFileResult planted = writeWholeFile(QFile::decodeName(link), {"planted"});
    EXPECT_EQ(planted.status, WholeFileResult::Status::CannotCreate);
    EXPECT_EQ(planted.error, EACCES);
    EXPECT_EQ(read(QStringLiteral("cieľ.txt")), QByteArray("old"));

    ASSERT_EQ(::lchown(link.constData(), ::geteuid(), ::getegid()), 0);
    EXPECT_TRUE(writeWholeFile(QFile::decodeName(link), {"own"}).ok());
    EXPECT_EQ(read(QStringLiteral("cieľ.txt")), QByteArray("own"));
}

// A full disk and a read-only one, made as a small file system of the test's own (a mount
// namespace of this thread, where the system allows it): the old file stays, and the message
// says why.
TEST_F(WholeFileTest, AFullOrReadOnlyDiskFailsWithItsReasonAndKeepsTheFile)
{
    const QByteArray disk = QFile::encodeName(path(QStringLiteral("disk")));
    ASSERT_EQ(::mkdir(disk.constData(), 0755), 0);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    const QString file = path(QStringLiteral("disk/kniha.txt"));
    make(QStringLiteral("disk/kniha.txt"), "stará kniha");

    const WholeFileResult full = writeWholeFile(file, {QByteArray(1 << 20, 'x')});
    EXPECT_EQ(full.status, WholeFileResult::Status::WriteFailed);
    EXPECT_EQ(wholeFileFailureMessage(file, full), QStringLiteral("Failed to Save Stream: na disku nie je dosť miesta"));
    EXPECT_EQ(read(QStringLiteral("disk/kniha.txt")), QByteArray("stará kniha"));
    EXPECT_EQ(QDir(path(QStringLiteral("disk"))).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kniha.txt")});

    ASSERT_EQ(::mount(nullptr, disk.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const WholeFileResult readOnly = writeWholeFile(file, {"nová"});
    EXPECT_EQ(wholeFileFailureMessage(file, readOnly), QStringLiteral("Cannot create file %1: disk je len na čítanie").arg(file));
    EXPECT_EQ(read(QStringLiteral("disk/kniha.txt")), QByteArray("stará kniha"));
    ::umount2(disk.constData(), MNT_DETACH);
}
