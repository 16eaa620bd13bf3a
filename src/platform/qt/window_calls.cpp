// The window calls of win32_user.h that ask about or change a window's place,
// state, focus and text.
#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "qt/dialog_widget.h"
#include "qt/modal_dialog.h"
#include "qt/window_registry.h"
#include "win32_system.h"
#include "win32_user.h"

namespace morvek::qt {
namespace {

constexpr int kSystemIconSize = 32;

// The record of a live window with a widget; sets ERROR_INVALID_HANDLE when none.
WindowRecord* Live(HWND hwnd) {
  WindowRecord* record = FindWindowRecord(hwnd);
  if (!record || !record->widget) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return record;
}

RECT ToRect(const QRect& rect) { return RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()}; }

bool IsTopLevel(const WindowRecord& record) { return record.kind == WindowKind::Dialog; }

}  // namespace
}  // namespace morvek::qt

using morvek::qt::Live;
using morvek::qt::WindowRecord;

BOOL GetClientRect(HWND hWnd, RECT* lpRect) {
  WindowRecord* record = Live(hWnd);
  if (!record || !lpRect) return FALSE;
  *lpRect = RECT{0, 0, record->widget->width(), record->widget->height()};
  return TRUE;
}

BOOL GetWindowRect(HWND hWnd, RECT* lpRect) {
  WindowRecord* record = Live(hWnd);
  if (!record || !lpRect) return FALSE;
  const QWidget* widget = record->widget;
  // A dialog's rectangle takes in its frame; a control's is its own area.
  QRect screenRect = morvek::qt::IsTopLevel(*record) ? widget->frameGeometry()
                                                     : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  *lpRect = morvek::qt::ToRect(screenRect);
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  WindowRecord* record = Live(hWnd);
  if (!record) return FALSE;
  QWidget* widget = record->widget;
  QSize size(std::max(0, nWidth), std::max(0, nHeight));
  if (morvek::qt::IsTopLevel(*record)) {
    // The size given is the whole window's, frame included.
    QSize frame = widget->frameGeometry().size() - widget->size();
    widget->move(X, Y);
    widget->resize((size - frame).expandedTo(QSize(0, 0)));
  } else {
    widget->setGeometry(X, Y, size.width(), size.height());
  }
  if (bRepaint) widget->update();
  return TRUE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  WindowRecord* record = Live(hWnd);
  if (!record) return FALSE;
  // Returns whether the window was disabled before. A dialog keeps its own
  // state (input to it is held off by the window system's modality), so that
  // its controls do not turn grey while it waits for a modal dialog.
  if (morvek::qt::IsTopLevel(*record)) {
    BOOL wasDisabled = !record->enabled;
    record->enabled = bEnable != FALSE;
    return wasDisabled;
  }
  BOOL wasDisabled = !record->widget->isEnabled();
  record->widget->setEnabled(bEnable != FALSE);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
  WindowRecord* record = Live(hWnd);
  if (!record) return FALSE;
  return morvek::qt::IsTopLevel(*record) ? record->enabled : record->widget->isEnabled();
}

BOOL IsIconic(HWND hWnd) {
  WindowRecord* record = morvek::qt::FindWindowRecord(hWnd);
  return record && record->widget && record->widget->isMinimized();
}

BOOL IsZoomed(HWND hWnd) {
  WindowRecord* record = morvek::qt::FindWindowRecord(hWnd);
  return record && record->widget && record->widget->isMaximized() && !record->widget->isMinimized();
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  WindowRecord* dialog = morvek::qt::FindWindowRecord(hDlg);
  if (!dialog) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  for (HWND child : dialog->children) {
    WindowRecord* control = morvek::qt::FindWindowRecord(child);
    if (control && control->id == nIDDlgItem) return child;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
  WindowRecord* record = morvek::qt::FindWindowRecord(hWnd);
  return record ? record->id : 0;
}

HWND GetParent(HWND hWnd) {
  WindowRecord* record = morvek::qt::FindWindowRecord(hWnd);
  return record ? record->parent : nullptr;
}

HWND SetFocus(HWND hWnd) {
  HWND previous = GetFocus();
  if (!hWnd) {
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    return previous;
  }
  WindowRecord* record = Live(hWnd);
  if (!record) return nullptr;
  record->widget->setFocus(Qt::OtherFocusReason);
  return previous;
}

HWND GetFocus() {
  // A dialog the window system has not activated yet still has its focus
  // control (the one it gets when activated).
  QWidget* focused = QApplication::focusWidget();
  if (!focused) {
    if (WindowRecord* dialog = morvek::qt::FindWindowRecord(morvek::qt::ActiveModalDialog()); dialog && dialog->widget) {
      focused = dialog->widget->focusWidget();
    }
  }
  return morvek::qt::WindowOfWidget(focused);
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!morvek::qt::IsLiveWindow(hWnd)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return static_cast<BOOL>(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (lpString && nMaxCount > 0) lpString[0] = '\0';
  if (!morvek::qt::IsLiveWindow(hWnd)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!lpString || nMaxCount <= 0) return 0;
  return static_cast<int>(
      SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd) {
  if (!morvek::qt::IsLiveWindow(hWnd)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

int GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON: return morvek::qt::kSystemIconSize;
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      QScreen* screen = QGuiApplication::primaryScreen();
      if (!screen) return 0;
      return nIndex == SM_CXSCREEN ? screen->geometry().width() : screen->geometry().height();
    }
    default: return 0;
  }
}
