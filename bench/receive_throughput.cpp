// Figures of the receive path (reader -> posted block -> format -> receive box)
// in the running terminal: throughput on the loopback plug at 2,000,000 baud
// and on a pty at full speed, the cost of one block with 50 MB already in the
// box against an empty box, the latency from a byte at the pty peer to its text
// in the box, the idle CPU and wake-ups with an open port, and the memory with
// 50 MB shown. The figures that depend on how Sleep waits are printed twice in
// one run: with exact 1 ms sleeps throughout, and with the program's own sleeps
// that end on the system timer's tick while the line is quiet. CPU figures are CPU time of the process and its
// threads (getrusage, /proc/self/task/*/schedstat), not wall time, so that a
// busy machine does not inflate them.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "exchange/reader_thread.h"
#include "platform/testing.h"
#include "port/port_config.h"
#include "port/serial_driver.h"
#include "res/resource.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/transfer.h"
#include "process_memory.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Text as a device might send it: printable lines of 80 characters.
std::string LineText(size_t n) {
  std::string text(n, '\0');
  for (size_t i = 0; i < n; ++i) text[i] = (i % 81 == 80) ? '\n' : static_cast<char>('!' + i % 90);
  return text;
}

// The master side of a pseudo-terminal whose slave the terminal opens as COM1.
struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
      perror("pty");
      exit(1);
    }
    slave = ptsname(master);
  }
  ~Pty() { close(master); }
  void Write(const char* data, size_t n) {
    while (n > 0) {
      ssize_t done = write(master, data, n);
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) return;
      data += done;
      n -= static_cast<size_t>(done);
    }
  }
};

// Runs the terminal on COM1 (MORVEK_COM1 = device) with the script inside it.
void RunTerminal(const std::string& device, const std::function<void(CTerminalDlg&)>& script) {
  setenv("MORVEK_COM1", device.c_str(), 1);
  morvek::test::TerminalSession session;
  session.script = script;
  session.Run();
  if (!session.mainShown) {
    fprintf(stderr, "the terminal did not start on %s\n", device.c_str());
    exit(1);
  }
}

// Feeds `total` bytes from another thread and pumps until the box holds them;
// returns bytes per second from the first byte written to the last shown.
double Throughput(CTerminalDlg& dlg, size_t total, size_t shownPerByte, const std::function<void(const std::string&)>& feed) {
  std::string data = LineText(total);
  size_t startLength = static_cast<size_t>(dlg.m_strReceive.GetLength());
  auto start = Clock::now();
  std::thread feeder([&] { feed(data); });
  bool done = morvek::testing::PumpUntil(
      [&] { return static_cast<size_t>(dlg.m_strReceive.GetLength()) >= startLength + shownPerByte * total; }, 120s);
  auto elapsed = Clock::now() - start;
  feeder.join();
  if (!done) fprintf(stderr, "  (not all bytes arrived)\n");
  return static_cast<double>(total) / Seconds(elapsed);
}

// Microseconds per 4095-byte block handed to the window as the reader does,
// including the window system's work for it (painting is coalesced).
double MicrosecondsPerBlock(CTerminalDlg& dlg, int blocks) {
  std::string text = LineText(4095);
  auto start = Clock::now();
  for (int i = 0; i < blocks; ++i) {
    HGLOBAL hBlock = GlobalAlloc(GMEM_ZEROINIT, text.size());
    void* pBlock = GlobalLock(hBlock);
    std::memcpy(pBlock, text.data(), text.size());
    dlg.SendMessage(WM_COMM_RXDATA, reinterpret_cast<WPARAM>(pBlock), static_cast<LPARAM>(text.size()));
    morvek::testing::PumpOnce();
  }
  return Seconds(Clock::now() - start) * 1e6 / blocks;
}

// CPU time (seconds) and wake-ups (context switches) of one thread.
struct ThreadUse {
  double cpuSeconds = 0;
  long wakeUps = 0;
  int nice = 0;
};

