// The program's entry point: the command line first (its options end the
// process before any window system starts), then the window system, then the
// application object's InitInstance; its message loop runs only when
// InitInstance returns TRUE. The process ends with ExitInstance's code, or at
// the end of the session (WM_ENDSESSION) with 0.
#include <cstdio>

#include "afx_app.h"
#include "core/command_line.h"
#include "qt/application.h"
#include "qt/session_end.h"

int main(int argc, char** argv) {
  if (const auto status = morvek::core::HandleCommandLine(argc, argv, stdout, stderr)) return *status;
  morvek::qt::StartApplication(argc, argv);
  morvek::qt::WatchSessionEnd();
  CWinApp* app = AfxGetApp();
  int exitCode = 1;
  if (app) exitCode = app->InitInstance() ? app->Run() : app->ExitInstance();
  morvek::qt::StopApplication();
  return exitCode;
}
