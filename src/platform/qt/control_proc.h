// The built-in window procedures of the controls: what Windows' own button,
// edit and static classes do with their messages.
#pragma once

#include "qt/window_registry.h"

namespace morvek::qt {

// WM_SETTEXT, WM_GETTEXT and WM_GETTEXTLENGTH of any window (texts are CP932
// bytes). Returns false when the message is none of them.
bool HandleTextMessage(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// BM_* of buttons and STM_SETICON of static icons. Programmatic changes send
// no notification. Unknown messages give 0.
LRESULT ControlProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace morvek::qt
