// The one place where errno values become Windows error codes.
#pragma once

#include "win32_types.h"

namespace morvek::posix {

// The Windows error code for an errno value (EINTR never reaches this: callers
// retry it).
DWORD ErrorFromErrno(int error);

// core::Fail(ErrorFromErrno(error)): a failing call can end with
// `return FailWithErrno(errno);`.
BOOL FailWithErrno(int error);

}  // namespace morvek::posix
