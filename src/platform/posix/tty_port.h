// A serial port on a kernel tty: a UART, a USB serial adapter or the slave side
// of a pseudo-terminal.
//
// Blocking calls poll the tty beside an eventfd that Cancel() signals, so that
// closing the handle wakes them at once. A descriptor is closed only when the
// last call lets go of it, so its number is never reused under a running call.
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
//
// When the device goes away (an adapter unplugged, a pseudo-terminal's master
// closed) the port lets go of its descriptor, so that the device's name is
// free for its return, and every call fails with ERROR_DEVICE_REMOVED. The
// calls that come while it is away open the path again, at most every
// kReattachPeriod (kBusyRecheck while another program holds it); once the
// device is back and free, the port carries on with the line settings last
// applied and DTR and RTS as last switched. The handle stays the same
// throughout.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "comm/port_device.h"

namespace morvek::posix {

class TtyPort final : public comm::PortDevice {
 public:
  // How often the calls made while the device is away try to open it again.
  static constexpr auto kReattachPeriod = std::chrono::milliseconds(100);
  // How often they try while the device is back but another program holds it.
  static constexpr auto kBusyRecheck = std::chrono::milliseconds(500);

  // Takes over `fd` (opened by OpenExclusiveTty) and `wakeFd` (an eventfd);
  // closes both when destroyed. `reopenPath` is the name the device comes back
  // under (empty: it is not waited for).
  TtyPort(int fd, int wakeFd, std::string reopenPath);
  ~TtyPort() override;
  TtyPort(const TtyPort&) = delete;
  TtyPort& operator=(const TtyPort&) = delete;

 protected:
  comm::PortStep ReadSome(char* buffer, std::size_t want, comm::Deadline deadline,
                    std::chrono::milliseconds longestGap) override;
  comm::PortStep WriteSome(const char* buffer, std::size_t count, comm::Deadline deadline) override;
  void OnCancel() override;
  DWORD ReadLineState(DCB* dcb) override;
  DWORD ApplyLineState(const DCB& dcb) override;
  DWORD QueryQueues(DWORD* errors, COMSTAT* stat) override;
  DWORD SwitchLine(DWORD function) override;
  DWORD ReadModemLines(DWORD* status) override;
  DWORD CheckPresent() override;

 private:
  // One open descriptor of the device, with the driver's error counters as
  // they stood when last read; closed when the last call lets go of it.
  struct Line;
  using LinePtr = std::shared_ptr<Line>;

  // The device's line, opened again when it was away and the time has come;
  // null while it is away.
  LinePtr AttachedLine();
  // Runs `step` on the attached line; a step that finds the device gone lets
  // go of the line. ERROR_DEVICE_REMOVED while away.
  template <class Step>
  auto OnLine(Step step);
  // Brings a freshly opened line to the state the old one had.
  DWORD RestoreLineState(Line& line);

  // Polls the line for `events` (0: only for hang-up) and the wake-up eventfd
  // until something is ready or `deadline` passes. ERROR_SUCCESS with
  // `*revents` 0 means the deadline passed.
  DWORD Poll(const Line& line, short events, comm::Deadline deadline, short* revents);
  comm::PortStep ReadFrom(Line& line, char* buffer, std::size_t want, comm::Deadline deadline);
  comm::PortStep WriteTo(Line& line, const char* buffer, std::size_t count, comm::Deadline deadline);
  // Whether DSR output flow holds the output now.
  DWORD DsrHoldsOutput(const Line& line, bool* holds);
  // ERROR_DEVICE_REMOVED once the device hung up and its last bytes were
  // taken, else ERROR_SUCCESS.
  DWORD PresenceOf(const Line& line);
  // The bytes waiting in the input queue (counted only when a poll says there
  // are any), with the removal PresenceOf reports.
  DWORD InputOf(const Line& line, int* queued);
  DWORD QueuesOf(Line& line, DWORD* errors, COMSTAT* stat);
  DWORD SwitchOn(const Line& line, DWORD function);
  DWORD ModemLinesOf(const Line& line, DWORD* status);

  const int m_wakeFd;
  const std::string m_reopenPath;
  std::mutex m_lineMutex;
  // Guarded by m_lineMutex: the line (null while the device is away), when
  // to try the next reopen, the settings last applied (none: as opened) and
  // the modem outputs (TIOCM_DTR, TIOCM_RTS) last asked for.
  LinePtr m_line;
  comm::PortClock::time_point m_nextAttempt{};
  std::optional<DCB> m_applied;
  int m_outputs;
};

}  // namespace morvek::posix
