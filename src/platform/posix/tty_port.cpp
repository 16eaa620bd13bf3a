#include "tty_port.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>

#include "errors.h"
#include "termios2.h"

namespace morvek::posix {

namespace {

// How often a write held by DSR output flow looks at DSR again.
constexpr auto kDsrRecheck = std::chrono::milliseconds(10);

constexpr short kHangup = POLLHUP | POLLERR;

// errno values with which the kernel says a tty has no modem control.
bool IsNoModemControl(int error) { return error == ENOTTY || error == EINVAL; }

bool HasModemLines(int fd) {
  int bits = 0;
  while (ioctl(fd, TIOCMGET, &bits) != 0) {
    if (errno != EINTR) return !IsNoModemControl(errno);
  }
  return true;
}

}  // namespace

TtyPort::TtyPort(int fd, int wakeFd) : m_fd(fd), m_wakeFd(wakeFd), m_pseudoTerminal(!HasModemLines(fd)) {
  // Counts from before the open are not this handle's errors.
  m_hasCounters = ReadErrorCounts(&m_counts);
}

TtyPort::~TtyPort() {
  if (!IsCancelled()) ReleaseClaim();
  close(m_fd);
  close(m_wakeFd);
}

void TtyPort::ReleaseClaim() {
  // A pseudo-terminal outlives this descriptor while its master is open: clear
  // the exclusive flag so that the next opener is not refused.
  ioctl(m_fd, TIOCNXCL);
  flock(m_fd, LOCK_UN);
}

void TtyPort::OnCancel() {
  const std::uint64_t one = 1;
  // The eventfd stays readable from now on, so every later poll returns at once.
  while (write(m_wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
  }
  ReleaseClaim();
}

DWORD TtyPort::Poll(short events, Deadline deadline, short* revents) {
  *revents = 0;
  for (;;) {
    pollfd fds[2] = {{m_fd, events, 0}, {m_wakeFd, POLLIN, 0}};
    timespec wait{};
    timespec* timeout = nullptr;
    if (deadline != NoDeadline()) {
      auto left = std::max(deadline - PortClock::now(), PortClock::duration::zero());
      auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
      wait.tv_sec = static_cast<time_t>(seconds.count());
      wait.tv_nsec = static_cast<long>(std::chrono::nanoseconds(left - seconds).count());
      timeout = &wait;
    }
    int ready = ppoll(fds, 2, timeout, nullptr);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno);
    }
    if (fds[1].revents) return ERROR_OPERATION_ABORTED;
    if (fds[0].revents & POLLNVAL) return ERROR_INVALID_HANDLE;
    *revents = fds[0].revents;
    return ERROR_SUCCESS;
  }
}

PortStep TtyPort::ReadSome(char* buffer, std::size_t want, Deadline deadline, std::chrono::milliseconds) {
  for (;;) {
    short revents = 0;
    if (DWORD error = Poll(POLLIN, deadline, &revents)) return {error};
    if (revents == 0) return {};
    // With VMIN = 0 a read of an empty tty also returns 0: only after the poll
    // said "readable" does 0 mean that the device hung up.
    ssize_t got = read(m_fd, buffer, want);
    if (got > 0) return {ERROR_SUCCESS, static_cast<std::size_t>(got)};
    if (got == 0) return {ERROR_DEVICE_REMOVED};
    if (errno == EINTR) continue;
    if (errno == EAGAIN) {
      if (revents & kHangup) return {ERROR_DEVICE_REMOVED};
      continue;
    }
    return {ErrorFromErrno(errno)};
  }
}

DWORD TtyPort::DsrHoldsOutput(bool* holds) {
  *holds = false;
  if (m_pseudoTerminal || !CurrentSettings().fOutxDsrFlow) return ERROR_SUCCESS;
  int bits = 0;
  if (DWORD error = Ioctl(TIOCMGET, &bits)) return error;
  *holds = !(bits & TIOCM_DSR);
  return ERROR_SUCCESS;
}

PortStep TtyPort::WriteSome(const char* buffer, std::size_t count, Deadline deadline) {
  for (;;) {
    bool held = false;
    if (DWORD error = DsrHoldsOutput(&held)) return {error};
    short revents = 0;
    if (held) {
      if (PortClock::now() >= deadline) return {};
      Deadline recheck = std::min(deadline, PortClock::now() + kDsrRecheck);
      if (DWORD error = Poll(0, recheck, &revents)) return {error};
      if (revents & kHangup) return {ERROR_DEVICE_REMOVED};
      continue;
    }
    if (DWORD error = Poll(POLLOUT, deadline, &revents)) return {error};
    if (revents == 0) return {};
    ssize_t sent = write(m_fd, buffer, count);
    if (sent > 0) return {ERROR_SUCCESS, static_cast<std::size_t>(sent)};
    if (sent < 0 && errno != EINTR && errno != EAGAIN) return {ErrorFromErrno(errno)};
    if (revents & kHangup) return {ERROR_DEVICE_REMOVED};
  }
}

