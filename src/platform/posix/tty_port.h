// A serial port on a kernel tty: a UART, a USB serial adapter or the slave side
// of a pseudo-terminal.
//
// Blocking calls poll the tty beside an eventfd that Cancel() signals, so that
// closing the handle wakes them at once. The descriptor itself is closed only
// when the last call lets go of the object, so its number is never reused
// under a running call.
//
// A pseudo-terminal has no modem lines, no framing and no timing: the kernel
// refuses TIOCMGET/TIOCMBIS on it, forces 8 data bits without parity and only
// records the rate. On such a line GetCommModemStatus reports no input on,
// DTR/RTS switching succeeds without effect, DSR output flow never holds, and
// SetCommState succeeds with the data bits and parity kept as set.
//
// With CTS output flow on (CRTSCTS) the Linux driver also drives RTS itself to
// hold back the peer while its input fills. DSR output flow has no kernel
// counterpart: a write waits, checking DSR every 10 ms, while DSR is low.
#pragma once

#include <mutex>

#include "port_device.h"

namespace morvek::posix {

class TtyPort final : public PortDevice {
 public:
  // Takes over `fd` (an open tty, already locked with flock and TIOCEXCL, in
  // raw mode) and `wakeFd` (an eventfd); closes both when destroyed.
  TtyPort(int fd, int wakeFd);
  ~TtyPort() override;
  TtyPort(const TtyPort&) = delete;
  TtyPort& operator=(const TtyPort&) = delete;

 protected:
  PortStep ReadSome(char* buffer, std::size_t want, Deadline deadline,
                    std::chrono::milliseconds longestGap) override;
  PortStep WriteSome(const char* buffer, std::size_t count, Deadline deadline) override;
  void OnCancel() override;
  DWORD ReadLineState(DCB* dcb) override;
  DWORD ApplyLineState(const DCB& dcb) override;
  DWORD QueryQueues(DWORD* errors, COMSTAT* stat) override;
  DWORD SwitchLine(DWORD function) override;
  DWORD ReadModemLines(DWORD* status) override;
  DWORD CheckPresent() override;

 private:
  // The driver's line error counters (TIOCGICOUNT).
  struct ErrorCounts {
    int frame = 0;
    int parity = 0;
    int overrun = 0;
    int brk = 0;
    int bufferOverrun = 0;
  };

  // Polls the tty for `events` (0: only for hang-up) and the wake-up eventfd
  // until something is ready or `deadline` passes. ERROR_SUCCESS with
  // `*revents` 0 means the deadline passed.
  DWORD Poll(short events, Deadline deadline, short* revents);
  // Whether DSR output flow holds the output now.
  DWORD DsrHoldsOutput(bool* holds);
  DWORD SetModemBits(unsigned long request, int bits);
  DWORD Ioctl(unsigned long request, void* argument);
  DWORD TakeLineErrors();
  bool ReadErrorCounts(ErrorCounts* counts);
  void ReleaseClaim();

  const int m_fd;
  const int m_wakeFd;
  // No modem lines: a pseudo-terminal (see the comment above the class).
  const bool m_pseudoTerminal;
  std::mutex m_countsMutex;
  bool m_hasCounters = false;
  ErrorCounts m_counts;
};

}  // namespace morvek::posix
