// The default procedure of a dialog window (DefWindowProc and DefDlgProc).
#pragma once

#include "qt/window_registry.h"

namespace morvek::qt {

// The system command of the keyboard's menu key (Alt+Space).
constexpr UINT kScKeyMenu = 0xF100;

// WM_SYSCOMMAND: SC_MINIMIZE, SC_MAXIMIZE and SC_RESTORE change the window's
// state, SC_MOVE and SC_SIZE start the window system's move and resize,
// SC_CLOSE sends WM_CLOSE, SC_KEYMENU opens the system menu. WM_CLOSE gives the
// IDCANCEL command (a beep when the Cancel button is disabled). Alt+F4 and
// Alt+Space (WM_SYSKEYDOWN) give SC_CLOSE and SC_KEYMENU; WM_CONTEXTMENU opens
// the system menu where the mouse is. WM_SETICON sets the window icon and
// returns the previous one; WM_ERASEBKGND and WM_ICONERASEBKGND fill the
// paint context with the window's background. The caption is the window text.
LRESULT DialogProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace morvek::qt