DWORD TtyPort::Ioctl(unsigned long request, void* argument) {
  while (ioctl(m_fd, request, argument) != 0) {
    if (errno != EINTR) return ErrorFromErrno(errno);
  }
  return ERROR_SUCCESS;
}

DWORD TtyPort::CheckPresent() {
  pollfd fd{m_fd, POLLIN, 0};
  int ready;
  while ((ready = poll(&fd, 1, 0)) < 0 && errno == EINTR) {
  }
  if (ready <= 0 || !(fd.revents & kHangup)) return ERROR_SUCCESS;
  // A hung-up line whose last bytes still wait in the queue stays readable
  // until they are taken.
  int queued = 0;
  if (ioctl(m_fd, FIONREAD, &queued) == 0 && queued > 0) return ERROR_SUCCESS;
  return ERROR_DEVICE_REMOVED;
}

DWORD TtyPort::ReadLineState(DCB* dcb) {
  int error = ReadTtyLine(m_fd, dcb, !m_pseudoTerminal);
  return error ? ErrorFromErrno(error) : ERROR_SUCCESS;
}

DWORD TtyPort::ApplyLineState(const DCB& dcb) {
  bool adjusted = false;
  int error = ApplyTtyLine(m_fd, dcb, m_pseudoTerminal, &adjusted);
  return error ? ErrorFromErrno(error) : ERROR_SUCCESS;
}

bool TtyPort::ReadErrorCounts(ErrorCounts* counts) {
  serial_icounter_struct icount{};
  if (Ioctl(TIOCGICOUNT, &icount) != ERROR_SUCCESS) return false;
  counts->frame = icount.frame;
  counts->parity = icount.parity;
  counts->overrun = icount.overrun;
  counts->brk = icount.brk;
  counts->bufferOverrun = icount.buf_overrun;
  return true;
}

DWORD TtyPort::TakeLineErrors() {
  std::lock_guard lock(m_countsMutex);
  ErrorCounts now;
  // A device without counters (a pseudo-terminal) has no line errors.
  if (!m_hasCounters || !ReadErrorCounts(&now)) return 0;
  DWORD errors = 0;
  if (now.frame != m_counts.frame) errors |= CE_FRAME;
  if (now.parity != m_counts.parity) errors |= CE_RXPARITY;
  if (now.overrun != m_counts.overrun) errors |= CE_OVERRUN;
  if (now.brk != m_counts.brk) errors |= CE_BREAK;
  if (now.bufferOverrun != m_counts.bufferOverrun) errors |= CE_RXOVER;
  m_counts = now;
  return errors;
}

DWORD TtyPort::QueryQueues(DWORD* errors, COMSTAT* stat) {
  int inQueue = 0;
  int outQueue = 0;
  if (DWORD error = Ioctl(FIONREAD, &inQueue)) return error;
  if (inQueue == 0) {
    if (DWORD error = CheckPresent()) return error;
  }
  if (DWORD error = Ioctl(TIOCOUTQ, &outQueue)) return error;
  stat->cbInQue = static_cast<DWORD>(std::max(inQueue, 0));
  stat->cbOutQue = static_cast<DWORD>(std::max(outQueue, 0));
  *errors = TakeLineErrors();
  return ERROR_SUCCESS;
}

DWORD TtyPort::SetModemBits(unsigned long request, int bits) {
  if (m_pseudoTerminal) return CheckPresent();
  return Ioctl(request, &bits);
}

DWORD TtyPort::SwitchLine(DWORD function) {
  switch (function) {
    case SETDTR: return SetModemBits(TIOCMBIS, TIOCM_DTR);
    case CLRDTR: return SetModemBits(TIOCMBIC, TIOCM_DTR);
    case SETRTS: return SetModemBits(TIOCMBIS, TIOCM_RTS);
    case CLRRTS: return SetModemBits(TIOCMBIC, TIOCM_RTS);
    case SETBREAK: return Ioctl(TIOCSBRK, nullptr);
    case CLRBREAK: return Ioctl(TIOCCBRK, nullptr);
    // Suspends or resumes the output as a received XOFF or XON would.
    case SETXOFF: return Ioctl(TCXONC, reinterpret_cast<void*>(TCOOFF));
    case SETXON: return Ioctl(TCXONC, reinterpret_cast<void*>(TCOON));
    default: return ERROR_INVALID_PARAMETER;
  }
}

DWORD TtyPort::ReadModemLines(DWORD* status) {
  *status = 0;
  if (m_pseudoTerminal) return CheckPresent();
  int bits = 0;
  if (DWORD error = Ioctl(TIOCMGET, &bits)) return error;
  if (bits & TIOCM_CTS) *status |= MS_CTS_ON;
  if (bits & TIOCM_DSR) *status |= MS_DSR_ON;
  if (bits & TIOCM_RI) *status |= MS_RING_ON;
  if (bits & TIOCM_CD) *status |= MS_RLSD_ON;
  return ERROR_SUCCESS;
}

}  // namespace morvek::posix
