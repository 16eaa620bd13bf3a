#include "qt/window_lifetime.h"

#include "afx/window_backend.h"
#include "qt/dialog_state.h"
#include "qt/window_registry.h"
#include "qt/window_timers.h"
#include "win32_system.h"

namespace morvek::qt {
namespace {

std::function<void(HWND)>& EndObserver() {
  static std::function<void(HWND)> observer;
  return observer;
}

}  // namespace

void SetWindowEndObserver(std::function<void(HWND)> observer) { EndObserver() = std::move(observer); }

void TearDownWindow(HWND hwnd) {
  WindowRecord* record = FindWindowRecord(hwnd);
  if (!record) return;
  if (record->dialog && record->dialog->modal) {
    ModalRun& run = *record->dialog->modal;
    run.ended = true;
    if (run.loop) run.loop->exit();
    record->dialog->modal = nullptr;
  }
  std::vector<HWND> windows = record->children;
  windows.insert(windows.begin(), hwnd);
  // The window first, then its controls, as Windows does; a handler may have
  // ended some of them already.
  for (HWND window : windows) {
    if (IsLiveWindow(window)) SendMessageA(window, WM_DESTROY, 0, 0);
  }
  record = FindWindowRecord(hwnd);
  if (!record) return;
  QPointer<QWidget> widget = record->widget;
  for (HWND window : windows) KillTimersOf(window);
  UnregisterWindows(windows);
  if (widget) widget->hide();
  if (EndObserver()) EndObserver()(hwnd);
}

}  // namespace morvek::qt

namespace morvek::framework {

BOOL AttachWrapper(HWND hWnd, CWnd* pWnd) {
  qt::WindowRecord* record = qt::FindWindowRecord(hWnd);
  if (!record || !pWnd || (record->attached && record->attached != pWnd)) return FALSE;
  record->attached = pWnd;
  pWnd->m_hWnd = hWnd;
  return TRUE;
}

void DetachWrapper(HWND hWnd, CWnd* pWnd) {
  qt::WindowRecord* record = qt::FindWindowRecord(hWnd);
  if (record && record->attached == pWnd) record->attached = nullptr;
}

CWnd* WrapperFor(HWND hWnd) {
  qt::WindowRecord* record = qt::FindWindowRecord(hWnd);
  if (!record) return nullptr;
  if (record->attached) return record->attached;
  if (!record->temporary) {
    record->temporary = std::make_unique<CWnd>();
    record->temporary->m_hWnd = hWnd;
  }
  return record->temporary.get();
}

}  // namespace morvek::framework

BOOL IsWindow(HWND hWnd) { return morvek::qt::IsLiveWindow(hWnd); }

BOOL DestroyWindow(HWND hWnd) {
  morvek::qt::WindowRecord* record = morvek::qt::FindWindowRecord(hWnd);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // A running dialog's widget belongs to DoModal, which deletes it once its
  // loop has ended; any other widget goes once control is back in the loop
  // (its own event may be running now).
  bool ownedByModalRun = record->dialog && record->dialog->modal;
  QPointer<QWidget> widget = record->widget;
  morvek::qt::TearDownWindow(hWnd);
  if (!ownedByModalRun && widget) widget->deleteLater();
  return TRUE;
}
