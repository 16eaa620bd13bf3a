#include "qt/input_translation.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "afx/window_backend.h"
#include "qt/key_codes.h"
#include "qt/window_registry.h"

namespace morvek::qt {
namespace {

constexpr int kHelpInfoWindow = 1;  // HELPINFO_WINDOW
constexpr WPARAM kMkLButton = 0x1;
constexpr WPARAM kMkRButton = 0x2;
constexpr WPARAM kMkShift = 0x4;
constexpr WPARAM kMkControl = 0x8;

POINT CursorPoint() {
  QPoint at = QCursor::pos();
  return POINT{at.x(), at.y()};
}

bool KeyMessage(const QKeyEvent& key, HWND target, MSG* message) {
  UINT virtualKey = VirtualKeyOf(key.key());
  if (virtualKey == 0) return false;
  bool release = key.type() == QEvent::KeyRelease;
  bool alt = (key.modifiers() & Qt::AltModifier) && !(key.modifiers() & Qt::ControlModifier);
  message->hwnd = target;
  message->message = alt ? (release ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (release ? WM_KEYUP : WM_KEYDOWN);
  message->wParam = virtualKey;
  LPARAM flags = 1;  // repeat count
  if (alt) flags |= LPARAM{1} << 29;
  if (release) flags |= LPARAM{3} << 30;
  message->lParam = flags;
  message->time = static_cast<DWORD>(key.timestamp());
  message->pt = CursorPoint();
  return true;
}

bool MouseMessage(const QMouseEvent& mouse, HWND target, MSG* message) {
  bool press = mouse.type() == QEvent::MouseButtonPress;
  switch (mouse.button()) {
    case Qt::LeftButton: message->message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case Qt::RightButton: message->message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    default: return false;
  }
  WindowRecord* record = FindWindowRecord(target);
  QPoint global = mouse.globalPosition().toPoint();
  QPoint local = record && record->widget ? record->widget->mapFromGlobal(global) : mouse.position().toPoint();
  WPARAM keys = 0;
  if (mouse.buttons() & Qt::LeftButton) keys |= kMkLButton;
  if (mouse.buttons() & Qt::RightButton) keys |= kMkRButton;
  if (mouse.modifiers() & Qt::ShiftModifier) keys |= kMkShift;
  if (mouse.modifiers() & Qt::ControlModifier) keys |= kMkControl;
  message->hwnd = target;
  message->wParam = keys;
  message->lParam = MAKELPARAM(local.x(), local.y());
  message->time = static_cast<DWORD>(mouse.timestamp());
  message->pt = POINT{global.x(), global.y()};
  return true;
}

// The wrappers from the target up to its dialog, innermost first.
bool PreTranslate(HWND target, HWND dialog, MSG* message) {
  for (HWND hwnd = target; hwnd;) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) return false;
    HWND parent = record->parent;
    if (record->attached && record->attached->PreTranslateMessage(message)) return true;
    if (hwnd == dialog) break;
    hwnd = parent;
  }
  return false;
}

bool IsBackground(HWND target, HWND dialog) {
  if (target == dialog) return true;
  WindowRecord* record = FindWindowRecord(target);
  return record && (record->kind == WindowKind::Label || record->kind == WindowKind::IconLabel ||
                    record->kind == WindowKind::GroupBox);
}

bool SystemHandling(HWND target, HWND dialog, const MSG& message) {
  if (!IsLiveWindow(dialog)) return false;
  switch (message.message) {
    case WM_SYSKEYDOWN:
      if (message.wParam != VK_F4 && message.wParam != VK_SPACE) return false;
      framework::DefaultWindowProc(dialog, WM_SYSKEYDOWN, message.wParam, message.lParam);
      return true;
    case WM_KEYDOWN: {
      if (message.wParam != VK_F1) return false;
      HELPINFO help{sizeof(HELPINFO), kHelpInfoWindow, GetDlgCtrlID(target), reinterpret_cast<HANDLE>(target), message.pt};
      SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
      return true;
    }
    case WM_RBUTTONDOWN:
      if (!IsBackground(target, dialog)) return false;
      SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog), MAKELPARAM(message.pt.x, message.pt.y));
      return true;
    default: return false;
  }
}

}  // namespace

bool TranslateInput(QObject* receiver, QEvent* event) {
  QEvent::Type type = event->type();
  bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
  bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
  if ((!key && !mouse) || !receiver->isWidgetType()) return false;
  HWND target = WindowOfWidget(static_cast<QWidget*>(receiver));
  HWND dialog = DialogOf(target);
  if (!dialog) return false;
  MSG message{};
  bool made = key ? KeyMessage(*static_cast<QKeyEvent*>(event), target, &message)
                  : MouseMessage(*static_cast<QMouseEvent*>(event), target, &message);
  if (!made) return false;
  if (PreTranslate(target, dialog, &message)) return true;
  return SystemHandling(target, dialog, message);
}

}  // namespace morvek::qt
