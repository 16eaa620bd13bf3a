// Figures of the comm layer: throughput of the loopback plug and of a
// pseudo-terminal, the time from a byte arriving to ReadFile returning, the
// time a blocked read takes to wake at CloseHandle, and the CPU a blocked read
// costs. Prints one line per figure.
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

HANDLE Open(const char* name) {
  HANDLE port = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (port == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s: error %u\n", name, GetLastError());
    std::exit(1);
  }
  return port;
}

void Configure(HANDLE port, DWORD rate, DWORD interval) {
  DCB dcb{};
  GetCommState(port, &dcb);
  dcb.BaudRate = rate;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  SetCommState(port, &dcb);
  COMMTIMEOUTS timeouts{interval, 0, 0, 0, 0};
  SetCommTimeouts(port, &timeouts);
}

// A pseudo-terminal whose slave is COMn.
struct Pty {
  int master = -1;
  explicit Pty(int n) {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    grantpt(master);
    unlockpt(master);
    setenv(("MORVEK_COM" + std::to_string(n)).c_str(), ptsname(master), 1);
  }
  ~Pty() { close(master); }
  void Send(const char* bytes, std::size_t count) const {
    while (count > 0) {
      ssize_t n = write(master, bytes, count);
      if (n <= 0) return;
      bytes += n;
      count -= static_cast<std::size_t>(n);
    }
  }
  void Drain(std::size_t count) const {
    std::vector<char> buffer(65536);
    while (count > 0) {
      ssize_t n = read(master, buffer.data(), std::min(buffer.size(), count));
      if (n <= 0) return;
      count -= static_cast<std::size_t>(n);
    }
  }
};

// Reads `count` bytes in the reader thread's 4095-byte pieces.
std::size_t ReadAll(HANDLE port, std::size_t count) {
  std::vector<char> buffer(4095);
  std::size_t total = 0;
  while (total < count) {
    DWORD got = 0;
    if (!ReadFile(port, buffer.data(), 4095, &got, nullptr)) break;
    total += got;
  }
  return total;
}

void PrintThroughput(const char* what, std::size_t bytes, Clock::duration took, double cpu) {
  std::printf("%-46s %10.0f bytes/s  (%zu bytes in %.3f s, CPU %.3f s)\n", what, bytes / Seconds(took), bytes,
              Seconds(took), cpu);
}

void LoopbackThroughput() {
  setenv("MORVEK_COM1", "loopback", 1);
  HANDLE port = Open("COM1");
  Configure(port, 2000000, 20);
  const std::size_t count = 400'000;  // 2 s of 8N1 frames at 2 Mbaud
  std::string block(count, 'L');
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  std::thread writer([&] {
    DWORD written = 0;
    WriteFile(port, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  });
  std::size_t got = ReadAll(port, count);
  const auto took = Clock::now() - start;
  writer.join();
  PrintThroughput("loopback 2000000 8N1 (ideal 200000)", got, took, CpuSeconds() - cpu);
  CloseHandle(port);
  unsetenv("MORVEK_COM1");
}

void PtyThroughput() {
  Pty pty(2);
  HANDLE port = Open("COM2");
  Configure(port, 2000000, 20);
  std::vector<char> block(1 << 16, 'P');
  const std::size_t count = 300 * block.size();

  double cpu = CpuSeconds();
  auto start = Clock::now();
  std::thread peer([&] {
    for (std::size_t sent = 0; sent < count; sent += block.size()) pty.Send(block.data(), block.size());
  });
  std::size_t got = ReadAll(port, count);
  auto took = Clock::now() - start;
  peer.join();
  PrintThroughput("pty peer -> ReadFile (4095-byte reads)", got, took, CpuSeconds() - cpu);

  cpu = CpuSeconds();
  start = Clock::now();
  std::thread drain([&] { pty.Drain(count); });
  for (std::size_t sent = 0; sent < count; sent += block.size()) {
    DWORD written = 0;
    WriteFile(port, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  }
  drain.join();
  took = Clock::now() - start;
  PrintThroughput("WriteFile (64 KiB) -> pty peer", count, took, CpuSeconds() - cpu);
  CloseHandle(port);
}

void PrintSpread(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-46s median %7.3f ms  p99 %7.3f ms  max %7.3f ms  (%zu samples)\n", what, ms[ms.size() / 2],
              ms[ms.size() * 99 / 100], ms.back(), ms.size());
}

// From a byte written on the peer to ReadFile (or the poll loop) returning it.
void ArrivalLatency() {
  Pty pty(3);
  HANDLE port = Open("COM3");
  struct Mode {
    const char* what;
    COMMTIMEOUTS timeouts;
    DWORD request;
    bool pollEveryMs;
  } modes[] = {
      {"arrival -> 1-byte blocking read", {0, 0, 0, 0, 0}, 1, false},
      {"arrival -> MAXDWORD read polled every 1 ms", {MAXDWORD, 0, 0, 0, 0}, 4095, true},
      {"arrival -> 4095-byte read, interval 20 ms", {20, 0, 0, 0, 0}, 4095, false},
  };
  std::vector<char> buffer(4095);
  for (const Mode& mode : modes) {
    SetCommTimeouts(port, &mode.timeouts);
    std::vector<double> samples;
    for (int i = 0; i < 100; ++i) {
      Clock::time_point sentAt;
      std::thread peer([&] {
        // Spread the arrivals over the poll period.
        std::this_thread::sleep_for(2ms + std::chrono::microseconds((i * 137) % 1000));
        sentAt = Clock::now();
        pty.Send("x", 1);
      });
      DWORD got = 0;
      while (got == 0) {
        ReadFile(port, buffer.data(), mode.request, &got, nullptr);
        if (got == 0 && mode.pollEveryMs) Sleep(1);
      }
      const auto returned = Clock::now();
      peer.join();
      samples.push_back(Ms(returned - sentAt));
    }
    PrintSpread(mode.what, samples);
  }
  CloseHandle(port);
}

// From CloseHandle to the blocked ReadFile returning, on each kind of port.
void CloseWakeLatency() {
  Pty pty(4);
  setenv("MORVEK_COM5", "loopback", 1);
  for (const char* name : {"COM4", "COM5"}) {
    std::vector<double> samples;
    for (int i = 0; i < 100; ++i) {
      HANDLE port = Open(name);
      COMMTIMEOUTS timeouts{};
      SetCommTimeouts(port, &timeouts);
      Clock::time_point returned;
      std::thread reader([&] {
        char byte;
        DWORD got = 0;
        ReadFile(port, &byte, 1, &got, nullptr);
        returned = Clock::now();
      });
      std::this_thread::sleep_for(3ms);
      const auto closedAt = Clock::now();
      CloseHandle(port);
      reader.join();
      samples.push_back(Ms(returned - closedAt));
    }
    PrintSpread(name[3] == '4' ? "CloseHandle -> blocked read returns (pty)" : "CloseHandle -> blocked read returns (loopback)",
                samples);
  }
  unsetenv("MORVEK_COM5");
}

void LoopbackPacingAndIdle() {
  setenv("MORVEK_COM6", "loopback", 1);
  HANDLE port = Open("COM6");
  Configure(port, 9600, 0);
  std::string block(960, 'p');
  std::vector<char> buffer(960);
  const auto start = Clock::now();
  DWORD done = 0;
  WriteFile(port, block.data(), 960, &done, nullptr);
  ReadFile(port, buffer.data(), 960, &done, nullptr);
  std::printf("%-46s %.4f s (ideal 1.0000 s)\n", "loopback 960 bytes at 9600 8N1", Seconds(Clock::now() - start));

  COMMTIMEOUTS timeouts{0, 0, 1000, 0, 0};
  SetCommTimeouts(port, &timeouts);
  const double cpu = CpuSeconds();
  ReadFile(port, buffer.data(), 1, &done, nullptr);
  std::printf("%-46s %.3f ms CPU per second\n", "loopback read blocked 1 s with nothing coming",
              (CpuSeconds() - cpu) * 1000);
  CloseHandle(port);
  unsetenv("MORVEK_COM6");
}

}  // namespace

int main() {
  LoopbackThroughput();
  PtyThroughput();
  ArrivalLatency();
  CloseWakeLatency();
  LoopbackPacingAndIdle();
  return 0;
}
