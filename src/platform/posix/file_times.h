// File times (FILETIME) against the system's nanoseconds since 1970.
#pragma once

#include <cstdint>

// 100-nanosecond ticks per second, and the file time of 1 January 1970 UTC.
inline constexpr std::int64_t kFileTicksPerSecond = 10000000;
inline constexpr std::int64_t kFileTimeOfUnixEpoch = 116444736000000000;
