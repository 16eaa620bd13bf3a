// Line settings of a tty through the kernel's termios2 (TCGETS2/TCSETS2), which
// carries any bit rate as a number (BOTHER). Kept apart from <termios.h>, whose
// struct termios clashes with the kernel's: only termios2.cpp sees the kernel's
// headers. Every function returns 0 or an errno value (EINTR already retried).
#pragma once

#include "win32_comm.h"

namespace morvek::posix {

// Raw mode, as cfmakeraw does it: no echo, no line editing, no signals, no
// input or output translation, no output XON/XOFF, 8 data bits without parity;
// plus CLOCAL|CREAD and VMIN = VTIME = 0 (a read returns what is there). The
// rate, the stop bits, CRTSCTS and the modem lines are left as they are.
int MakeTtyRaw(int fd);

// Overlays the tty's settings onto the line fields of `dcb`: BaudRate (the
// output rate), ByteSize, Parity, StopBits, fOutxCtsFlow (CRTSCTS), fOutX
// (IXON), fInX (IXOFF), XonChar (VSTART) and XoffChar (VSTOP). With
// `framingFromTty` false, ByteSize and Parity are left alone (for a device that
// has no framing of its own, see ApplyTtyLine).
int ReadTtyLine(int fd, DCB* dcb, bool framingFromTty);

// Applies the line fields of a DCB that CheckPortState accepted; 1.5 stop bits
// (only with 5 data bits) become CSTOPB, mark and space parity use CMSPAR. The
// settings are then read back: when the driver kept other values (a rate more
// than 3 % off, other framing, flow or XON/XOFF characters), `*adjusted` is
// set and, unless `keepAdjusted`, the previous settings are restored and EINVAL
// returned. A pseudo-terminal always keeps 8 data bits without parity; its
// caller passes keepAdjusted, since nothing is framed on it anyway.
int ApplyTtyLine(int fd, const DCB& dcb, bool keepAdjusted, bool* adjusted);

}  // namespace morvek::posix
