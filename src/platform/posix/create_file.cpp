#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/kernel_object.h"
#include "core/last_error.h"
#include "posix/errors.h"
#include "posix/open_targets.h"
#include "win32_file.h"

namespace morvek::posix {

int ComPortNumber(const char* name) {
  if (!name) return 0;
  if (std::strlen(name) < 4 || std::strlen(name) > 5) return 0;
  if (std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
      std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
      std::toupper(static_cast<unsigned char>(name[2])) != 'M')
    return 0;
  int n = 0;
  for (const char* p = name + 3; *p; ++p) {
    if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
    n = n * 10 + (*p - '0');
  }
  if (name[3] == '0') return 0;
  return (n >= 1 && n <= 16) ? n : 0;
}

}  // namespace morvek::posix

using namespace morvek::posix;
namespace core = morvek::core;

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, SECURITY_ATTRIBUTES*,
                   DWORD dwCreationDisposition, DWORD, HANDLE) {
  if (!lpFileName || !*lpFileName) {
    core::Fail(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  if (int n = ComPortNumber(lpFileName)) return OpenComPort(n);
  return OpenFilePath(lpFileName, dwDesiredAccess, dwShareMode, dwCreationDisposition);
}

BOOL CloseHandle(HANDLE hObject) {
  auto object = core::UnregisterHandle(hObject);
  if (!object) return FALSE;
  object->Cancel();
  return TRUE;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              OVERLAPPED* lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  if (lpOverlapped) return core::Fail(ERROR_INVALID_PARAMETER);
  auto object = core::LookupHandle(hFile);
  if (!object) return FALSE;
  DWORD done = 0;
  BOOL ok = object->Read(lpBuffer, nNumberOfBytesToRead, &done);
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
  return ok;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               OVERLAPPED* lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  if (lpOverlapped) return core::Fail(ERROR_INVALID_PARAMETER);
  auto object = core::LookupHandle(hFile);
  if (!object) return FALSE;
  DWORD done = 0;
  BOOL ok = object->Write(lpBuffer, nNumberOfBytesToWrite, &done);
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
  return ok;
}

BOOL CancelIoEx(HANDLE hFile, OVERLAPPED* lpOverlapped) {
  if (lpOverlapped) return core::Fail(ERROR_INVALID_PARAMETER);
  auto object = core::LookupHandle(hFile);
  if (!object) return FALSE;
  object->Cancel();
  return TRUE;
}
