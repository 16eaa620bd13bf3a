// The file calls beside CreateFileA/ReadFile/WriteFile: the file pointer, the
// end of a file, flushing, and folders and names.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "../win32_file.h"
#include "../win32_system.h"
#include "errors.h"
#include "file_object.h"
#include "file_paths.h"
#include "file_times.h"

using morvek::posix::Fail;
using morvek::posix::FailWithErrno;
using morvek::posix::FileObject;
using morvek::posix::LookupHandleAs;
using morvek::posix::MapFilePath;

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  auto file = LookupHandleAs<FileObject>(hFile);
  if (!file) return INVALID_SET_FILE_POINTER;
  // Without a high part the distance is a signed 32-bit value and the new
  // position must fit in 32 bits; with one, both halves make a 64-bit distance.
  std::int64_t distance = lDistanceToMove;
  std::int64_t limit = MAXDWORD;
  if (lpDistanceToMoveHigh) {
    distance = static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*lpDistanceToMoveHigh)) << 32) |
                                         static_cast<DWORD>(lDistanceToMove));
    limit = INT64_MAX;
  }
  std::int64_t position = 0;
  if (!file->Seek(distance, dwMoveMethod, limit, &position)) return INVALID_SET_FILE_POINTER;
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
  const DWORD low = static_cast<DWORD>(position);
  // A position whose low half looks like the failure value is told apart by
  // a cleared last error.
  if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
  return low;
}

BOOL SetEndOfFile(HANDLE hFile) {
  auto file = LookupHandleAs<FileObject>(hFile);
  return file ? file->CutAtPointer() : FALSE;
}

// A time given as nanoseconds since 1970 as a file time; times before 1601 are 0.
static FILETIME ToFileTime(std::int64_t nanoseconds) {
  const std::int64_t ticks = nanoseconds / 100 + kFileTimeOfUnixEpoch;
  const auto value = static_cast<std::uint64_t>(ticks < 0 ? 0 : ticks);
  return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

BOOL GetFileTime(HANDLE hFile, FILETIME* lpCreationTime, FILETIME* lpLastAccessTime, FILETIME* lpLastWriteTime) {
  auto file = LookupHandleAs<FileObject>(hFile);
  if (!file) return FALSE;
  std::int64_t changed = 0, accessed = 0, written = 0;
  if (!file->Times(&changed, &accessed, &written)) return FALSE;
  if (lpCreationTime) *lpCreationTime = ToFileTime(changed);
  if (lpLastAccessTime) *lpLastAccessTime = ToFileTime(accessed);
  if (lpLastWriteTime) *lpLastWriteTime = ToFileTime(written);
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE hFile) {
  auto file = LookupHandleAs<FileObject>(hFile);
  return file ? file->Sync() : FALSE;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, SECURITY_ATTRIBUTES*) {
  if (!lpPathName || !*lpPathName) return Fail(ERROR_PATH_NOT_FOUND);
  if (::mkdir(MapFilePath(lpPathName).c_str(), 0777) == 0) return TRUE;
  // A missing parent folder is a missing path, as Windows reports it.
  return errno == ENOENT ? Fail(ERROR_PATH_NOT_FOUND) : FailWithErrno(errno);
}

BOOL DeleteFileA(LPCSTR lpFileName) {
  if (!lpFileName || !*lpFileName) return Fail(ERROR_FILE_NOT_FOUND);
  if (::unlink(MapFilePath(lpFileName).c_str()) == 0) return TRUE;
  return FailWithErrno(errno);
}

BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD) {
  if (!lpExistingFileName || !*lpExistingFileName || !lpNewFileName || !*lpNewFileName)
    return Fail(ERROR_INVALID_PARAMETER);
  if (std::rename(MapFilePath(lpExistingFileName).c_str(), MapFilePath(lpNewFileName).c_str()) == 0) return TRUE;
  return FailWithErrno(errno);
}