long StatusField(const std::string& task, const char* name) {
  std::ifstream status("/proc/self/task/" + task + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(name, 0) == 0) return atol(line.c_str() + strlen(name));
  }
  return 0;
}

// The 19th field of /proc/<tid>/stat, after the parenthesised name.
int NiceOf(const std::string& task) {
  std::ifstream stat("/proc/self/task/" + task + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream rest(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 19 && rest >> field; ++i) {
  }
  return atoi(field.c_str());
}

// Every thread of the process, by thread id.
std::map<int, ThreadUse> ThreadUses() {
  std::map<int, ThreadUse> uses;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return uses;
  while (dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    std::string task = entry->d_name;
    ThreadUse use;
    std::ifstream schedstat("/proc/self/task/" + task + "/schedstat");
    double ns = 0;
    if (schedstat >> ns) use.cpuSeconds = ns / 1e9;
    use.wakeUps = StatusField(task, "voluntary_ctxt_switches:") + StatusField(task, "nonvoluntary_ctxt_switches:");
    use.nice = NiceOf(task);
    uses[atoi(task.c_str())] = use;
  }
  closedir(tasks);
  return uses;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// How Sleep waits in one half of the comparison.
struct SleepMode {
  bool exact;
  const char* name;
};
constexpr SleepMode kSleepModes[] = {{true, "exact 1 ms sleeps"}, {false, "system timer tick"}};

void SelectDisplay(CTerminalDlg& dlg, int format) {
  dlg.m_cmbDisplay.SetCurSel(format);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DISPLAY_FORMAT, CBN_SELCHANGE), 0);
}

void LoopbackFigures(const SleepMode& mode) {
  RunTerminal("loopback", [&](CTerminalDlg& dlg) {
    DCB dcb{};
    GetCommState(g_hComm, &dcb);
    dcb.BaudRate = 2000000;
    SetCommState(g_hComm, &dcb);
    double rate = Throughput(dlg, 1 << 20, 1, [](const std::string& data) { morvek::test::WriteToPort(data); });
    printf("[%s] loopback plug at 2,000,000 baud, ASCII: %.0f KB/s (the line carries 195 KB/s at 10 bits a byte)\n",
           mode.name, rate / 1024);
  });
}

// Milliseconds from one byte written at the pty peer to its text in the box.
double OneByteLatency(CTerminalDlg& dlg, Pty& pty) {
  int before = dlg.m_strReceive.GetLength();
  auto start = Clock::now();
  pty.Write("x", 1);
  morvek::testing::PumpUntil([&] { return dlg.m_strReceive.GetLength() > before; }, 5s);
  return Seconds(Clock::now() - start) * 1000;
}

void PrintLatency(const SleepMode& mode, const char* what, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  printf("[%s] latency pty byte -> box, %s: median %.1f ms, 99th percentile %.1f ms (receive time-out 20 ms; goal: "
         "median <= 30 ms)\n",
         mode.name, what, samples[samples.size() / 2], samples[samples.size() * 99 / 100]);
}

void PtyFigures(const SleepMode& mode) {
  Pty pty;
  RunTerminal(pty.slave, [&](CTerminalDlg& dlg) {
    auto feed = [&](const std::string& data) { pty.Write(data.data(), data.size()); };
    double ascii = Throughput(dlg, 32u << 20, 1, feed);
    printf("[%s] pty at full speed, ASCII: %.2f MB/s (goal >= 2 MB/s)\n", mode.name, ascii / (1 << 20));
    SelectDisplay(dlg, 2);
    double hex = Throughput(dlg, 8u << 20, 3, feed);
    printf("[%s] pty at full speed, HEX: %.2f MB/s received (%.2f MB/s of text)\n", mode.name, hex / (1 << 20),
           3 * hex / (1 << 20));
    SelectDisplay(dlg, 0);

    // An echo: each byte as soon as the previous one is shown (the line is busy).
    std::vector<double> echo;
    for (int i = 0; i < 100; ++i) echo.push_back(OneByteLatency(dlg, pty));
    PrintLatency(mode, "each byte as soon as the last is shown", echo);
    // A byte at a random moment after more than a second of silence (the line
    // is quiet, the reader polls at the system timer's tick).
    srand(1);
    std::vector<double> quiet;
    for (int i = 0; i < 30; ++i) {
      morvek::testing::PumpFor(std::chrono::milliseconds(1100 + rand() % 400));
      quiet.push_back(OneByteLatency(dlg, pty));
    }
    PrintLatency(mode, "a byte after a second of silence", quiet);
  });
}

