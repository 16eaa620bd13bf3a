// The calling thread's last error code.
#include "core/last_error.h"

#include "win32_system.h"

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

namespace morvek::core {

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

}  // namespace morvek::core
