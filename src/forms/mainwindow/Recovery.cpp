#include "forms/mainwindow/Recovery.h"

#include "settings/SettingsStore.h"
#include "text/WholeFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// Whether no one but the user may write the folder.
bool onlyUserWrites(const QString& folder)
{
    struct stat st;
    return ::stat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A snapshot of the user's own: a plain file (no link) they own that no one else may read.
bool isOwnSnapshot(int fd)
{
    struct stat st;
    return fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 0777) == 0600;
}

// The text form as one header value: the encoding, the mark and the line end, e.g. "utf8 bom lf".
QByteArray textFormField(const TextDocumentForm& form)
{
    QByteArray field = form.encoding == TextDocumentForm::Encoding::Utf8 ? "utf8" : "rule";
    field += form.byteOrderMark ? " bom " : " nobom ";
    field += form.lineEnd == QLatin1String("\n") ? "lf" : form.lineEnd == QLatin1String("\r") ? "cr" : "crlf";
    return field;
}

std::optional<TextDocumentForm> textFormFromField(const QByteArray& field)
{
    const QList<QByteArray> parts = field.split(' ');
    if (parts.size() != 3 || (parts[0] != "utf8" && parts[0] != "rule") || (parts[1] != "bom" && parts[1] != "nobom"))
        return std::nullopt;
    TextDocumentForm form;
    form.encoding = parts[0] == "utf8" ? TextDocumentForm::Encoding::Utf8 : TextDocumentForm::Encoding::ByRule;
    form.byteOrderMark = parts[1] == "bom";
    if (parts[2] == "lf")
        form.lineEnd = QStringLiteral("\n");
    else if (parts[2] == "cr")
        form.lineEnd = QStringLiteral("\r");
    else if (parts[2] != "crlf")
        return std::nullopt;
    return form;
}

} // namespace

QByteArray encodeSnapshot(const Snapshot& snapshot)
{
    return snapshotHeader(snapshot.info, snapshot.content) + snapshot.content;
}

QByteArray snapshotHeader(const SnapshotInfo& info, QByteArrayView content)
{
    QByteArray out = kMagic + '\n';
    // The name is percent-encoded: a file name may hold any character, a line end included.
    out += "name=" + QUrl::toPercentEncoding(info.fileName) + '\n';
    out += QByteArray("untitled=") + (info.untitled ? "1" : "0") + '\n';
    out += QByteArray("format=") + (info.plainText ? "text" : "rtf") + '\n';
    out += "saved=" + info.savedAt.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    out += "textform=" + textFormField(info.textForm) + '\n';
    out += "length=" + QByteArray::number(content.size()) + '\n';
    out += "sha256=" + checksum(out, content) + '\n';
    out += '\n';
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
    // Snapshots of earlier versions name no form: the document's is the default one.
    if (fields.contains("textform")) {
        const std::optional<TextDocumentForm> form = textFormFromField(fields.value("textform"));
        if (!form)
            return std::nullopt;
        snapshot.info.textForm = *form;
    }
    return snapshot;
}

QString Recovery::folderFor(const QString& stateFolder)
{
    const QString folder = QDir::cleanPath(stateFolder);
    if (onlyUserWrites(folder))
        return folder;
    const QString own = SettingsStore::userConfigHome() + QStringLiteral("/zorim");
    QDir().mkpath(own);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
}

Recovery::Recovery(const QString& folder, Capture capture, QObject* parent)
    : QObject(parent), folder_(QDir::cleanPath(folder)), capture_(std::move(capture))
{
    // The process id names the run; the start time keeps a reused id apart from a dead run's.
    const QString id = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    snapshotPath_ = folder_ + QLatin1Char('/') + kPrefix + id + kSnapshotSuffix;
    lockPath_ = lockPathFor(snapshotPath_);
    takeLock();
    removeFinishedRunFiles();

    quiet_.setSingleShot(true);
    longest_.setSingleShot(true);
    setDelays(kDefaultQuietMs, kDefaultLongestMs);
    connect(&quiet_, &QTimer::timeout, this, &Recovery::snapshotNow);
    connect(&longest_, &QTimer::timeout, this, &Recovery::snapshotNow);
    step_.setSingleShot(true);
    step_.setInterval(0);
    connect(&step_, &QTimer::timeout, this, &Recovery::prepareStep);
    worker_ = std::thread([this] { workerLoop(); });
}

void Recovery::takeLock()
{
    const QByteArray path = QFile::encodeName(lockPath_);
    // Another start may be clearing away lock files of runs that are over: it takes a free
    // lock and removes the name, so a lock is ours only once the name still leads to it.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = openRetrying(path, O_RDWR | O_CREAT, 0600);
        if (fd < 0)
            return;
        struct stat held, named;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0
            && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            lockFd_ = fd;
            return;
        }
        ::close(fd);
    }
}

