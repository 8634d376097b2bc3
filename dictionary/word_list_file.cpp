#include "word_list_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dictionary {

QString dictionaryPath(const QString &programFolder)
{
    return programFolder + QDir::separator() + QLatin1String(kFileName);
}

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

#else

std::optional<QByteArray> readRegularFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

#endif

} // namespace dictionary
