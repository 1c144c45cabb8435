// The state files as the program reads and writes them, and every failure message.
#include "FilePermissions.h"
#include "ProgramFolder.h"
#include "QStringPrinter.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using zorim::SettingsError;
using zorim::SettingsStore;
using zorim::test::AsOrdinaryUser;
using zorim::test::ProgramFolder;

namespace {

// The message of the failure that f raises, or "no failure".
template <typename F>
QString failureOf(F&& f)
{
    try {
        f();
    } catch (const SettingsError& e) {
        return e.message();
    }
    return QStringLiteral("no failure");
}

// A resource limit lowered for the scope of the object.
class Limit {
public:
    Limit(int resource, rlim_t value) : resource_(resource)
    {
        getrlimit(resource_, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = value;
        setrlimit(resource_, &lowered);
    }
    ~Limit() { setrlimit(resource_, &saved_); }

private:
    int resource_;
    rlimit saved_{};
};

// Permission bits of owner, group and others (Qt adds those of the current user).
const QFileDevice::Permissions kOwnerGroupOther(0x7077);
const QFileDevice::Permissions kEveryoneMayWrite(0x7777);

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    ProgramFolder folder;
    SettingsStore store{folder.path()};
};

} // namespace

TEST(SettingsStoreFolder, DefaultsToTheExecutablesFolderWithItsSeparator)
{
    // The test's own folder has no data/ to write: the state goes to a configuration folder,
    // here a temporary one, never the user's.
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    SettingsStore store;
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(store.programFolder(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    EXPECT_EQ(SettingsStore(QStringLiteral("/opt/zorim")).filePath(QStringLiteral("tab.ini")),
              QStringLiteral("/opt/zorim/data/tab.ini"));
}

TEST_F(SettingsStoreTest, InstalledStateFilesHoldTheirValuesWithoutLineEnds)
{
    EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("10"));
    EXPECT_EQ(folder.read(QStringLiteral("skin.ini")), QByteArray("4"));
    EXPECT_EQ(folder.read(QStringLiteral("easy.ini")), QByteArray("1"));
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), QByteArray("Dokument"));
    EXPECT_EQ(store.readInteger(QStringLiteral("tab.ini")), 10);
}

TEST_F(SettingsStoreTest, ReadsTheFirstLineOnlyWhateverItsLineEnd)
{
    const QString name = QStringLiteral("hladat.ini");
    for (const QByteArray& bytes : {QByteArray("8\r\n"), QByteArray("8\n9"), QByteArray("8\rx"), QByteArray("8")}) {
        folder.write(name, bytes);
        EXPECT_EQ(store.readValue(name), QStringLiteral("8")) << bytes.toStdString();
    }
    folder.write(name, QByteArray());
    EXPECT_EQ(store.readValue(name), QString());
    folder.write(name, QByteArray("\nsecond"));
    EXPECT_EQ(store.readValue(name), QString());
}

TEST_F(SettingsStoreTest, ValuesAreWindows1250WithoutLineEnd)
{
    const QString name = QStringLiteral("hladat.ini");
    store.writeValue(name, QStringLiteral("Hľadať ťava"));
    EXPECT_EQ(folder.read(name), QByteArray("H\xBE" "ada\x9D" " \x9D" "ava"));
    EXPECT_EQ(store.readValue(name), QStringLiteral("Hľadať ťava"));

    folder.write(name, QByteArray("\x8A\x9A\xE8"));
    EXPECT_EQ(store.readValue(name), QStringLiteral("Ššč"));
}

TEST_F(SettingsStoreTest, ValueOutsideWindows1250KeepsEveryCharacter)
{
    const QString name = QStringLiteral("hladat.ini");
    const QString value = QStringLiteral("Жук ľ €");
    store.writeValue(name, value);
    EXPECT_EQ(store.readValue(name), value);
}

TEST_F(SettingsStoreTest, WritingReplacesTheWholeContent)
{
    const QString name = QStringLiteral("nahradit.ini");
    store.writeValue(name, QStringLiteral("a long replacement text"));
    store.writeValue(name, QStringLiteral("kratko"));
    EXPECT_EQ(folder.read(name), QByteArray("kratko"));
    store.writeValue(name, QString());
    EXPECT_EQ(folder.read(name), QByteArray());
    EXPECT_EQ(filesIn(folder.dataPath(QString())).filter(QStringLiteral(".tmp")), QStringList());
}

