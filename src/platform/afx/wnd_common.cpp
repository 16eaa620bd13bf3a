// CWnd: the window procedure chain, the current message, and the member calls
// that forward to the window calls of win32_user.h.
#include <vector>

#include "afx/window_backend.h"
#include "afx_wnd.h"

namespace {

// The messages being handled now, innermost last (handlers nest through
// SendMessage, modal loops and local pumps).
std::vector<MSG>& CurrentMessages() {
  static std::vector<MSG> messages;
  return messages;
}

struct CurrentMessageScope {
  CurrentMessageScope(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessages().push_back(MSG{hWnd, message, wParam, lParam, 0, {0, 0}});
  }
  ~CurrentMessageScope() { CurrentMessages().pop_back(); }
  CurrentMessageScope(const CurrentMessageScope&) = delete;
  CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;
};

}  // namespace

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!pWnd) return 0;
  CurrentMessageScope scope(hWnd, message, wParam, lParam);
  return pWnd->WindowProc(message, wParam, lParam);
}

CWnd::~CWnd() {
  if (m_hWnd) morvek::framework::DetachWrapper(m_hWnd, this);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return FindAndCall(message, wParam, lParam, pResult);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return morvek::framework::DefaultWindowProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg) { return FALSE; }

LRESULT CWnd::Default() {
  if (CurrentMessages().empty()) return 0;
  const MSG current = CurrentMessages().back();
  return DefWindowProc(current.message, current.wParam, current.lParam);
}

const MSG* CWnd::GetCurrentMessage() const {
  static const MSG none{};
  return CurrentMessages().empty() ? &none : &CurrentMessages().back();
}

void CWnd::DoDataExchange(CDataExchange* pDX) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent || m_hWnd) return FALSE;
  HWND hControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  if (!hControl) return FALSE;
  return morvek::framework::AttachWrapper(hControl, this);
}

CWnd* CWnd::GetDlgItem(int nID) const {
  HWND hControl = ::GetDlgItem(m_hWnd, nID);
  return hControl ? morvek::framework::WrapperFor(hControl) : nullptr;
}

void CWnd::SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

void CWnd::SetWindowText(const CString& text) { morvek::framework::SetWindowTextKeepingLineage(m_hWnd, text); }

void CWnd::GetWindowText(CString& rString) const { morvek::framework::ReadWindowText(m_hWnd, rString); }

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

void CWnd::GetClientRect(RECT* lpRect) const {
  if (lpRect && !::GetClientRect(m_hWnd, lpRect)) *lpRect = RECT{0, 0, 0, 0};
}

void CWnd::GetWindowRect(RECT* lpRect) const {
  if (lpRect && !::GetWindowRect(m_hWnd, lpRect)) *lpRect = RECT{0, 0, 0, 0};
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return morvek::framework::SystemMenuWrapper(m_hWnd, bRevert); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }


LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }


const AFX_MSGMAP* CWnd::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP messageMap = {&CCmdTarget::GetThisMessageMap, entries};
  return &messageMap;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }
