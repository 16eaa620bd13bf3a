// Sleeping, the monotonic tick count and the UTC wall clock (with the test
// clock that replaces it while a test has set one).
#include <sched.h>
#include <time.h>

#include <cerrno>
#include <mutex>
#include <optional>

#include "../testing.h"
#include "../win32_system.h"

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

void ClearSystemTime() {
  auto& clock = Clock();
  std::lock_guard lock(clock.mutex);
  clock.fixed.reset();
}

}  // namespace morvek::testing
