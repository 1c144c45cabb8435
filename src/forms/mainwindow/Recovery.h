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
// The document is captured on the user-interface thread, a large one in short steps between
// which the window goes on answering; turning it into bytes and writing them happens on a worker
// thread, each snapshot written whole or not at all.
//
// A snapshot names a file that Save then writes, so only the user's own are offered: a plain
// file the user owns, readable by no one else, in a folder no one else may write. Anything else
// is ignored and reported, never read.
#include "text/Codepage.h"

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
    // The form of the text file the document came from, so that a save as text after the
    // recovery writes the file as it was (encoding, mark, line ends).
    TextDocumentForm textForm;
    bool operator==(const SnapshotInfo&) const = default;
};

struct Snapshot {
    SnapshotInfo info;
    QByteArray content;
};

// The snapshot file: a short header that names the document and its text file's form and
// carries the content's length and checksum, then the content. decodeSnapshot refuses anything cut, altered or malformed.
QByteArray encodeSnapshot(const Snapshot& snapshot);
// The header alone, written before the content without copying it.
QByteArray snapshotHeader(const SnapshotInfo& info, QByteArrayView content);
std::optional<Snapshot> decodeSnapshot(const QByteArray& bytes);

class Recovery : public QObject {
    Q_OBJECT
public:
    // What to write: the information now, and the content made later on the worker thread.
    enum class Step { More, Ready, Failed };
    struct Job {
        SnapshotInfo info;
        std::function<QByteArray()> content;
        // When set, called on the user-interface thread once per turn of the event loop until
        // it is Ready (or Failed: no snapshot), before content is made on the worker thread.
        std::function<Step()> prepare;
    };
    // Called on the user-interface thread when a snapshot is due; nothing when there are no
    // unsaved changes.
    using Capture = std::function<std::optional<Job>()>;

    // A snapshot left by a run that is over.
    struct Leftover {
        QString path;
        std::optional<Snapshot> snapshot; // nothing: damaged, or not the user's own
        bool foreign = false;             // not the user's own: ignored, never read
    };

    // The folder for the snapshots of a state folder: the state folder itself when no one but
    // the user may write it, else the user's own "zorim" folder in their configuration folder.
    static QString folderFor(const QString& stateFolder);

    // Takes the run's lock and removes what runs that are over left besides their snapshots:
    // lock files and half-written snapshots.
    Recovery(const QString& folder, Capture capture, QObject* parent = nullptr);
    // A clean end: the run's snapshot and lock go, unless it is kept for the next start.
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
    // The program is ended from outside: the unsaved document is written now and its snapshot
    // stays for the next start to offer.
    void keepForNextStart();

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
    void prepareStep();
    void handOver(Job job);
    void takeLock();
    void removeFinishedRunFiles() const;

    QString folder_;
    QString snapshotPath_;
    QString lockPath_;
    int lockFd_ = -1;
    Capture capture_;
    QTimer quiet_;
    QTimer longest_;
    QTimer step_;
    std::optional<Job> preparing_; // a capture under way, in steps

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<Job> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    bool kept_ = false;
    quint64 generation_ = 0; // raised by discard: a write begun before it is dropped
    std::thread worker_;
};

} // namespace zorim
