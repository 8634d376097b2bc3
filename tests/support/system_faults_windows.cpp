#include "system_faults.h"

#include <QDir>
#include <QtTest>

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
    if (!m_base || !VirtualProtect(m_base + data, SIZE_T(page), PAGE_NOACCESS, &old))
        qFatal("cannot map a guarded buffer");
    m_view = QByteArrayView(m_base + data - bytes.size(), bytes.size());
    std::memcpy(m_base + data - bytes.size(), bytes.constData(), std::size_t(bytes.size()));
}

GuardedBytes::~GuardedBytes()
{
    VirtualFree(m_base, 0, MEM_RELEASE);
}

// A named pipe with no client stands where a FIFO would.
NotRegularFiles::NotRegularFiles(const QString &)
{
    const QString pipe = QStringLiteral("\\\\.\\pipe\\parlanta-test-%1").arg(GetCurrentProcessId());
    m_pipe = CreateNamedPipeW(reinterpret_cast<const wchar_t *>(pipe.utf16()), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 4, 0, 0, 0, nullptr);
    QVERIFY(m_pipe != INVALID_HANDLE_VALUE);
    paths = {pipe, QStringLiteral("NUL")};
}

NotRegularFiles::~NotRegularFiles()
{
    if (m_pipe != INVALID_HANDLE_VALUE)
        CloseHandle(m_pipe);
}

// Windows has no address-space limit to lower, and reserving the address
// space instead costs Wine a byte of bookkeeping a page. The word list's
// reader itself refuses a file larger than the memory the system can still
// commit, so a terabyte is out of reach as it is.
MemoryCap::MemoryCap() = default;
MemoryCap::~MemoryCap() = default;

// Another program (a virus scanner, an editor) holding the file open keeps
// the save from replacing it. The save waits a little, then gives up.
FailingSave::FailingSave(const QString &path, const QByteArray &)
{
    const QString native = QDir::toNativeSeparators(path);
    m_state = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(m_state != INVALID_HANDLE_VALUE);
}

FailingSave::~FailingSave()
{
    if (m_state != INVALID_HANDLE_VALUE)
        CloseHandle(m_state);
}

QString FailingSave::reason()
{
    return QStringLiteral("the word list could not be changed (the file is in use by another program).");
}

} // namespace testsystem
