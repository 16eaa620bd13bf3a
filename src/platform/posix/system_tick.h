// The system timer tick that Sleep waits for. As on the platform the program
// was written for, a sleep ends at the first tick of the system timer at or
// after its requested time: a thread that polls with Sleep(1) wakes 64 times a
// second, not a thousand, and every such wake-up falls on the same grid.
#pragma once

#include <chrono>

#include "../win32_types.h"

namespace morvek::posix {

// The tick of the system timer: 1/64 s.
constexpr std::chrono::nanoseconds kSystemTick{15'625'000};

// When Sleep(ms) begun at `now` (monotonic clock time) ends: the first
// multiple of `tick` at or after now + ms. With a tick of 0 it ends at
// now + ms exactly.
std::chrono::nanoseconds SleepEnd(std::chrono::nanoseconds now, DWORD ms, std::chrono::nanoseconds tick);

}  // namespace morvek::posix
