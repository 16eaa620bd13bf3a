// The kinds of port that COMn can be besides a tty, each opened by its own
// code. CreateFileA("COMn") (posix/com_port_open.cpp) asks them in turn.
#pragma once

#include <optional>

#include "win32_types.h"

namespace morvek::comm {

// The virtual port seam (testing.h): nothing when no test has a VirtualPort
// installed as COMn. Otherwise a handle to it, or INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND (open refused by the script, or unplugged) or
// ERROR_ACCESS_DENIED (a handle to it is open).
std::optional<HANDLE> OpenVirtualPort(int n);

// The loopback plug as COMn (MORVEK_COMn=loopback): a port with no hardware
// whose written bytes come back to its reader, paced at the configured rate
// (loopback/loopback_line.h describes the wiring and flow control). Time is
// computed, not ticked: an idle plug costs no CPU, and a blocked call sleeps
// until the byte it waits for is due or something changes.
// INVALID_HANDLE_VALUE with ERROR_ACCESS_DENIED while another handle has
// COMn's plug open. Defined in loopback/loopback_port.cpp.
HANDLE OpenLoopbackPort(int n);

}  // namespace morvek::comm
