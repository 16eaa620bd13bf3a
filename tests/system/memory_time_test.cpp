// Global memory blocks, the last error of each thread, sleeping and the clocks.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <thread>

#include "platform/core/system_tick.h"
#include "platform/testing.h"
#include "platform/win32.h"

namespace {

using std::chrono::nanoseconds;

TEST(GlobalMemory, BlocksRoundTripThroughTheirAddressAndBadAddressesAreRefused) {
  for (SIZE_T size : {SIZE_T{0}, SIZE_T{1}, SIZE_T{4094}, SIZE_T{4095}, SIZE_T{4096}, SIZE_T{1} << 20}) {
    HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, size);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr) << size;
    EXPECT_EQ(std::count(bytes, bytes + size, 0), static_cast<std::ptrdiff_t>(size)) << size;
    std::memset(bytes, 0xA5, size);
    EXPECT_EQ(GlobalHandle(bytes), block) << size;
    EXPECT_EQ(GlobalFree(GlobalHandle(bytes)), nullptr) << size;
    // The address is gone: every call refuses it without touching it.
    EXPECT_EQ(GlobalHandle(bytes), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GlobalLock(block), nullptr);
  }
  int local = 0;
  EXPECT_EQ(GlobalHandle(&local), nullptr);
  EXPECT_EQ(GlobalFree(reinterpret_cast<HGLOBAL>(&local)), reinterpret_cast<HGLOBAL>(&local));
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  HGLOBAL plain = GlobalAlloc(GMEM_FIXED, 16);
  EXPECT_EQ(GlobalHandle(static_cast<char*>(GlobalLock(plain)) + 1), nullptr) << "only a block's own address";
  EXPECT_EQ(GlobalFree(plain), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_ZEROINIT, SIZE_MAX), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(GlobalAlloc(0x2, 16), nullptr) << "movable blocks do not exist here";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// (The reader thread's hand-off of blocks, allocated there and freed on the
