#include "terminal_test.h"

#include <stdlib.h>

#include "exchange/reader_thread.h"
#include "port/port_config.h"
#include "res/resource.h"

namespace morvek::test {

void TerminalTest::SetUp() {
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
}

void TerminalTest::TearDown() {
  morvek::testing::ClearFileWriteFaults();
  morvek::testing::ClearSystemTime();
  morvek::testing::CaptureMessageBoxes(false);
  morvek::testing::OnMessageBox(nullptr);
  unsetenv("MORVEK_COM1");
}

void TerminalTest::Run(const std::function<void(CTerminalDlg& dlg)>& script) {
  TerminalSession session;
  session.script = script;
  session.Run();
  EXPECT_TRUE(session.mainShown);
}

void SelectEntry(CTerminalDlg& dlg, CComboBox& combo, int index) {
  combo.SetCurSel(index);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(combo.GetDlgCtrlID(), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo.m_hWnd));
}

void TypeSendText(CTerminalDlg& dlg, const std::string& text) {
  dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText(CString(std::string_view(text)));
}

std::vector<std::string> MessagesShown() { return morvek::testing::TakeMessageBoxTexts(); }

}  // namespace morvek::test
