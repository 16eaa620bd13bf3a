// The end of a window.
#pragma once

#include <functional>

#include "win32_user.h"

namespace morvek::qt {

// Ends a window and its controls: WM_DESTROY to each, their timers stopped,
// their records removed (their wrappers lose m_hWnd), the widget hidden. A
// modal loop the window runs ends. The widget is deleted by its owner: DoModal
// for a dialog, DestroyWindow otherwise.
void TearDownWindow(HWND hwnd);

// Called with each window torn down (one observer: the application's run loop).
void SetWindowEndObserver(std::function<void(HWND)> observer);

}  // namespace morvek::qt
