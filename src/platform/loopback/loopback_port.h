// The loopback plug as a port: COMn with MORVEK_COMn=loopback. A port with no
// hardware whose written bytes come back to its reader, paced at the
// configured rate (loopback_line.h describes the wiring and flow control).
// Time is computed, not ticked: an idle plug costs no CPU, and a blocked call
// sleeps until the byte it waits for is due or something changes.
#pragma once

#include "../win32_types.h"

namespace morvek::loopback {

// Opens the loopback plug as COMn; INVALID_HANDLE_VALUE with
// ERROR_ACCESS_DENIED while another handle has COMn's plug open.
HANDLE OpenLoopbackPort(int n);

}  // namespace morvek::loopback
