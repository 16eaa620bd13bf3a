// Sleeping (to the system timer's tick), the monotonic tick count and the UTC
// wall clock (with the test clock that replaces it while a test has set one).
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <optional>

#include "../testing.h"
#include "../win32_system.h"
#include "system_tick.h"

namespace {

struct TestClock {
  std::mutex mutex;
  std::optional<SYSTEMTIME> fixed;
};

TestClock& Clock() {
  static TestClock clock;
  return clock;
}

std::optional<SYSTEMTIME> FixedTime() {
  auto& clock = Clock();
  std::lock_guard lock(clock.mutex);
  return clock.fixed;
}

// Armed by a test or bench: every sleep lasts exactly its time.
std::atomic<bool> g_exactSleeps{false};

}  // namespace

namespace morvek::posix {

std::chrono::nanoseconds MonotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

std::chrono::nanoseconds SleepEnd(std::chrono::nanoseconds now, DWORD ms, std::chrono::nanoseconds tick) {
  const std::chrono::nanoseconds due = now + std::chrono::milliseconds(ms);
  if (tick.count() <= 0) return due;
  return (due + tick - std::chrono::nanoseconds(1)) / tick * tick;
}

void FineTimerHold::Hold(std::chrono::nanoseconds now) {
  const long long until = (now + kFineTimerHold).count();
  long long held = m_until.load(std::memory_order_relaxed);
  while (held < until && !m_until.compare_exchange_weak(held, until, std::memory_order_relaxed)) {
  }
}

bool FineTimerHold::Fine(std::chrono::nanoseconds now) const {
  return now.count() < m_until.load(std::memory_order_relaxed);
}

FineTimerHold& MachineTimerHold() {
  static FineTimerHold hold;
  return hold;
}

std::chrono::nanoseconds TimerTick(std::chrono::nanoseconds now) {
  if (g_exactSleeps.load(std::memory_order_relaxed) || MachineTimerHold().Fine(now)) return std::chrono::nanoseconds(0);
  return kSystemTick;
}

}  // namespace morvek::posix

void Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    sched_yield();
    return;
  }
  if (dwMilliseconds == INFINITE) {
    for (;;) pause();  // signals end a pause, never this sleep
  }
  const auto now = morvek::posix::MonotonicNow();
  const auto end = morvek::posix::SleepEnd(now, dwMilliseconds, morvek::posix::TimerTick(now));
  const auto endSeconds = std::chrono::duration_cast<std::chrono::seconds>(end);
  const timespec until{static_cast<time_t>(endSeconds.count()), static_cast<long>((end - endSeconds).count())};
  // An absolute end: a signal that cuts the wait short does not shorten it.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

DWORD GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const unsigned long long ms = static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
                                static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
  return static_cast<DWORD>(ms);  // wraps after 49.7 days, as the tick count does
}

void GetSystemTime(SYSTEMTIME* lpSystemTime) {
  if (!lpSystemTime) return;
  if (auto fixed = FixedTime()) {
    *lpSystemTime = *fixed;
    return;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm utc{};
  gmtime_r(&now.tv_sec, &utc);
  lpSystemTime->wYear = static_cast<WORD>(utc.tm_year + 1900);
  lpSystemTime->wMonth = static_cast<WORD>(utc.tm_mon + 1);
  lpSystemTime->wDayOfWeek = static_cast<WORD>(utc.tm_wday);  // 0 = Sunday, as SYSTEMTIME counts
  lpSystemTime->wDay = static_cast<WORD>(utc.tm_mday);
  lpSystemTime->wHour = static_cast<WORD>(utc.tm_hour);
  lpSystemTime->wMinute = static_cast<WORD>(utc.tm_min);
  lpSystemTime->wSecond = static_cast<WORD>(utc.tm_sec);
  lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000L);
}

namespace morvek::testing {

void SetSystemTime(const SYSTEMTIME& utc) {
  auto& clock = Clock();
  std::lock_guard lock(clock.mutex);
  clock.fixed = utc;
}

void UseExactSleeps(bool on) { g_exactSleeps = on; }

void ClearSystemTime() {
  auto& clock = Clock();
  std::lock_guard lock(clock.mutex);
  clock.fixed.reset();
}

}  // namespace morvek::testing
