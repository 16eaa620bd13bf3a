// Figures of a port whose device goes away and comes back: the time from the
// device's return (its stable name pointed at a new pseudo-terminal) until the
// open handle answers again, with the caller polling every millisecond as the
// reader thread does, and the time one exclusive open of a port takes with the
// look through /proc for other holders. Prints one line per figure.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "support/pty_peer.h"
#include "support/stable_names.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool Answers(HANDLE port) {
  DWORD errors = 0;
  COMSTAT stat{};
  return ClearCommError(port, &errors, &stat);
}

void PrintFigures(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-34s min %7.2f ms  median %7.2f ms  max %7.2f ms  (%zu runs)\n", what, ms.front(), ms[ms.size() / 2],
              ms.back(), ms.size());
}

}  // namespace

int main() {
  char folder[] = "/tmp/morvek-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  {
    morvek::test::StableNames names(folder);
    const std::string link = names.ById("usb-bench");
    auto peer = std::make_unique<morvek::test::PtyPeer>();
    morvek::test::StableNames::Point(link, peer->SlavePath());
    setenv("MORVEK_COM1", link.c_str(), 1);

    std::vector<double> opens;
    for (int run = 0; run < 20; ++run) {
      const auto start = Clock::now();
      HANDLE port = CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      opens.push_back(Ms(Clock::now() - start));
      if (port == INVALID_HANDLE_VALUE) return 1;
      CloseHandle(port);
    }
    PrintFigures("open and close of a port:", opens);

    HANDLE port = CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return 1;
    std::vector<double> returns;
    for (int run = 0; run < 20; ++run) {
      peer.reset();
      while (Answers(port)) std::this_thread::sleep_for(1ms);
      peer = std::make_unique<morvek::test::PtyPeer>();
      morvek::test::StableNames::Point(link, peer->SlavePath());
      const auto back = Clock::now();
      while (!Answers(port)) std::this_thread::sleep_for(1ms);
      returns.push_back(Ms(Clock::now() - back));
    }
    PrintFigures("device back until the port answers:", returns);
    CloseHandle(port);
    unsetenv("MORVEK_COM1");
  }
  std::filesystem::remove_all(folder);
  return 0;
}
