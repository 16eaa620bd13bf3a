// The two clear buttons in the running terminal: each box goes to its own log
// and is emptied with its count. (A log that cannot take the text keeps the
// box: tests/faults/disk_faults_test.cpp.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/testing.h"
#include "res/resource.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::PressButton;
using morvek::test::ReadFileBytes;
using morvek::test::TypeSendText;

const char kReceiveLog[] = "BAKUP/COM1_2008_3_5_9_7_MORVEKRcv.txt";
const char kSendLog[] = "BAKUP/COM1_2008_3_5_9_7_MORVEKSnd.txt";

using ClearBoxes = morvek::test::TerminalTest;

// Puts text into the receive box the way it gets there: through the plug.
void Receive(CTerminalDlg& dlg, const std::string& text) {
  const std::string before = ControlText(dlg, IDC_RECEIVE_BOX);
  TypeSendText(dlg, text);
  PressButton(dlg, IDC_SEND);
  ASSERT_TRUE(morvek::testing::PumpUntil([&] { return ControlText(dlg, IDC_RECEIVE_BOX) == before + text; }, 10s));
}

TEST_F(ClearBoxes, EachBoxGoesToItsOwnLogAndTwoClearsInAMinuteShareIt) {
  morvek::testing::SetSystemTime({2008, 3, 0, 5, 0, 7, 0, 0});  // 09:07 at UTC+9
  setenv("MORVEK_COM1", "loopback", 1);
  Run([&](CTerminalDlg& dlg) {
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

    TypeSendText(dlg, "送信データ\r\n2行目");
    PressButton(dlg, IDC_SEND);
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "");
    EXPECT_EQ(ControlText(dlg, IDC_SEND_COUNT), "");
    EXPECT_EQ(std::string(dlg.m_sendBuf, sizeof dlg.m_sendBuf), std::string(sizeof dlg.m_sendBuf, '\0'));
    EXPECT_EQ(ReadFileBytes(kSendLog), "送信データ\r\n2行目");

    // An empty box makes an empty log and still clears.
    std::filesystem::remove(kSendLog);
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_TRUE(std::filesystem::exists(kSendLog));
    EXPECT_EQ(ReadFileBytes(kSendLog), "");
    EXPECT_TRUE(morvek::test::MessagesShown().empty());
  });
}

}  // namespace
