// The file calls beside CreateFileA/ReadFile/WriteFile: the file pointer, the
// end of a file, flushing, and folders and names.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/last_error.h"
#include "posix/errors.h"
#include "posix/file_object.h"
#include "posix/file_paths.h"
#include "posix/file_times.h"
#include "posix/file_writes.h"
#include "posix/retry_on_eintr.h"
#include "testing.h"
#include "win32_file.h"
#include "win32_system.h"

using morvek::core::Fail;
using morvek::core::LookupHandleAs;
using morvek::posix::FailWithErrno;
using morvek::posix::FileObject;
using morvek::posix::IsReadOnlyFile;
using morvek::posix::MapFilePath;

namespace morvek::posix {

namespace {

std::atomic<DWORD> g_filePointerFault{ERROR_SUCCESS};

}  // namespace

DWORD TakeFilePointerFault() { return g_filePointerFault.exchange(ERROR_SUCCESS); }

void ClearFilePointerFault() { g_filePointerFault.store(ERROR_SUCCESS); }

}  // namespace morvek::posix

namespace morvek::testing {

void FailNextFilePointerMove(DWORD error) { morvek::posix::g_filePointerFault.store(error); }

}  // namespace morvek::testing

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  auto file = LookupHandleAs<FileObject>(hFile);
  if (!file) return INVALID_SET_FILE_POINTER;
  if (const DWORD fault = morvek::posix::TakeFilePointerFault(); fault != ERROR_SUCCESS) {
    Fail(fault);
    return INVALID_SET_FILE_POINTER;
  }
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

namespace {

// The file a destination name stands for: where the name is a symbolic link,
// the file it finally leads to (which need not exist yet), else the name itself.
std::string ReplacedPath(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved) {
    std::string target(resolved);
    std::free(resolved);
    return target;
  }
  // A dangling link: its target is made in the link's folder when relative.
  std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
  const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
  if (length <= 0) return path;
  target.resize(static_cast<std::size_t>(length));
  const auto slash = path.rfind('/');
  if (target[0] == '/' || slash == std::string::npos) return target;
  return path.substr(0, slash + 1) + target;
}

// Gives the file about to be put in place the mode and owner of the one it
// replaces. FALSE (last error set) when it cannot.
BOOL TakeOverModeAndOwner(const std::string& source, const struct stat& replaced) {
  if (::chmod(source.c_str(), replaced.st_mode & 07777) != 0) return FailWithErrno(errno);
  struct stat own {};
  if (::stat(source.c_str(), &own) != 0) return FailWithErrno(errno);
  if ((own.st_uid != replaced.st_uid || own.st_gid != replaced.st_gid) &&
      ::chown(source.c_str(), replaced.st_uid, replaced.st_gid) != 0)
    return FailWithErrno(errno);
  return TRUE;
}

// Syncs the folder that holds `path`, so that a rename in it is on the disk.
void SyncFolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  morvek::posix::RetryOnEintr([&] { return ::fsync(fd); });
  ::close(fd);
}

}  // namespace

BOOL MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  if (!lpExistingFileName || !*lpExistingFileName || !lpNewFileName || !*lpNewFileName)
    return Fail(ERROR_INVALID_PARAMETER);
  const std::string source = MapFilePath(lpExistingFileName);
  const std::string destination = ReplacedPath(MapFilePath(lpNewFileName));
  struct stat replaced {};
  if (::stat(destination.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
    if (IsReadOnlyFile(destination)) return Fail(ERROR_ACCESS_DENIED);
    if (!TakeOverModeAndOwner(source, replaced)) return FALSE;
  }
  if (std::rename(source.c_str(), destination.c_str()) != 0) return FailWithErrno(errno);
  if (dwFlags & MOVEFILE_WRITE_THROUGH) SyncFolderOf(destination);
  return TRUE;
}
