// CPaintDC and the device contexts it hands out.
#include "qt/paint_context.h"

#include <map>
#include <memory>

#include "afx_misc.h"

namespace morvek::qt {
namespace {

HWND g_paintingWindow = nullptr;
QWidget* g_paintingWidget = nullptr;

std::map<HDC, std::unique_ptr<QPainter>>& DeviceContexts() {
  static std::map<HDC, std::unique_ptr<QPainter>> contexts;
  return contexts;
}

HDC NewDeviceContext(QWidget* widget) {
  static std::uintptr_t next = 0x20010;
  HDC hdc = reinterpret_cast<HDC>(next);
  next += 4;
  DeviceContexts().emplace(hdc, std::make_unique<QPainter>(widget));
  return hdc;
}

}  // namespace

PaintScope::PaintScope(HWND hwnd, QWidget* widget)
    : m_previousWindow(g_paintingWindow), m_previousWidget(g_paintingWidget) {
  g_paintingWindow = hwnd;
  g_paintingWidget = widget;
}

PaintScope::~PaintScope() {
  g_paintingWindow = m_previousWindow;
  g_paintingWidget = m_previousWidget;
}

QPainter* PainterOf(HDC hdc) {
  auto found = DeviceContexts().find(hdc);
  return found == DeviceContexts().end() ? nullptr : found->second.get();
}

}  // namespace morvek::qt

// Only inside the window's paint event can it be painted: elsewhere the paint
// context is empty (null) and draws nothing.
CPaintDC::CPaintDC(CWnd* pWnd) : m_hDC(nullptr), m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
  if (m_hWnd && m_hWnd == morvek::qt::g_paintingWindow && morvek::qt::g_paintingWidget) {
    m_hDC = morvek::qt::NewDeviceContext(morvek::qt::g_paintingWidget);
  }
}

CPaintDC::~CPaintDC() {
  if (m_hDC) morvek::qt::DeviceContexts().erase(m_hDC);
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
