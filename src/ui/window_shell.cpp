// The main dialog's window handlers: layout on resize, the Escape filter, the
// icon while minimised, the About entry and F1.
#include "res/resource.h"
#include "ui/about_dlg.h"
#include "ui/terminal_dlg.h"

void CTerminalDlg::OnSize(UINT nType, int cx, int cy) {
  Default();
  CWnd* pCancel = GetDlgItem(IDCANCEL);
  if (!pCancel) return;  // the notification that comes before the controls exist
  pCancel->MoveWindow(cx - 54, 6, 49, 24, TRUE);
  GetDlgItem(IDC_SEND)->MoveWindow(cx - 89, 110, 84, 35, TRUE);
  GetDlgItem(IDC_SEND_BOX)->MoveWindow(4, 148, cx - 5, 100, TRUE);
  GetDlgItem(IDC_RECEIVE_BOX)->MoveWindow(4, 340, cx - 9, cy - 350, TRUE);
}

BOOL CTerminalDlg::PreTranslateMessage(MSG* pMsg) {
  // Escape must not close the terminal, whichever control has the focus.
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
    MessageBeep(MB_OK);
    return TRUE;
  }
  return CDialog::PreTranslateMessage(pMsg);
}

void CTerminalDlg::OnPaint() {
  if (!IsIconic()) {
    Default();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  int cxIcon = GetSystemMetrics(SM_CXICON);
  int cyIcon = GetSystemMetrics(SM_CYICON);
  RECT rect;
  GetClientRect(&rect);
  int x = (rect.right - rect.left - cxIcon + 1) / 2;
  int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CTerminalDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CTerminalDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
    return;
  }
  Default();
}

BOOL CTerminalDlg::OnHelpInfo(HELPINFO* pHelpInfo) { return TRUE; }
