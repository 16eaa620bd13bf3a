// Only the kernel's tty headers here (see termios2.h); <sys/ioctl.h> brings
// ioctl() and the request numbers without a struct termios of its own.
#include "posix/retry_on_eintr.h"
#include "posix/termios2.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdint>

namespace morvek::posix {

namespace {

int GetTermios(int fd, termios2* settings) {
  return RetryOnEintr([&] { return ioctl(fd, TCGETS2, settings); }) == 0 ? 0 : errno;
}

int SetTermios(int fd, const termios2& settings) {
  return RetryOnEintr([&] { return ioctl(fd, TCSETS2, &settings); }) == 0 ? 0 : errno;
}

tcflag_t SizeFlag(BYTE byteSize) {
  switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

BYTE ByteSizeOf(tcflag_t cflag) {
  switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
  }
}

tcflag_t ParityFlags(BYTE parity) {
  switch (parity) {
    case ODDPARITY: return PARENB | PARODD;
    case EVENPARITY: return PARENB;
    case MARKPARITY: return PARENB | CMSPAR | PARODD;
    case SPACEPARITY: return PARENB | CMSPAR;
    default: return 0;
  }
}

BYTE ParityOf(tcflag_t cflag) {
  if (!(cflag & PARENB)) return NOPARITY;
  if (cflag & CMSPAR) return (cflag & PARODD) ? MARKPARITY : SPACEPARITY;
  return (cflag & PARODD) ? ODDPARITY : EVENPARITY;
}

constexpr tcflag_t kLineCflags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
constexpr tcflag_t kLineIflags = IXON | IXOFF;

// True when `actual` differs from what `wanted` asked for in the fields this
// module sets. A UART clock divides down to nearby rates only, so a rate
// within 3 % (the tolerance of an asynchronous link) counts as kept.
bool Differs(const termios2& wanted, const termios2& actual) {
  if ((wanted.c_cflag ^ actual.c_cflag) & kLineCflags) return true;
  if ((wanted.c_iflag ^ actual.c_iflag) & kLineIflags) return true;
  if (wanted.c_cc[VSTART] != actual.c_cc[VSTART] || wanted.c_cc[VSTOP] != actual.c_cc[VSTOP]) return true;
  const std::int64_t rate = wanted.c_ospeed;
  const std::int64_t off = static_cast<std::int64_t>(actual.c_ospeed) - rate;
  return (off < 0 ? -off : off) * 100 > rate * 3;
}

}  // namespace

int MakeTtyRaw(int fd) {
  termios2 settings;
  if (int error = GetTermios(fd, &settings)) return error;
  settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  settings.c_oflag &= ~OPOST;
  settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag &= ~(CSIZE | PARENB);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return SetTermios(fd, settings);
}

int ReadTtyLine(int fd, DCB* dcb, bool framingFromTty) {
  termios2 settings;
  if (int error = GetTermios(fd, &settings)) return error;
  dcb->BaudRate = settings.c_ospeed;
  if (framingFromTty) {
    dcb->ByteSize = ByteSizeOf(settings.c_cflag);
    dcb->Parity = ParityOf(settings.c_cflag);
  }
  if (!(settings.c_cflag & CSTOPB))
    dcb->StopBits = ONESTOPBIT;
  else
    dcb->StopBits = dcb->ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
  dcb->fOutxCtsFlow = (settings.c_cflag & CRTSCTS) ? 1 : 0;
  dcb->fOutX = (settings.c_iflag & IXON) ? 1 : 0;
  dcb->fInX = (settings.c_iflag & IXOFF) ? 1 : 0;
  dcb->XonChar = static_cast<char>(settings.c_cc[VSTART]);
  dcb->XoffChar = static_cast<char>(settings.c_cc[VSTOP]);
  return 0;
}

int ApplyTtyLine(int fd, const DCB& dcb, bool keepAdjusted, bool* adjusted) {
  *adjusted = false;
  termios2 previous;
  if (int error = GetTermios(fd, &previous)) return error;

  termios2 wanted = previous;
  wanted.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT) | kLineCflags);
  wanted.c_cflag |= BOTHER | (BOTHER << IBSHIFT) | SizeFlag(dcb.ByteSize) | ParityFlags(dcb.Parity);
  if (dcb.StopBits != ONESTOPBIT) wanted.c_cflag |= CSTOPB;
  if (dcb.fOutxCtsFlow) wanted.c_cflag |= CRTSCTS;
  wanted.c_ispeed = dcb.BaudRate;
  wanted.c_ospeed = dcb.BaudRate;
  wanted.c_iflag &= ~kLineIflags;
  if (dcb.fOutX) wanted.c_iflag |= IXON;
  if (dcb.fInX) wanted.c_iflag |= IXOFF;
  wanted.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  wanted.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  if (int error = SetTermios(fd, wanted)) return error;

  termios2 actual;
  if (int error = GetTermios(fd, &actual)) return error;
  if (!Differs(wanted, actual)) return 0;
  *adjusted = true;
  if (keepAdjusted) return 0;
  SetTermios(fd, previous);
  return EINVAL;
}

}  // namespace morvek::posix
