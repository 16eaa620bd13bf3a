// CreateFileA's side of the virtual port seam (testing.h): while a test has a
// VirtualPort installed as COMn, COMn opens it instead of the device.
#pragma once

#include <optional>

#include "../win32_types.h"

namespace morvek::posix {

// Nothing when no virtual port is installed as COMn. Otherwise a handle to it,
// or INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND (open refused by the
// script, or unplugged) or ERROR_ACCESS_DENIED (a handle to it is open).
std::optional<HANDLE> OpenVirtualPort(int n);

}  // namespace morvek::posix
