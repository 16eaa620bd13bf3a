// The list that `morvek-comm --ports` prints: which device each COMn is now,
// and whether it can be opened. Nothing is opened to find out: presence comes
// from the device node and, for /dev/ttyS*, from sysfs (a node with no UART
// behind it is missing); a holder from the /proc look-up of device_users.h.
#pragma once

#include <cstdio>

namespace morvek::posix {

// Numbers the adapters present that the port map does not hold yet (as a
// start of the program does), then writes one line per COMn that has a
// device: COM1 and COM2, every COMn that MORVEK_COMn or the map names, and
// every other COMn whose /dev/ttyS<n-1> has a UART. A line gives the name the
// port is opened by, the device it leads to now and one of the states
// "present", "busy" (with the holding program when it can be seen),
// "missing" or "no permission" (with the hint to join the group dialout),
// and maker and product for a USB adapter.
void PrintPortList(std::FILE* out);

}  // namespace morvek::posix
