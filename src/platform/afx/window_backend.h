// What the framework's common code (afx/) needs from the window system beyond
// the Win32 calls of win32_user.h. The Qt backend (qt/) implements it. Every
// call belongs on the window thread.
#pragma once

#include "afx_wnd.h"

namespace morvek::framework {

// The system's own processing of a message: DefWindowProc and DefDlgProc for a
// dialog (system commands, WM_CLOSE to IDCANCEL, caption, icons, background)
// and the control's built-in procedure for a control (texts, checks, lists,
// selections). 0 for a window that does not exist.
LRESULT DefaultWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog keyboard interface for a key message bound for the dialog or one
// of its controls: Escape sends IDCANCEL; Return presses the focused push
// button, or else the dialog's IDOK button when it has one. Returns TRUE when
// it acted on the key (the key is then consumed); Tab, arrows and all other
// messages are left to the control (FALSE).
BOOL IsDialogMessage(HWND hDlg, const MSG* pMsg);

// Wrappers. AttachWrapper makes pWnd the permanent wrapper of hWnd (sets its
// m_hWnd); it fails when hWnd is not a window or already has another wrapper.
// A window's wrappers lose their m_hWnd when the window is destroyed.
BOOL AttachWrapper(HWND hWnd, CWnd* pWnd);
void DetachWrapper(HWND hWnd, CWnd* pWnd);
// The permanent wrapper, or else one the window owns until it is destroyed;
// null when hWnd is not a window.
CWnd* WrapperFor(HWND hWnd);

// Window texts that keep the string's append-lineage: setting a string that
// extends the shown text (same lineage, longer) appends only the tail; setting
// the string the window already shows costs nothing.
void SetWindowTextKeepingLineage(HWND hWnd, const CString& text);
// Reads the window's text into value. When value already holds what the window
// shows (same lineage and length, and the user has not edited it since), this
// costs nothing and leaves value alone. Empty for a window that does not exist.
void ReadWindowText(HWND hWnd, CString& value);

// The wrapper of a dialog's system menu (null when hWnd has none, or when
// bRevert resets the menu to its standard entries).
CMenu* SystemMenuWrapper(HWND hWnd, BOOL bRevert);

}  // namespace morvek::framework

// Calls pWnd's window procedure for a message bound for hWnd, with the message
// as the current one for CWnd::Default and GetCurrentMessage while it runs.
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
