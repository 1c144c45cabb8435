#include "settings/SettingsStore.h"

#include "text/Codepage.h"
#include "text/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorim {
namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

[[noreturn]] void fail(int error) { throw SettingsError(ioErrorMessage(error)); }

[[noreturn]] void tooLong(const QByteArray& path)
{
    const QString name = QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
    throw SettingsError(QStringLiteral("Stavový súbor %1 je dlhší ako %2 kB; nenačítal sa.")
                            .arg(name)
                            .arg(SettingsStore::kMaxFileSize / 1024));
}

// A state file name is one name inside data/, never a path.
void checkName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        throw SettingsError(QStringLiteral("Invalid filename"));
}

// The bytes of the first line: up to CR, LF or the end of the file. atEnd tells whether
// the end of the file was reached before any line end.
QByteArray readFirstLine(const QByteArray& path, bool* atEnd)
{
    // Not blocking on a pipe, and refusing anything but a plain file: a device or a pipe in
    // place of a state file never ends and would hold up the program.
    Fd fd(openRetrying(path, O_RDONLY | O_NONBLOCK));
    if (fd.get() < 0)
        fail(errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        fail(errno);
    if (!S_ISREG(st.st_mode))
        fail(S_ISDIR(st.st_mode) ? EISDIR : EACCES);
    QByteArray line;
    char buffer[4096];
    *atEnd = true;
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (n == 0)
            break;
        const char* end = buffer + n;
        const char* stop = buffer;
        while (stop != end && *stop != '\r' && *stop != '\n')
            ++stop;
        line.append(buffer, stop - buffer);
        if (line.size() > SettingsStore::kMaxFileSize)
            tooLong(path);
        if (stop != end) {
            *atEnd = false;
            break;
        }
    }
    if (const int error = fd.close())
        fail(error);
    return line;
}

QString decodeValue(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.mid(kUtf8Bom.size()));
    return decodeCodepage(bytes, kCp1250);
}


bool isBlank(char c) { return c == ' ' || c == '\t'; }

QString withSlash(const QString& folder)
{
    QString path = QDir::cleanPath(folder);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

// Copies the installed state files the user's folder lacks, each whole or not at all; a file
// that cannot be copied is simply missing, which the first read reports as usual.
void seedStateFiles(const QString& installed, const QString& own)
{
    const QStringList names = QDir(installed).entryList({QStringLiteral("*.ini")}, QDir::Files);
    for (const QString& name : names) {
        const QString target = own + QLatin1Char('/') + name;
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        QFile source(installed + QLatin1Char('/') + name);
        if (!source.open(QIODevice::ReadOnly))
            continue;
        // State files hold one short value; a larger file is not one of ours.
        const QByteArray bytes = source.read(64 * 1024);
        writeWholeFile(target, {bytes}, {.ownFile = true});
    }
}

} // namespace

QString ioErrorMessage(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("File not found");
    case ENAMETOOLONG:
    case EINVAL:
        return QStringLiteral("Invalid filename");
    case ELOOP:
        return QStringLiteral("Invalid filename (a loop of symbolic links)");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(error);
    }
}

SettingsStore::SettingsStore()
    : SettingsStore(QCoreApplication::applicationDirPath(),
                    chooseStateFolder(QCoreApplication::applicationDirPath(), userConfigHome()))
{
}

SettingsStore::SettingsStore(const QString& programFolder)
    : SettingsStore(programFolder, withSlash(programFolder) + QStringLiteral("data"))
{
}

SettingsStore::SettingsStore(const QString& programFolder, const QString& stateFolder)
    : folder_(withSlash(programFolder)), stateFolder_(withSlash(stateFolder))
{
}

QString SettingsStore::filePath(const QString& name) const
{
    return stateFolder_ + name;
}

QString SettingsStore::userConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString SettingsStore::chooseStateFolder(const QString& programFolder, const QString& configHome)
{
    const QString installed = withSlash(programFolder) + QStringLiteral("data");
    // Checked with the effective (file-system) ids, which decide what a write may do.
    if (::faccessat(AT_FDCWD, QFile::encodeName(installed).constData(), W_OK | X_OK, AT_EACCESS) == 0)
        return installed;
    const QString own = withSlash(configHome) + QStringLiteral("zorim");
    if (!QDir().mkpath(own))
        return installed;
    // Private to the user: the last file record names their documents.
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    seedStateFiles(installed, own);
    return own;
}

void SettingsStore::checkSize(const QString& name) const
{
    checkName(name);
    const QByteArray path = QFile::encodeName(filePath(name));
    struct stat st;
    if (::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxFileSize)
        tooLong(path);
}

QString SettingsStore::readValue(const QString& name) const
{
    checkName(name);
    bool atEnd = false;
    return decodeValue(readFirstLine(QFile::encodeName(filePath(name)), &atEnd));
}

int SettingsStore::readInteger(const QString& name) const
{
    checkName(name);
    bool atEnd = false;
    const QByteArray line = readFirstLine(QFile::encodeName(filePath(name)), &atEnd);
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    // Nothing but blanks up to the end of the file: the number would have to be read
    // from beyond it.
    if (i == line.size() && atEnd)
        throw SettingsError(QStringLiteral("Read beyond end of file"));
    const QString invalid = QStringLiteral("Invalid numeric input");
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    const qsizetype firstDigit = i;
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            throw SettingsError(invalid);
    }
    // The number ends at a blank or at the end of the line; what follows a blank is not read.
    if (i == firstDigit || (i < line.size() && !isBlank(line[i])))
        throw SettingsError(invalid);
    if (negative)
        value = -value;
    if (value > INT_MAX)
        throw SettingsError(invalid);
    return static_cast<int>(value);
}

void SettingsStore::writeValue(const QString& name, const QString& value) const
{
    checkName(name);
    // Windows-1250 when every character exists there, else UTF-8 behind a byte order mark,
    // which readValue recognises: no character of a value is lost. A state file is the
    // program's own: a link in its place is replaced, so that nothing outside the state folder
    // is ever written, and a device, a pipe or a folder there is refused.
    const QByteArray bytes = encodeTextDocument(value);
    const WholeFileResult result = writeWholeFile(filePath(name), {bytes}, {.ownFile = true});
    if (!result.ok())
        fail(result.status == WholeFileResult::Status::NotPlainFile ? EACCES : result.error);
}

void SettingsStore::writeInteger(const QString& name, int value) const
{
    writeValue(name, QString::number(value));
}

} // namespace zorim
