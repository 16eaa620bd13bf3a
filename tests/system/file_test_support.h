// Helpers shared by the file tests: handles that close themselves.
#pragma once

#include "platform/win32.h"

namespace morvek::test {

// A handle from CreateFileA, closed at the end of its scope.
class OpenedFile {
 public:
  OpenedFile(const char* name, DWORD access, DWORD share, DWORD disposition)
      : m_handle(CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr)),
        m_error(m_handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS) {}
  ~OpenedFile() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;
  bool ok() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_handle; }
  DWORD error() const { return m_error; }  // GetLastError of a failed open

 private:
  HANDLE m_handle;
  DWORD m_error;
};

}  // namespace morvek::test
