#include "file_system.h"
#include "read_to_end.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// POSIX systems: the word list is read through a descriptor, and replaced
// with QSaveFile, checked and synced where QSaveFile does not.
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

// Makes a rename in `folder` durable; a failure is not reported, since the
// rename has happened by then.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
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

int sharedErrorCode(int code)
{
    return code == EDQUOT ? ENOSPC : code;
}

std::optional<Failure> replaceWhole(const QString &target, const QByteArray &bytes, const FileState &old)
{
    // errno right after a failed call says which failure it was; without
    // one, Qt's text is all there is.
    const auto failed = [](const QSaveFile &save) { return Failure{errno, errno ? QString() : save.errorString()}; };
    QSaveFile save(target);
    // Writing in place would leave a half-written file behind a failure.
    save.setDirectWriteFallback(false);
    errno = 0;
    if (!save.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(save);
    // QSaveFile passes the mode through QFile::Permissions, which adds the
    // owner's bits wherever the current user may read or write (always so for
    // root), and the new file belongs to whoever writes it.
    if (const int code = keepOwnershipAndMode(save.handle(), old))
        return Failure{code, {}};
    errno = 0;
    if (save.write(bytes) != bytes.size())
        return failed(save);
    // QSaveFile syncs before the rename too, but ignores a failure.
    if (const int code = syncFile(save.handle()))
        return Failure{code, {}};
    errno = 0;
    if (!save.commit())
        return failed(save);
    // Makes the rename itself durable. The new file is in place by now, so a
    // failure here cannot be undone; reporting it would tell the user that a
    // word the next lookup finds was not added.
    syncFolder(QFileInfo(target).absolutePath());
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
