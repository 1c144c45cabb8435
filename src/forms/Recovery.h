#pragma once
// Recovery snapshots: while the document has unsaved changes, a copy of it is written to the
// state folder a short while after typing pauses, so that a crash, a killed process or a power
// cut does not lose the user's work. The next start finds the snapshot of a run that did not
// end cleanly and offers it back.
//
// Each run holds a lock file of its own (recovery-<pid>.lock, locked with flock) for as long as
// the process lives; the kernel drops the lock when the process dies however it dies. A snapshot
// whose lock can be taken therefore belongs to a run that is over, and a live run's snapshot is
// never offered to another.
//
// The document is captured on the user-interface thread (the cheap part); turning it into bytes
// and writing them happens on a worker thread, each snapshot written whole (temporary file,
// flush, rename) or not at all.
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace zorim {

// What a snapshot says about the document it holds.
struct SnapshotInfo {
    QString fileName;       // the document's file name ("Dokument" when untitled)
    bool untitled = true;
    bool plainText = false; // content is text (else RTF)
    QDateTime savedAt;
    bool operator==(const SnapshotInfo&) const = default;
};

struct Snapshot {
    SnapshotInfo info;
    QByteArray content;
};

// The snapshot file: a short header that names the document and carries the content's length
// and checksum, then the content. decodeSnapshot refuses anything cut, altered or malformed.
QByteArray encodeSnapshot(const Snapshot& snapshot);
std::optional<Snapshot> decodeSnapshot(const QByteArray& bytes);

class Recovery : public QObject {
    Q_OBJECT
public:
    // What to write: the information now, and the content made later on the worker thread.
    struct Job {
        SnapshotInfo info;
        std::function<QByteArray()> content;
    };
    // Called on the user-interface thread when a snapshot is due; nothing when there are no
    // unsaved changes.
    using Capture = std::function<std::optional<Job>()>;

    // A snapshot left by a run that is over.
    struct Leftover {
        QString path;
        std::optional<Snapshot> snapshot; // nothing: damaged
    };

    Recovery(const QString& stateFolder, Capture capture, QObject* parent = nullptr);
    // A clean end: the run's snapshot and lock go.
    ~Recovery() override;

    // The document changed: a snapshot follows after the quiet delay, and at the latest after
    // the longest delay since the first change it does not hold yet.
    void documentChanged();
    // The document no longer needs its snapshot (saved, replaced, or the program ends).
    void discard();
    // Takes a snapshot now (the timers call this).
    void snapshotNow();
    // Waits until the worker has written everything handed to it (for tests and the end).
    void flush();

    // Snapshots of runs that are over, oldest first.
    QList<Leftover> leftovers() const;
    // Removes a leftover snapshot and its lock.
    static void removeLeftover(const QString& path);
    // Moves a damaged leftover aside (kept for the user, never offered again); gives its new path.
    static QString setAside(const QString& path);

    // The run's own snapshot file.
    QString snapshotPath() const { return snapshotPath_; }
    void setDelays(int quietMs, int longestMs);

signals:
    // A snapshot could not be written (the message of the failure); the next one tries again.
    void writeFailed(const QString& message);

private:
    void workerLoop();
    void writeSnapshot(const SnapshotInfo& info, const QByteArray& content, quint64 generation);

    QString folder_;
    QString snapshotPath_;
    QString lockPath_;
    int lockFd_ = -1;
    Capture capture_;
    QTimer quiet_;
    QTimer longest_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<Job> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    quint64 generation_ = 0; // raised by discard: a write begun before it is dropped
    std::thread worker_;
};

} // namespace zorim
