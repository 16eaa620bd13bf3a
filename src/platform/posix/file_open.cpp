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

struct OpenPlan {
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;  // non-blocking only while opening (a FIFO must not hang us)
  bool truncate = false;                          // cut to zero once the lock is held, never before
};

bool PlanDisposition(DWORD disposition, bool writable, OpenPlan& plan) {
  switch (disposition) {
    case CREATE_NEW: plan.flags |= O_CREAT | O_EXCL; return true;
    case CREATE_ALWAYS: plan.flags |= O_CREAT; plan.truncate = true; return true;
    case OPEN_EXISTING: return true;
    case OPEN_ALWAYS: plan.flags |= O_CREAT; return true;
    case TRUNCATE_EXISTING: plan.truncate = true; return writable;
    default: return false;
  }
}

// The lock that stands for the share mode. Sharing write access takes none;
// otherwise a writer, or an opener that shares nothing, holds the file
// exclusively, and a reader that lets only readers in takes a shared lock, so
// that it and any exclusive holder refuse each other as on Windows.
int LockFor(DWORD shareMode, bool writable) {
  if (shareMode & FILE_SHARE_WRITE) return 0;
  if (writable || shareMode == 0) return LOCK_EX;
  return LOCK_SH;
}

BOOL TakeLock(int fd, int lock) {
  if (RetryOnEintr([&] { return ::flock(fd, lock | LOCK_NB); }) == 0) return TRUE;
  if (errno == EWOULDBLOCK) return core::Fail(ERROR_SHARING_VIOLATION);
  return FailWithErrno(errno);
}

// Checks what was opened and makes the descriptor blocking again.
BOOL PrepareDescriptor(int fd, const OpenPlan& plan, int lock) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return FailWithErrno(errno);
  if (S_ISDIR(info.st_mode)) return core::Fail(ERROR_ACCESS_DENIED);
  if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return FailWithErrno(errno);
  if (lock != 0 && !TakeLock(fd, lock)) return FALSE;
  if (plan.truncate) {
    if (RetryOnEintr([&] { return ::ftruncate(fd, 0); }) != 0) return FailWithErrno(errno);
  }
  return TRUE;
}

}  // namespace

HANDLE OpenFilePath(const char* path, DWORD access, DWORD shareMode, DWORD disposition) {
  const bool readable = (access & GENERIC_READ) != 0;
  const bool writable = (access & GENERIC_WRITE) != 0;
  OpenPlan plan;
  if (!PlanDisposition(disposition, writable, plan)) {
    core::Fail(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  // A reader that creates afresh still needs a writable descriptor to cut the
  // file; the handle itself stays read-only.
  if (writable || plan.truncate) {
    plan.flags |= readable || !writable ? O_RDWR : O_WRONLY;
  } else {
    plan.flags |= O_RDONLY;
  }

  const std::string mappedPath = MapFilePath(path);
  if ((writable || plan.truncate) && IsReadOnlyFile(mappedPath)) {
    core::Fail(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  const int fd = RetryOnEintr([&] { return ::open(mappedPath.c_str(), plan.flags, 0666); });
  if (fd < 0) {
    // CREATE_NEW on an existing name says so as Windows does.
    core::Fail(errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  if (!PrepareDescriptor(fd, plan, LockFor(shareMode, writable))) {
    ::close(fd);
    return INVALID_HANDLE_VALUE;
  }
  return core::RegisterHandle(std::make_shared<FileObject>(fd, readable, writable));
}

}  // namespace morvek::posix
