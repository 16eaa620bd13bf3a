// The end of the session that the operator did not choose (SIGTERM, SIGHUP,
// the end of the desktop session): the main window gets WM_ENDSESSION on the
// window thread, then the process ends (see win32_user.h).
#pragma once

namespace morvek::qt {

// Starts watching for the end: installs the signal handlers (which only wake
// the window thread through an eventfd) and follows the desktop session.
// Program only, once, after StartApplication.
void WatchSessionEnd();

// Whether the session is ending now (message boxes are then not shown).
bool SessionEnding();

}  // namespace morvek::qt
