#include "posix/file_object.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/last_error.h"
#include "posix/errors.h"
#include "posix/file_writes.h"
#include "posix/retry_on_eintr.h"
#include "win32_file.h"

namespace morvek::posix {

FileObject::FileObject(int fd, bool readable, bool writable) : m_fd(fd), m_readable(readable), m_writable(writable) {}

FileObject::~FileObject() { ::close(m_fd); }

void FileObject::Cancel() { m_cancelled.store(true); }

BOOL FileObject::Read(void* buffer, DWORD count, DWORD* done) {
  *done = 0;
  if (m_cancelled.load()) return core::Fail(ERROR_OPERATION_ABORTED);
  if (!m_readable) return core::Fail(ERROR_ACCESS_DENIED);
  if (count > 0 && !buffer) return core::Fail(ERROR_INVALID_PARAMETER);
  char* bytes = static_cast<char*>(buffer);
  while (*done < count) {
    const ssize_t n = RetryOnEintr([&] { return ::read(m_fd, bytes + *done, count - *done); });
    if (n < 0) return FailWithErrno(errno);
    if (n == 0) break;  // end of file
    *done += static_cast<DWORD>(n);
  }
  return TRUE;
}

BOOL FileObject::Write(const void* buffer, DWORD count, DWORD* done) {
  *done = 0;
  if (m_cancelled.load()) return core::Fail(ERROR_OPERATION_ABORTED);
  if (!m_writable) return core::Fail(ERROR_ACCESS_DENIED);
  if (count > 0 && !buffer) return core::Fail(ERROR_INVALID_PARAMETER);
  const FileWriteResult result = WriteAllToFile(m_fd, buffer, count);
  *done = static_cast<DWORD>(result.written);
  return result.error == ERROR_SUCCESS ? TRUE : core::Fail(result.error);
}

BOOL FileObject::Seek(std::int64_t distance, DWORD method, std::int64_t limit, std::int64_t* position) {
  std::int64_t base = 0;
  if (method == FILE_CURRENT) {
    const off_t current = ::lseek(m_fd, 0, SEEK_CUR);
    if (current < 0) return FailWithErrno(errno);
    base = current;
  } else if (method == FILE_END) {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) return FailWithErrno(errno);
    base = info.st_size;
  } else if (method != FILE_BEGIN) {
    return core::Fail(ERROR_INVALID_PARAMETER);
  }
  // base >= 0, so neither test can overflow.
  if (distance > limit - base || base + distance < 0) return core::Fail(ERROR_INVALID_PARAMETER);
  const off_t moved = ::lseek(m_fd, static_cast<off_t>(base + distance), SEEK_SET);
  if (moved < 0) return FailWithErrno(errno);
  *position = moved;
  return TRUE;
}

BOOL FileObject::CutAtPointer() {
  if (!m_writable) return core::Fail(ERROR_ACCESS_DENIED);
  const off_t current = ::lseek(m_fd, 0, SEEK_CUR);
  if (current < 0) return FailWithErrno(errno);
  if (RetryOnEintr([&] { return ::ftruncate(m_fd, current); }) != 0) return FailWithErrno(errno);
  return TRUE;
}

BOOL FileObject::Sync() {
  if (RetryOnEintr([&] { return ::fdatasync(m_fd); }) == 0) return TRUE;
  if (errno == EINVAL || errno == EROFS) return TRUE;  // a file that cannot be synced has nothing to sync
  return FailWithErrno(errno);
}

BOOL FileObject::Times(std::int64_t* changed, std::int64_t* accessed, std::int64_t* written) {
  struct stat info {};
  if (::fstat(m_fd, &info) != 0) return FailWithErrno(errno);
  auto nanoseconds = [](const timespec& t) { return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; };
  *changed = nanoseconds(info.st_ctim);
  *accessed = nanoseconds(info.st_atim);
  *written = nanoseconds(info.st_mtim);
  return TRUE;
}

}  // namespace morvek::posix
