// What a blocking system call needs from the window system, so that a long
// call made by a handler on the window thread does not leave a dead window.
// The Qt backend (qt/) implements it.
#pragma once

#include <functional>

#include "win32_types.h"

namespace morvek::core {

// Runs `call` to its end and returns its result, with the last error it set
// as the calling thread's last error.
//
// On the window thread, while the window system runs, a call that has not
// ended within a moment goes on on a helper thread while the window thread
// waits in a loop of its own. In that loop the window keeps painting and
// resizing, window timers fire and posted messages are dispatched; the
// operator's input (keys, mouse buttons and moves, wheel, context menus,
// input method, close requests) is held back and delivered, in its order,
// once the call has ended. Elsewhere, or before the window system runs, the
// call simply runs on the calling thread.
BOOL RunWhileWindowsWait(const std::function<BOOL()>& call);

}  // namespace morvek::core
