#include "qt/control_proc.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>
#include <cstring>

#include "qt/byte_text_view.h"
#include "qt/control_text.h"
#include "qt/icons.h"
#include "qt/qt_text.h"

namespace morvek::qt {
namespace {

constexpr int kSystemIconSize = 32;

// The widget's character position of a byte offset into the text. A CR LF of a
// multi-line edit is one line break there.
int CharPosition(WindowRecord& record, LONG_PTR byteOffset) {
  std::string bytes = WindowBytes(record);
  if (byteOffset < 0 || static_cast<size_t>(byteOffset) > bytes.size()) byteOffset = static_cast<LONG_PTR>(bytes.size());
  std::string_view prefix(bytes.data(), static_cast<size_t>(byteOffset));
  int position = static_cast<int>(FromCp932(prefix).size());
  if (record.kind == WindowKind::TextEdit) {
    for (size_t at = prefix.find("\r\n"); at != std::string_view::npos; at = prefix.find("\r\n", at + 2)) --position;
  }
  return position;
}

// The byte offset of a character position of the widget's text.
DWORD ByteOffset(WindowRecord& record, int position) {
  QString prefix = ShownText(record).left(position);
  DWORD offset = static_cast<DWORD>(ToCp932(prefix).size());
  if (record.kind == WindowKind::TextEdit) offset += static_cast<DWORD>(prefix.count(QChar::ParagraphSeparator));
  return offset;
}

LRESULT SetSelection(WindowRecord& record, WPARAM wStart, LPARAM lEnd) {
  LONG_PTR start = static_cast<LONG_PTR>(static_cast<int>(wStart));
  LONG_PTR end = static_cast<LONG_PTR>(static_cast<int>(lEnd));
  int last = CharPosition(record, -1);
  int anchor = start < 0 ? -1 : CharPosition(record, start);
  int caret = end < 0 ? last : CharPosition(record, end);
  if (record.kind == WindowKind::LineEdit) {
    auto* edit = static_cast<QLineEdit*>(record.widget.data());
    if (anchor < 0) {
      edit->deselect();
    } else {
      edit->setSelection(anchor, caret - anchor);
    }
  } else if (record.kind == WindowKind::TextEdit) {
    auto* edit = static_cast<QPlainTextEdit*>(record.widget.data());
    QTextCursor cursor = edit->textCursor();
    if (anchor < 0) {
      cursor.clearSelection();
    } else {
      cursor.setPosition(std::min(anchor, last));
      cursor.setPosition(std::min(caret, last), QTextCursor::KeepAnchor);
    }
    edit->setTextCursor(cursor);
  }
  return 0;
}

LRESULT GetSelection(WindowRecord& record, WPARAM wStart, LPARAM lEnd) {
  int start = 0;
  int end = 0;
  if (record.kind == WindowKind::LineEdit) {
    auto* edit = static_cast<QLineEdit*>(record.widget.data());
    start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    end = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
  } else if (record.kind == WindowKind::TextEdit) {
    QTextCursor cursor = static_cast<QPlainTextEdit*>(record.widget.data())->textCursor();
    start = cursor.selectionStart();
    end = cursor.selectionEnd();
  } else if (record.kind == WindowKind::TextView) {
    start = end = static_cast<int>(ShownText(record).size());
  }
  DWORD byteStart = ByteOffset(record, start);
  DWORD byteEnd = ByteOffset(record, end);
  if (auto* out = reinterpret_cast<DWORD*>(wStart)) *out = byteStart;
  if (auto* out = reinterpret_cast<DWORD*>(lEnd)) *out = byteEnd;
  return static_cast<LRESULT>(MAKELPARAM(std::min<DWORD>(byteStart, 0xFFFF), std::min<DWORD>(byteEnd, 0xFFFF)));
}

// Replaces the selection with the text; the read-only multi-line view, which
// has no caret of its own, takes it at its end.
LRESULT ReplaceSelection(WindowRecord& record, LPARAM lText) {
  const char* text = reinterpret_cast<const char*>(lText);
  std::string_view bytes = text ? std::string_view(text) : std::string_view();
  record.text.updating = true;
  switch (record.kind) {
    case WindowKind::LineEdit: static_cast<QLineEdit*>(record.widget.data())->insert(FromCp932(bytes)); break;
    case WindowKind::TextEdit:
      static_cast<QPlainTextEdit*>(record.widget.data())->textCursor().insertText(FromCp932(bytes));
      break;
    case WindowKind::TextView: static_cast<ByteTextView*>(record.widget.data())->appendBytes(bytes); break;
    default: break;
  }
  record.text.updating = false;
  // The shown text is the text now (the remembered bytes no longer are).
  NoteUserEdit(record);
  return 0;
}

LRESULT LineCount(const WindowRecord& record) {
  switch (record.kind) {
    case WindowKind::TextEdit:
      return std::max(1, static_cast<QPlainTextEdit*>(record.widget.data())->document()->blockCount());
    case WindowKind::TextView:
      return static_cast<LRESULT>(std::max<std::size_t>(1, static_cast<ByteTextView*>(record.widget.data())->lineCount()));
    default: return 1;
  }
}

LRESULT EditProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case EM_SETSEL: return SetSelection(record, wParam, lParam);
    case EM_GETSEL: return GetSelection(record, wParam, lParam);
    case EM_REPLACESEL: return ReplaceSelection(record, lParam);
    case EM_GETLINECOUNT: return LineCount(record);
    case EM_SETREADONLY:
      if (record.kind == WindowKind::LineEdit) static_cast<QLineEdit*>(record.widget.data())->setReadOnly(wParam != 0);
      if (record.kind == WindowKind::TextEdit) {
        static_cast<QPlainTextEdit*>(record.widget.data())->setReadOnly(wParam != 0);
      }
      return TRUE;
    default: return 0;
  }
}

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
    case WindowKind::LineEdit:
    case WindowKind::TextEdit:
    case WindowKind::TextView: return EditProc(record, message, wParam, lParam);
    case WindowKind::IconLabel: return IconProc(record, message, wParam);
    default: return 0;
  }
}

}  // namespace morvek::qt