void IdleFigures(const SleepMode& mode) {
  Pty pty;
  RunTerminal(pty.slave, [&](CTerminalDlg&) {
    morvek::testing::PumpFor(1s);  // start-up settles
    double cpu = CpuSeconds();
    std::map<int, ThreadUse> before = ThreadUses();
    auto start = Clock::now();
    morvek::testing::PumpFor(20s);
    double elapsed = Seconds(Clock::now() - start);
    double share = (CpuSeconds() - cpu) / elapsed * 100;
    printf("[%s] idle for 20 s with an open pty (reader polling, five timers): %.2f %% of one core (goal <= 0.5 %%)\n",
           mode.name, share);
    // The reader is the thread at the lowest priority (a positive nice value).
    int mainThread = getpid();
    for (const auto& [tid, use] : ThreadUses()) {
      auto was = before.find(tid);
      if (was == before.end()) continue;
      double threadShare = (use.cpuSeconds - was->second.cpuSeconds) / elapsed * 100;
      double wakeUps = (use.wakeUps - was->second.wakeUps) / elapsed;
      if (threadShare < 0.005 && wakeUps < 1) continue;
      const char* role = tid == mainThread ? "window" : use.nice > 0 ? "reader" : "other";
      printf("  thread %d (%s): %.3f %% of one core, %.1f wake-ups a second\n", tid, role, threadShare, wakeUps);
    }
  });
}

void BlockCostAndMemoryFigures() {
  Pty pty;
  RunTerminal(pty.slave, [&](CTerminalDlg& dlg) {
    long rssEmpty = morvek::bench::ResidentKilobytes();
    double empty = MicrosecondsPerBlock(dlg, 2000);
    while (dlg.m_strReceive.GetLength() < (50 << 20)) MicrosecondsPerBlock(dlg, 32);
    morvek::testing::PumpUntil([] { return false; }, 200ms);
    long rssFull = morvek::bench::ResidentKilobytes();
    double boxMb = dlg.m_strReceive.GetLength() / double(1 << 20);
    double full = MicrosecondsPerBlock(dlg, 2000);
    printf("one 4095-byte block: %.1f us with an empty box, %.1f us with 50 MB in it (x%.2f; goal <= x1.5)\n", empty,
           full, full / empty);
    printf("RSS with %.0f MB in the box: %.0f MB (%.0f MB before; goal <= 4 x %.0f + 80 = %.0f MB)\n", boxMb,
           rssFull / 1024.0, rssEmpty / 1024.0, boxMb, 4 * boxMb + 80);
  });
}

}  // namespace

// Arguments choose the figures: memory, idle, pty, loopback (default: all).
int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
  morvek::testing::StartWindowSystem(argc, argv);
  morvek::testing::CaptureMessageBoxes(true);
  morvek::test::TempCurrentDir dir;
  auto wanted = [&](const char* figures) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
      if (strcmp(argv[i], figures) == 0) return true;
    }
    return false;
  };
  // Memory first, while the heap holds nothing from earlier runs.
  if (wanted("memory")) BlockCostAndMemoryFigures();
  for (const SleepMode& mode : kSleepModes) {
    morvek::testing::UseExactSleeps(mode.exact);
    if (wanted("idle")) IdleFigures(mode);
    if (wanted("pty")) PtyFigures(mode);
    if (wanted("loopback")) LoopbackFigures(mode);
  }
  morvek::testing::UseExactSleeps(false);
  return 0;
}