void Recovery::removeFinishedRunFiles() const
{
    const QDir dir(folder_);
    const QString ownSnapshot = QFileInfo(snapshotPath_).fileName();
    // A lock without its snapshot: a run that ended from outside before this one could clean up.
    // Removed while its lock is held, so that a run taking it just now notices (takeLock).
    for (const QString& name : dir.entryList({kPrefix + QLatin1Char('*') + kLockSuffix}, QDir::Files | QDir::System)) {
        const QString path = dir.filePath(name);
        if (path == lockPath_ || QFileInfo::exists(path.chopped(kLockSuffix.size()) + kSnapshotSuffix))
            continue;
        const int fd = openRetrying(QFile::encodeName(path), O_RDONLY | O_NOFOLLOW);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(QFile::encodeName(path).constData());
        ::close(fd);
    }
    // Snapshots that a run ended while writing: the whole-file writer's temporaries, and the
    // plain ".tmp" of earlier versions.
    const QStringList temporaries = dir.entryList({kPrefix + QStringLiteral("*.zrs.tmp"), QStringLiteral(".") + kPrefix + QStringLiteral("*.tmp")},
                                                  QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : temporaries) {
        QString target = name.chopped(4);
        if (name.startsWith(QLatin1Char('.')) && !isWholeFileTemporary(name, &target))
            continue;
        if (!target.startsWith(kPrefix) || !target.endsWith(kSnapshotSuffix) || target == ownSnapshot)
            continue;
        if (ownerIsGone(lockPathFor(dir.filePath(target))))
            QFile::remove(dir.filePath(name));
    }
}

Recovery::~Recovery()
{
    if (kept_) {
        quiet_.stop();
        longest_.stop();
    } else {
        discard();
    }
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
    // A capture under way follows the edits made since it began: it goes on.
    if (preparing_)
        return;
    std::optional<Job> job = capture_();
    if (!job) {
        // Nothing unsaved (an undo back to the saved state, say): no snapshot is wanted.
        discard();
        return;
    }
    if (job->prepare) {
        preparing_ = std::move(job);
        prepareStep();
        return;
    }
    handOver(std::move(*job));
}

void Recovery::prepareStep()
{
    if (!preparing_)
        return;
    switch (preparing_->prepare()) {
    case Step::More:
        step_.start();
        return;
    case Step::Ready:
        handOver(std::move(*preparing_));
        break;
    case Step::Failed:
        break;
    }
    preparing_.reset();
}

void Recovery::handOver(Job job)
{
    // What prepared the job belongs to this thread; the worker gets the content alone.
    job.prepare = nullptr;
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
    step_.stop();
    preparing_.reset();
    std::lock_guard lock(mutex_);
    ++generation_;
    pending_.reset();
    ::unlink(QFile::encodeName(snapshotPath_).constData());
}

void Recovery::flush()
{
    // A capture under way is finished at once.
    while (preparing_) {
        step_.stop();
        prepareStep();
    }
    step_.stop();
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void Recovery::keepForNextStart()
{
    snapshotNow();
    flush();
    kept_ = true;
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
    const QByteArray header = snapshotHeader(info, content);
    const WholeFileResult result = writeWholeFile(snapshotPath_, {header, content}, {.ownFile = true, .newFileMode = 0600});
    {
        // A discard since the job was taken wins: the document was saved or replaced.
        std::lock_guard lock(mutex_);
        if (generation != generation_) {
            ::unlink(QFile::encodeName(snapshotPath_).constData());
            return;
        }
    }
    if (!result.ok())
        emit writeFailed(ioErrorMessage(result.status == WholeFileResult::Status::NotPlainFile ? EACCES : result.error));
}

QList<Recovery::Leftover> Recovery::leftovers() const
{
    QList<Leftover> found;
    const bool privateFolder = onlyUserWrites(folder_);
    const QFileInfoList files = QDir(folder_).entryInfoList({kPrefix + QLatin1Char('*') + kSnapshotSuffix},
                                                            QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& file : files) {
        const QString path = file.absoluteFilePath();
        if (path == snapshotPath_ || !ownerIsGone(lockPathFor(path)))
            continue;
        Leftover leftover{path, std::nullopt};
        const int fd = openRetrying(QFile::encodeName(path), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
        if (!privateFolder || !isOwnSnapshot(fd)) {
            leftover.foreign = true;
            if (fd >= 0)
                ::close(fd);
        } else {
            QFile in;
            if (in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
                leftover.snapshot = decodeSnapshot(in.readAll());
            else
                ::close(fd);
        }
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
