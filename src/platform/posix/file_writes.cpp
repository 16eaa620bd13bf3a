#include "posix/file_writes.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

#include "posix/errors.h"
#include "posix/retry_on_eintr.h"
#include "testing.h"

namespace morvek::posix {

namespace {

// The test's write fault: once armed, `bytesLeft` more bytes may be written,
// then every write fails with `error` until the test clears it.
struct WriteFault {
  std::atomic<bool> armed{false};
  std::mutex mutex;  // guards the fields below, and is held across a write while armed
  std::size_t bytesLeft = 0;
  DWORD error = ERROR_SUCCESS;
  bool discard = false;          // writes are only counted
  std::uint64_t discarded = 0;   // bytes counted since discarding was armed
};

WriteFault& Fault() {
  static WriteFault fault;
  return fault;
}

FileWriteResult WriteEveryByte(int fd, const char* data, std::size_t count) {
  std::size_t written = 0;
  while (written < count) {
    const ssize_t n = RetryOnEintr([&] { return ::write(fd, data + written, count - written); });
    if (n < 0) return {written, ErrorFromErrno(errno)};
    if (n == 0) return {written, ERROR_WRITE_FAULT};
    written += static_cast<std::size_t>(n);
  }
  return {written, ERROR_SUCCESS};
}

}  // namespace

FileWriteResult WriteAllToFile(int fd, const void* data, std::size_t count) {
  const char* bytes = static_cast<const char*>(data);
  auto& fault = Fault();
  if (!fault.armed.load(std::memory_order_acquire)) return WriteEveryByte(fd, bytes, count);

  std::lock_guard lock(fault.mutex);
  if (!fault.armed.load(std::memory_order_relaxed)) return WriteEveryByte(fd, bytes, count);
  if (fault.discard) {
    fault.discarded += count;
    return {count, ERROR_SUCCESS};
  }
  const std::size_t allowed = std::min(count, fault.bytesLeft);
  FileWriteResult result = WriteEveryByte(fd, bytes, allowed);
  fault.bytesLeft -= result.written;
  if (result.error == ERROR_SUCCESS && allowed < count) result.error = fault.error;
  return result;
}

}  // namespace morvek::posix

namespace morvek::testing {

void FailFileWritesAfter(std::size_t bytesLeft, DWORD error) {
  auto& fault = morvek::posix::Fault();
  std::lock_guard lock(fault.mutex);
  fault.bytesLeft = bytesLeft;
  fault.error = error;
  fault.discard = false;
  fault.armed.store(true, std::memory_order_release);
}

void DiscardFileWrites() {
  auto& fault = morvek::posix::Fault();
  std::lock_guard lock(fault.mutex);
  fault.discard = true;
  fault.discarded = 0;
  fault.armed.store(true, std::memory_order_release);
}

std::uint64_t DiscardedFileBytes() {
  auto& fault = morvek::posix::Fault();
  std::lock_guard lock(fault.mutex);
  return fault.discarded;
}

void ClearFileWriteFaults() {
  auto& fault = morvek::posix::Fault();
  std::lock_guard lock(fault.mutex);
  fault.armed.store(false, std::memory_order_release);
  fault.discard = false;
  morvek::posix::ClearFilePointerFault();
}

}  // namespace morvek::testing
