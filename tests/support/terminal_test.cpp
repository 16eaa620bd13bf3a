#include "terminal_test.h"

#include <stdlib.h>

#include <utility>

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

namespace {

constexpr UINT_PTR kHookTimer = 0x5E4D;
std::function<void()> g_hookTick;

void HookTick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_hookTick) g_hookTick();
}

}  // namespace

TimerHook::TimerHook(CTerminalDlg& dlg, UINT periodMs, std::function<void()> tick) : m_hWnd(dlg.m_hWnd) {
  g_hookTick = std::move(tick);
  SetTimer(m_hWnd, kHookTimer, periodMs, HookTick);
}

TimerHook::~TimerHook() {
  KillTimer(m_hWnd, kHookTimer);
  g_hookTick = nullptr;
}

std::vector<std::string> MessagesShown() { return morvek::testing::TakeMessageBoxTexts(); }

}  // namespace morvek::test
