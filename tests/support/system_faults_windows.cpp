#include "system_faults.h"

#include <QDir>

#include <cstring>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace testsystem {

int openHandles()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return int(count);
}

GuardedBytes::GuardedBytes(const QByteArray &bytes)
{
    SYSTEM_INFO info {};
    GetSystemInfo(&info);
    const qsizetype page = info.dwPageSize;
    const qsizetype data = (bytes.size() + page - 1) / page * page;
    m_length = data + page;
    m_base = static_cast<char *>(VirtualAlloc(nullptr, SIZE_T(m_length), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    require(m_base && VirtualProtect(m_base + data, SIZE_T(page), PAGE_NOACCESS, &old), "a guarded buffer");
    m_view = QByteArrayView(m_base + data - bytes.size(), bytes.size());
    std::memcpy(m_base + data - bytes.size(), bytes.constData(), std::size_t(bytes.size()));
}

GuardedBytes::~GuardedBytes()
{
    VirtualFree(m_base, 0, MEM_RELEASE);
}

struct NotRegularFiles::Made {
    HANDLE pipe;
};

// A named pipe with no client stands where a FIFO would.
NotRegularFiles::NotRegularFiles(const QString &)
{
    const QString pipe = QStringLiteral("\\\\.\\pipe\\parlanta-test-%1").arg(GetCurrentProcessId());
    m_made.reset(new Made{CreateNamedPipeW(reinterpret_cast<const wchar_t *>(pipe.utf16()), PIPE_ACCESS_DUPLEX,
                                           PIPE_TYPE_BYTE, 4, 0, 0, 0, nullptr)});
    require(m_made->pipe != INVALID_HANDLE_VALUE, "a named pipe");
    paths = {pipe, QStringLiteral("NUL")};
}

NotRegularFiles::~NotRegularFiles()
{
    CloseHandle(m_made->pipe);
}

// Windows has no address-space limit to lower, and reserving the address
// space instead costs Wine a byte of bookkeeping a page. The word list's
// reader itself refuses a file larger than the memory the system can still
// commit, so a terabyte is out of reach as it is.
MemoryCap::MemoryCap() = default;
MemoryCap::~MemoryCap() = default;

struct SaveBlocker::Saved {
    HANDLE held;
};

// Another program (a virus scanner, an editor) holding the file open, for
// reading and letting others read, keeps the save from replacing it. The
// save waits a little, then gives up.
SaveBlocker::SaveBlocker(const QString &path, const QByteArray &)
{
    const QString native = QDir::toNativeSeparators(path);
    m_saved.reset(new Saved{CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)});
    require(m_saved->held != INVALID_HANDLE_VALUE, "the word list held open");
}

SaveBlocker::~SaveBlocker()
{
    CloseHandle(m_saved->held);
}

QString SaveBlocker::reason()
{
    return QStringLiteral("the word list could not be changed (the file is in use by another program).");
}

} // namespace testsystem
