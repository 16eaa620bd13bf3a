// An open file behind a HANDLE from CreateFileA: the descriptor, what the
// handle may do with it, and the file calls that work on it.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/kernel_object.h"

namespace morvek::posix {

class FileObject : public core::KernelObject {
 public:
  // Takes ownership of fd (closed when the object goes). The advisory lock the
  // opener took, if any, goes with the descriptor.
  FileObject(int fd, bool readable, bool writable);
  ~FileObject() override;
  FileObject(const FileObject&) = delete;
  FileObject& operator=(const FileObject&) = delete;

  // After Cancel, reads and writes fail with ERROR_OPERATION_ABORTED. File
  // calls never block for long, so there is nothing to wake.
  void Cancel() override;

  // Reads up to count bytes from the file pointer (fewer only at the end of the
  // file). A handle opened without GENERIC_READ gives ERROR_ACCESS_DENIED.
  BOOL Read(void* buffer, DWORD count, DWORD* done) override;
  // Writes every byte at the file pointer or fails (see WriteAllToFile); a
  // handle opened without GENERIC_WRITE gives ERROR_ACCESS_DENIED.
  BOOL Write(const void* buffer, DWORD count, DWORD* done) override;

  // Moves the file pointer by distance from the start, the pointer or the end
  // (FILE_BEGIN, FILE_CURRENT, FILE_END) and gives the new position. A position
  // before the start, or beyond `limit`, fails with ERROR_INVALID_PARAMETER and
  // leaves the pointer where it was.
  BOOL Seek(std::int64_t distance, DWORD method, std::int64_t limit, std::int64_t* position);
  // Cuts or extends the file to the file pointer (needs GENERIC_WRITE).
  BOOL CutAtPointer();
  // Hands the file's data to the disk; fails with the disk's error.
  BOOL Sync();
  // The file's last status change, access and write, as nanoseconds since
  // 1 January 1970 UTC.
  BOOL Times(std::int64_t* changed, std::int64_t* accessed, std::int64_t* written);

 private:
  const int m_fd;
  const bool m_readable;
  const bool m_writable;
  std::atomic<bool> m_cancelled{false};
};

}  // namespace morvek::posix
