// The application object: the one CWinApp, its resources and main window.
// Run, the message loop, belongs to the window system (qt/app_run.cpp).
#include "afx_app.h"

namespace {

// The application object constructed last (a program has exactly one).
CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

HICON CWinApp::LoadIcon(UINT nIDResource) const { return ::LoadIconA(nullptr, MAKEINTRESOURCE(nIDResource)); }

const AFX_MSGMAP* CWinApp::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP messageMap = {&CCmdTarget::GetThisMessageMap, entries};
  return &messageMap;
}

const AFX_MSGMAP* CWinApp::GetMessageMap() const { return GetThisMessageMap(); }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
