// CWinApp::Run: the message loop of a program whose InitInstance left a main
// window open, until that window is gone.
#include <QEventLoop>

#include "afx_app.h"
#include "qt/window_lifetime.h"

int CWinApp::Run() {
  HWND mainWindow = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
  if (IsWindow(mainWindow)) {
    QEventLoop loop;
    morvek::qt::SetWindowEndObserver([&](HWND ended) {
      if (ended == mainWindow) loop.exit();
    });
    loop.exec();
    morvek::qt::SetWindowEndObserver(nullptr);
  }
  return ExitInstance();
}
