// The whole terminal from start to close: start-up paths, a round trip on the
// loopback plug, and what a close leaves on disk.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "platform/testing.h"
#include "res/resource.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::PressButton;
using morvek::test::ReadFileBytes;
using morvek::test::TerminalSession;
namespace fs = std::filesystem;

class TerminalEndToEnd : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    setenv("MORVEK_COM1", "loopback", 1);
  }
};

// The default record, byte for byte.
std::string DefaultRecord() {
  std::string r(128, '\0');
  r[4] = '\x80';
  r[5] = '\x25';
  r[8] = 8;
  r[28] = 20;
  r.replace(32, 4, "COM1");
  r.replace(48, 6, "  9600");
  r[64] = '8';
  r.replace(80, 2, "No");
  r[96] = '1';
  r.replace(112, 2, "No");
  return r;
}

TEST_F(TerminalEndToEnd, FirstRunWithoutSettingsShowsDefaultsAndCloseWritesEverything) {
  TerminalSession session;
  std::string title, status, timeout;
  session.script = [&](CTerminalDlg& dlg) {
    CString text;
    dlg.GetWindowText(text);
    title = std::string(text.View());
    status = ControlText(dlg, IDC_PORT_STATUS);
    timeout = ControlText(dlg, IDC_READ_TIMEOUT);
    EXPECT_EQ(dlg.m_chkDtr.GetCheck(), 1);
    EXPECT_EQ(dlg.m_chkRts.GetCheck(), 1);
    // DTR and RTS on: the loopback plug reports DSR, DCD and CTS at the next refresh.
    EXPECT_TRUE(morvek::testing::PumpUntil([&] { return ControlText(dlg, IDC_DSR) == "ON"; }, 5s));
    EXPECT_EQ(ControlText(dlg, IDC_CTS), "ON");
    EXPECT_EQ(ControlText(dlg, IDC_DCD), "ON");
    EXPECT_EQ(ControlText(dlg, IDC_RI), "OFF");
  };
  session.Run();
  EXPECT_EQ(session.settingsShown, 1);
  EXPECT_TRUE(session.mainShown);
  EXPECT_EQ(title, "MORVEK Comm (VER 2.02)   COM1 通信");
  EXPECT_EQ(status, " COM1 ,   9600 BPS , 8 BITS , No PARITY , 1 STOP , No FLOW");
  EXPECT_EQ(timeout, "20");
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
  EXPECT_EQ(ReadFileBytes("morvek.ini"), DefaultRecord());
  int backups = 0;
  for (const auto& entry : fs::directory_iterator("BAKUP")) {
    std::string name = entry.path().filename().string();
    EXPECT_EQ(name.rfind("COM1_", 0), 0u) << name;
    EXPECT_EQ(fs::file_size(entry.path()), 0u);
    ++backups;
  }
  EXPECT_EQ(backups, 2);
}

TEST_F(TerminalEndToEnd, SentTextComesBackThroughTheLoopbackPlug) {
  TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText("AT");
    dlg.m_cmbSendFormat.SetCurSel(3);  // CRLF
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEND_FORMAT, CBN_SELCHANGE), 0);
    PressButton(dlg, IDC_SEND);
    EXPECT_EQ(ControlText(dlg, IDC_SEND_COUNT), "2");
    EXPECT_TRUE(morvek::testing::PumpUntil([&] { return ControlText(dlg, IDC_RECEIVE_BOX) == "AT\r\n"; }, 5s))
        << ControlText(dlg, IDC_RECEIVE_BOX);
    EXPECT_EQ(ControlText(dlg, IDC_RECV_COUNT), "4");
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "AT");
  };
  session.Run();
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
}

TEST_F(TerminalEndToEnd, APortThatCannotBeOpenedEndsTheProgramWithItsMessageAndWritesNothing) {
  setenv("MORVEK_COM1", "/nonexistent/tty", 1);
  TerminalSession session;
  session.Run();
  EXPECT_FALSE(session.mainShown);
  EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{" ポートがオープンできません"});
  EXPECT_FALSE(fs::exists("morvek.ini"));
  EXPECT_FALSE(fs::exists("BAKUP"));
}

TEST_F(TerminalEndToEnd, ARefusedConfigurationIsReportedWithThePortName) {
  auto port = morvek::testing::VirtualPort::Install(1);
  port->RefuseConfigure(true);
  TerminalSession session;
  session.Run();
  EXPECT_FALSE(session.mainShown);
  EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{"COM1 ポートの初期設定ができません"});
  EXPECT_EQ(port->OpenCount(), 0);
  EXPECT_FALSE(fs::exists("morvek.ini"));
}

TEST_F(TerminalEndToEnd, AnUnreadablePortStateIsReportedToo) {
  auto port = morvek::testing::VirtualPort::Install(1);
  port->FailGetState(true);
  TerminalSession session;
  session.Run();
  EXPECT_FALSE(session.mainShown);
  EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{"COM1 ポートの初期設定ができません"});
  EXPECT_EQ(port->OpenCount(), 0);
}

TEST_F(TerminalEndToEnd, EscapeBeepsAndKeepsTheWindowOpen) {
  TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    morvek::testing::TakeBeepCount();
    MSG msg{dlg.GetDlgItem(IDC_SEND_BOX)->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(static_cast<CWnd&>(dlg).PreTranslateMessage(&msg));
    EXPECT_EQ(morvek::testing::TakeBeepCount(), 1);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
  };
  session.Run();
}

}  // namespace
