#include "qt/window_procedure.h"

#include <QCoreApplication>
#include <QThread>

#include "afx/window_backend.h"
#include "qt/combo_box.h"
#include "qt/control_proc.h"
#include "qt/dialog_proc.h"
#include "qt/window_registry.h"
#include "win32_system.h"

namespace morvek::qt {

LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* record = FindWindowRecord(hwnd);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (record->attached) return AfxCallWndProc(record->attached, hwnd, message, wParam, lParam);
  return framework::DefaultWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace morvek::qt

namespace morvek::framework {

LRESULT DefaultWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  qt::WindowRecord* record = qt::FindWindowRecord(hWnd);
  if (!record) return 0;
  switch (record->kind) {
    case qt::WindowKind::Dialog: return qt::DialogProc(*record, message, wParam, lParam);
    case qt::WindowKind::ComboBox: {
      LRESULT result = 0;
      if (qt::HandleTextMessage(*record, message, wParam, lParam, &result)) return result;
      return qt::ComboBoxProc(*record, message, wParam, lParam);
    }
    default: return qt::ControlProc(*record, message, wParam, lParam);
  }
}

}  // namespace morvek::framework

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application && QThread::currentThread() != application->thread()) {
    // From another thread the call runs on the window thread, which the
    // caller waits for (as on Windows).
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        application, [&] { result = morvek::qt::CallWindowProcedure(hWnd, Msg, wParam, lParam); },
        Qt::BlockingQueuedConnection);
    return result;
  }
  return morvek::qt::CallWindowProcedure(hWnd, Msg, wParam, lParam);
}
