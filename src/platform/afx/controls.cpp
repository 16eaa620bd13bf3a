// The control wrappers: each call is the control message Windows defines for it.
#include "afx_dialog.h"

int CButton::GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }

void CButton::SetCheck(int nCheck) { ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0); }

int CComboBox::GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }

int CComboBox::GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0)); }

int CComboBox::SetCurSel(int nSelect) {
  return static_cast<int>(::SendMessageA(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(nSelect), 0));
}

int CComboBox::InsertString(int nIndex, LPCSTR lpszString) {
  return static_cast<int>(
      ::SendMessageA(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszString)));
}

void CComboBox::ResetContent() { ::SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0); }

int CComboBox::SelectString(int nStartAfter, LPCSTR lpszString) {
  return static_cast<int>(::SendMessageA(m_hWnd, CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter),
                                         reinterpret_cast<LPARAM>(lpszString)));
}

int CComboBox::GetLBText(int nIndex, LPSTR lpszText) const {
  return static_cast<int>(
      ::SendMessageA(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  const int length =
      static_cast<int>(::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0));
  if (length == CB_ERR) {
    rString.Empty();
    return;
  }
  int copied = GetLBText(nIndex, rString.GetBuffer(length));
  rString.ReleaseBuffer(copied == CB_ERR ? 0 : copied);
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
  return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
