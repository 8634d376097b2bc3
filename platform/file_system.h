#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The file-system calls of the word list whose form differs between
// systems: reading a regular file without blocking, and replacing a file
// whole. QtCore only, so the dictionary can use it. Where a call fails, errno
// says why, in errno's terms on every system (Windows error codes are
// translated), so that the caller maps one set of codes to its failures.
namespace platform::files {

// The whole content of a regular file, or no value when the path does not
// name one (missing, unreadable, a folder, a FIFO, a device). The check is
// made on the opened handle, so nothing at the path can make the read block.
std::optional<QByteArray> readRegularFile(const QString &path);

// What is at a path, and what a file that replaces it must keep.
struct FileState {
    bool exists = false;
    bool regular = false;
    int error = 0; // why the path could not be examined
    // Owner, group and permission bits, where the system has them.
    bool hasOwnership = false;
    quint32 mode = 0;
    quint32 owner = 0;
    quint32 group = 0;
    quint32 attributes = 0; // the system's file attributes, where it has them (hidden, archive)
};

FileState examine(const QString &path);

// Why a replacement failed: the error code of the step that failed, or 0
// where the system gave none and only `detail` says why.
struct Failure {
    int code = 0;
    QString detail;
};

// Puts `bytes` in the place of the file at `target` in one step: written to
// a new file in the same folder, flushed to disk, then swapped in, so a crash
// or a failure leaves the old file or the new one, whole, and nothing else.
// The new file keeps what `old` says the replaced one had.
//
// POSIX: the new file is always `target` + ".new", as on Windows; it keeps
// the owner (where the user may give it away) and the mode, and the folder
// is synced after the rename: a failed sync of either is a failure.
// Windows: the same name (dicy.ini.new), flushed, and moved with
// MOVEFILE_WRITE_THROUGH. On both, the caller must make sure that one
// replace of a target runs at a time (the word list's writer holds its lock
// throughout); a leftover from a killed replace is overwritten.
// A read-only target is refused before anything is written; the hidden,
// system, archive and not-indexed attributes are kept. A target another
// program holds open is waited for briefly, then reported as EBUSY.
std::optional<Failure> replaceWhole(const QString &target, const QByteArray &bytes, const FileState &old);

// A turn at a folder, shared by every process that takes one, held until
// the object goes or its process ends, however it ends. On POSIX systems it
// is the system's own lock on the folder (flock): it leaves no file behind
// and cannot go stale, so writers never need to judge whether a lock
// file's holder is still alive, which a lock file alone gets wrong where
// the clock is off or a program runs under an emulator. Windows needs none:
// there a held lock file cannot be removed.
class FolderTurn {
public:
    FolderTurn() = default;
    FolderTurn(const FolderTurn &) = delete;
    FolderTurn &operator=(const FolderTurn &) = delete;
    ~FolderTurn();
    // True once this object holds the turn, or where the folder cannot be
    // locked at all (missing, closed to this user, a file system without such
    // locks): then the caller's lock file alone keeps writers apart, and
    // reports why it could not be made. False while another holds it.
    bool tryTake(const QString &folder);

private:
    int m_handle = -1;
    bool m_taken = false;
};

// `code` in the set of codes every system shares, for mapping to failures:
// a full disk quota, which only some systems have, is a full disk.
int sharedErrorCode(int code);

// The system's words for an error code from these calls.
QString describeError(int code);

// Whether this user may replace the file at `path` in its folder: the file,
// if there is one, is not read-only to them (its mode or its read-only mark),
// and they may create files in the folder. Nothing is created to find out.
bool mayReplace(const QString &path);

} // namespace platform::files
