#include "system_faults.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsystem {

int openHandles()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

GuardedBytes::GuardedBytes(const QByteArray &bytes)
{
    const qsizetype page = sysconf(_SC_PAGESIZE);
    const qsizetype data = (bytes.size() + page - 1) / page * page;
    m_length = data + page;
    m_base = static_cast<char *>(mmap(nullptr, std::size_t(m_length), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (m_base == MAP_FAILED || mprotect(m_base + data, std::size_t(page), PROT_NONE) != 0)
        qFatal("cannot map a guarded buffer");
    m_view = QByteArrayView(m_base + data - bytes.size(), bytes.size());
    std::memcpy(m_base + data - bytes.size(), bytes.constData(), std::size_t(bytes.size()));
}

GuardedBytes::~GuardedBytes()
{
    munmap(m_base, std::size_t(m_length));
}

NotRegularFiles::NotRegularFiles(const QString &folder)
{
    const QString fifo = folder + QStringLiteral("/fifo.ini");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    paths = {fifo, QStringLiteral("/dev/null")};
}

NotRegularFiles::~NotRegularFiles() = default;

MemoryCap::MemoryCap()
{
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_AS, &saved), 0);
    m_saved = saved.rlim_cur;
    rlimit capped = saved;
    capped.rlim_cur = std::min<rlim_t>(saved.rlim_max, rlim_t(1) << 38);
    QCOMPARE(setrlimit(RLIMIT_AS, &capped), 0);
}

MemoryCap::~MemoryCap()
{
    rlimit saved {};
    getrlimit(RLIMIT_AS, &saved);
    saved.rlim_cur = m_saved;
    setrlimit(RLIMIT_AS, &saved);
}

// A file size limit just above the word list, which is larger than the lock
// file, lets the lock be taken and stops the new copy of the list as a full
// disk would; a list written in place would be left cut short.
FailingSave::FailingSave(const QString &, const QByteArray &current)
{
    rlimit saved {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    m_saved = saved.rlim_cur;
    m_state = reinterpret_cast<void *>(std::signal(SIGXFSZ, SIG_IGN));
    rlimit limited = saved;
    limited.rlim_cur = rlim_t(current.size() + 4);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
}

FailingSave::~FailingSave()
{
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    saved.rlim_cur = m_saved;
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, reinterpret_cast<void (*)(int)>(m_state));
}

QString FailingSave::reason()
{
    return QStringLiteral("the disk is full.");
}

} // namespace testsystem