TEST_F(SettingsStoreTest, IntegersArePlainDecimalDigits)
{
    const QString name = QStringLiteral("riadok.ini");
    const std::pair<int, QByteArray> cases[] = {{10, "10"}, {0, "0"}, {-7, "-7"}, {2147483647, "2147483647"}};
    for (const auto& [value, bytes] : cases) {
        store.writeInteger(name, value);
        EXPECT_EQ(folder.read(name), bytes);
        EXPECT_EQ(store.readInteger(name), value);
    }
}

TEST_F(SettingsStoreTest, ReadIntegerSkipsLeadingBlanksAndStopsAtTheLineEnd)
{
    const QString name = QStringLiteral("tab.ini");
    const std::pair<QByteArray, int> cases[] = {
        {"  30", 30}, {"\t50\r\n", 50}, {"70\n80", 70}, {"+12", 12}, {"-10", -10}, {"40 rest", 40}, {"-2147483648", -2147483647 - 1}};
    for (const auto& [bytes, value] : cases) {
        folder.write(name, bytes);
        EXPECT_EQ(store.readInteger(name), value) << bytes.toStdString();
    }
}

TEST_F(SettingsStoreTest, ReadIntegerRejectsWhatIsNoDecimalInteger)
{
    const QString name = QStringLiteral("tab.ini");
    for (const QByteArray& bytes : {QByteArray("abc"), QByteArray("12abc"), QByteArray("1.5"), QByteArray("-"),
                                    QByteArray("0x10"), QByteArray("2147483648"), QByteArray("\r\n10"), QByteArray("  \n")}) {
        folder.write(name, bytes);
        EXPECT_EQ(failureOf([&] { store.readInteger(name); }), QStringLiteral("Invalid numeric input")) << bytes.toStdString();
    }
    for (const QByteArray& bytes : {QByteArray(), QByteArray("   ")}) {
        folder.write(name, bytes);
        EXPECT_EQ(failureOf([&] { store.readInteger(name); }), QStringLiteral("Read beyond end of file")) << bytes.toStdString();
    }
}

TEST_F(SettingsStoreTest, FilesResolveAgainstTheProgramFolderNotTheWorkingDirectory)
{
    const QString saved = QDir::currentPath();
    ProgramFolder elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    store.writeValue(QStringLiteral("skin.ini"), QStringLiteral("7"));
    const QString read = store.readValue(QStringLiteral("skin.ini"));
    QDir::setCurrent(saved);
    EXPECT_EQ(read, QStringLiteral("7"));
    EXPECT_EQ(folder.read(QStringLiteral("skin.ini")), QByteArray("7"));
    EXPECT_EQ(elsewhere.read(QStringLiteral("skin.ini")), QByteArray("4"));
}

TEST_F(SettingsStoreTest, MissingFileIsReportedNeverDefaulted)
{
    folder.remove(QStringLiteral("skin.ini"));
    EXPECT_EQ(failureOf([&] { store.readValue(QStringLiteral("skin.ini")); }), QStringLiteral("File not found"));
    EXPECT_EQ(failureOf([&] { store.readInteger(QStringLiteral("skin.ini")); }), QStringLiteral("File not found"));
    EXPECT_FALSE(folder.exists(QStringLiteral("skin.ini")));
}

TEST_F(SettingsStoreTest, ALineLongerThanAStateFileHoldsIsRefused)
{
    const QString refused = QStringLiteral("Stavový súbor skin.ini je dlhší ako 64 kB; nenačítal sa.");
    folder.write(QStringLiteral("skin.ini"), QByteArray(SettingsStore::kMaxFileSize + 1, '7'));
    EXPECT_EQ(failureOf([&] { store.readValue(QStringLiteral("skin.ini")); }), refused);
    EXPECT_EQ(failureOf([&] { store.checkSize(QStringLiteral("skin.ini")); }), refused);
    // Up to the bound the file is read as ever.
    folder.write(QStringLiteral("skin.ini"), QByteArray(SettingsStore::kMaxFileSize, '7'));
    EXPECT_EQ(store.readValue(QStringLiteral("skin.ini")).size(), SettingsStore::kMaxFileSize);
    EXPECT_EQ(failureOf([&] { store.checkSize(QStringLiteral("skin.ini")); }), QStringLiteral("no failure"));
}

