// Dialog data exchange: control bindings and text exchange between a dialog's
// controls and its members.
#include "afx/window_backend.h"
#include "afx_wnd.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
  return m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (!pDX || rControl.m_hWnd) return;
  rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  if (!pDX) return;
  HWND hControl = pDX->PrepareCtrl(nIDC);
  if (!hControl) return;
  if (pDX->m_bSaveAndValidate) {
    morvek::framework::ReadWindowText(hControl, value);
  } else {
    morvek::framework::SetWindowTextKeepingLineage(hControl, value);
  }
}
