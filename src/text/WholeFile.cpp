#include "text/WholeFile.h"
#include "text/FileNames.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorim {
namespace {

using Status = WholeFileResult::Status;

// As many links as the system itself follows before it calls the name a loop.
constexpr int kMaxLinks = 40;
// A long name is shortened in its temporary's name, which must stay a valid name.
constexpr qsizetype kMaxBaseInTemporary = 120;
const QByteArray kTemporarySuffix(".tmp");

WholeFileResult failure(Status status, int error) { return {status, error}; }

// 0, or the errno of the failed write.
int writeAt(int fd, QByteArrayView bytes, off_t offset)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, p, size_t(left), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= n;
        offset += n;
    }
    return 0;
}

int writeParts(int fd, const QList<QByteArrayView>& parts)
{
    off_t offset = 0;
    for (QByteArrayView part : parts) {
        if (const int error = writeAt(fd, part, offset))
            return error;
        offset += part.size();
    }
    return 0;
}

int syncFile(int fd) { return ::fsync(fd) != 0 && errno != EINVAL ? errno : 0; }

// The folder part of a path, with its slash ("" for the working folder).
QByteArray folderOf(const QByteArray& path) { return path.left(path.lastIndexOf('/') + 1); }

// The name a chain of symbolic links ends at (which need not exist yet), or the errno.
int followLinks(QByteArray path, QByteArray* end)
{
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st;
        if (::lstat(path.constData(), &st) != 0) {
            if (errno != ENOENT)
                return errno;
            *end = path;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            *end = path;
            return 0;
        }
        if (!mayFollowLink(folderOf(path), st.st_uid))
            return EACCES;
        QByteArray link(qsizetype(st.st_size > 0 ? st.st_size : 4096) + 1, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (n < 0)
            return errno;
        link.truncate(n);
        if (link.startsWith('/'))
            path = link;
        else
            path = folderOf(path) + link;
    }
    return ELOOP;
}