TEST(SettingsStoreNoDataFolder, WritingNeverCreatesTheDataFolder)
{
    ProgramFolder bare(false);
    SettingsStore store(bare.path());
    EXPECT_EQ(failureOf([&] { store.writeValue(QStringLiteral("tab.ini"), QStringLiteral("10")); }), QStringLiteral("File not found"));
    EXPECT_FALSE(QFileInfo::exists(bare.dataPath(QString())));
}

TEST_F(SettingsStoreTest, BadFileNamesAreInvalid)
{
    for (const QString& name : {QString(), QStringLiteral("../tab.ini"), QStringLiteral("sub/x.ini"), QStringLiteral(".."),
                                QString(300, QLatin1Char('a'))}) {
        EXPECT_EQ(failureOf([&] { store.readValue(name); }), QStringLiteral("Invalid filename")) << name.size();
        EXPECT_EQ(failureOf([&] { store.writeValue(name, QStringLiteral("1")); }), QStringLiteral("Invalid filename"));
    }
}

TEST_F(SettingsStoreTest, TooManyOpenFiles)
{
    QString readFailure, writeFailure;
    {
        Limit noFiles(RLIMIT_NOFILE, 0);
        readFailure = failureOf([&] { store.readValue(QStringLiteral("tab.ini")); });
        writeFailure = failureOf([&] { store.writeValue(QStringLiteral("tab.ini"), QStringLiteral("30")); });
    }
    EXPECT_EQ(readFailure, QStringLiteral("Too many open files"));
    EXPECT_EQ(writeFailure, QStringLiteral("Too many open files"));
    EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("10"));
}

TEST_F(SettingsStoreTest, FullDiskLeavesTheOldValueWhole)
{
    store.writeValue(QStringLiteral("hladat.ini"), QStringLiteral("old value"));
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QString failure;
    {
        Limit noSpace(RLIMIT_FSIZE, 0);
        failure = failureOf([&] { store.writeValue(QStringLiteral("hladat.ini"), QStringLiteral("new")); });
    }
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(failure, QStringLiteral("Disk full"));
    EXPECT_EQ(folder.read(QStringLiteral("hladat.ini")), QByteArray("old value"));
    EXPECT_EQ(filesIn(folder.dataPath(QString())).filter(QStringLiteral(".tmp")), QStringList());
}

TEST_F(SettingsStoreTest, ReadOnlyFolderAndFilesDenyAccessAndStayAsTheyWere)
{
    folder.openToOthers();
    const QString data = folder.dataPath(QString());
    // Owned by the test, readable by everyone, writable by nobody else: a read-only folder
    // and read-only files for the ordinary user below.
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
                                    | QFile::ReadGroup | QFile::ExeGroup);
    folder.write(QStringLiteral("secret.ini"), "x");
    QFile::setPermissions(folder.dataPath(QStringLiteral("secret.ini")), QFile::ReadOwner | QFile::WriteOwner);

    QString writeExisting, writeNew, readOk, readHidden;
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        writeExisting = failureOf([&] { store.writeValue(QStringLiteral("tab.ini"), QStringLiteral("30")); });
        writeNew = failureOf([&] { store.writeValue(QStringLiteral("riadok.ini"), QStringLiteral("3")); });
        readOk = store.readValue(QStringLiteral("tab.ini"));
        readHidden = failureOf([&] { store.readValue(QStringLiteral("secret.ini")); });
    }
    EXPECT_EQ(writeExisting, QStringLiteral("File access denied"));
    EXPECT_EQ(writeNew, QStringLiteral("File access denied"));
    EXPECT_EQ(readOk, QStringLiteral("10"));
    EXPECT_EQ(readHidden, QStringLiteral("File access denied"));
    EXPECT_EQ(folder.read(QStringLiteral("tab.ini")), QByteArray("10"));
    EXPECT_FALSE(folder.exists(QStringLiteral("riadok.ini")));
}

