#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The file-system calls of the word list whose form differs between
// systems: reading a regular file without blocking, what a replaced file
// must keep, and syncing to disk. QtCore only, so the dictionary can use it.
// Where a call fails, errno says why.
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
};

FileState examine(const QString &path);

// Gives the open file `handle` the owner, group and mode of `old` as far as
// the user may (only root may give a file away); 0, or the error code of a
// mode that could not be set.
int keepOwnershipAndMode(int handle, const FileState &old);

// Flushes the open file `handle` to disk: 0, or the error code.
int syncFile(int handle);

// Makes a rename in `folder` durable, where the system allows; a failure is
// not reported, since the rename has happened by then.
void syncFolder(const QString &folder);

} // namespace platform::files
