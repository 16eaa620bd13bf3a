// Handles, files and folders.
//
// Every call reports failure the Windows way: a FALSE (or INVALID_HANDLE_VALUE)
// result and a code for GetLastError(). Calls may be made from any thread.
#pragma once

#include "win32_types.h"

enum : DWORD {
  GENERIC_READ = 0x80000000u,
  GENERIC_WRITE = 0x40000000u,
  FILE_SHARE_READ = 0x1,
  OPEN_EXISTING = 3,
  OPEN_ALWAYS = 4,
  FILE_ATTRIBUTE_READONLY = 0x1,
  FILE_ATTRIBUTE_DIRECTORY = 0x10,
  FILE_ATTRIBUTE_NORMAL = 0x80,
  FILE_FLAG_OVERLAPPED = 0x40000000u,
  FILE_BEGIN = 0,
  FILE_CURRENT = 1,
  FILE_END = 2,
  INVALID_SET_FILE_POINTER = 0xFFFFFFFFu,
  INVALID_FILE_SIZE = 0xFFFFFFFFu,
};

struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  char cFileName[260];
};

// Opens a serial port or a file.
//
// "COM1" .. "COM16" (any case) name serial ports: the device is taken from the
// environment variable MORVEK_COMn (a device path, or the word "loopback" for
// the built-in loopback plug), else /dev/ttyS<n-1>. A port is always opened
// exclusively: a second opener, in this process or another, gets
// ERROR_ACCESS_DENIED. A missing device gives ERROR_FILE_NOT_FOUND, a path that
// is not a terminal ERROR_INVALID_NAME.
//
// Any other name is a file path; a backslash is a path separator and a folder
// name written with a trailing dot ("BAKUP.") means the folder without it, as on
// Windows. The disposition is OPEN_EXISTING or OPEN_ALWAYS (anything else gives
// ERROR_INVALID_PARAMETER). dwShareMode 0 takes an exclusive advisory lock,
// FILE_SHARE_READ a lock that lets readers in but refuses a second writer
// (ERROR_SHARING_VIOLATION). A folder where a file must be gives
// ERROR_ACCESS_DENIED, and so does opening for writing a file without any
// write permission bit: such a file is read-only for every user, root
// included, like a file with the read-only attribute.
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   SECURITY_ATTRIBUTES* lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);

// Closes a handle. A call blocked in ReadFile or WriteFile on the same handle in
// another thread is woken at once and fails with ERROR_OPERATION_ABORTED; the
// descriptor behind the handle is released only when that call has returned, so
// its number is never reused under a running call. Closing an unknown handle
// gives ERROR_INVALID_HANDLE.
BOOL CloseHandle(HANDLE hObject);

// Reads up to nNumberOfBytesToRead bytes. On a port the port's COMMTIMEOUTS
// decide when it returns (see win32_comm.h); on a file it returns what is there.
// lpOverlapped must be null.
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              OVERLAPPED* lpOverlapped);

// Writes the bytes. On a file it succeeds only when every byte was written
// (a short write, a full disk or an I/O error fail with their code; the bytes
// already written stay). On a port it returns when all bytes were handed to the
// device, or fails. lpOverlapped must be null.
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               OVERLAPPED* lpOverlapped);

// Moves the file pointer; returns the new low 32 bits, INVALID_SET_FILE_POINTER
// on failure. lpDistanceToMoveHigh, when given, carries the high 32 bits both ways.
DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod);

// A time stamp of a file: 100-nanosecond intervals since 1 January 1601, UTC.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// The times of an open file: its creation (the last change of its status on
// this system), last access and last write. Any pointer may be null.
BOOL GetFileTime(HANDLE hFile, FILETIME* lpCreationTime, FILETIME* lpLastAccessTime, FILETIME* lpLastWriteTime);

// Cuts or extends the file at the file pointer.
BOOL SetEndOfFile(HANDLE hFile);

// Writes buffered file data to the disk (the data and what is needed to read
// it back, as fdatasync does); fails when the disk refuses it. It may take long
// on a busy disk: a thread that must stay responsive leaves it to another.
BOOL FlushFileBuffers(HANDLE hFile);

// Creates a folder. An existing name gives ERROR_ALREADY_EXISTS.
BOOL CreateDirectoryA(LPCSTR lpPathName, SECURITY_ATTRIBUTES* lpSecurityAttributes);

// Looks a path up (no wildcards are expanded: the name is looked up as it is).
// Returns a search handle and fills lpFindFileData, or INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND. Close the handle with FindClose.
HANDLE FindFirstFileA(LPCSTR lpFileName, WIN32_FIND_DATAA* lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// Deletes a file.
BOOL DeleteFileA(LPCSTR lpFileName);

// Replaces lpNewFileName by lpExistingFileName in one step (the rename is atomic
// on one file system); an existing lpNewFileName is always replaced. Where
// lpNewFileName is a symbolic link, the file it leads to is replaced and the
// link stays. The file put in place takes the mode and owner of the file it
// replaces. A replaced file that is read-only (no write permission bit) is
// refused with ERROR_ACCESS_DENIED and left as it was; a destination on another
// file system gives ERROR_NOT_SAME_DEVICE. MOVEFILE_WRITE_THROUGH returns only
// once the rename has reached the disk.
enum : DWORD { MOVEFILE_REPLACE_EXISTING = 0x1, MOVEFILE_WRITE_THROUGH = 0x8 };
BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);

// Wakes every ReadFile and WriteFile blocked on the handle in any thread; they
// fail with ERROR_OPERATION_ABORTED (a read keeps the bytes it had, reported
// in its count). On this system the handle then serves no further reads or
// writes (they fail the same way): it is meant for stopping a reader just
// before the handle is closed. lpOverlapped must be null.
BOOL CancelIoEx(HANDLE hFile, OVERLAPPED* lpOverlapped);
