// Window timers (SetTimer/KillTimer) on Qt timers.
#pragma once

#include "win32_user.h"

namespace morvek::qt {

// Stops every timer of a window (it is being destroyed).
void KillTimersOf(HWND hwnd);

}  // namespace morvek::qt
