#include "qt/control_proc.h"

#include <QAbstractButton>
#include <QLabel>
#include <algorithm>
#include <cstring>

#include "qt/control_text.h"
#include "qt/icons.h"

namespace morvek::qt {
namespace {

constexpr int kSystemIconSize = 32;

LRESULT ButtonProc(WindowRecord& record, UINT message, WPARAM wParam) {
  auto* button = static_cast<QAbstractButton*>(record.widget.data());
  switch (message) {
    case BM_GETCHECK: return (record.kind == WindowKind::CheckBox && button->isChecked()) ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      if (record.kind == WindowKind::CheckBox) button->setChecked(wParam == BST_CHECKED);
      return 0;
    case BM_CLICK: button->click(); return 0;  // the click notifies the dialog
    default: return 0;
  }
}

LRESULT IconProc(WindowRecord& record, UINT message, WPARAM wParam) {
  if (message != STM_SETICON) return 0;
  HICON previous = record.icon;
  record.icon = reinterpret_cast<HICON>(wParam);
  static_cast<QLabel*>(record.widget.data())->setPixmap(QPixmap::fromImage(IconImageOf(record.icon, kSystemIconSize)));
  return reinterpret_cast<LRESULT>(previous);
}

}  // namespace

bool HandleTextMessage(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      SetWindowBytes(record, text ? text : "", nullptr);
      *result = TRUE;
      return true;
    }
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) {
        *result = 0;
        return true;
      }
      std::string bytes = WindowBytes(record);
      size_t copied = std::min(bytes.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(buffer, bytes.data(), copied);
      buffer[copied] = '\0';
      *result = static_cast<LRESULT>(copied);
      return true;
    }
    case WM_GETTEXTLENGTH: *result = static_cast<LRESULT>(WindowTextLength(record)); return true;
    default: return false;
  }
}

LRESULT ControlProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!record.widget) return 0;
  LRESULT result = 0;
  if (HandleTextMessage(record, message, wParam, lParam, &result)) return result;
  switch (record.kind) {
    case WindowKind::PushButton:
    case WindowKind::CheckBox: return ButtonProc(record, message, wParam);
    case WindowKind::IconLabel: return IconProc(record, message, wParam);
    default: return 0;
  }
}

}  // namespace morvek::qt
