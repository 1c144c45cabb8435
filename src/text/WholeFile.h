#pragma once
// The one way the program writes a file: whole or not at all. The new bytes go to a file of
// their own beside the target, reach the disk, and then take the target's name in one step, so
// a crash, a full disk or a failed write never leaves a cut or empty file and the old bytes
// stay until the new ones are safe.
//
// A document the user names keeps what it is: a symbolic link is written through (the link
// stays), the file keeps its permissions, owner and group. Where a rename would lose something
// (another hard link to the file, an owner or group the user may not give), the new bytes are
// first written whole beside it and then into the file itself; where the folder cannot be
// written but the file can, they go into the file directly. Either way the old bytes are kept
// and put back should that write fail. Anything but a plain file (a pipe, a device) is refused
// before anything is written, and so is another user's link in a shared sticky folder. The
// temporaries that saves of the same file left when they were killed midway are removed.
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <sys/types.h>
#include <cerrno>
#include <unistd.h>

namespace zorim {

struct WholeFileOptions {
    // The program's own files (state files, recovery snapshots, extracted copies): a link in
    // the target's place is replaced by a file of its own, so that nothing elsewhere is written.
    bool ownFile = false;
    // Permissions of a new file (the process's umask applies).
    unsigned newFileMode = 0666;
};

struct WholeFileResult {
    enum class Status {
        Written,
        NotPlainFile, // a pipe, a device or a socket at the path: nothing was written
        CannotCreate, // the file could not be opened or made (error says why)
        WriteFailed,  // writing failed; the old file is as it was
    };
    Status status = Status::Written;
    int error = 0; // errno of a failure
    bool ok() const { return status == Status::Written; }
};

// Writes the parts one after the other as the file's whole content.
WholeFileResult writeWholeFile(const QString& path, const QList<QByteArrayView>& parts,
                               const WholeFileOptions& options = {});

// A descriptor closed when the scope is left; close() gives the error of a close the caller
// still has to check (a delayed write error shows there), or 0.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    int close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) != 0 && errno != EINTR ? errno : 0;
    }

private:
    int fd_;
};

// open(2) of a path's bytes, close-on-exec, taken again when a signal interrupts it.
int openRetrying(const QByteArray& path, int flags, mode_t mode = 0);

// What the user is told when writing the file at path failed: the text the editor has always
// shown for it ("Cannot create file" with the path when the file could not be made or
// replaced, "Failed to Save Stream" when the writing failed), and after it the reason in Slovak
// where it is one the user can act on (a full disk, no permission, a read-only disk, no plain
// file).
QString wholeFileFailureMessage(const QString& path, const WholeFileResult& result);

// What the user is told when a document would be saved over a pipe, a device or a socket.
QString notPlainFileMessage(const QString& path);

// Whether a file name is one of the temporary files writeWholeFile makes beside a target; gives
// the target's name.
bool isWholeFileTemporary(const QString& fileName, QString* target = nullptr);

// Whether a symbolic link owned by linkOwner in the folder (its path's bytes, "" for the working
// folder) may be followed: in a folder anyone may write that keeps its files to their owners
// (sticky, as /tmp), only a link of this user's or of the folder's owner, as the system's own
// protected-links rule has it. Another user's link planted there would send a save to a file
// of the planter's choosing.
bool mayFollowLink(const QByteArray& folder, uid_t linkOwner);

} // namespace zorim
