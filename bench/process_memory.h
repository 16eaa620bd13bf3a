// The memory figures the benchmarks print, read from the kernel's view of this
// process.
#pragma once

#include <stdlib.h>

#include <fstream>
#include <string>

namespace morvek::bench {

// Resident memory (VmRSS) in kilobytes; -1 when it cannot be read.
inline long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return atol(line.c_str() + 6);
  }
  return -1;
}

}  // namespace morvek::bench
