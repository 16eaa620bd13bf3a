#include "qt/control_text.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "afx/window_backend.h"
#include "qt/byte_text_view.h"
#include "qt/combo_box.h"
#include "qt/qt_text.h"
#include "qt/text_room.h"
#include "text/cp932.h"

namespace morvek::qt {
namespace {

// Up to this size an editable multi-line edit keeps an undo history; larger
// texts would cost as much again in memory.
constexpr std::size_t kUndoLimit = 1 << 20;

QString LabelText(const WindowRecord& record, std::string_view bytes) {
  QString text = FromCp932(bytes);
  return (record.style & SS_NOPREFIX) ? text : WithoutAccessMarks(text);
}

// Runs a change the framework makes to an edit: not a user edit, not undoable.
template <class Change>
void ChangePlainText(WindowRecord& record, QPlainTextEdit* edit, std::size_t newSize, Change change) {
  record.text.updating = true;
  edit->document()->setUndoRedoEnabled(false);
  change();
  edit->document()->setUndoRedoEnabled(newSize < kUndoLimit);
  record.text.updating = false;
}

void ShowFullText(WindowRecord& record, std::string_view bytes) {
  QWidget* widget = record.widget;
  if (!widget) return;
  switch (record.kind) {
    case WindowKind::Dialog: widget->setWindowTitle(FromCp932(bytes)); break;
    case WindowKind::PushButton:
    case WindowKind::CheckBox: static_cast<QAbstractButton*>(widget)->setText(FromCp932(bytes)); break;
    case WindowKind::GroupBox: static_cast<QGroupBox*>(widget)->setTitle(FromCp932(bytes)); break;
    case WindowKind::Label: static_cast<QLabel*>(widget)->setText(LabelText(record, bytes)); break;
    case WindowKind::IconLabel: break;
    case WindowKind::LineEdit: {
      record.text.updating = true;
      static_cast<QLineEdit*>(widget)->setText(FromCp932(bytes));
      record.text.updating = false;
      break;
    }
    case WindowKind::TextEdit: {
      auto* edit = static_cast<QPlainTextEdit*>(widget);
      ChangePlainText(record, edit, bytes.size(), [&] { edit->setPlainText(FromCp932(bytes)); });
      break;
    }
    case WindowKind::TextView: static_cast<ByteTextView*>(widget)->setBytes(bytes); break;
    case WindowKind::ComboBox: break;
  }
}

// Adds a tail to the shown text; the memory already holds the whole text.
void ShowAppendedTail(WindowRecord& record, std::string_view tail, bool joinsLineBreak) {
  QWidget* widget = record.widget;
  if (!widget) return;
  switch (record.kind) {
    case WindowKind::TextView: static_cast<ByteTextView*>(widget)->appendBytes(tail); break;
    case WindowKind::TextEdit: {
      // A tail may finish a double-byte character whose lead byte ends the
      // shown text; decoded on its own it would show two substitutes, so the
      // text is then shown anew as a whole.
      const std::string& whole = record.text.bytes;
      const std::size_t shown = whole.size() - tail.size();
      if (shown > 0 && text::IsCp932LeadByte(static_cast<unsigned char>(whole[shown - 1]))) {
        ShowFullText(record, whole);
        break;
      }
      auto* edit = static_cast<QPlainTextEdit*>(widget);
      // A CR shown at the end already broke the line: its LF adds nothing.
      QString added = FromCp932(joinsLineBreak ? tail.substr(1) : tail);
      ChangePlainText(record, edit, record.text.bytes.size(), [&] {
        QTextCursor end(edit->document());
        end.movePosition(QTextCursor::End);
        end.insertText(added);
      });
      edit->moveCursor(QTextCursor::End);
      edit->ensureCursorVisible();
      break;
    }
    default: ShowFullText(record, record.text.bytes); break;
  }
}

bool ShowsBytes(WindowRecord& record, std::string_view bytes) {
  if (record.kind != WindowKind::TextView) return record.text.bytes == bytes;
  auto* view = static_cast<ByteTextView*>(record.widget.data());
  return view && view->size() == bytes.size() && view->bytes() == bytes;
}

// The shown text of an edited edit, as the edit would report it.
std::string EncodeShownText(const WindowRecord& record) {
  QString shown = ShownText(record);
  if (record.kind == WindowKind::TextEdit) {
    shown.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    shown.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
  }
  return ToCp932(shown);
}

// A button shows a new caption at once, even when the handler that set it goes
// on working before the window is painted again.
void PaintCaptionNow(WindowRecord& record) {
  const bool button = record.kind == WindowKind::PushButton || record.kind == WindowKind::CheckBox;
  if (button && record.widget && record.widget->isVisible()) record.widget->repaint();
}

}  // namespace

void SetWindowBytes(WindowRecord& record, std::string_view bytes, const std::shared_ptr<CString::Lineage>& lineage) {
  if (record.kind == WindowKind::ComboBox) {
    SelectComboText(record, bytes);
    return;
  }
  TextMemory& memory = record.text;
  if (!memory.edited && lineage && lineage == memory.lineage && bytes.size() >= memory.lineageLength) {
    std::string_view tail = bytes.substr(memory.lineageLength);
    if (!tail.empty()) {
      bool joinsLineBreak = !memory.bytes.empty() && memory.bytes.back() == '\r' && tail.front() == '\n';
      if (record.kind != WindowKind::TextView) memory.bytes.append(tail);
      ShowAppendedTail(record, tail, joinsLineBreak);
    }
    memory.lineageLength = bytes.size();
    return;
  }
  if (memory.edited || !ShowsBytes(record, bytes)) {
    ShowFullText(record, bytes);
    if (record.kind == WindowKind::TextView) {
      memory.bytes.clear();
    } else {
      memory.bytes.assign(bytes);
    }
    memory.edited = false;
    ++memory.fullRewrites;
    FitFontToTexts(record);
    PaintCaptionNow(record);
  }
  memory.lineage = lineage;
  memory.lineageLength = bytes.size();
}

std::string WindowBytes(WindowRecord& record) {
  switch (record.kind) {
    case WindowKind::ComboBox: return ComboSelectionBytes(record);
    case WindowKind::TextView: {
      auto* view = static_cast<ByteTextView*>(record.widget.data());
      return view ? view->bytes() : std::string();
    }
    default: break;
  }
  TextMemory& memory = record.text;
  if (memory.edited) {
    // What the user made of the text is the text from now on.
    memory.bytes = EncodeShownText(record);
    memory.edited = false;
    memory.lineage.reset();
    memory.lineageLength = 0;
  }
  return memory.bytes;
}

std::size_t WindowTextLength(WindowRecord& record) {
  if (record.kind == WindowKind::TextView) {
    auto* view = static_cast<ByteTextView*>(record.widget.data());
    return view ? view->size() : 0;
  }
  if (record.kind == WindowKind::ComboBox || record.text.edited) return WindowBytes(record).size();
  return record.text.bytes.size();
}

void NoteUserEdit(WindowRecord& record) {
  record.text.edited = true;
  record.text.lineage.reset();
  record.text.lineageLength = 0;
}

QString ShownText(const WindowRecord& record) {
  QWidget* widget = record.widget;
  if (!widget) return {};
  switch (record.kind) {
    case WindowKind::Dialog: return widget->windowTitle();
    case WindowKind::PushButton:
    case WindowKind::CheckBox: return static_cast<QAbstractButton*>(widget)->text();
    case WindowKind::GroupBox: return static_cast<QGroupBox*>(widget)->title();
    case WindowKind::Label: return static_cast<QLabel*>(widget)->text();
    case WindowKind::IconLabel: return {};
    case WindowKind::LineEdit: return static_cast<QLineEdit*>(widget)->text();
    case WindowKind::TextEdit: return static_cast<QPlainTextEdit*>(widget)->document()->toRawText();
    case WindowKind::TextView: return FromCp932(static_cast<ByteTextView*>(widget)->bytes());
    case WindowKind::ComboBox: return FromCp932(ComboSelectionBytes(record));
  }
  return {};
}

}  // namespace morvek::qt

namespace morvek::framework {

void SetWindowTextKeepingLineage(HWND hWnd, const CString& text) {
  if (qt::WindowRecord* record = qt::FindWindowRecord(hWnd)) qt::SetWindowBytes(*record, text.View(), text.GetLineage());
}

void ReadWindowText(HWND hWnd, CString& value) {
  qt::WindowRecord* record = qt::FindWindowRecord(hWnd);
  if (!record) {
    value.Empty();
    return;
  }
  qt::TextMemory& memory = record->text;
  bool remembers = record->kind != qt::WindowKind::ComboBox;
  if (remembers && !memory.edited && memory.lineage && value.GetLength() == static_cast<int>(memory.lineageLength) &&
      value.GetLineage() == memory.lineage) {
    return;  // value already is what the window shows
  }
  std::string bytes = qt::WindowBytes(*record);
  value = CString(std::string_view(bytes));
  if (remembers) {
    memory.lineage = value.GetLineage();
    memory.lineageLength = bytes.size();
  }
}

}  // namespace morvek::framework
