// The one file writer: what the file was stays what it is (a link, its other names, its
// permissions and owner), a folder the user may not write still lets a writable file be saved,
// a pipe is refused, and a failed write leaves the old bytes.
#include "FilePermissions.h"
#include "QStringPrinter.h"
#include "ResourceLimit.h"
#include "text/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
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
