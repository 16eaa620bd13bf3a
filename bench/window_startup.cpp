// Start-up time: from starting the process to the main dialog (template 102)
// shown and painted, as this framework makes it. The program starts itself a
// few times as a child and prints each run and the median.
//
//   bench_window_startup            the runs and their figures (goal: <= 300 ms)
//   bench_window_startup --child    one start-up; prints its clock readings
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/testing.h"

namespace {

constexpr int kRuns = 7;
constexpr UINT kMainTemplate = 102;

// Milliseconds on the system's monotonic clock, the same in every process.
double NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

int Child(int argc, char** argv) {
  double atMain = NowMs();
  morvek::testing::StartWindowSystem(argc, argv);
  double started = NowMs();
  double shown = 0;
  CDialog dialog(kMainTemplate);
  morvek::testing::OnModalDialog([&](CDialog& up) {
    morvek::testing::RenderWindow(up.m_hWnd);  // its first full paint
    shown = NowMs();
    up.EndDialog(IDOK);
  });
  dialog.DoModal();
  std::printf("%.3f %.3f %.3f\n", atMain, started, shown);
  return shown > 0 ? 0 : 1;
}

struct Run {
  double total;     // process start to dialog painted
  double toMain;    // process start to main()
  double window;    // window system start-up
  double dialog;    // dialog made, initialised, shown and painted
};

bool StartChild(const char* self, Run* run) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  double before = NowMs();
  pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    execl(self, self, "--child", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string output;
  char buffer[256];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  double atMain = 0, started = 0, shown = 0;
  if (std::sscanf(output.c_str(), "%lf %lf %lf", &atMain, &started, &shown) != 3 || shown == 0) return false;
  *run = Run{shown - before, atMain - before, started - atMain, shown - started};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return Child(argc, argv);
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  std::printf("window start-up, template %u, platform %s, %d runs\n", kMainTemplate, platform ? platform : "offscreen",
              kRuns);
  std::vector<double> totals;
  for (int i = 0; i < kRuns; ++i) {
    Run run{};
    if (!StartChild("/proc/self/exe", &run)) {
      std::printf("run %d failed\n", i + 1);
      return 1;
    }
    std::printf("run %d: %7.1f ms  (to main %5.1f, window system %5.1f, dialog %5.1f)\n", i + 1, run.total, run.toMain,
                run.window, run.dialog);
    totals.push_back(run.total);
  }
  std::sort(totals.begin(), totals.end());
  std::printf("median %.1f ms, best %.1f ms (goal <= 300 ms)\n", totals[totals.size() / 2], totals.front());
  return 0;
}
