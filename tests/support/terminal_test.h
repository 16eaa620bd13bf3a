// A fixture that runs the real main dialog on COM1 in a temporary current
// folder, with message boxes captured (file faults, the fixed clock and
// MORVEK_COM1 are cleared after each test), and the helpers the exchange
// tests use to drive it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/testing.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "ui/terminal_dlg.h"

namespace morvek::test {

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the dialog on COM1 with the settings start-up loads; the script runs
  // inside its message loop, then the dialog is closed.
  void Run(const std::function<void(CTerminalDlg& dlg)>& script);

  TempCurrentDir m_dir;
};

// Chooses an entry of a selector as the operator does (the selection-change
// notification reaches the dialog).
void SelectEntry(CTerminalDlg& dlg, CComboBox& combo, int index);

// Replaces the text of the send box as typing would.
void TypeSendText(CTerminalDlg& dlg, const std::string& text);

// Calls `tick` from a window timer of the dialog every `periodMs` while it
// lives; window timers also fire in the waits inside the dialog's handlers, so
// a test can look at the window while a handler runs. One at a time.
class TimerHook {
 public:
  TimerHook(CTerminalDlg& dlg, UINT periodMs, std::function<void()> tick);
  ~TimerHook();
  TimerHook(const TimerHook&) = delete;
  TimerHook& operator=(const TimerHook&) = delete;

 private:
  HWND m_hWnd;
};

// A message box's texts since the last call.
std::vector<std::string> MessagesShown();

}  // namespace morvek::test
