// Opening a tty as a serial port, exclusively.
#pragma once

#include <string>

#include "win32_types.h"

namespace morvek::posix {

// Opens the tty at `path` (links followed) for reading and writing, without
// making it the controlling terminal, non-blocking, locked with flock and
// TIOCEXCL, and in raw mode (MakeTtyRaw). A device that another process has
// open (found through /proc) or that another opener has locked is refused
// with ERROR_ACCESS_DENIED, a path with no device behind it with
// ERROR_FILE_NOT_FOUND, and something that is not a tty with
// ERROR_INVALID_NAME. On success stores the descriptor in `*fd` and returns
// ERROR_SUCCESS.
DWORD OpenExclusiveTty(const std::string& path, int* fd);

}  // namespace morvek::posix
