// Opening a file path for CreateFileA: access and disposition become open(2)
// flags, the share mode becomes an advisory lock, and a folder is refused
// where a file must be.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "core/last_error.h"
#include "posix/errors.h"
#include "posix/file_object.h"
#include "posix/file_paths.h"
#include "posix/open_targets.h"
#include "posix/retry_on_eintr.h"
#include "win32_file.h"

namespace morvek::posix {

namespace {

// The open(2) flags for a disposition; false for one this layer does not offer.
bool FlagsFor(DWORD disposition, int& flags) {
  switch (disposition) {
    case OPEN_EXISTING: return true;
    case OPEN_ALWAYS: flags |= O_CREAT; return true;
    default: return false;
  }
}

// The lock that stands for the share mode: a writer, or an opener that shares
// nothing, holds the file exclusively, and a reader that lets other readers in
// takes a shared lock, so that it and any exclusive holder refuse each other
// as on Windows.
int LockFor(DWORD shareMode, bool writable) { return writable || shareMode == 0 ? LOCK_EX : LOCK_SH; }

BOOL TakeLock(int fd, int lock) {
  if (RetryOnEintr([&] { return ::flock(fd, lock | LOCK_NB); }) == 0) return TRUE;
  if (errno == EWOULDBLOCK) return core::Fail(ERROR_SHARING_VIOLATION);
  return FailWithErrno(errno);
}

// Checks what was opened and makes the descriptor blocking again.
BOOL PrepareDescriptor(int fd, int lock) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return FailWithErrno(errno);
  if (S_ISDIR(info.st_mode)) return core::Fail(ERROR_ACCESS_DENIED);
  if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return FailWithErrno(errno);
  return TakeLock(fd, lock);
}

}  // namespace

HANDLE OpenFilePath(const char* path, DWORD access, DWORD shareMode, DWORD disposition) {
  const bool readable = (access & GENERIC_READ) != 0;
  const bool writable = (access & GENERIC_WRITE) != 0;
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;  // non-blocking only while opening (a FIFO must not hang us)
  if (!FlagsFor(disposition, flags)) {
    core::Fail(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  flags |= writable ? (readable ? O_RDWR : O_WRONLY) : O_RDONLY;
  const std::string mappedPath = MapFilePath(path);
  if (writable && IsReadOnlyFile(mappedPath)) {
    core::Fail(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  const int fd = RetryOnEintr([&] { return ::open(mappedPath.c_str(), flags, 0666); });
  if (fd < 0) {
    core::Fail(ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  if (!PrepareDescriptor(fd, LockFor(shareMode, writable))) {
    ::close(fd);
    return INVALID_HANDLE_VALUE;
  }
  return core::RegisterHandle(std::make_shared<FileObject>(fd, readable, writable));
}

}  // namespace morvek::posix
