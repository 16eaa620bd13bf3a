#include "qt/dialog_proc.h"

#include <QPainter>
#include <QWindow>

#include "qt/control_proc.h"
#include "qt/dialog_state.h"
#include "qt/dialog_widget.h"
#include "qt/icons.h"
#include "qt/paint_context.h"
#include "qt/system_menu.h"

namespace morvek::qt {
namespace {

DialogWidget* WidgetOf(const WindowRecord& record) { return static_cast<DialogWidget*>(record.widget.data()); }

void RunSystemCommand(WindowRecord& record, WPARAM command) {
  DialogWidget* widget = WidgetOf(record);
  switch (command & 0xFFF0) {
    case SC_MINIMIZE: widget->Minimize(); break;
    case SC_MAXIMIZE: widget->Maximize(); break;
    case SC_RESTORE: widget->Restore(); break;
    case SC_MOVE:
      if (QWindow* window = widget->windowHandle()) window->startSystemMove();
      break;
    case SC_SIZE:
      if (QWindow* window = widget->windowHandle(); window && widget->Resizable()) {
        window->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
      }
      break;
    case SC_CLOSE: SendMessageA(record.hwnd, WM_CLOSE, 0, 0); break;
    case kScKeyMenu: OpenSystemMenu(record.hwnd, widget->mapToGlobal(QPoint(0, 0))); break;
    default: break;
  }
}

void Close(const WindowRecord& record) {
  HWND cancel = GetDlgItem(record.hwnd, IDCANCEL);
  if (cancel && !IsWindowEnabled(cancel)) {
    MessageBeep(MB_OK);
    return;
  }
  SendMessageA(record.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
}

LRESULT SetIcon(WindowRecord& record, WPARAM kind, LPARAM lIcon) {
  DialogState& state = *record.dialog;
  HICON icon = reinterpret_cast<HICON>(lIcon);
  HICON& slot = kind == ICON_BIG ? state.bigIcon : state.smallIcon;
  HICON previous = slot;
  slot = icon;
  WidgetOf(record)->setWindowIcon(WindowIconOf(state.bigIcon, state.smallIcon));
  return reinterpret_cast<LRESULT>(previous);
}

LRESULT EraseBackground(const WindowRecord& record, WPARAM hdc) {
  QPainter* painter = PainterOf(reinterpret_cast<HDC>(hdc));
  if (!painter) return FALSE;
  const QWidget* widget = record.widget;
  painter->fillRect(widget->rect(), widget->palette().window());
  return TRUE;
}

}  // namespace

LRESULT DialogProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!record.widget || !record.dialog) return 0;
  LRESULT result = 0;
  if (HandleTextMessage(record, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_SYSCOMMAND: RunSystemCommand(record, wParam); return 0;
    case WM_CLOSE: Close(record); return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4) SendMessageA(record.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (wParam == VK_SPACE) SendMessageA(record.hwnd, WM_SYSCOMMAND, kScKeyMenu, VK_SPACE);
      return 0;
    case WM_CONTEXTMENU:
      OpenSystemMenu(record.hwnd, QPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
      return 0;
    case WM_SETICON: return SetIcon(record, wParam, lParam);
    case WM_ERASEBKGND:
    case WM_ICONERASEBKGND: return EraseBackground(record, wParam);
    case WM_INITDIALOG: return TRUE;
    default: return 0;
  }
}

}  // namespace morvek::qt