// Writes the parts into the file itself. Its old bytes are read first and put back should the
// write fail; room for the longer content is taken before a byte changes, so a full disk fails
// with the file untouched.
WholeFileResult writeInPlace(const QByteArray& target, const QList<QByteArrayView>& parts)
{
    Fd fd(openRetrying(target, O_RDWR | O_NONBLOCK));
    if (fd.get() < 0)
        return failure(Status::CannotCreate, errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        return failure(Status::CannotCreate, errno);
    if (!S_ISREG(st.st_mode))
        return failure(Status::NotPlainFile, 0);
    QByteArray old(qsizetype(st.st_size), Qt::Uninitialized);
    for (qsizetype done = 0; done < old.size();) {
        const ssize_t n = ::pread(fd.get(), old.data() + done, size_t(old.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failure(Status::CannotCreate, n < 0 ? errno : EIO);
        done += n;
    }
    qsizetype size = 0;
    for (QByteArrayView part : parts)
        size += part.size();
    if (size > old.size()) {
        if (const int error = ::posix_fallocate(fd.get(), 0, off_t(size))) {
            if (::ftruncate(fd.get(), off_t(old.size())) != 0) {
                // The length is all that may have changed; the old bytes are still in place.
            }
            return failure(Status::WriteFailed, error);
        }
    }
    int error = writeParts(fd.get(), parts);
    if (!error && ::ftruncate(fd.get(), off_t(size)) != 0)
        error = errno;
    if (!error)
        error = syncFile(fd.get());
    if (error) {
        // The room the old bytes had is still there: putting them back needs no more.
        if (writeAt(fd.get(), old, 0) == 0 && ::ftruncate(fd.get(), off_t(old.size())) == 0)
            ::fsync(fd.get());
        return failure(Status::WriteFailed, error);
    }
    if (const int closeError = fd.close())
        return failure(Status::WriteFailed, closeError);
    return {};
}

// A temporary's name: "." + the target's name (shortened) + "." + a random number in base 36 +
// ".tmp". Answers whether the name is one, with the (shortened) target name it is for.
bool temporaryTarget(QByteArrayView name, QByteArrayView* target)
{
    if (!name.startsWith('.') || !name.endsWith(kTemporarySuffix))
        return false;
    name = name.sliced(1, name.size() - 1 - kTemporarySuffix.size());
    const qsizetype dot = name.lastIndexOf('.');
    const QByteArrayView random = name.sliced(dot + 1);
    // At most the digits of a 32-bit number.
    if (dot <= 0 || random.isEmpty() || random.size() > 7)
        return false;
    for (const char c : random) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    *target = name.first(dot);
    return true;
}

// A new file beside the target, only ours (O_EXCL), under a name no one else uses. It is locked
// while it is written, so that a save of the same file elsewhere leaves it alone (the lock goes
// with the process, however it ends).
int createTemporary(const QByteArray& dir, const QByteArray& base, mode_t mode, QByteArray* temp)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = dir + '.' + base.left(kMaxBaseInTemporary) + '.'
              + QByteArray::number(QRandomGenerator::global()->generate(), 36) + kTemporarySuffix;
        const int fd = openRetrying(*temp, O_WRONLY | O_CREAT | O_EXCL, mode);
        if (fd >= 0)
            ::flock(fd, LOCK_EX | LOCK_NB);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The temporaries of saves of this target that ended midway (the process killed, the machine
// off) are removed: ours, plain files, and locked by no save still running.
void removeLeftoverTemporaries(const QByteArray& dir, const QByteArray& base)
{
    DIR* folder = ::opendir(dir.isEmpty() ? "." : dir.constData());
    if (!folder)
        return;
    const QByteArray shortened = base.left(kMaxBaseInTemporary);
    while (const dirent* entry = ::readdir(folder)) {
        QByteArrayView target;
        if (!temporaryTarget(entry->d_name, &target) || target != shortened)
            continue;
        const QByteArray temp = dir + entry->d_name;
        Fd fd(openRetrying(temp, O_RDONLY | O_NOFOLLOW | O_NONBLOCK));
        struct stat st, now;
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        // Still the file looked at, not one put in its place since.
        if (::lstat(temp.constData(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino)
            ::unlink(temp.constData());
    }
    ::closedir(folder);
}

void syncFolder(const QByteArray& dir)
{
    // The new name lasts through a power cut once the folder itself is on the disk; the content
    // is in place already, so a failure here changes nothing the user could act on.
    const int fd = openRetrying(dir.isEmpty() ? QByteArray(".") : dir, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

WholeFileResult writeWholeFile(const QString& path, const QList<QByteArrayView>& parts, const WholeFileOptions& options)
{
    QByteArray target = fileNameBytes(path); // a name that is no UTF-8 is saved under its own bytes
    if (target.isEmpty())
        return failure(Status::CannotCreate, ENOENT);
    if (!options.ownFile) {
        if (const int error = followLinks(target, &target))
            return failure(Status::CannotCreate, error);
    }

    // An existing file must be a plain file the user may write: one made read-only stays as it is.
    struct stat st;
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode))
            return failure(Status::CannotCreate, EISDIR);
        if (!S_ISREG(st.st_mode))
            return failure(Status::NotPlainFile, 0);
        Fd probe(openRetrying(target, O_WRONLY | O_NONBLOCK));
        if (probe.get() < 0)
            return failure(Status::CannotCreate, errno);
    } else if (errno != ENOENT) {
        return failure(Status::CannotCreate, errno);
    }

    const QByteArray dir = folderOf(target);
    const QByteArray base = target.mid(dir.size());
    removeLeftoverTemporaries(dir, base);
    QByteArray temp;
    Fd fd(createTemporary(dir, base, exists ? 0600 : mode_t(options.newFileMode), &temp));
    if (fd.get() < 0) {
        const int error = errno;
        // A folder the user may not write, holding a file they may.
        if (exists && !options.ownFile && (error == EACCES || error == EPERM))
            return writeInPlace(target, parts);
        return failure(Status::CannotCreate, error);
    }

    bool inPlace = false;
    int error = writeParts(fd.get(), parts);
    if (!error)
        error = syncFile(fd.get());
    if (!error && exists && !options.ownFile) {
        // The owner and group go first: a change of owner clears the set-id bits that the mode
        // then restores. What the user may not give stays only by writing into the file itself,
        // as do the file's other names.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd.get(), st.st_uid, st.st_gid) != 0)
            inPlace = true;
        if (st.st_nlink > 1)
            inPlace = true;
    }
    if (!error && exists && !inPlace && ::fchmod(fd.get(), st.st_mode & 07777) != 0)
        error = errno;
    if (!error)
        error = fd.close();
    if (!error && inPlace) {
        // The new bytes are safe beside the file while it is written.
        const WholeFileResult result = writeInPlace(target, parts);
        ::unlink(temp.constData());
        return result;
    }
    if (!error && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.constData());
        return failure(Status::WriteFailed, error);
    }
    syncFolder(dir);
    return {};
}

namespace {

// The reason a write failed, in the user's terms; empty where it is nothing they could act on.
QString failureReason(const WholeFileResult& result)
{
    if (result.status == Status::NotPlainFile)
        return QStringLiteral("nie je obyčajný súbor (je to zariadenie, rúra alebo iný špeciálny súbor), ZORIM doň neukladá");
    switch (result.error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na disku nie je dosť miesta");
    case EFBIG:
        return QStringLiteral("súbor by bol väčší, ako disk dovoľuje");
    case EACCES:
    case EPERM:
        return QStringLiteral("na zápis sem nemáte oprávnenie");
    case EROFS:
        return QStringLiteral("disk je len na čítanie");
    case EISDIR:
        return QStringLiteral("je to priečinok");
    default:
        return {};
    }
}

} // namespace

QString wholeFileFailureMessage(const QString& path, const WholeFileResult& result)
{
    QString message = result.status == Status::WriteFailed ? QStringLiteral("Failed to Save Stream")
                                                           : QStringLiteral("Cannot create file %1").arg(path);
    if (const QString reason = failureReason(result); !reason.isEmpty())
        message += QStringLiteral(": ") + reason;
    return message;
}

QString notPlainFileMessage(const QString& path) { return wholeFileFailureMessage(path, {Status::NotPlainFile, 0}); }

bool isWholeFileTemporary(const QString& fileName, QString* target)
{
    const QByteArray bytes = fileNameBytes(fileName);
    QByteArrayView name;
    if (!temporaryTarget(bytes, &name))
        return false;
    if (target)
        *target = fileNameFromBytes(name);
    return true;
}

bool mayFollowLink(const QByteArray& folder, uid_t linkOwner)
{
    struct stat st;
    if (::stat(folder.isEmpty() ? "." : folder.constData(), &st) != 0)
        return false;
    const bool shared = (st.st_mode & S_ISVTX) && (st.st_mode & S_IWOTH);
    return !shared || linkOwner == ::geteuid() || linkOwner == st.st_uid;
}

int openRetrying(const QByteArray& path, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace zorim
