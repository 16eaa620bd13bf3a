// The window-layer test helpers that act as the user: keys, clicks, picks and
// typing, sent through the window system like real input.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "qt/key_codes.h"
#include "qt/qt_text.h"
#include "qt/window_registry.h"
#include "testing.h"

namespace morvek::qt {
namespace {

QWidget* WidgetOfWindow(HWND hwnd) {
  WindowRecord* record = FindWindowRecord(hwnd);
  return record ? record->widget.data() : nullptr;
}

Qt::KeyboardModifiers ModifiersOf(unsigned modifiers) {
  Qt::KeyboardModifiers result;
  if (modifiers & testing::kShift) result |= Qt::ShiftModifier;
  if (modifiers & testing::kControl) result |= Qt::ControlModifier;
  if (modifiers & testing::kAlt) result |= Qt::AltModifier;
  return result;
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  QPointF local(at);
  QPointF global(widget->mapToGlobal(at));
  Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
  QMouseEvent event(type, local, local, global, button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

}  // namespace
}  // namespace morvek::qt

namespace morvek::testing {

void SendKey(HWND target, UINT virtualKey, unsigned modifiers) {
  QPointer<QWidget> widget = qt::WidgetOfWindow(target);
  int key = qt::QtKeyOf(virtualKey);
  if (!widget || key == 0) return;
  widget->setFocus(Qt::OtherFocusReason);
  Qt::KeyboardModifiers held = qt::ModifiersOf(modifiers);
  QString text = (modifiers & (kControl | kAlt)) ? QString() : qt::TextOfKey(virtualKey, modifiers & kShift);
  QKeyEvent press(QEvent::KeyPress, key, held, text);
  QCoreApplication::sendEvent(widget, &press);
  // The press may have ended the window.
  if (!widget) return;
  QKeyEvent release(QEvent::KeyRelease, key, held, text);
  QCoreApplication::sendEvent(widget, &release);
}

void Click(HWND button) {
  QPointer<QWidget> widget = qt::WidgetOfWindow(button);
  if (!widget) return;
  QPoint centre = widget->rect().center();
  qt::SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, centre);
  if (widget) qt::SendMouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, centre);
}

void RightClick(HWND window, int x, int y) {
  QPointer<QWidget> widget = qt::WidgetOfWindow(window);
  if (!widget) return;
  qt::SendMouse(widget, QEvent::MouseButtonPress, Qt::RightButton, QPoint(x, y));
  if (widget) qt::SendMouse(widget, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(x, y));
}

void RequestClose(HWND dialog) {
  if (QWidget* widget = qt::WidgetOfWindow(dialog)) widget->close();
}

bool ChooseComboEntry(HWND combo, int index) {
  qt::WindowRecord* record = qt::FindWindowRecord(combo);
  if (!record || record->kind != qt::WindowKind::ComboBox || !record->widget) return false;
  auto* box = static_cast<QComboBox*>(record->widget.data());
  if (index < 0 || index >= box->count() || !box->isEnabled()) return false;
  // As a pick from the open list: the selection changes, then the list reports it.
  box->setCurrentIndex(index);
  emit box->activated(index);
  return true;
}

bool TypeText(HWND edit, const std::string& cp932) {
  qt::WindowRecord* record = qt::FindWindowRecord(edit);
  if (!record || !record->widget || !record->widget->isEnabled()) return false;
  QString text = qt::FromCp932(cp932);
  if (record->kind == qt::WindowKind::LineEdit) {
    auto* line = static_cast<QLineEdit*>(record->widget.data());
    if (line->isReadOnly()) return false;
    line->selectAll();
    line->insert(text);  // as a paste over the selection: an edit of the user's
    return true;
  }
  if (record->kind == qt::WindowKind::TextEdit) {
    auto* box = static_cast<QPlainTextEdit*>(record->widget.data());
    if (box->isReadOnly()) return false;
    box->selectAll();
    box->insertPlainText(text);
    return true;
  }
  return false;
}

bool CommitInputMethodText(HWND edit, const std::string& cp932) {
  qt::WindowRecord* record = qt::FindWindowRecord(edit);
  if (!record || !record->widget || !record->widget->isEnabled()) return false;
  QWidget* widget = record->widget.data();
  widget->setFocus();
  QInputMethodEvent preedit(qt::FromCp932(cp932), {});
  QCoreApplication::sendEvent(widget, &preedit);
  QInputMethodEvent commit;
  commit.setCommitString(qt::FromCp932(cp932));
  QCoreApplication::sendEvent(widget, &commit);
  return true;
}

}  // namespace morvek::testing
