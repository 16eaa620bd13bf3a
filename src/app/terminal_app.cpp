#include "app/terminal_app.h"

#include "ui/terminal_dlg.h"

CTerminalApp theApp;

CTerminalApp::CTerminalApp() : CWinApp(nullptr) {}

CTerminalApp::~CTerminalApp() = default;

BEGIN_MESSAGE_MAP(CTerminalApp, CWinApp)
  ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

BOOL CTerminalApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();

  CTerminalDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();

  // The dialog has ended: returning FALSE ends the process instead of entering
  // the framework's message loop.
  m_pMainWnd = nullptr;
  return FALSE;
}