// window's thread, runs in every receiving test, e.g. tests/faults.)
TEST(LastError, EachThreadHasItsOwn) {
  SetLastError(ERROR_DISK_FULL);
  DWORD seenThere = 1;
  std::thread([&] {
    seenThere = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
  }).join();
  EXPECT_EQ(seenThere, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
}

TEST(SystemTime, TheTestClockReplacesTheSystemClock) {
  const SYSTEMTIME fixed{2008, 3, 3, 5, 0, 7, 59, 999};
  morvek::testing::SetSystemTime(fixed);
  SYSTEMTIME now{};
  GetSystemTime(&now);
  EXPECT_EQ(std::memcmp(&now, &fixed, sizeof now), 0);
  GetSystemTime(nullptr);  // ignored
  morvek::testing::ClearSystemTime();

  // The real clock as UTC, with the day of the week counted from Sunday. Read
  // from the same clock the call uses, within one second of it.
  timespec before{}, after{};
  do {
    clock_gettime(CLOCK_REALTIME, &before);
    GetSystemTime(&now);
    clock_gettime(CLOCK_REALTIME, &after);
  } while (before.tv_sec != after.tv_sec);
  std::tm utc{};
  gmtime_r(&before.tv_sec, &utc);
  const int got[] = {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond};
  const int expected[] = {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_wday,
                          utc.tm_hour,        utc.tm_min,     utc.tm_sec};
  EXPECT_TRUE(std::equal(std::begin(got), std::end(got), std::begin(expected)));
  EXPECT_GE(now.wMilliseconds, before.tv_nsec / 1'000'000);
  EXPECT_LE(now.wMilliseconds, after.tv_nsec / 1'000'000);
}

TEST(Sleeping, ASleepEndsAtTheFirstTickAtOrAfterItsTime) {
  using std::chrono::milliseconds;
  using morvek::core::kSystemTick;
  const nanoseconds t = kSystemTick;
  const nanoseconds ns{1};
  const nanoseconds day = std::chrono::hours(24);
  struct Case {
    nanoseconds now;
    DWORD ms;
    nanoseconds tick;
    nanoseconds end;
  } cases[] = {
      {nanoseconds(0), 1, t, t},
      {t, 1, t, 2 * t},                                     // on a tick: the next one
      {t - milliseconds(1), 1, t, t},                       // due on a tick: that tick
      {t - milliseconds(1) + ns, 1, t, 2 * t},              // just past it: the next
      {nanoseconds(0), 16, t, 2 * t},                       // longer than a tick
      {milliseconds(5), 10, t, t},
      {day * 400 + ns, 50, t, day * 400 + 4 * t},           // a machine up for long
      {day * 400, INFINITE, t, day * 400 + 274877907 * t},  // 49.7 days, rounded up
      {milliseconds(7) + ns, 1, nanoseconds(0), milliseconds(8) + ns},  // no tick: exact
  };
  for (const Case& c : cases) {
    EXPECT_EQ(morvek::core::SleepEnd(c.now, c.ms, c.tick).count(), c.end.count()) << c.now.count() << " + " << c.ms;
  }
  EXPECT_EQ(kSystemTick, nanoseconds(1'000'000'000 / 64));

  // A poll with Sleep(1) wakes at most once per tick, however late each wake-up comes.
  const auto currentTick = [] {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (std::chrono::seconds(now.tv_sec) + nanoseconds(now.tv_nsec)) / kSystemTick;
  };
  auto tick = currentTick();
  for (int i = 0; i < 20; ++i) {
    Sleep(1);
    const auto now = currentTick();
    EXPECT_GT(now, tick) << "sleep " << i;
    tick = now;
  }
}

TEST(Sleeping, TheTimerRunsFineForASecondAfterBytesWereReceived) {
  const nanoseconds hold = std::chrono::seconds(1);
  const nanoseconds start = std::chrono::hours(24);
  const nanoseconds ns{1};
  struct Step {
    nanoseconds receivedAt;  // 0: nothing received in this step
    nanoseconds asked;
    bool fine;
  } steps[] = {
      {{}, start, false},  // quiet: coarse
      {start, start, true},  // bytes: fine at once
      {{}, start + hold - ns, true},
      {{}, start + hold, false},  // a second later: coarse again
      {start + hold, start + hold, true},
      {start, start + hold, true},  // an older report does not shorten the hold
      {{}, start + 2 * hold, false},
  };
  morvek::core::FineTimerHold timer;
  for (const Step& step : steps) {
    if (step.receivedAt.count() > 0) timer.Hold(step.receivedAt);
    EXPECT_EQ(timer.Fine(step.asked), step.fine) << (step.asked - start).count();
  }
}

extern "C" void IgnoreSignal(int) {}

TEST(Sleeping, SleepLastsAtLeastItsTimeEvenWhenSignalled) {
  struct sigaction action {};
  action.sa_handler = IgnoreSignal;  // no SA_RESTART: the sleep is interrupted
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  std::atomic<bool> asleep{false};
  std::atomic<bool> done{false};
  std::chrono::steady_clock::duration slept{};
  DWORD ticks = 0;
  std::thread sleeper([&] {
    const DWORD startTicks = GetTickCount();
    const auto start = std::chrono::steady_clock::now();
    asleep = true;
    Sleep(60);
    slept = std::chrono::steady_clock::now() - start;
    ticks = GetTickCount() - startTicks;
    done = true;
  });
  while (!asleep) std::this_thread::yield();
  while (!done) {  // interrupt the sleep again and again until it is over
    pthread_kill(sleeper.native_handle(), SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  sleeper.join();
  sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_GE(slept, std::chrono::milliseconds(60));
  EXPECT_GE(ticks, 59u) << "the tick count follows the same clock (to the millisecond)";
  Sleep(0);  // yields and returns
}

}  // namespace
