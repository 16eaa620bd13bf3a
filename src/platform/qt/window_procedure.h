// Calling a window's procedure: its wrapper's WindowProc when it has one,
// else the system's default processing.
#pragma once

#include "win32_user.h"

namespace morvek::qt {

// Window thread. 0 (ERROR_INVALID_HANDLE) for a window that does not exist.
LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace morvek::qt
