// The loopback plug as a port (comm/port_openers.h): the line model of
// loopback_line.h behind the port contract of comm/port_device.h.
#include "comm/port_openers.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

#include "comm/port_device.h"
#include "core/last_error.h"
#include "loopback/loopback_line.h"

namespace morvek::loopback {

namespace {

using comm::Deadline;
using comm::NoDeadline;
using comm::PortStep;

// The port numbers whose plug is open in this process.
class PlugClaims {
 public:
  bool Take(int n) {
    std::lock_guard lock(m_mutex);
    return m_open.insert(n).second;
  }
  void Release(int n) {
    std::lock_guard lock(m_mutex);
    m_open.erase(n);
  }

 private:
  std::mutex m_mutex;
  std::set<int> m_open;
};

PlugClaims& Claims() {
  static PlugClaims claims;
  return claims;
}

class LoopbackPort final : public comm::PortDevice {
 public:
  explicit LoopbackPort(int n) : m_number(n), m_line(comm::PortClock::now()) {}
  ~LoopbackPort() override {
    if (!IsCancelled()) Claims().Release(m_number);
  }

 protected:
  comm::PortStep ReadSome(char* buffer, std::size_t want, comm::Deadline deadline,
                    std::chrono::milliseconds longestGap) override {
    std::unique_lock lock(m_mutex);
    for (;;) {
      if (IsCancelled()) return {ERROR_OPERATION_ABORTED};
      const Time now = comm::PortClock::now();
      m_line.Advance(now);
      const std::size_t have = m_line.InputSize();
      if (have >= want || (have > 0 && now >= deadline)) return Take(buffer, want, now);
      if (now >= deadline) return {};
      // Sleep until the bytes the read can use are due, rather than waking at
      // every frame, but take them while the input queue is still half empty
      // (a reader that waits longer would let it overflow). Bytes further
      // apart than the interval time-out end a read one at a time, so then
      // only the next one is awaited.
      constexpr std::size_t kTakeAt = LoopbackLine::kInputCapacity / 2;
      if (have >= kTakeAt) return Take(buffer, want, now);
      std::size_t coming = std::min({want - have, m_line.OutputSize(), kTakeAt - have});
      if (longestGap.count() > 0 && m_line.FrameTime() > longestGap) coming = have > 0 ? 0 : std::min<std::size_t>(coming, 1);
      if (have > 0 && (coming == 0 || !m_line.Flowing())) return Take(buffer, want, now);
      WaitUntil(lock, std::min(deadline, coming > 0 ? m_line.ArrivalOf(coming) : Time::max()));
    }
  }

  comm::PortStep WriteSome(const char* buffer, std::size_t count, comm::Deadline deadline) override {
    std::unique_lock lock(m_mutex);
    for (;;) {
      if (IsCancelled()) return {ERROR_OPERATION_ABORTED};
      const Time now = comm::PortClock::now();
      m_line.Advance(now);
      if (m_line.OutputSpace() > 0) {
        std::size_t queued = m_line.Write(buffer, count, now);
        m_changed.notify_all();
        return {ERROR_SUCCESS, queued};
      }
      if (now >= deadline) return {};
      // Wake when half the queue has gone out, as a driver wakes its writers.
      WaitUntil(lock, std::min(deadline, m_line.ArrivalOf(LoopbackLine::kOutputCapacity / 2)));
    }
  }

  void OnCancel() override {
    {
      std::lock_guard lock(m_mutex);
      m_changed.notify_all();
    }
    Claims().Release(m_number);
  }

  // The plug holds no settings of its own beyond those SetCommState gave it.
  DWORD ReadLineState(DCB*) override { return ERROR_SUCCESS; }

  DWORD ApplyLineState(const DCB& dcb) override {
    return Change([&](Time now) { m_line.Configure(dcb, now); });
  }

  DWORD QueryQueues(DWORD* errors, COMSTAT* stat) override {
    std::lock_guard lock(m_mutex);
    m_line.Advance(comm::PortClock::now());
    *stat = m_line.Status();
    *errors = m_line.TakeErrors();
    return ERROR_SUCCESS;
  }

  DWORD SwitchLine(DWORD function) override {
    switch (function) {
      case SETDTR: return Change([&](Time now) { m_line.SetDtr(true, now); });
      case CLRDTR: return Change([&](Time now) { m_line.SetDtr(false, now); });
      case SETRTS: return Change([&](Time now) { m_line.SetRts(true, now); });
      case CLRRTS: return Change([&](Time now) { m_line.SetRts(false, now); });
      case SETBREAK: return Change([&](Time now) { m_line.SetBreak(true, now); });
      case CLRBREAK: return Change([&](Time now) { m_line.SetBreak(false, now); });
      case SETXOFF: return Change([&](Time now) { m_line.SetXoffHold(true, now); });
      case SETXON: return Change([&](Time now) { m_line.SetXoffHold(false, now); });
      default: return ERROR_INVALID_PARAMETER;
    }
  }

  DWORD ReadModemLines(DWORD* status) override {
    std::lock_guard lock(m_mutex);
    *status = m_line.ModemStatus();
    return ERROR_SUCCESS;
  }

 private:
  comm::PortStep Take(char* buffer, std::size_t want, Time now) {
    std::size_t taken = m_line.Read(buffer, want, now);
    // Taking input may end an fInX hold that a writer waits on.
    m_changed.notify_all();
    return {ERROR_SUCCESS, taken};
  }

  // Applies a change to the line under the lock and wakes every waiting call
  // to look again.
  template <class Apply>
  DWORD Change(Apply apply) {
    std::lock_guard lock(m_mutex);
    apply(comm::PortClock::now());
    m_changed.notify_all();
    return ERROR_SUCCESS;
  }

  void WaitUntil(std::unique_lock<std::mutex>& lock, Time until) {
    if (until == Time::max() || until == comm::NoDeadline())
      m_changed.wait(lock);
    else
      m_changed.wait_until(lock, until);
  }

  const int m_number;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  LoopbackLine m_line;
};

}  // namespace
}  // namespace morvek::loopback

namespace morvek::comm {

HANDLE OpenLoopbackPort(int n) {
  if (!loopback::Claims().Take(n)) {
    core::Fail(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return core::RegisterHandle(std::make_shared<loopback::LoopbackPort>(n));
}

}  // namespace morvek::comm
