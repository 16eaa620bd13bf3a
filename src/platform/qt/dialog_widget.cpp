#include "qt/dialog_widget.h"

#include <QCloseEvent>
#include <QTimer>

#include "qt/paint_context.h"
#include "qt/window_registry.h"

namespace morvek::qt {
namespace {

Qt::WindowFlags FlagsFor(DWORD style) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
  if ((style & WS_CAPTION) == WS_CAPTION) {
    flags |= Qt::WindowTitleHint;
  } else {
    flags |= Qt::FramelessWindowHint;
  }
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

}  // namespace

DialogWidget::DialogWidget(QWidget* owner, DWORD style)
    : QDialog(owner, FlagsFor(style)), m_resizable((style & WS_THICKFRAME) != 0) {
  setSizeGripEnabled(false);
}

void DialogWidget::SetNormalClientSize(QSize size) {
  m_normalSize = size;
  resize(size);
  FixSize();
}

void DialogWidget::SendCreationSize() { NotifySize(); }

void DialogWidget::FixSize() {
  if (m_resizable || isMaximized()) return;
  setFixedSize(m_normalSize);
}

void DialogWidget::Minimize() { showMinimized(); }

void DialogWidget::Maximize() {
  if (!isMaximized()) m_normalSize = size();
  // Maximising may outgrow the fixed size of a frame without sizing border.
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  showMaximized();
}

void DialogWidget::Restore() {
  if (isMinimized() && (windowState() & Qt::WindowMaximized)) {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    show();
    return;
  }
  showNormal();
  FixSize();
}

void DialogWidget::done(int) {}
void DialogWidget::accept() {}
void DialogWidget::reject() {}

void DialogWidget::paintEvent(QPaintEvent*) {
  if (!IsLiveWindow(m_hwnd)) return;
  PaintScope scope(m_hwnd, this);
  SendMessageA(m_hwnd, WM_PAINT, 0, 0);
}

void DialogWidget::resizeEvent(QResizeEvent*) { NotifySize(); }

void DialogWidget::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  // The new geometry of a state change may arrive after it: notify once both
  // have been seen (the notification is not repeated for an unchanged size).
  if (event->type() == QEvent::WindowStateChange) QTimer::singleShot(0, this, [this] { NotifySize(); });
}

void DialogWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (IsLiveWindow(m_hwnd)) SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWidget::keyPressEvent(QKeyEvent* event) { QWidget::keyPressEvent(event); }

void DialogWidget::NotifySize() {
  if (!IsLiveWindow(m_hwnd)) return;
  UINT kind = SIZE_RESTORED;
  QSize client = size();
  if (isMinimized()) {
    kind = SIZE_MINIMIZED;
    client = QSize(0, 0);
  } else if (isMaximized()) {
    kind = SIZE_MAXIMIZED;
  }
  if (m_sizeSent && kind == m_lastSizeKind && client == m_lastSize) return;
  m_sizeSent = true;
  m_lastSizeKind = kind;
  m_lastSize = client;
  SendMessageA(m_hwnd, WM_SIZE, kind, MAKELPARAM(client.width(), client.height()));
}

}  // namespace morvek::qt
