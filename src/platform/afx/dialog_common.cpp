// CDialog's behaviour that does not depend on the window system: its message
// map, initialisation, OK and Cancel, and its keyboard filter. DoModal and
// EndDialog belong to the window system (qt/modal_dialog.cpp).
#include "afx/window_backend.h"
#include "afx_dialog.h"

namespace {

bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_SYSKEYDOWN ||
         message == WM_SYSKEYUP;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (!pMsg || !IsKeyMessage(pMsg->message)) return FALSE;
  return morvek::framework::IsDialogMessage(m_hWnd, pMsg);
}

// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWnd)
  {WM_INITDIALOG, 0, 0, 0, AFX_THUNK(return self->OnInitDialog();)},
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()
// clang-format on
