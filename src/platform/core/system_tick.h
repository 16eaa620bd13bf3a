// The system timer that Sleep waits for. As on the platform the program was
// written for, a sleep ends at the first tick of the system timer at or after
// its requested time. The timer ticks 64 times a second while the ports are
// quiet, so that a thread that polls an idle port with Sleep(1) wakes 64 times
// a second, not a thousand. While a port receives or sends, the timer runs
// fine (a sleep then lasts exactly its time), as a program raises the timer's
// resolution while it streams: a poll between two bursts then loses no more
// than a millisecond, and throughput is what it would be with 1 ms sleeps.
#pragma once

#include <atomic>
#include <chrono>

#include "win32_types.h"

namespace morvek::core {

// The tick of the system timer while it runs coarse: 1/64 s.
constexpr std::chrono::nanoseconds kSystemTick{15'625'000};
// How long the timer stays fine after a port last received or sent bytes.
constexpr std::chrono::nanoseconds kFineTimerHold = std::chrono::seconds(1);

// The monotonic clock's time (CLOCK_MONOTONIC), the time base of the tick.
std::chrono::nanoseconds MonotonicNow();

// When Sleep(ms) begun at `now` ends: the first multiple of `tick` at or after
// now + ms. With a tick of 0 it ends at now + ms exactly.
std::chrono::nanoseconds SleepEnd(std::chrono::nanoseconds now, DWORD ms, std::chrono::nanoseconds tick);

// Until when the timer runs fine. Any thread.
class FineTimerHold {
 public:
  // Bytes moved at `now`: fine until now + kFineTimerHold, or longer if
  // already held so (a late report with an older time cuts nothing short).
  void Hold(std::chrono::nanoseconds now);
  bool Fine(std::chrono::nanoseconds now) const;

 private:
  std::atomic<long long> m_until{0};  // monotonic nanoseconds
};

// The hold of the machine's timer: ports report the bytes they move to it (in
// PortDevice::Read and Write), Sleep asks it.
FineTimerHold& MachineTimerHold();

// The tick of a sleep begun at `now`: 0 while the machine's timer is held
// fine (or a test armed exact sleeps), else kSystemTick.
std::chrono::nanoseconds TimerTick(std::chrono::nanoseconds now);

}  // namespace morvek::core
