// The whole terminal from start to close: the first run's defaults and what
// its close writes, and the ports that cannot be set up.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "platform/testing.h"
#include "res/resource.h"
#include "support/terminal_session.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
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

// Also: every text the program puts in (list entries such as "ASCIIcrlf",
// "115200", "Hardware", the status line, the line indicators) is shown whole.
TEST_F(TerminalEndToEnd, FirstRunWithoutSettingsShowsDefaultsAndCloseWritesEverything) {
  TerminalSession session;
  std::vector<std::string> settingsClipped, mainClipped;
  session.settings = [&](CDialog& settings) {
    settingsClipped = morvek::testing::ClippedTexts(settings.m_hWnd);
    settings.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  std::string title, timeout;
  session.script = [&](CTerminalDlg& dlg) {
    CString text;
    dlg.GetWindowText(text);
    title = std::string(text.View());
    timeout = ControlText(dlg, IDC_READ_TIMEOUT);
    EXPECT_EQ(dlg.m_chkDtr.GetCheck(), 1);
    EXPECT_EQ(dlg.m_chkRts.GetCheck(), 1);
    // The indicators' texts are measured once shown (each line on the plug:
    // ModemLinesTest).
    EXPECT_TRUE(morvek::testing::PumpUntil([&] { return ControlText(dlg, IDC_DSR) == "ON"; }, 30s));
    mainClipped = morvek::testing::ClippedTexts(dlg.m_hWnd);
  };
  session.Run();
  EXPECT_EQ(session.settingsShown, 1);
  EXPECT_TRUE(session.mainShown);
  EXPECT_EQ(settingsClipped, std::vector<std::string>());
  EXPECT_EQ(mainClipped, std::vector<std::string>());
  EXPECT_EQ(title, "MORVEK Comm (VER 2.02)   COM1 通信");
  EXPECT_EQ(timeout, "20");
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
  EXPECT_EQ(ReadFileBytes("morvek.ini"), DefaultRecord());
  int backups = 0;
  for (const auto& entry : fs::directory_iterator("BAKUP")) {
    EXPECT_TRUE(entry.path().filename().string().starts_with("COM1_")) << entry.path();
    EXPECT_EQ(fs::file_size(entry.path()), 0u);
    ++backups;
  }
  EXPECT_EQ(backups, 2);
}

// A port that cannot be opened, configured or read ends the program with its
// message, before the main window, and writes nothing.
TEST_F(TerminalEndToEnd, APortThatCannotBeSetUpEndsTheProgramAndWritesNothing) {
  enum Fault { kRefusedConfiguration, kUnreadableState, kNoDevice };
  for (Fault fault : {kRefusedConfiguration, kUnreadableState, kNoDevice}) {
    SCOPED_TRACE(fault);
    std::shared_ptr<morvek::testing::VirtualPort> port;
    if (fault == kNoDevice) {
      setenv("MORVEK_COM1", "/nonexistent/tty", 1);
    } else {
      port = morvek::testing::VirtualPort::Install(1);
      port->RefuseConfigure(fault == kRefusedConfiguration);
      port->FailGetState(fault == kUnreadableState);
    }
    TerminalSession session;
    session.Run();
    EXPECT_FALSE(session.mainShown);
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(),
              std::vector<std::string>{fault == kNoDevice ? " ポートがオープンできません" : "COM1 ポートの初期設定ができません"});
    EXPECT_EQ(port ? port->OpenCount() : 0, 0);
    EXPECT_FALSE(fs::exists("morvek.ini"));
    EXPECT_FALSE(fs::exists("BAKUP"));
  }
}

}  // namespace
