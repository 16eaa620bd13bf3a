// Runs the real main dialog, as the program does, for an end-to-end test.
//
// Run() resets the program's globals to their values at load, then starts CTerminalDlg::DoModal. The port settings dialog that start-up
// shows is answered by `settings` (default: OK as it stands). Once the main
// window is up, `script` runs inside its message loop and drives it like a user
// (clicks, keys, typing, waiting for events with PumpUntil). When the script
// returns with the window still open, the session closes it through the
// program's own close command (so the reader and timers stop as at a real close).
#pragma once

#include <functional>
#include <string>

#include "platform/afx.h"
#include "platform/testing.h"
#include "ui/terminal_dlg.h"

namespace morvek::test {

struct TerminalSession {
  std::function<void(CDialog& settingsDialog)> settings;
  std::function<void(CTerminalDlg& dialog)> script;
  // How often each dialog template was shown.
  int settingsShown = 0;
  bool mainShown = false;

  // Runs the dialog to its end; returns DoModal's result.
  INT_PTR Run();
};

// Text of a control of a dialog, as bytes.
std::string ControlText(CWnd& dialog, int id);

// Presses a button as a user would (the click notification reaches the dialog).
void PressButton(CWnd& dialog, int id);

}  // namespace morvek::test
