#include "comm/port_device.h"

#include <algorithm>
#include <cstdint>

#include "core/last_error.h"
#include "core/system_tick.h"
#include "core/window_wait.h"

namespace morvek::comm {

namespace {

using std::chrono::milliseconds;

// Total time-outs beyond this many milliseconds (about 31 years) cannot pass
// while the program runs; they count as none, which also keeps the clock
// arithmetic from overflowing.
constexpr std::uint64_t kLongestTimeoutMs = 1'000'000'000'000ull;

// The point at which a total time-out of multiplier * count + constant ms,
// counted from `start`, ends; NoDeadline() when both are 0.
Deadline TotalDeadline(PortClock::time_point start, DWORD multiplier, DWORD constant, DWORD count) {
  if (multiplier == 0 && constant == 0) return NoDeadline();
  // (2^32-1)^2 + (2^32-1) still fits in 64 bits.
  std::uint64_t total = std::uint64_t{multiplier} * count + constant;
  if (total > kLongestTimeoutMs) return NoDeadline();
  return start + milliseconds(total);
}

}  // namespace

DCB DefaultPortState() {
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = 9600;
  dcb.fBinary = 1;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}

DWORD CheckPortState(const DCB& dcb) {
  const bool valid = dcb.ByteSize >= 5 && dcb.ByteSize <= 8 && dcb.Parity <= SPACEPARITY &&
                     dcb.StopBits <= TWOSTOPBITS && !(dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) &&
                     !(dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) && dcb.BaudRate != 0 &&
                     dcb.BaudRate <= 0x7FFFFFFFu && !((dcb.fOutX || dcb.fInX) && dcb.XonChar == dcb.XoffChar);
  return valid ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

PortDevice::PortDevice() : m_settings(DefaultPortState()) {}

DWORD PortDevice::RefuseIfDead(bool checkPresence) {
  if (IsCancelled()) return ERROR_OPERATION_ABORTED;
  return checkPresence ? CheckPresent() : ERROR_SUCCESS;
}

DCB PortDevice::CurrentSettings() const {
  std::lock_guard lock(m_settingsMutex);
  return m_settings;
}

void PortDevice::Cancel() {
  if (m_cancelled.exchange(true, std::memory_order_acq_rel)) return;
  OnCancel();
}

DWORD PortDevice::BeginTransfer(const void* buffer, DWORD count, COMMTIMEOUTS* timeouts) {
  if (DWORD error = RefuseIfDead(false)) return error;
  if (count > 0 && !buffer) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(m_settingsMutex);
  *timeouts = m_timeouts;
  return ERROR_SUCCESS;
}

BOOL PortDevice::Read(void* buffer, DWORD count, DWORD* done) {
  *done = 0;
  COMMTIMEOUTS timeouts;
  if (DWORD error = BeginTransfer(buffer, count, &timeouts)) return core::Fail(error);
  if (count == 0) return TRUE;
  const auto start = PortClock::now();
  const bool immediate = timeouts.ReadIntervalTimeout == MAXDWORD && timeouts.ReadTotalTimeoutMultiplier == 0 &&
                         timeouts.ReadTotalTimeoutConstant == 0;
  const Deadline total = immediate ? start
                                   : TotalDeadline(start, timeouts.ReadTotalTimeoutMultiplier,
                                                   timeouts.ReadTotalTimeoutConstant, count);
  const milliseconds interval(immediate ? 0 : timeouts.ReadIntervalTimeout);

  char* bytes = static_cast<char*>(buffer);
  std::size_t got = 0;
  PortClock::time_point lastByte{};
  for (;;) {
    Deadline deadline = total;
    if (got > 0 && interval.count() > 0) deadline = std::min(deadline, lastByte + interval);
    PortStep step = ReadSome(bytes + got, count - got, deadline, interval);
    if (step.error != ERROR_SUCCESS) {
      // The bytes that came in before the device went away are handed over;
      // the next call meets the removal again.
      if (step.error == ERROR_DEVICE_REMOVED && got > 0) return TRUE;
      return core::Fail(step.error);
    }
    if (step.count > 0) {
      core::MachineTimerHold().Hold(core::MonotonicNow());
      got += step.count;
      *done = static_cast<DWORD>(got);
      lastByte = PortClock::now();
      if (got == count || immediate) return TRUE;
    } else if (PortClock::now() >= deadline) {
      return TRUE;
    }
  }
}

BOOL PortDevice::Write(const void* buffer, DWORD count, DWORD* done) {
  // Flow control or a slow line may hold a write for seconds: the window must
  // not look dead meanwhile.
  return core::RunWhileWindowsWait([&] { return WriteAll(buffer, count, done); });
}

BOOL PortDevice::WriteAll(const void* buffer, DWORD count, DWORD* done) {
  *done = 0;
  COMMTIMEOUTS timeouts;
  if (DWORD error = BeginTransfer(buffer, count, &timeouts)) return core::Fail(error);
  if (count == 0) return TRUE;
  const Deadline deadline = TotalDeadline(PortClock::now(), timeouts.WriteTotalTimeoutMultiplier,
                                          timeouts.WriteTotalTimeoutConstant, count);
  const char* bytes = static_cast<const char*>(buffer);
  std::size_t sent = 0;
  for (;;) {
    PortStep step = WriteSome(bytes + sent, count - sent, deadline);
    if (step.error != ERROR_SUCCESS) return core::Fail(step.error);
    // Sent bytes may bring an answer: keep the timer fine for it.
    if (step.count > 0) core::MachineTimerHold().Hold(core::MonotonicNow());
    sent += step.count;
    *done = static_cast<DWORD>(sent);
    if (sent == count) return TRUE;
    if (step.count == 0 && PortClock::now() >= deadline) return core::Fail(ERROR_TIMEOUT);
  }
}

BOOL PortDevice::GetState(DCB* dcb) {
  if (DWORD error = RefuseIfDead(false)) return core::Fail(error);
  std::lock_guard lock(m_settingsMutex);
  DCB state = m_settings;
  if (DWORD error = ReadLineState(&state)) return core::Fail(error);
  *dcb = state;
  return TRUE;
}

BOOL PortDevice::SetState(const DCB& dcb) {
  if (DWORD error = RefuseIfDead(true)) return core::Fail(error);
  if (DWORD error = CheckPortState(dcb)) return core::Fail(error);
  std::lock_guard lock(m_settingsMutex);
  if (DWORD error = ApplyLineState(dcb)) return core::Fail(error);
  m_settings = dcb;
  return TRUE;
}

BOOL PortDevice::GetTimeouts(COMMTIMEOUTS* timeouts) {
  if (DWORD error = RefuseIfDead(true)) return core::Fail(error);
  std::lock_guard lock(m_settingsMutex);
  *timeouts = m_timeouts;
  return TRUE;
}

BOOL PortDevice::SetTimeouts(const COMMTIMEOUTS& timeouts) {
  if (DWORD error = RefuseIfDead(true)) return core::Fail(error);
  std::lock_guard lock(m_settingsMutex);
  m_timeouts = timeouts;
  return TRUE;
}

BOOL PortDevice::ClearError(DWORD* errors, COMSTAT* stat) {
  if (DWORD error = RefuseIfDead(false)) return core::Fail(error);
  DWORD found = 0;
  COMSTAT queues{};
  if (DWORD error = QueryQueues(&found, &queues)) return core::Fail(error);
  if (errors) *errors = found;
  if (stat) *stat = queues;
  return TRUE;
}

BOOL PortDevice::Escape(DWORD function) {
  if (DWORD error = RefuseIfDead(false)) return core::Fail(error);
  if (DWORD error = SwitchLine(function)) return core::Fail(error);
  return TRUE;
}

BOOL PortDevice::GetModemStatus(DWORD* status) {
  if (DWORD error = RefuseIfDead(false)) return core::Fail(error);
  DWORD lines = 0;
  if (DWORD error = ReadModemLines(&lines)) return core::Fail(error);
  *status = lines;
  return TRUE;
}

}  // namespace morvek::comm
