// The handle table behind HANDLE values: ports, files, searches and threads are
// kernel objects owned by shared pointers, so that a call running on one thread
// keeps its object (and the descriptor inside it) alive while another thread
// closes the handle.
#pragma once

#include <memory>

#include "win32_types.h"

namespace morvek::core {

class KernelObject {
 public:
  virtual ~KernelObject() = default;

  // Called by CloseHandle, after the handle has left the table, and by
  // CancelIoEx (possibly both, in that order). Wakes every call blocked on this
  // object, which then fails with ERROR_OPERATION_ABORTED, and makes later reads
  // and writes fail the same way. Must be safe to call more than once. The
  // object itself is destroyed when the last running call lets go of it.
  virtual void Cancel() {}

  // ReadFile and WriteFile on this object. The default refuses with
  // ERROR_INVALID_FUNCTION.
  virtual BOOL Read(void* buffer, DWORD count, DWORD* done);
  virtual BOOL Write(const void* buffer, DWORD count, DWORD* done);
};

// Enters an object into the table and returns its new handle. Handle values are
// never reused within a process.
HANDLE RegisterHandle(std::shared_ptr<KernelObject> object);

// Sets ERROR_INVALID_HANDLE as the calling thread's last error.
void SetLastErrorInvalidHandle();

// The object behind a handle, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);

// The object behind a handle when it is of type T, or null with
// ERROR_INVALID_HANDLE.
template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
  auto object = std::dynamic_pointer_cast<T>(LookupHandle(handle));
  if (!object) SetLastErrorInvalidHandle();
  return object;
}

// Removes a handle from the table and returns its object (null with
// ERROR_INVALID_HANDLE when there is none).
std::shared_ptr<KernelObject> UnregisterHandle(HANDLE handle);

}  // namespace morvek::core
