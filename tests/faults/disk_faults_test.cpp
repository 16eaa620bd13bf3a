// The running terminal when the disk goes wrong under its logs and its settings
// file: a full or read-only disk, a folder where the settings file must go, and
// a working folder deeper than PATH_MAX. No file that existed loses a byte, no
// box loses its text, and the terminal closes only once both boxes are safely
// in their logs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing.h"
#include "res/resource.h"
#include "support/default_port_config.h"
#include "support/scratch_disk.h"
#include "support/terminal_test.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::PressButton;
using morvek::test::ReadFileBytes;
using morvek::test::ScratchDisk;
using morvek::test::TypeSendText;
using morvek::test::WriteFileBytes;
using morvek::testing::PumpUntil;
using morvek::testing::VirtualPort;

const std::string kCannotWriteLog = "ログファイルに書き込めません";
const std::string kCannotWriteSettings = "初期化ファイルがオープンできません";

// The log names under the fixed clock below (2026-12-07 01:02 UTC is 10:02 at UTC+9).
const fs::path kReceiveLog = "BAKUP/COM1_2026_12_7_10_2_MORVEKRcv.txt";
const fs::path kSendLog = "BAKUP/COM1_2026_12_7_10_2_MORVEKSnd.txt";
const fs::path kCloseReceiveLog = "BAKUP/COM1_2026_12_7_10_2_BakMORVEKRcv.txt";
const fs::path kCloseSendLog = "BAKUP/COM1_2026_12_7_10_2_BakMORVEKSnd.txt";

// A settings file as an earlier run left it (time-out 35 instead of 20).
std::string EarlierSettings() {
  PortConfig config = morvek::test::DefaultPortConfig();
  config.ReadIntervalTimeout = 35;
  return morvek::test::RecordOf(config);
}

class DiskFaultTest : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    morvek::testing::SetSystemTime({2026, 12, 0, 7, 1, 2, 0, 0});
  }
  // Puts received text in the box as the port would deliver it.
  void Receive(CTerminalDlg& dlg, const std::string& text) {
    size_t length = static_cast<size_t>(dlg.m_strReceive.GetLength()) + text.size();
    m_port->InjectReceived(text);
    ASSERT_TRUE(PumpUntil([&] { return static_cast<size_t>(dlg.m_strReceive.GetLength()) == length; }, 10s));
  }
  // Tries to close the terminal as the operator does; true when it closed.
  static bool TryClose(CTerminalDlg& dlg) {
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return !IsWindow(dlg.m_hWnd);
  }
  std::shared_ptr<VirtualPort> m_port = VirtualPort::Install(1);
};

TEST_F(DiskFaultTest, AFullDiskKeepsBothBoxesAndEveryOldFileUntilThereIsRoom) {
  ScratchDisk disk("disk", 256);
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  ASSERT_EQ(chdir("disk"), 0);
  WriteFileBytes("morvek.ini", EarlierSettings());
  fs::create_directory("BAKUP");
  WriteFileBytes(kReceiveLog, "earlier\r\n");
  const std::string received(100000, 'r');
  const std::string typed = "typed text\r\nline two";

  Run([&](CTerminalDlg& dlg) {
    EXPECT_EQ(ControlText(dlg, IDC_READ_TIMEOUT), "35") << "the earlier settings were loaded";
    Receive(dlg, received);
    TypeSendText(dlg, typed);
    disk.FillUp();

    PressButton(dlg, IDC_CLEAR_RECEIVE);
    EXPECT_EQ(MessagesShown(), std::vector<std::string>{kCannotWriteLog});
    EXPECT_EQ(dlg.m_strReceive.View(), received);
    EXPECT_EQ(ReadFileBytes(kReceiveLog), "earlier\r\n");

    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_EQ(MessagesShown(), std::vector<std::string>{kCannotWriteLog});
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), typed);
    EXPECT_EQ(ReadFileBytes(kSendLog), "");

    // Closing would lose the boxes: the terminal stays open and says so.
    EXPECT_FALSE(TryClose(dlg));
    EXPECT_EQ(MessagesShown(), std::vector<std::string>{kCannotWriteLog});
    EXPECT_EQ(dlg.m_strReceive.View(), received);
    EXPECT_EQ(ReadFileBytes("morvek.ini"), EarlierSettings());

    // With room again everything goes where it belongs.
    disk.MakeRoom();
    PressButton(dlg, IDC_CLEAR_RECEIVE);
    EXPECT_EQ(ReadFileBytes(kReceiveLog), "earlier\r\n" + received);
    EXPECT_EQ(dlg.m_strReceive.View(), "");
    Receive(dlg, "last");
    EXPECT_TRUE(TryClose(dlg));
  });
  EXPECT_TRUE(MessagesShown().empty());
  EXPECT_EQ(ReadFileBytes(kCloseReceiveLog), "last");
  EXPECT_EQ(ReadFileBytes(kCloseSendLog), typed);
  EXPECT_EQ(ReadFileBytes("morvek.ini"), EarlierSettings());
  ASSERT_EQ(chdir(".."), 0);
}

