#include "system_faults.h"

#include <QDir>
#include <QFile>

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
    require(m_base != MAP_FAILED && mprotect(m_base + data, std::size_t(page), PROT_NONE) == 0, "a guarded buffer");
    m_view = QByteArrayView(m_base + data - bytes.size(), bytes.size());
    std::memcpy(m_base + data - bytes.size(), bytes.constData(), std::size_t(bytes.size()));
}

GuardedBytes::~GuardedBytes()
{
    munmap(m_base, std::size_t(m_length));
}

// The FIFO lives in the test's folder, which goes with it.
struct NotRegularFiles::Made {};

NotRegularFiles::NotRegularFiles(const QString &folder)
{
    const QString fifo = folder + QStringLiteral("/fifo.ini");
    require(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0, "a FIFO");
    paths = {fifo, QStringLiteral("/dev/null")};
}

NotRegularFiles::~NotRegularFiles() = default;

MemoryCap::MemoryCap()
{
    rlimit saved {};
    require(getrlimit(RLIMIT_AS, &saved) == 0, "the address-space limit");
    m_saved = saved.rlim_cur;
    rlimit capped = saved;
    capped.rlim_cur = std::min<rlim_t>(saved.rlim_max, rlim_t(1) << 38);
    require(setrlimit(RLIMIT_AS, &capped) == 0, "a lower address-space limit");
}

MemoryCap::~MemoryCap()
{
    rlimit saved {};
    getrlimit(RLIMIT_AS, &saved);
    saved.rlim_cur = m_saved;
    setrlimit(RLIMIT_AS, &saved);
}

struct SaveBlocker::Saved {
    rlim_t limit;
    void (*onTooLarge)(int);
};

// A file size limit just above the word list, which is larger than the lock
// file, lets the lock be taken and stops the new copy of the list as a full
// disk would; a list written in place would be left cut short. Ignoring
// SIGXFSZ makes the write fail with EFBIG instead of ending the writer; both
// the limit and the ignored signal pass to the programs started meanwhile.
SaveBlocker::SaveBlocker(const QString &, const QByteArray &current)
{
    rlimit saved {};
    require(::getrlimit(RLIMIT_FSIZE, &saved) == 0, "the file size limit");
    m_saved.reset(new Saved{saved.rlim_cur, std::signal(SIGXFSZ, SIG_IGN)});
    rlimit limited = saved;
    limited.rlim_cur = rlim_t(current.size() + 4);
    require(::setrlimit(RLIMIT_FSIZE, &limited) == 0, "a lower file size limit");
}

SaveBlocker::~SaveBlocker()
{
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    saved.rlim_cur = m_saved->limit;
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, m_saved->onTooLarge);
}

QString SaveBlocker::reason()
{
    return QStringLiteral("the disk is full.");
}

} // namespace testsystem
