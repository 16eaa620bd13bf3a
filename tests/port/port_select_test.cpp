// Port selection in the running terminal: to a missing, a busy and a refusing
// port and back, what the window then shows, and the new port's outputs.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/testing.h"
#include "port/port_settings_dlg.h"
#include "port/serial_driver.h"
#include "res/resource.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::PressButton;
using morvek::test::TerminalSession;
using morvek::testing::VirtualPort;

const char kTitlePrefix[] = "MORVEK Comm (VER 2.02)   ";

std::string Title(CWnd& dlg) {
  CString text;
  dlg.GetWindowText(text);
  return std::string(text.View());
}

void PickPort(CDialog& settings, int index) {
  EXPECT_TRUE(morvek::testing::ChooseComboEntry(static_cast<CPortSettingsDlg&>(settings).m_cmbPort.m_hWnd, index));
}

void PressOk(CDialog& dlg) { morvek::testing::Click(dlg.GetDlgItem(IDOK)->m_hWnd); }

class PortSelection : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    setenv("MORVEK_COM1", "loopback", 1);
    setenv("MORVEK_COM2", "/nonexistent/tty", 1);
    // The start-up showing takes the defaults; the n-th later showing picks
    // m_picks[n-1] and ends with OK.
    m_session.settings = [this](CDialog& settings) {
      int later = m_session.settingsShown - 2;
      if (later >= 0 && later < static_cast<int>(m_picks.size())) PickPort(settings, m_picks[later]);
      PressOk(settings);
    };
  }
  void TearDown() override {
    unsetenv("MORVEK_COM2");
    TerminalTest::TearDown();
  }
  TerminalSession m_session;
  std::vector<int> m_picks;
};

TEST_F(PortSelection, AMissingPortLeavesTheTerminalRunningUntilAGoodOneIsChosen) {
  m_picks = {1, 0};  // COM2 (missing), then COM1 again
  m_session.script = [&](CTerminalDlg& dlg) {
    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText("AT");
    dlg.m_cmbInterval.SetCurSel(1);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_INTERVAL, CBN_SELCHANGE), 0);
    ASSERT_EQ(dlg.m_nInterval, 1);

    PressButton(dlg, IDC_PORT_SELECT);
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{"COM2　ポートがオープンできません。"});
    EXPECT_EQ(ControlText(dlg, IDC_PORT_STATUS), "COM2 ポートは存在しません。");
    EXPECT_EQ(Title(dlg), std::string(kTitlePrefix) + "COM2 通信");
    EXPECT_EQ(ControlText(dlg, IDC_READ_TIMEOUT), "20");
    EXPECT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(dlg.m_nInterval, 0);
    EXPECT_EQ(dlg.m_cmbInterval.GetCurSel(), 0);
    EXPECT_EQ(dlg.m_cmbInterval.GetCount(), 5);
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "AT");

    PressButton(dlg, IDC_PORT_SELECT);
    EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
    EXPECT_EQ(ControlText(dlg, IDC_PORT_STATUS), " COM1 ,   9600 BPS , 8 BITS , No PARITY , 1 STOP , No FLOW");
    EXPECT_EQ(Title(dlg), std::string(kTitlePrefix) + "COM1 通信");
    EXPECT_NE(g_hComm.load(), INVALID_HANDLE_VALUE);

    // The reader runs again: what goes out through the loopback plug comes back.
    PressButton(dlg, IDC_SEND);
    EXPECT_TRUE(morvek::testing::PumpUntil([&] { return ControlText(dlg, IDC_RECEIVE_BOX) == "AT"; }, 5s))
        << ControlText(dlg, IDC_RECEIVE_BOX);
  };
  m_session.Run();
  EXPECT_EQ(m_session.settingsShown, 3);
}

TEST_F(PortSelection, APortThatOpensButCannotBeBroughtUpIsClosedAndShownAsMissing) {
  struct Row {
    const char* what;
    bool failGetState;
    bool refuseConfigure;
    std::vector<std::string> messages;
  } rows[] = {
      {"settings refused", false, true, {"COM2 ポートの初期設定ができません"}},
      {"state unreadable", true, false, {}},
  };
  for (const auto& row : rows) {
    auto port = VirtualPort::Install(2);
    port->FailGetState(row.failGetState);
    port->RefuseConfigure(row.refuseConfigure);
    TerminalSession session;
    session.settings = [&](CDialog& settings) {
      if (session.settingsShown == 2) PickPort(settings, 1);
      PressOk(settings);
    };
    session.script = [&](CTerminalDlg& dlg) {
      PressButton(dlg, IDC_PORT_SELECT);
      EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), row.messages) << row.what;
      EXPECT_EQ(ControlText(dlg, IDC_PORT_STATUS), "COM2 ポートは存在しません。") << row.what;
      EXPECT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE) << row.what;
      EXPECT_EQ(port->OpenCount(), 0) << row.what;
    };
    session.Run();
  }
}

// The first reselection ends the settings dialog by its close box, the second
// by OK: both open the picked port.
TEST_F(PortSelection, TheReopenedPortsOutputsFollowTheCheckBoxesHoweverTheSettingsEnd) {
  auto first = VirtualPort::Install(1);
  auto second = VirtualPort::Install(2);
  const std::string com2Status = " COM2 ,   9600 BPS , 8 BITS , No PARITY , 1 STOP , No FLOW";
  m_session.settings = [&](CDialog& settings) {
    if (m_session.settingsShown >= 2) PickPort(settings, 1);
    if (m_session.settingsShown == 2) {
      // The time-out typed before the close box is not taken.
      morvek::testing::TypeText(settings.GetDlgItem(IDC_TIMEOUT)->m_hWnd, "99");
      morvek::testing::SendKey(settings.m_hWnd, VK_F4, morvek::testing::kAlt);
      return;
    }
    PressOk(settings);
  };
  m_session.script = [&](CTerminalDlg& dlg) {
    EXPECT_EQ(first->OutputLines(), 3u);  // start-up raises both
    PressButton(dlg, IDC_DTR);            // DTR off
    ASSERT_EQ(dlg.m_bDtr, 0);
    PressButton(dlg, IDC_PORT_SELECT);
    EXPECT_EQ(first->OpenCount(), 0);
    EXPECT_EQ(second->OpenCount(), 1);
    EXPECT_EQ(second->OutputLines(), 2u);
    EXPECT_EQ(dlg.m_chkDtr.GetCheck(), 0);
    EXPECT_EQ(dlg.m_chkRts.GetCheck(), 1);
    EXPECT_EQ(ControlText(dlg, IDC_PORT_STATUS), com2Status);
    EXPECT_EQ(ControlText(dlg, IDC_READ_TIMEOUT), "20");

    // The same port again: closed and reopened, the window rebuilt the same.
    PressButton(dlg, IDC_RTS);  // RTS off too
    PressButton(dlg, IDC_PORT_SELECT);
    EXPECT_EQ(second->OpenCount(), 1);
    EXPECT_EQ(second->OutputLines(), 0u);
    EXPECT_EQ(ControlText(dlg, IDC_PORT_STATUS), com2Status);
    EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
  };
  m_session.Run();
  EXPECT_EQ(m_session.settingsShown, 3);
}

}  // namespace
