// The program's entry point: the window system, then the application
// object's InitInstance; its message loop runs only when InitInstance
// returns TRUE. The process ends with ExitInstance's code.
#include "afx_app.h"
#include "qt/application.h"

int main(int argc, char** argv) {
  morvek::qt::StartApplication(argc, argv);
  CWinApp* app = AfxGetApp();
  int exitCode = 1;
  if (app) exitCode = app->InitInstance() ? app->Run() : app->ExitInstance();
  morvek::qt::StopApplication();
  return exitCode;
}
