// Each (window, id) is one QTimer. A tick calls the timer procedure, or sends
// WM_TIMER through the window procedure. Qt does not deliver a timer's tick
// while its previous tick is still being handled (the handler may run a modal
// loop or a message pump), so a handler never re-enters itself for the same
// timer; other timers go on.
#include <QTimer>
#include <algorithm>
#include <climits>
#include <map>
#include <utility>

#include "qt/window_procedure.h"
#include "qt/window_registry.h"
#include "qt/window_timers.h"
#include "win32_system.h"

namespace morvek::qt {
namespace {

// Windows raises shorter periods to this.
constexpr UINT kMinimumPeriodMs = 10;

using TimerKey = std::pair<HWND, UINT_PTR>;

std::map<TimerKey, QTimer*>& Timers() {
  static std::map<TimerKey, QTimer*> timers;
  return timers;
}

void Tick(HWND hwnd, UINT_PTR id, TIMERPROC procedure) {
  if (!IsLiveWindow(hwnd)) {
    KillTimer(hwnd, id);
    return;
  }
  if (procedure) {
    procedure(hwnd, WM_TIMER, id, GetTickCount());
  } else {
    CallWindowProcedure(hwnd, WM_TIMER, id, 0);
  }
}

void Stop(QTimer* timer) {
  timer->stop();
  timer->deleteLater();  // its tick may be running now
}

}  // namespace

void KillTimersOf(HWND hwnd) {
  auto& timers = Timers();
  for (auto it = timers.lower_bound({hwnd, 0}); it != timers.end() && it->first.first == hwnd;) {
    Stop(it->second);
    it = timers.erase(it);
  }
}

}  // namespace morvek::qt

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  using namespace morvek::qt;
  if (!IsLiveWindow(hWnd)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  QTimer*& timer = Timers()[{hWnd, nIDEvent}];
  if (timer) {
    // Setting an existing timer again restarts it with the new period and procedure.
    Stop(timer);
  }
  timer = new QTimer();
  QObject::connect(timer, &QTimer::timeout, timer, [hWnd, nIDEvent, lpTimerFunc] { Tick(hWnd, nIDEvent, lpTimerFunc); });
  timer->start(static_cast<int>(std::clamp<UINT>(uElapse, kMinimumPeriodMs, INT_MAX)));
  return nIDEvent != 0 ? nIDEvent : 1;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  auto& timers = morvek::qt::Timers();
  auto found = timers.find({hWnd, uIDEvent});
  if (found == timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  morvek::qt::Stop(found->second);
  timers.erase(found);
  return TRUE;
}
