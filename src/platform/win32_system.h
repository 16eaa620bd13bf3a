// Errors, time, memory and threads.
#pragma once

#include "win32_types.h"

// The calling thread's last error code. Every failing call in this layer sets it;
// succeeding calls leave it alone unless they say otherwise.
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// Suspends the calling thread for at least dwMilliseconds (0 yields, INFINITE
// never returns). The sleep ends on a tick of the system timer: 1/64 s apart
// while no port has received or sent bytes for a second, so Sleep(1) then
// lasts up to 15.6 ms; exact to the millisecond while a port is busy.
void Sleep(DWORD dwMilliseconds);

// Milliseconds since an arbitrary start, from a monotonic clock.
DWORD GetTickCount();

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// The current time as UTC, from the system clock (or the test clock when a test
// has set one, see testing.h).
void GetSystemTime(SYSTEMTIME* lpSystemTime);

struct FILETIME;
// Splits a file time (win32_file.h) into its UTC calendar fields, milliseconds
// included; FALSE with ERROR_INVALID_PARAMETER beyond the year 30827.
BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime);

// Global memory. Blocks are fixed: GlobalLock returns their address and
// GlobalHandle maps the address back. Any thread may allocate and free.
enum : UINT { GMEM_FIXED = 0x0, GMEM_ZEROINIT = 0x40 };
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LPVOID GlobalLock(HGLOBAL hMem);
HGLOBAL GlobalHandle(LPCVOID pMem);
HGLOBAL GlobalFree(HGLOBAL hMem);  // null on success, hMem on failure

// Thread priorities for AfxBeginThread.
enum : int { THREAD_PRIORITY_LOWEST = -2, THREAD_PRIORITY_NORMAL = 0 };

// Waits until a thread handle (CWinThread::m_hThread) has ended.
enum : DWORD { WAIT_OBJECT_0 = 0, WAIT_TIMEOUT = 258, WAIT_FAILED = 0xFFFFFFFFu };
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
