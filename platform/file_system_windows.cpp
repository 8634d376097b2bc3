#include "file_system.h"
#include "read_to_end.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// Windows: the wide-character API throughout, so a folder named in any
// letters works. A virus scanner, an indexer or an editor often holds a file
// open for a moment; such a file is waited for briefly before a step fails.
namespace platform::files {

namespace {

constexpr int kHeldRetries = 40;
constexpr DWORD kHeldPauseMs = 50;

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle()
    {
        if (valid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close()
    {
        const HANDLE handle = std::exchange(m_handle, INVALID_HANDLE_VALUE);
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

// The one place where Windows error codes become errno's, which the word
// list's writer maps to its failures.
int errnoFor(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return EBUSY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

// Whether a step that failed with `error` is worth trying again after a
// pause: another program has the file open in a way that keeps the step out,
// which passes. A replace is also refused with "access denied" while a file
// is on its way out, so the replace waits on that too.
bool worthRetrying(DWORD error, bool replacing)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
        || (replacing && error == ERROR_ACCESS_DENIED);
}

// A replace refused as "access denied" may be a file that another program
// holds open without letting it be deleted: asking for delete access alone
// tells that from a file this user may not replace.
bool heldWithoutDeleteSharing(const std::wstring &path)
{
    const HANDLE handle = ::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// Past this length a path takes the long-path prefix. The classic limit is
// MAX_PATH, but the classic API takes a folder's path only while it leaves
// room for an 8.3 name (12 characters) below it.
constexpr int kLongestClassicPath = MAX_PATH - 12;

// The path as the wide-character API takes it: absolute, with backslashes,
// and with the long-path prefix past the classic length limit.
std::wstring nativePath(const QString &path)
{
    QString native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.size() >= kLongestClassicPath && !native.startsWith(QLatin1String("\\\\?\\"))) {
        if (native.startsWith(QLatin1String("\\\\")))
            native = QLatin1String("\\\\?\\UNC\\") + native.mid(2);
        else
            native.prepend(QLatin1String("\\\\?\\"));
    }
    return native.toStdWString();
}

// errno from the calling thread's last Windows error; no value, for returning.
std::nullopt_t failedWithLastError()
{
    errno = errnoFor(::GetLastError());
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString &path)
{
    const std::wstring native = nativePath(path);
    // Sharing delete too, so that reading never keeps a writer from
    // replacing the file.
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE opened = INVALID_HANDLE_VALUE;
    for (int attempt = 0;; ++attempt) {
        opened = ::CreateFileW(native.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened != INVALID_HANDLE_VALUE || !worthRetrying(::GetLastError(), false) || attempt == kHeldRetries)
            break;
        ::Sleep(kHeldPauseMs);
    }
    Handle file(opened);
    if (!file.valid())
        return failedWithLastError(); // a folder cannot be opened this way
    // Pipes and devices would block or never end.
    BY_HANDLE_FILE_INFORMATION info {};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return std::nullopt;
    }
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(file.get(), &size))
        return failedWithLastError();

    // Memory is promised as it is asked for, and Wine, like Linux, may
    // promise more than there is, so that reading a file larger than the
    // memory left would fill the machine: it is refused as out of memory, as
    // the allocation itself would be where nothing is overcommitted.
    MEMORYSTATUSEX memory {};
    memory.dwLength = sizeof memory;
    if (::GlobalMemoryStatusEx(&memory) && quint64(size.QuadPart) >= memory.ullAvailPageFile)
        throw std::bad_alloc();

    return readToEnd(size.QuadPart, [&file](char *into, qint64 room) -> qint64 {
        DWORD got = 0;
        if (!::ReadFile(file.get(), into, DWORD(std::min<qint64>(room, qint64(1) << 30)), &got, nullptr)) {
            failedWithLastError();
            return -1;
        }
        return got;
    });
}

FileState examine(const QString &path)
{
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExW(nativePath(path).c_str(), GetFileExInfoStandard, &data)) {
        // A missing folder on the way is an error, as ENOTDIR is on POSIX.
        if (const DWORD error = ::GetLastError(); error != ERROR_FILE_NOT_FOUND)
            state.error = errnoFor(error);
        return state;
    }
    state.exists = true;
    state.regular = !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
    state.attributes = data.dwFileAttributes;
    return state;
}

FolderTurn::~FolderTurn() = default;

bool FolderTurn::tryTake(const QString &)
{
    return m_taken = true;
}

int sharedErrorCode(int code)
{
    return code;
}

std::optional<Failure> replaceWhole(const QString &target, const QByteArray &bytes, const FileState &old)
{
    // Writers hold the lock beside the file, so one name serves; a writer
    // killed half-way leaves its new file behind, which the next one replaces.
    const std::wstring from = nativePath(target + QStringLiteral(".new"));
    const std::wstring to = nativePath(target);
    // Windows would refuse the replace at the end; nothing is written first.
    if (old.exists && (old.attributes & FILE_ATTRIBUTE_READONLY))
        return Failure{EACCES, {}};

    ::DeleteFileW(from.c_str());
    Handle file(::CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A file still open cannot be deleted: it is closed first.
    const auto failed = [&from, &file](DWORD error) {
        if (file.valid())
            file.close();
        ::DeleteFileW(from.c_str());
        return Failure{errnoFor(error), {}};
    };
    if (!file.valid())
        return failed(::GetLastError());
    for (qsizetype written = 0; written < bytes.size();) {
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - written, qsizetype(1) << 30));
        DWORD done = 0;
        if (!::WriteFile(file.get(), bytes.constData() + written, chunk, &done, nullptr))
            return failed(::GetLastError());
        if (done == 0)
            return failed(ERROR_DISK_FULL);
        written += done;
    }
    if (!::FlushFileBuffers(file.get()))
        return failed(::GetLastError());
    if (!file.close())
        return failed(::GetLastError());
    // What marks the file for the user and the system stays (a read-only
    // file was refused above).
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE
        | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (old.exists && (old.attributes & kept) && !::SetFileAttributesW(from.c_str(), DWORD(old.attributes) & kept))
        return failed(::GetLastError());

    // One rename, through to the disk before it returns: the old file or the
    // new one is at the path at every moment.
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return std::nullopt;
        const DWORD error = ::GetLastError();
        if (!worthRetrying(error, true))
            return failed(error);
        if (attempt == kHeldRetries)
            return failed(heldWithoutDeleteSharing(to) ? ERROR_SHARING_VIOLATION : error);
        ::Sleep(kHeldPauseMs);
    }
}

QString describeError(int code)
{
    if (code == EBUSY)
        return QStringLiteral("the file is in use by another program");
    return QString::fromLocal8Bit(std::strerror(code));
}

bool mayReplace(const QString &path)
{
    // Asking for the access a save needs checks the read-only mark and the
    // permissions alike, and creates nothing. A file that another program
    // holds is still ours to replace once it lets go.
    const auto allowed = [](const std::wstring &name, DWORD access, DWORD flags) {
        const HANDLE handle = ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, flags, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return ::GetLastError();
        ::CloseHandle(handle);
        return DWORD(ERROR_SUCCESS);
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (allowed(nativePath(folder), FILE_ADD_FILE, FILE_FLAG_BACKUP_SEMANTICS) != ERROR_SUCCESS)
        return false;
    const std::wstring file = nativePath(path);
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const DWORD error = allowed(file, FILE_WRITE_DATA, FILE_FLAG_BACKUP_SEMANTICS);
    return error != ERROR_ACCESS_DENIED;
}

} // namespace platform::files
