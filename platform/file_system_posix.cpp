#include "file_system.h"
#include "read_to_end.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// POSIX systems: the word list is read through a descriptor, and replaced
// by a new file beside it, synced, renamed over it, and the folder synced.
namespace platform::files {

namespace {

class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Gives the open file `handle` the owner, group and mode of `old` as far as
// the user may (only root may give a file away); 0, or the error code of a
// mode that could not be set.
int keepOwnershipAndMode(int handle, const FileState &old)
{
    if (!old.exists || !old.hasOwnership)
        return 0;
    struct stat now {};
    if (::fstat(handle, &now) == 0 && (now.st_uid != old.owner || now.st_gid != old.group)) {
        if (::fchown(handle, old.owner, old.group) != 0) {
            // Only root may give a file away; anyone else keeps it.
        }
    }
    if (::fchmod(handle, mode_t(old.mode)) != 0)
        return errno;
    return 0;
}

// Flushes the open file `handle` to disk: 0, or the error code.
int syncFile(int handle)
{
    while (::fsync(handle) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Makes a rename in `folder` durable: 0, or the error code. A file system
// that cannot sync a folder at all says EINVAL; there the rename is as
// durable as that file system makes it.
int syncFolder(const QString &folder)
{
    const FileHandle fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    const int code = syncFile(fd.get());
    return code == EINVAL ? 0 : code;
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString &path)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const FileHandle file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;

    return readToEnd(info.st_size, [&file](char *into, qint64 room) -> qint64 {
        for (;;) {
            const ssize_t got = ::read(file.get(), into, std::size_t(room));
            if (got >= 0 || errno != EINTR)
                return got;
        }
    });
}

FileState examine(const QString &path)
{
    FileState state;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno != ENOENT)
            state.error = errno;
        return state;
    }
    state.exists = true;
    state.regular = S_ISREG(info.st_mode);
    state.hasOwnership = true;
    state.mode = info.st_mode & 07777;
    state.owner = info.st_uid;
    state.group = info.st_gid;
    return state;
}

FolderTurn::~FolderTurn()
{
    if (m_handle >= 0)
        ::close(m_handle);
}

bool FolderTurn::tryTake(const QString &folder)
{
    if (m_taken)
        return true;
    if (m_handle < 0)
        m_handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_handle < 0)
        return m_taken = true;
    int result;
    while ((result = ::flock(m_handle, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result != 0 && errno == EWOULDBLOCK)
        return false;
    if (result != 0) {
        ::close(m_handle);
        m_handle = -1;
    }
    return m_taken = true;
}

int sharedErrorCode(int code)
{
    return code == EDQUOT ? ENOSPC : code;
}

std::optional<Failure> replaceWhole(const QString &target, const QByteArray &bytes, const FileState &old)
{
    // One name for the new file, which only the holder of the writer's lock
    // writes: a save cut short by a crash leaves at most this file, and the
    // next save replaces it, so leftovers never pile up.
    const QByteArray to = QFile::encodeName(target);
    const QByteArray from = to + ".new";
    ::unlink(from.constData());
    FileHandle file(::open(from.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return Failure{errno, {}};
    const auto failed = [&from, &file](int code) {
        if (file.get() >= 0)
            ::close(file.release());
        ::unlink(from.constData());
        return Failure{code, {}};
    };
    if (const int code = keepOwnershipAndMode(file.get(), old))
        return failed(code);
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t done = ::write(file.get(), bytes.constData() + written, std::size_t(bytes.size() - written));
        if (done < 0 && errno != EINTR)
            return failed(errno);
        if (done == 0)
            return failed(ENOSPC);
        written += std::max<ssize_t>(done, 0);
    }
    // A failed sync is a failed save: the data may never reach the disk, and
    // a later sync would not say so.
    if (const int code = syncFile(file.get()))
        return failed(code);
    if (::close(file.release()) != 0)
        return failed(errno);
    if (::rename(from.constData(), to.constData()) != 0)
        return failed(errno);
    // Until the folder is synced, a power cut may undo the rename: the word
    // is not added until then, even though this session already reads it.
    if (const int code = syncFolder(QFileInfo(target).absolutePath()))
        return Failure{code, {}};
    return std::nullopt;
}

QString describeError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool mayReplace(const QString &path)
{
    // access() asks as the real user, who is the one running the program;
    // for root it says yes but on a read-only file system.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return false;
    const QByteArray file = QFile::encodeName(path);
    return ::access(file.constData(), F_OK) != 0 || ::access(file.constData(), W_OK) == 0;
}

} // namespace platform::files
