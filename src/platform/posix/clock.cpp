// Sleeping, the monotonic tick count and the UTC wall clock (with the test
// clock that replaces it while a test has set one).
#include <sched.h>
#include <time.h>

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <optional>

#include "../testing.h"
#include "../win32_file.h"
#include "../win32_system.h"
#include "file_times.h"

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

}  // namespace

void Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    sched_yield();
    return;
  }
  // INFINITE sleeps for good: one long request after another.
  timespec left{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  do {
    timespec rest{};
    if (nanosleep(&left, &rest) == 0) {
      if (dwMilliseconds != INFINITE) return;
      continue;
    }
    if (errno != EINTR) return;
    // A signal cut the sleep short: sleep the rest of it.
    left = rest;
  } while (true);
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

void ClearSystemTime() {
  auto& clock = Clock();
  std::lock_guard lock(clock.mutex);
  clock.fixed.reset();
}

}  // namespace morvek::testing