TEST_F(SettingsStoreTest, ReadOnlyFileInAWritableFolderIsNotReplaced)
{
    const QString path = folder.dataPath(QStringLiteral("skin.ini"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    folder.openToOthers();
    QFile::setPermissions(folder.dataPath(QString()), kEveryoneMayWrite);
    QString failure;
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        failure = failureOf([&] { store.writeValue(QStringLiteral("skin.ini"), QStringLiteral("5")); });
    }
    EXPECT_EQ(failure, QStringLiteral("File access denied"));
    EXPECT_EQ(folder.read(QStringLiteral("skin.ini")), QByteArray("4"));
}

TEST_F(SettingsStoreTest, ReplacingKeepsTheFilesPermissions)
{
    const QString path = folder.dataPath(QStringLiteral("tab.ini"));
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(path, perms);
    store.writeInteger(QStringLiteral("tab.ini"), 30);
    EXPECT_EQ(QFile::permissions(path) & kOwnerGroupOther, perms);
}

TEST_F(SettingsStoreTest, FolderInPlaceOfAFileDeniesAccess)
{
    QDir().mkdir(folder.dataPath(QStringLiteral("box.ini")));
    EXPECT_EQ(failureOf([&] { store.readValue(QStringLiteral("box.ini")); }), QStringLiteral("File access denied"));
    EXPECT_EQ(failureOf([&] { store.writeValue(QStringLiteral("box.ini"), QStringLiteral("1")); }), QStringLiteral("File access denied"));
}

TEST_F(SettingsStoreTest, ALinkLoopIsNamedAndOtherFailuresGiveTheSystemErrorNumber)
{
    // A link that points at itself: the system reports too many levels of links (ELOOP).
    const QString path = folder.dataPath(QStringLiteral("loop.ini"));
    ASSERT_EQ(::symlink("loop.ini", QFile::encodeName(path).constData()), 0);
    const QString expected = QStringLiteral("Invalid filename (a loop of symbolic links)");
    EXPECT_EQ(failureOf([&] { store.readValue(QStringLiteral("loop.ini")); }), expected);
    EXPECT_EQ(failureOf([&] { store.writeValue(QStringLiteral("loop.ini"), QStringLiteral("1")); }), expected);
    EXPECT_EQ(zorim::ioErrorMessage(EIO), QStringLiteral("I/O error %1").arg(EIO));
}

TEST_F(SettingsStoreTest, DevicesAndPipesInPlaceOfAStateFileAreRefusedWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.dataPath(QStringLiteral("pipe.ini"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder.dataPath(QStringLiteral("zero.ini"))));
    for (const QString& name : {QStringLiteral("pipe.ini"), QStringLiteral("zero.ini")}) {
        EXPECT_EQ(failureOf([&] { store.readValue(name); }), QStringLiteral("File access denied")) << name.toStdString();
        EXPECT_EQ(failureOf([&] { store.writeValue(name, QStringLiteral("1")); }), QStringLiteral("File access denied"));
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/zero")).exists());
}

TEST_F(SettingsStoreTest, LinkToAFileOutsideDataIsReplacedNeverWrittenThrough)
{
    const QString outside = folder.writeDocument(QStringLiteral("outside.txt"), "mine");
    folder.remove(QStringLiteral("skin.ini"));
    ASSERT_TRUE(QFile::link(outside, folder.dataPath(QStringLiteral("skin.ini"))));
    EXPECT_EQ(store.readValue(QStringLiteral("skin.ini")), QStringLiteral("mine"));
    store.writeValue(QStringLiteral("skin.ini"), QStringLiteral("3"));
    EXPECT_EQ(folder.read(QStringLiteral("skin.ini")), QByteArray("3"));
    EXPECT_FALSE(QFileInfo(folder.dataPath(QStringLiteral("skin.ini"))).isSymLink());
    QFile file(outside);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("mine"));
}

// An installation the user may not write keeps each user's state in their own folder,
// seeded once from the installed state files.
TEST(SettingsStoreStateFolder, WritableProgramDataKeepsTheStateBesideTheProgram)
{
    ProgramFolder folder;
    QTemporaryDir home;
    const QString state = SettingsStore::chooseStateFolder(folder.path(), home.path());
    EXPECT_EQ(QDir::cleanPath(state), QDir::cleanPath(folder.dataPath(QString())));
    EXPECT_FALSE(QFileInfo::exists(home.path() + QStringLiteral("/zorim")));
    EXPECT_EQ(SettingsStore(folder.path()).filePath(QStringLiteral("tab.ini")), folder.dataPath(QStringLiteral("tab.ini")));
}

TEST(SettingsStoreStateFolder, ReadOnlyInstallationKeepsEachUsersStateInTheirConfigFolder)
{
    ProgramFolder installed;
    installed.openToOthers();
    QFile::setPermissions(installed.dataPath(QString()), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                            | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    QTemporaryDir anna, boris;
    for (const QTemporaryDir* home : {&anna, &boris})
        QFile::setPermissions(home->path(), kEveryoneMayWrite);

    QString annaState, borisState, annaLast, borisLast, seededTab;
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        annaState = SettingsStore::chooseStateFolder(installed.path(), anna.path());
        borisState = SettingsStore::chooseStateFolder(installed.path(), boris.path());
        const SettingsStore annaStore(installed.path(), annaState);
        const SettingsStore borisStore(installed.path(), borisState);
        annaStore.writeValue(QStringLiteral("data.ini"), QStringLiteral("/home/anna/list.zrm"));
        annaStore.writeValue(QStringLiteral("tab.ini"), QStringLiteral("50"));
        // A second start finds the user's own values, not a fresh seed.
        const SettingsStore again(installed.path(), SettingsStore::chooseStateFolder(installed.path(), anna.path()));
        annaLast = again.readValue(QStringLiteral("data.ini"));
        seededTab = again.readValue(QStringLiteral("tab.ini"));
        borisLast = borisStore.readValue(QStringLiteral("data.ini"));
    }
    EXPECT_EQ(QDir::cleanPath(annaState), anna.path() + QStringLiteral("/zorim"));
    EXPECT_EQ(QDir::cleanPath(borisState), boris.path() + QStringLiteral("/zorim"));
    EXPECT_EQ(annaLast, QStringLiteral("/home/anna/list.zrm"));
    EXPECT_EQ(seededTab, QStringLiteral("50"));
    EXPECT_EQ(borisLast, QStringLiteral("Dokument"));
    // The installation itself is untouched.
    EXPECT_EQ(installed.read(QStringLiteral("data.ini")), QByteArray("Dokument"));
    EXPECT_EQ(installed.read(QStringLiteral("tab.ini")), QByteArray("10"));
}

TEST(SettingsStoreStateFolder, ConfigFolderThatCannotBeMadeLeavesTheInstalledData)
{
    ProgramFolder installed;
    installed.openToOthers();
    QFile::setPermissions(installed.dataPath(QString()), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                            | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    QTemporaryDir home;
    // A plain file where the configuration folder should be.
    const QString notAFolder = home.path() + QStringLiteral("/config");
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QString state, failure;
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        state = SettingsStore::chooseStateFolder(installed.path(), notAFolder);
        failure = failureOf([&] { SettingsStore(installed.path(), state).writeValue(QStringLiteral("tab.ini"), QStringLiteral("30")); });
    }
    EXPECT_EQ(QDir::cleanPath(state), QDir::cleanPath(installed.dataPath(QString())));
    EXPECT_EQ(failure, QStringLiteral("File access denied"));
}

TEST(SettingsStoreStateFolder, UserConfigHomeFollowsXdgConfigHomeWhenAbsolute)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/zorim-config");
    EXPECT_EQ(SettingsStore::userConfigHome(), QStringLiteral("/tmp/zorim-config"));
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(SettingsStore::userConfigHome(), QDir::homePath() + QStringLiteral("/.config"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsStore::userConfigHome(), QDir::homePath() + QStringLiteral("/.config"));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}
