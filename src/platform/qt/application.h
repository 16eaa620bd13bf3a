// The window system of a process: one QApplication, started once, on the
// thread that becomes the window thread.
#pragma once

namespace morvek::qt {

// Starts the window system (the application object, its fonts, the message
// queue). Calls after the first do nothing.
void StartApplication(int& argc, char** argv);
// Ends it; no window may remain.
void StopApplication();

}  // namespace morvek::qt
