// Sleeping (to the system timer's tick), the monotonic tick count and the UTC
// wall clock (with the test clock that replaces it while a test has set one).
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <optional>

#include "core/system_tick.h"
#include "posix/file_times.h"
#include "posix/retry_on_eintr.h"
#include "testing.h"
#include "win32_file.h"
#include "win32_system.h"

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

namespace morvek::core {

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

}  // namespace morvek::core

void Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    sched_yield();
    return;
  }
  if (dwMilliseconds == INFINITE) {
    for (;;) pause();  // signals end a pause, never this sleep
  }
  const auto now = morvek::core::MonotonicNow();
  const auto end = morvek::core::SleepEnd(now, dwMilliseconds, morvek::core::TimerTick(now));
  const auto endSeconds = std::chrono::duration_cast<std::chrono::seconds>(end);
  const timespec until{static_cast<time_t>(endSeconds.count()), static_cast<long>((end - endSeconds).count())};
  // An absolute end: a signal that cuts the wait short does not shorten it.
  morvek::posix::RetryOnEintr([&] {
    errno = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
    return errno == 0 ? 0 : -1;
  });
}

DWORD GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const unsigned long long ms = static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
                                static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
  return static_cast<DWORD>(ms);  // wraps after 49.7 days, as the tick count does
}

// The calendar fields of a moment given in seconds and nanoseconds since 1970, UTC.
static void SplitUtc(time_t seconds, long nanoseconds, SYSTEMTIME* out) {
  tm utc{};
  gmtime_r(&seconds, &utc);
  out->wYear = static_cast<WORD>(utc.tm_year + 1900);
  out->wMonth = static_cast<WORD>(utc.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(utc.tm_wday);  // 0 = Sunday, as SYSTEMTIME counts
  out->wDay = static_cast<WORD>(utc.tm_mday);
  out->wHour = static_cast<WORD>(utc.tm_hour);
  out->wMinute = static_cast<WORD>(utc.tm_min);
  out->wSecond = static_cast<WORD>(utc.tm_sec);
  out->wMilliseconds = static_cast<WORD>(nanoseconds / 1000000L);
}

void GetSystemTime(SYSTEMTIME* lpSystemTime) {
  if (!lpSystemTime) return;
  if (auto fixed = FixedTime()) {
    *lpSystemTime = *fixed;
    return;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  SplitUtc(now.tv_sec, now.tv_nsec, lpSystemTime);
}

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime) {
  if (!lpFileTime || !lpSystemTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::uint64_t ticks = (static_cast<std::uint64_t>(lpFileTime->dwHighDateTime) << 32) | lpFileTime->dwLowDateTime;
  // Windows refuses file times from the year 30828 on.
  if (ticks >= 0x8000000000000000ULL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::int64_t sinceUnix = static_cast<std::int64_t>(ticks) - kFileTimeOfUnixEpoch;
  std::int64_t seconds = sinceUnix / kFileTicksPerSecond;
  std::int64_t rest = sinceUnix % kFileTicksPerSecond;
  if (rest < 0) {
    rest += kFileTicksPerSecond;
    --seconds;
  }
  SplitUtc(static_cast<time_t>(seconds), static_cast<long>(rest * 100), lpSystemTime);
  return TRUE;
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
