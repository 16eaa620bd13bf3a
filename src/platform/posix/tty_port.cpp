#include "posix/tty_port.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <type_traits>
#include <utility>

#include "posix/errors.h"
#include "posix/retry_on_eintr.h"
#include "posix/termios2.h"
#include "posix/tty_open.h"

namespace morvek::posix {

namespace {

// How often a write held by DSR output flow looks at DSR again.
constexpr auto kDsrRecheck = std::chrono::milliseconds(10);

constexpr short kHangup = POLLHUP | POLLERR;

// errno values with which the kernel says a tty has no modem control.
bool IsNoModemControl(int error) { return error == ENOTTY || error == EINVAL; }

bool HasModemLines(int fd) {
  int bits = 0;
  if (RetryOnEintr([&] { return ioctl(fd, TIOCMGET, &bits); }) != 0) return !IsNoModemControl(errno);
  return true;
}

DWORD Ioctl(int fd, unsigned long request, void* argument) {
  if (RetryOnEintr([&] { return ioctl(fd, request, argument); }) != 0) return ErrorFromErrno(errno);
  return ERROR_SUCCESS;
}

// The driver's line error counters (TIOCGICOUNT).
struct ErrorCounts {
  int frame = 0;
  int parity = 0;
  int overrun = 0;
  int brk = 0;
  int bufferOverrun = 0;
};

bool ReadErrorCounts(int fd, ErrorCounts* counts) {
  serial_icounter_struct icount{};
  if (Ioctl(fd, TIOCGICOUNT, &icount) != ERROR_SUCCESS) return false;
  counts->frame = icount.frame;
  counts->parity = icount.parity;
  counts->overrun = icount.overrun;
  counts->brk = icount.brk;
  counts->bufferOverrun = icount.buf_overrun;
  return true;
}

// Gives up the exclusive claim on a descriptor. A pseudo-terminal outlives it
// while its master is open: the exclusive flag is cleared so that the next
// opener is not refused.
void ReleaseClaim(int fd) {
  ioctl(fd, TIOCNXCL);
  flock(fd, LOCK_UN);
}

}  // namespace

struct TtyPort::Line {
  explicit Line(int descriptor) : fd(descriptor), pseudoTerminal(!HasModemLines(descriptor)) {
    // Counts from before the open are not this handle's errors.
    hasCounters = ReadErrorCounts(fd, &counts);
  }
  ~Line() {
    ReleaseClaim(fd);
    close(fd);
  }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  const int fd;
  // No modem lines: a pseudo-terminal (see the comment above the class).
  const bool pseudoTerminal;
  std::mutex countsMutex;
  bool hasCounters = false;
  ErrorCounts counts;
  // Line errors come with received bytes: set when bytes were seen or taken
  // since the counters were last read.
  std::atomic<bool> inputSinceCounts{false};
  // Writes that put bytes in the output queue, and how many of them the queue
  // was last seen empty after: only this handle's writes fill it.
  std::atomic<std::uint64_t> writesQueued{0};
  std::atomic<std::uint64_t> writesDrained{0};
};

TtyPort::TtyPort(int fd, int wakeFd, std::string reopenPath)
    : m_wakeFd(wakeFd),
      m_reopenPath(std::move(reopenPath)),
      m_line(std::make_shared<Line>(fd)),
      // Linux raises both when a tty is opened.
      m_outputs(TIOCM_DTR | TIOCM_RTS) {}

TtyPort::~TtyPort() { close(m_wakeFd); }

void TtyPort::OnCancel() {
  const std::uint64_t one = 1;
  // The eventfd stays readable from now on, so every later poll returns at once.
  RetryOnEintr([&] { return write(m_wakeFd, &one, sizeof one); });
  LinePtr line;
  {
    std::lock_guard lock(m_lineMutex);
    line = std::exchange(m_line, nullptr);
  }
  // The descriptor itself closes once the calls still using it let go.
  if (line) ReleaseClaim(line->fd);
}

TtyPort::LinePtr TtyPort::AttachedLine() {
  std::lock_guard lock(m_lineMutex);
  // Checked under the lock, so that no reopen slips in after OnCancel.
  if (m_line || m_reopenPath.empty() || IsCancelled()) return m_line;
  const auto now = comm::PortClock::now();
  if (now < m_nextAttempt) return nullptr;
  int fd = -1;
  const DWORD error = OpenExclusiveTty(m_reopenPath, &fd);
  // A device that is back but held by another program is looked at less
  // often: each look goes through /proc.
  m_nextAttempt = now + (error == ERROR_ACCESS_DENIED ? kBusyRecheck : kReattachPeriod);
  if (error != ERROR_SUCCESS) return nullptr;
  auto line = std::make_shared<Line>(fd);
  // A device that cannot take the settings back is not the port it was.
  if (RestoreLineState(*line) != ERROR_SUCCESS) return nullptr;
  m_line = line;
  return m_line;
}

DWORD TtyPort::RestoreLineState(Line& line) {
  if (m_applied) {
    bool adjusted = false;
    if (int error = ApplyTtyLine(line.fd, *m_applied, line.pseudoTerminal, &adjusted)) return ErrorFromErrno(error);
  }
  if (line.pseudoTerminal) return ERROR_SUCCESS;
  int raise = m_outputs;
  int lower = (TIOCM_DTR | TIOCM_RTS) & ~m_outputs;
  if (raise) {
    if (DWORD error = Ioctl(line.fd, TIOCMBIS, &raise)) return error;
  }
  if (lower) return Ioctl(line.fd, TIOCMBIC, &lower);
  return ERROR_SUCCESS;
}

template <class Step>
auto TtyPort::OnLine(Step step) {
  using Result = std::invoke_result_t<Step, Line&>;
  LinePtr line = AttachedLine();
  if (!line) return Result{ERROR_DEVICE_REMOVED};
  Result result = step(*line);
  DWORD error;
  if constexpr (std::is_same_v<Result, comm::PortStep>) {
    error = result.error;
  } else {
    error = result;
  }
  if (error == ERROR_DEVICE_REMOVED) {
    // Lets go of the descriptor so that the device's name is free for its
    // return; a later call opens it again.
    std::lock_guard lock(m_lineMutex);
    if (m_line == line) m_line = nullptr;
  }
  return result;
}

DWORD TtyPort::Poll(const Line& line, short events, comm::Deadline deadline, short* revents) {
  *revents = 0;
  pollfd fds[2] = {{line.fd, events, 0}, {m_wakeFd, POLLIN, 0}};
  // The time left is measured anew for each try, so that a signal does not
  // push the deadline back.
  const int ready = RetryOnEintr([&] {
    timespec wait{};
    timespec* timeout = nullptr;
    if (deadline != comm::NoDeadline()) {
      auto left = std::max(deadline - comm::PortClock::now(), comm::PortClock::duration::zero());
      auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
      wait.tv_sec = static_cast<time_t>(seconds.count());
      wait.tv_nsec = static_cast<long>(std::chrono::nanoseconds(left - seconds).count());
      timeout = &wait;
    }
    return ppoll(fds, 2, timeout, nullptr);
  });
  if (ready < 0) return ErrorFromErrno(errno);
  if (fds[1].revents) return ERROR_OPERATION_ABORTED;
  if (fds[0].revents & POLLNVAL) return ERROR_INVALID_HANDLE;
  *revents = fds[0].revents;
  return ERROR_SUCCESS;
}

comm::PortStep TtyPort::ReadSome(char* buffer, std::size_t want, comm::Deadline deadline, std::chrono::milliseconds) {
  return OnLine([&](Line& line) { return ReadFrom(line, buffer, want, deadline); });
}

comm::PortStep TtyPort::ReadFrom(Line& line, char* buffer, std::size_t want, comm::Deadline deadline) {
  for (;;) {
    short revents = 0;
    if (DWORD error = Poll(line, POLLIN, deadline, &revents)) return {error};
    if (revents == 0) return {};
    // With VMIN = 0 a read of an empty tty also returns 0: only after the poll
    // said "readable" does 0 mean that the device hung up.
    ssize_t got = RetryOnEintr([&] { return read(line.fd, buffer, want); });
    if (got > 0) {
      line.inputSinceCounts.store(true);
      return {ERROR_SUCCESS, static_cast<std::size_t>(got)};
    }
    if (got == 0) return {ERROR_DEVICE_REMOVED};
    if (errno == EAGAIN) {
      if (revents & kHangup) return {ERROR_DEVICE_REMOVED};
      continue;
    }
    return {ErrorFromErrno(errno)};
  }
}

DWORD TtyPort::DsrHoldsOutput(const Line& line, bool* holds) {
  *holds = false;
  if (line.pseudoTerminal || !CurrentSettings().fOutxDsrFlow) return ERROR_SUCCESS;
  int bits = 0;
  if (DWORD error = Ioctl(line.fd, TIOCMGET, &bits)) return error;
  *holds = !(bits & TIOCM_DSR);
  return ERROR_SUCCESS;
}

comm::PortStep TtyPort::WriteSome(const char* buffer, std::size_t count, comm::Deadline deadline) {
  return OnLine([&](Line& line) { return WriteTo(line, buffer, count, deadline); });
}

comm::PortStep TtyPort::WriteTo(Line& line, const char* buffer, std::size_t count, comm::Deadline deadline) {
  for (;;) {
    bool held = false;
    if (DWORD error = DsrHoldsOutput(line, &held)) return {error};
    short revents = 0;
    if (held) {
      if (comm::PortClock::now() >= deadline) return {};
      comm::Deadline recheck = std::min(deadline, comm::PortClock::now() + kDsrRecheck);
      if (DWORD error = Poll(line, 0, recheck, &revents)) return {error};
      if (revents & kHangup) return {ERROR_DEVICE_REMOVED};
      continue;
    }
    if (DWORD error = Poll(line, POLLOUT, deadline, &revents)) return {error};
    if (revents == 0) return {};
    ssize_t sent = RetryOnEintr([&] { return write(line.fd, buffer, count); });
    if (sent > 0) {
      // Counted once the bytes are in the queue (see QueuesOf).
      line.writesQueued.fetch_add(1);
      return {ERROR_SUCCESS, static_cast<std::size_t>(sent)};
    }
    if (sent < 0 && errno != EAGAIN) return {ErrorFromErrno(errno)};
    if (revents & kHangup) return {ERROR_DEVICE_REMOVED};
  }
}

DWORD TtyPort::CheckPresent() {
  return OnLine([&](Line& line) { return PresenceOf(line); });
}

DWORD TtyPort::PresenceOf(const Line& line) {
  int queued = 0;
  return InputOf(line, &queued);
}

DWORD TtyPort::InputOf(const Line& line, int* queued) {
  *queued = 0;
  pollfd fd{line.fd, POLLIN, 0};
  const int ready = RetryOnEintr([&] { return poll(&fd, 1, 0); });
  if (ready <= 0) return ERROR_SUCCESS;
  int count = 0;
  const bool counted = RetryOnEintr([&] { return ioctl(line.fd, FIONREAD, &count); }) == 0;
  // A hung-up line whose last bytes still wait in the queue stays readable
  // until they are taken.
  if (counted && count > 0) {
    *queued = count;
    return ERROR_SUCCESS;
  }
  if (fd.revents & kHangup) return ERROR_DEVICE_REMOVED;
  return counted ? ERROR_SUCCESS : ErrorFromErrno(errno);
}

DWORD TtyPort::ReadLineState(DCB* dcb) {
  return OnLine([&](Line& line) {
    int error = ReadTtyLine(line.fd, dcb, !line.pseudoTerminal);
    return error ? ErrorFromErrno(error) : ERROR_SUCCESS;
  });
}

DWORD TtyPort::ApplyLineState(const DCB& dcb) {
  return OnLine([&](Line& line) {
    bool adjusted = false;
    if (int error = ApplyTtyLine(line.fd, dcb, line.pseudoTerminal, &adjusted)) return ErrorFromErrno(error);
    std::lock_guard lock(m_lineMutex);
    m_applied = dcb;
    return DWORD{ERROR_SUCCESS};
  });
}

DWORD TtyPort::QueryQueues(DWORD* errors, COMSTAT* stat) {
  return OnLine([&](Line& line) { return QueuesOf(line, errors, stat); });
}

DWORD TtyPort::QueuesOf(Line& line, DWORD* errors, COMSTAT* stat) {
  *errors = 0;
  int inQueue = 0;
  if (DWORD error = InputOf(line, &inQueue)) return error;
  stat->cbInQue = static_cast<DWORD>(inQueue);
  stat->cbOutQue = 0;
  // The output queue is asked for only while bytes written since it was last
  // seen empty may still wait in it: an idle port costs one poll a query.
  const std::uint64_t queued = line.writesQueued.load();
  if (queued != line.writesDrained.load()) {
    int outQueue = 0;
    if (DWORD error = Ioctl(line.fd, TIOCOUTQ, &outQueue)) return error;
    stat->cbOutQue = static_cast<DWORD>(std::max(outQueue, 0));
    if (outQueue <= 0) line.writesDrained.store(queued);
  }
  // The counters are read while bytes wait and once more after they were
  // taken; with no byte since, they cannot have moved.
  const bool input = line.inputSinceCounts.exchange(inQueue > 0) || inQueue > 0;
  if (!input) return ERROR_SUCCESS;
  std::lock_guard lock(line.countsMutex);
  ErrorCounts now;
  // A device without counters (a pseudo-terminal) has no line errors.
  if (!line.hasCounters || !ReadErrorCounts(line.fd, &now)) return ERROR_SUCCESS;
  if (now.frame != line.counts.frame) *errors |= CE_FRAME;
  if (now.parity != line.counts.parity) *errors |= CE_RXPARITY;
  if (now.overrun != line.counts.overrun) *errors |= CE_OVERRUN;
  if (now.brk != line.counts.brk) *errors |= CE_BREAK;
  if (now.bufferOverrun != line.counts.bufferOverrun) *errors |= CE_RXOVER;
  line.counts = now;
  return ERROR_SUCCESS;
}

DWORD TtyPort::SwitchLine(DWORD function) {
  int output = function == SETDTR || function == CLRDTR ? TIOCM_DTR
               : function == SETRTS || function == CLRRTS ? TIOCM_RTS
                                                          : 0;
  if (output) {
    // Kept even while the device is away: it comes back with the outputs as
    // last asked for.
    std::lock_guard lock(m_lineMutex);
    if (function == SETDTR || function == SETRTS) {
      m_outputs |= output;
    } else {
      m_outputs &= ~output;
    }
  }
  return OnLine([&](Line& line) { return SwitchOn(line, function); });
}

DWORD TtyPort::SwitchOn(const Line& line, DWORD function) {
  int dtr = TIOCM_DTR;
  int rts = TIOCM_RTS;
  const bool modemOutput = function == SETDTR || function == CLRDTR || function == SETRTS || function == CLRRTS;
  if (modemOutput && line.pseudoTerminal) return PresenceOf(line);
  switch (function) {
    case SETDTR: return Ioctl(line.fd, TIOCMBIS, &dtr);
    case CLRDTR: return Ioctl(line.fd, TIOCMBIC, &dtr);
    case SETRTS: return Ioctl(line.fd, TIOCMBIS, &rts);
    case CLRRTS: return Ioctl(line.fd, TIOCMBIC, &rts);
    case SETBREAK: return Ioctl(line.fd, TIOCSBRK, nullptr);
    case CLRBREAK: return Ioctl(line.fd, TIOCCBRK, nullptr);
    // Suspends or resumes the output as a received XOFF or XON would.
    case SETXOFF: return Ioctl(line.fd, TCXONC, reinterpret_cast<void*>(TCOOFF));
    case SETXON: return Ioctl(line.fd, TCXONC, reinterpret_cast<void*>(TCOON));
    default: return ERROR_INVALID_PARAMETER;
  }
}

DWORD TtyPort::ReadModemLines(DWORD* status) {
  *status = 0;
  return OnLine([&](Line& line) { return ModemLinesOf(line, status); });
}

DWORD TtyPort::ModemLinesOf(const Line& line, DWORD* status) {
  if (line.pseudoTerminal) return PresenceOf(line);
  int bits = 0;
  if (DWORD error = Ioctl(line.fd, TIOCMGET, &bits)) return error;
  if (bits & TIOCM_CTS) *status |= MS_CTS_ON;
  if (bits & TIOCM_DSR) *status |= MS_DSR_ON;
  if (bits & TIOCM_RI) *status |= MS_RING_ON;
  if (bits & TIOCM_CD) *status |= MS_RLSD_ON;
  return ERROR_SUCCESS;
}

}  // namespace morvek::posix
