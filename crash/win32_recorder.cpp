// The recording seam's functions (win32_recorder.h): each passes the call
// on to Windows and notes it, with strings and bytes in hexadecimal.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::FILE *notes()
{
    static std::FILE *file = [] {
        const char *path = std::getenv("PARLANTA_CALL_RECORD");
        return path ? std::fopen(path, "ab") : nullptr;
    }();
    return file;
}

std::string hex(const void *bytes, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<const unsigned char *>(bytes)[i];
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string hex(LPCWSTR name)
{
    return hex(name, std::wcslen(name) * sizeof(wchar_t));
}

void note(const std::string &line)
{
    if (std::FILE *file = notes()) {
        std::fputs((line + "\n").c_str(), file);
        std::fflush(file);
    }
}

// Whether this FlushFileBuffers is the one PARLANTA_CALL_FAIL asks to fail.
bool failThisFlush()
{
    static int count = 0;
    const char *fail = std::getenv("PARLANTA_CALL_FAIL");
    ++count;
    return fail && std::strncmp(fail, "flush:", 6) == 0 && std::atoi(fail + 6) == count;
}

} // namespace

HANDLE recordedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                           DWORD flags, HANDLE model)
{
    const HANDLE handle = ::CreateFileW(name, access, share, security, disposition, flags, model);
    // Only opens that may change the file matter.
    if (handle != INVALID_HANDLE_VALUE && ((access & GENERIC_WRITE) || disposition != OPEN_EXISTING))
        note("create " + std::to_string(reinterpret_cast<std::uintptr_t>(handle)) + " " + std::to_string(disposition) + " " + hex(name));
    return handle;
}

BOOL recordedWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    const BOOL ok = ::WriteFile(file, bytes, size, written, overlapped);
    if (ok && written)
        note("write " + std::to_string(reinterpret_cast<std::uintptr_t>(file)) + " " + hex(bytes, *written));
    return ok;
}

BOOL recordedFlushFileBuffers(HANDLE file)
{
    BOOL ok = ::FlushFileBuffers(file);
    if (ok && failThisFlush()) {
        ok = FALSE;
        ::SetLastError(ERROR_IO_DEVICE);
    }
    note("flush " + std::to_string(reinterpret_cast<std::uintptr_t>(file)) + " " + (ok ? "1" : "0"));
    return ok;
}

BOOL recordedMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    const BOOL ok = ::MoveFileExW(from, to, flags);
    if (ok)
        note("move " + std::to_string(flags) + " " + hex(from) + " " + hex(to));
    return ok;
}

BOOL recordedDeleteFileW(LPCWSTR name)
{
    const BOOL ok = ::DeleteFileW(name);
    if (ok)
        note("delete " + hex(name));
    return ok;
}

BOOL recordedCloseHandle(HANDLE handle)
{
    note("close " + std::to_string(reinterpret_cast<std::uintptr_t>(handle)));
    return ::CloseHandle(handle);
}

void recordConfirmation()
{
    note("confirmed");
}
