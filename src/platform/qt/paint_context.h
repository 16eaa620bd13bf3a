// Painting: a window's WM_PAINT runs inside its widget's paint event, where a
// CPaintDC can open a painter on the widget. An HDC names such a painter.
#pragma once

#include <QPainter>
#include <QWidget>

#include "win32_types.h"

namespace morvek::qt {

// Marks the paint event of hwnd's widget as running (they nest per window).
class PaintScope {
 public:
  PaintScope(HWND hwnd, QWidget* widget);
  ~PaintScope();
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

 private:
  HWND m_previousWindow;
  QWidget* m_previousWidget;
};

// The painter of a device context, or null.
QPainter* PainterOf(HDC hdc);

}  // namespace morvek::qt
