#include "file_system.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform::files {

#ifdef Q_OS_UNIX

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

    QByteArray bytes;
    // One spare byte, so that the end of a file read whole is seen without growing.
    bytes.resize(qsizetype(info.st_size) + 1);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(filled + 65536); // the file grew since fstat
        const ssize_t got = ::read(file.get(), bytes.data() + filled, std::size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
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

int syncFile(int handle)
{
    while (::fsync(handle) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

#else

// Elsewhere Qt's portable calls stand in: a file is checked by its path,
// ownership is left to the system, and QSaveFile's own flush must do.

std::optional<QByteArray> readRegularFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

FileState examine(const QString &path)
{
    const QFileInfo info(path);
    FileState state;
    state.exists = info.exists();
    state.regular = info.isFile();
    return state;
}

int keepOwnershipAndMode(int, const FileState &)
{
    return 0;
}

int syncFile(int)
{
    return 0;
}

void syncFolder(const QString &)
{
}

#endif

} // namespace platform::files
