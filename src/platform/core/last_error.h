// Failing a call the Windows way: the error code goes to the calling thread's
// last error (GetLastError), and the call returns FALSE.
#pragma once

#include "win32_types.h"

namespace morvek::core {

// SetLastError(code); returns FALSE, so that a failing call can end with
// `return Fail(ERROR_...);`.
BOOL Fail(DWORD code);

}  // namespace morvek::core
