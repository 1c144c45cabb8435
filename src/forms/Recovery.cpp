#include "forms/Recovery.h"

#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zorim {
namespace {

const QByteArray kMagic("ZORIM-RECOVERY 1");
// A header is a few short lines; anything longer is not one of ours.
constexpr qsizetype kMaxHeader = 64 * 1024;
constexpr int kDefaultQuietMs = 10'000;
constexpr int kDefaultLongestMs = 60'000;

const QString kPrefix = QStringLiteral("recovery-");
const QString kSnapshotSuffix = QStringLiteral(".zrs");
const QString kLockSuffix = QStringLiteral(".lock");

// Covers the header lines before it and the content: a damaged name is refused as surely as
// damaged text.
QByteArray checksum(QByteArrayView header, QByteArrayView content)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(header);
    hash.addData(content);
    return hash.result().toHex();
}

QString lockPathFor(const QString& snapshotPath)
{
    QString path = snapshotPath;
    path.chop(kSnapshotSuffix.size());
    return path + kLockSuffix;
}

int openRetrying(const QByteArray& path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Whether the run that owns the lock file is over: its lock can be taken (or the file is gone).
bool ownerIsGone(const QString& lockPath)
{
    const int fd = openRetrying(QFile::encodeName(lockPath), O_RDONLY);
    if (fd < 0)
        return errno == ENOENT;
    const bool free = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

QByteArray encodeSnapshot(const Snapshot& snapshot)
{
    const SnapshotInfo& info = snapshot.info;
    QByteArray out = kMagic + '\n';
    // The name is percent-encoded: a file name may hold any character, a line end included.
    out += "name=" + QUrl::toPercentEncoding(info.fileName) + '\n';
    out += QByteArray("untitled=") + (info.untitled ? "1" : "0") + '\n';
    out += QByteArray("format=") + (info.plainText ? "text" : "rtf") + '\n';
    out += "saved=" + info.savedAt.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    out += "length=" + QByteArray::number(snapshot.content.size()) + '\n';
    out += "sha256=" + checksum(out, snapshot.content) + '\n';
    out += '\n';
    out += snapshot.content;
    return out;
}

std::optional<Snapshot> decodeSnapshot(const QByteArray& bytes)
{
    const qsizetype headerEnd = bytes.indexOf("\n\n");
    if (headerEnd < 0 || headerEnd > kMaxHeader)
        return std::nullopt;
    const QList<QByteArray> lines = bytes.left(headerEnd).split('\n');
    if (lines.size() < 2 || lines.front() != kMagic || !lines.back().startsWith("sha256="))
        return std::nullopt;
    const qsizetype checked = headerEnd - lines.back().size(); // the header up to its checksum line
    QHash<QByteArray, QByteArray> fields;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        fields.insert(lines[i].left(eq), lines[i].mid(eq + 1));
    }
    Snapshot snapshot;
    snapshot.content = bytes.mid(headerEnd + 2);
    bool lengthOk = false;
    const qlonglong length = fields.value("length").toLongLong(&lengthOk);
    if (!lengthOk || length != snapshot.content.size()
        || fields.value("sha256") != checksum(QByteArrayView(bytes).first(checked), snapshot.content))
        return std::nullopt;
    const QByteArray untitled = fields.value("untitled");
    const QByteArray format = fields.value("format");
    if ((untitled != "0" && untitled != "1") || (format != "rtf" && format != "text") || !fields.contains("name"))
        return std::nullopt;
    snapshot.info.fileName = QUrl::fromPercentEncoding(fields.value("name"));
    snapshot.info.untitled = untitled == "1";
    snapshot.info.plainText = format == "text";
    snapshot.info.savedAt = QDateTime::fromString(QString::fromLatin1(fields.value("saved")), Qt::ISODateWithMs);
    if (!snapshot.info.savedAt.isValid())
        return std::nullopt;
    return snapshot;
}

Recovery::Recovery(const QString& stateFolder, Capture capture, QObject* parent)
    : QObject(parent), folder_(QDir::cleanPath(stateFolder)), capture_(std::move(capture))
{
    // The process id names the run; the start time keeps a reused id apart from a dead run's.
    const QString id = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    snapshotPath_ = folder_ + QLatin1Char('/') + kPrefix + id + kSnapshotSuffix;
    lockPath_ = lockPathFor(snapshotPath_);
    lockFd_ = openRetrying(QFile::encodeName(lockPath_), O_RDWR | O_CREAT, 0600);
    if (lockFd_ >= 0)
        ::flock(lockFd_, LOCK_EX | LOCK_NB);

    quiet_.setSingleShot(true);
    longest_.setSingleShot(true);
    setDelays(kDefaultQuietMs, kDefaultLongestMs);
    connect(&quiet_, &QTimer::timeout, this, &Recovery::snapshotNow);
    connect(&longest_, &QTimer::timeout, this, &Recovery::snapshotNow);
    worker_ = std::thread([this] { workerLoop(); });
}

Recovery::~Recovery()
{
    discard();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
    ::unlink(QFile::encodeName(lockPath_).constData());
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

void Recovery::setDelays(int quietMs, int longestMs)
{
    quiet_.setInterval(quietMs);
    longest_.setInterval(longestMs);
}

void Recovery::documentChanged()
{
    quiet_.start();
    if (!longest_.isActive())
        longest_.start();
}

void Recovery::snapshotNow()
{
    quiet_.stop();
    longest_.stop();
    std::optional<Job> job = capture_();
    if (!job) {
        // Nothing unsaved (an undo back to the saved state, say): no snapshot is wanted.
        discard();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(job);
    }
    wake_.notify_all();
}

void Recovery::discard()
{
    quiet_.stop();
    longest_.stop();
    std::lock_guard lock(mutex_);
    ++generation_;
    pending_.reset();
    ::unlink(QFile::encodeName(snapshotPath_).constData());
}

void Recovery::flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void Recovery::workerLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
        if (stopping_)
            break;
        Job job = std::move(*pending_);
        pending_.reset();
        const quint64 generation = generation_;
        busy_ = true;
        lock.unlock();
        const QByteArray content = job.content();
        writeSnapshot(job.info, content, generation);
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

void Recovery::writeSnapshot(const SnapshotInfo& info, const QByteArray& content, quint64 generation)
{
    const QByteArray bytes = encodeSnapshot({info, content});
    const QByteArray target = QFile::encodeName(snapshotPath_);
    const QByteArray temp = target + ".tmp";
    const int fd = openRetrying(temp, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    bool ok = fd >= 0;
    int error = ok ? 0 : errno;
    if (ok && (!writeAll(fd, bytes) || ::fsync(fd) != 0)) {
        ok = false;
        error = errno;
    }
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    {
        // A discard since the job was taken wins: the document was saved or replaced.
        std::lock_guard lock(mutex_);
        if (ok && generation == generation_) {
            if (::rename(temp.constData(), target.constData()) != 0) {
                ok = false;
                error = errno;
            }
        } else {
            ::unlink(temp.constData());
            if (ok)
                return;
        }
    }
    if (!ok) {
        ::unlink(temp.constData());
        emit writeFailed(ioErrorMessage(error));
        return;
    }
    const int dir = openRetrying(QFile::encodeName(folder_), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

QList<Recovery::Leftover> Recovery::leftovers() const
{
    QList<Leftover> found;
    const QFileInfoList files = QDir(folder_).entryInfoList({kPrefix + QLatin1Char('*') + kSnapshotSuffix},
                                                            QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& file : files) {
        const QString path = file.absoluteFilePath();
        if (path == snapshotPath_ || !ownerIsGone(lockPathFor(path)))
            continue;
        QFile in(path);
        Leftover leftover{path, std::nullopt};
        if (in.open(QIODevice::ReadOnly))
            leftover.snapshot = decodeSnapshot(in.readAll());
        found.append(leftover);
    }
    return found;
}

void Recovery::removeLeftover(const QString& path)
{
    QFile::remove(path);
    QFile::remove(lockPathFor(path));
}

QString Recovery::setAside(const QString& path)
{
    QString aside = path;
    aside.chop(kSnapshotSuffix.size());
    aside += QStringLiteral(".damaged");
    QFile::remove(aside);
    QFile::rename(path, aside);
    QFile::remove(lockPathFor(path));
    return aside;
}

} // namespace zorim
