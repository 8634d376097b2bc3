#pragma once

// The recording seam of the Windows writer. The crash replay's copy of
// platform/file_system_windows.cpp is compiled with this header included
// first (crash/CMakeLists.txt), so that the file calls of a save go through
// the functions below, which pass each call on and note it; the program's
// own build never sees this header. The notes go to the file named by
// PARLANTA_CALL_RECORD, one call a line (seam_record.h reads them);
// PARLANTA_CALL_FAIL=flush:N makes the Nth FlushFileBuffers fail.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

HANDLE recordedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                           DWORD flags, HANDLE model);
BOOL recordedWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
BOOL recordedFlushFileBuffers(HANDLE file);
BOOL recordedMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);
BOOL recordedDeleteFileW(LPCWSTR name);
BOOL recordedCloseHandle(HANDLE handle);
// The writer's caller has been told the add succeeded.
void recordConfirmation();

#define CreateFileW recordedCreateFileW
#define WriteFile recordedWriteFile
#define FlushFileBuffers recordedFlushFileBuffers
#define MoveFileExW recordedMoveFileExW
#define DeleteFileW recordedDeleteFileW
#define CloseHandle recordedCloseHandle