TEST_F(DiskFaultTest, ASettingsFileThatCannotBeWrittenKeepsTheEarlierOne) {
  // The logs have room on a disk of their own; the working folder is full or
  // read-only.
  for (bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only" : "full");
    ScratchDisk disk("disk", 64);
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    WriteFileBytes("disk/morvek.ini", EarlierSettings());
    ScratchDisk logs("disk/BAKUP", 1024);
    ASSERT_TRUE(logs.mounted());
    if (readOnly) {
      ASSERT_TRUE(disk.SetReadOnly(true));
    } else {
      disk.FillUp();
    }
    ASSERT_EQ(chdir("disk"), 0);
    Run([&](CTerminalDlg& dlg) {
      Receive(dlg, "kept");
      TypeSendText(dlg, "sent");
    });
    EXPECT_EQ(MessagesShown(), std::vector<std::string>{kCannotWriteSettings});
    EXPECT_EQ(ReadFileBytes("morvek.ini"), EarlierSettings());
    EXPECT_FALSE(fs::exists("morvek.ini.tmp"));
    EXPECT_EQ(ReadFileBytes(kCloseReceiveLog), "kept");
    EXPECT_EQ(ReadFileBytes(kCloseSendLog), "sent");
    ASSERT_EQ(chdir(".."), 0);
  }
}

// A folder where the settings file must go: the close reports it and goes on,
// and the boxes still reach their logs.
TEST_F(DiskFaultTest, ASettingsFileThatBecameAFolderIsReportedAtTheCloseAndLeftAlone) {
  Run([&](CTerminalDlg& dlg) {
    Receive(dlg, "two");
    TypeSendText(dlg, "typed");
    fs::create_directory("morvek.ini");
  });
  EXPECT_EQ(MessagesShown(), std::vector<std::string>{kCannotWriteSettings});
  EXPECT_TRUE(fs::is_directory("morvek.ini"));
  EXPECT_FALSE(fs::exists("morvek.ini.tmp"));
  EXPECT_EQ(ReadFileBytes(kCloseReceiveLog), "two");
  EXPECT_EQ(ReadFileBytes(kCloseSendLog), "typed");
}

TEST_F(DiskFaultTest, AWorkingFolderBeyondTheLongestPathStillKeepsLogsAndSettings) {
  // 25 * 201 characters: beyond the 4096 of PATH_MAX, so entered one level at a
  // time (the temporary folder's removal takes it down again).
  const std::string level(200, 'd');
  for (int i = 0; i < 25; ++i) {
    fs::create_directory(level);
    ASSERT_EQ(chdir(level.c_str()), 0);
  }
  Run([&](CTerminalDlg& dlg) {
    Receive(dlg, "deep");
    PressButton(dlg, IDC_CLEAR_RECEIVE);
    EXPECT_EQ(ReadFileBytes(kReceiveLog), "deep");

    // A file named by its whole path there cannot be opened: the load says so
    // and the send box stays as it was.
    WriteFileBytes("load.txt", "text");
    TypeSendText(dlg, "before");
    morvek::testing::ScriptFileDialog("load.txt");
    PressButton(dlg, IDC_FILE_SELECT);
    std::vector<std::string> messages = MessagesShown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("load.txt"), std::string::npos) << messages[0];
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "before");
    EXPECT_EQ(ControlText(dlg, IDC_FILE_SELECT), "ファイル選択");
  });
  EXPECT_TRUE(MessagesShown().empty());
  EXPECT_EQ(ReadFileBytes("morvek.ini"), morvek::test::RecordOf(morvek::test::DefaultPortConfig()));
  EXPECT_EQ(ReadFileBytes(kCloseSendLog), "before");
  for (int i = 0; i < 25; ++i) {  // no call can name the deepest folders in full
    for (const auto& entry : fs::directory_iterator(".")) fs::remove_all(entry.path().filename());
    ASSERT_EQ(chdir(".."), 0);
  }
}

}  // namespace
