// Ending in order when the process is told to end: a signal handler that only
// writes to an eventfd, a socket notifier that wakes the window thread, and
// the desktop session's request to commit data before it ends.
#include "qt/session_end.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "afx_app.h"
#include "testing.h"
#include "win32_user.h"

namespace morvek::qt {
namespace {

int g_wakeFd = -1;
bool g_ending = false;

extern "C" void WakeOnEndSignal(int) {
  const int savedErrno = errno;
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(g_wakeFd, &one, sizeof one);
  errno = savedErrno;
}

[[noreturn]] void EndSession() {
  g_ending = true;
  CWnd* mainWindow = AfxGetMainWnd();
  if (mainWindow && IsWindow(mainWindow->m_hWnd)) SendMessage(mainWindow->m_hWnd, WM_ENDSESSION, TRUE, 0);
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace

void WatchSessionEnd() {
  if (g_wakeFd >= 0) return;
  g_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (g_wakeFd < 0) return;  // no way to wake the window thread: signals keep their default
  auto* notifier = new QSocketNotifier(g_wakeFd, QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] { EndSession(); });
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, [](QSessionManager&) { EndSession(); });

  struct sigaction action {};
  action.sa_handler = WakeOnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

bool SessionEnding() { return g_ending; }

}  // namespace morvek::qt

namespace morvek::testing {

void EndSessionOnSignals() { qt::WatchSessionEnd(); }

}  // namespace morvek::testing
