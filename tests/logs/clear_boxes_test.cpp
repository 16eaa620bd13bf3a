// The two clear buttons in the running terminal: the box goes to its log and is
// emptied, and a log that cannot take the text keeps the box as it is.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/reader_thread.h"
#include "platform/testing.h"
#include "port/port_config.h"
#include "res/resource.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using morvek::test::ControlText;
using morvek::test::PressButton;
using morvek::test::ReadFileBytes;
using morvek::test::TerminalSession;
using morvek::test::WriteFileBytes;

const char kReceiveLog[] = "BAKUP/COM1_2008_3_5_9_7_MORVEKRcv.txt";
const char kSendLog[] = "BAKUP/COM1_2008_3_5_9_7_MORVEKSnd.txt";

class ClearBoxes : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    SYSTEMTIME utc = {};  // 5 March 2008, 00:07 UTC = 09:07 at UTC+9
    utc.wYear = 2008;
    utc.wMonth = 3;
    utc.wDay = 5;
    utc.wMinute = 7;
    morvek::testing::SetSystemTime(utc);
    setenv("MORVEK_COM1", "loopback", 1);
  }
  // Puts text into the receive box the way it gets there: through the port.
  static void Receive(CTerminalDlg& dlg, const char* text) {
    std::string before = ControlText(dlg, IDC_RECEIVE_BOX);
    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText(text);
    PressButton(dlg, IDC_SEND);
    ASSERT_TRUE(morvek::testing::PumpUntil([&] { return ControlText(dlg, IDC_RECEIVE_BOX) == before + text; }, 5s));
  }
};

TEST_F(ClearBoxes, EachBoxGoesToItsOwnLogAndTwoClearsInAMinuteShareIt) {
  TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    Receive(dlg, "AT\r\n");
    EXPECT_EQ(ControlText(dlg, IDC_RECV_COUNT), "4");
    PressButton(dlg, IDC_CLEAR_RECEIVE);
    EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX), "");
    EXPECT_EQ(ControlText(dlg, IDC_RECV_COUNT), "");
    EXPECT_EQ(ReadFileBytes(kReceiveLog), "AT\r\n");
    EXPECT_EQ(ControlText(dlg, IDC_DSR), "ON");  // indicators rewritten after the refresh

    Receive(dlg, "OK");
    PressButton(dlg, IDC_CLEAR_RECEIVE);
    EXPECT_EQ(ReadFileBytes(kReceiveLog), "AT\r\nOK");

    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText("送信データ\r\n2行目");
    PressButton(dlg, IDC_SEND);
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "");
    EXPECT_EQ(ControlText(dlg, IDC_SEND_COUNT), "");
    EXPECT_EQ(std::string(dlg.m_sendBuf, sizeof dlg.m_sendBuf), std::string(sizeof dlg.m_sendBuf, '\0'));
    EXPECT_EQ(ReadFileBytes(kSendLog), "送信データ\r\n2行目");

    // An empty box makes an empty log and still clears.
    fs::remove(kSendLog);
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_TRUE(fs::exists(kSendLog));
    EXPECT_EQ(ReadFileBytes(kSendLog), "");
    EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
  };
  session.Run();
}

TEST_F(ClearBoxes, ABoxWhoseLogCannotTakeItKeepsItsText) {
  TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    Receive(dlg, "kept");
    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText("also kept");

    WriteFileBytes("BAKUP", "a plain file where the folder belongs");
    PressButton(dlg, IDC_CLEAR_RECEIVE);
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(),
              (std::vector<std::string>{"ログファイルがオープンできません", "ログファイルがオープンできません"}));
    EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX), "kept");
    EXPECT_EQ(ControlText(dlg, IDC_RECV_COUNT), "4");
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "also kept");
    fs::remove("BAKUP");

    // A full disk: the box stays and the earlier log keeps its bytes exactly.
    fs::create_directory("BAKUP");
    WriteFileBytes(kReceiveLog, "old");
    morvek::testing::FailFileWritesAfter(2, ERROR_DISK_FULL);
    PressButton(dlg, IDC_CLEAR_RECEIVE);
    morvek::testing::ClearFileWriteFaults();
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{"ログファイルに書き込めません"});
    EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX), "kept");
    EXPECT_EQ(ReadFileBytes(kReceiveLog), "old");

    // Once the disk has room again the same clear goes through.
    PressButton(dlg, IDC_CLEAR_RECEIVE);
    EXPECT_EQ(ReadFileBytes(kReceiveLog), "oldkept");
    EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX), "");
  };
  session.Run();
}

TEST_F(ClearBoxes, APortIndexOutsideTheListGivesANameStartingWithTheSeparator) {
  TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText("x");
    g_portConfig.nPortIndex = 16;
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_EQ(ReadFileBytes("BAKUP/_2008_3_5_9_7_MORVEKSnd.txt"), "x");
    g_portConfig.nPortIndex = 0;
  };
  session.Run();
}

}  // namespace
