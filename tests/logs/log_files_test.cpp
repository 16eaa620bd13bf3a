// Log names, the backup folder and appending to a log: the bytes on disk, and
// what a fault leaves there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "logs/log_files.h"
#include "platform/testing.h"
#include "support/temp_dir.h"
#include "support/terminal_test.h"
#include "ui/terminal_dlg.h"

namespace {

namespace fs = std::filesystem;
using morvek::test::ReadFileBytes;
using morvek::test::WriteFileBytes;

const char kOpenMessage[] = "ログファイルがオープンできません";
const char kWriteMessage[] = "ログファイルに書き込めません";
const char kLogName[] = ".\\BAKUP.\\COM3_2008_3_5_9_7_MORVEKRcv.txt";
const char kLogPath[] = "BAKUP/COM3_2008_3_5_9_7_MORVEKRcv.txt";

std::string Bytes(const CString& text) { return std::string(text.View()); }

class LogFiles : public morvek::test::TerminalTest {
 protected:
  std::vector<std::string> Messages() { return morvek::test::MessagesShown(); }
  CTerminalDlg m_dlg;
};

TEST_F(LogFiles, NamesCarryPortStampAndEventSuffix) {
  const char* suffixes[] = {kClearReceiveLogSuffix, kClearSendLogSuffix, kShutdownReceiveLogSuffix,
                            kShutdownSendLogSuffix};
  EXPECT_STREQ(kClearReceiveLogSuffix, "_MORVEKRcv.txt");
  EXPECT_STREQ(kClearSendLogSuffix, "_MORVEKSnd.txt");
  EXPECT_STREQ(kShutdownReceiveLogSuffix, "_BakMORVEKRcv.txt");
  EXPECT_STREQ(kShutdownSendLogSuffix, "_BakMORVEKSnd.txt");
  for (const char* suffix : suffixes) {
    for (int index = 0; index < 16; ++index) {
      EXPECT_EQ(Bytes(LogFileName(index, "2008_3_5_9_7", suffix)),
                ".\\BAKUP.\\COM" + std::to_string(index + 1) + "_2008_3_5_9_7" + suffix);
    }
    for (int index : {-1, 16, 1000}) {
      EXPECT_EQ(Bytes(LogFileName(index, "2008_3_5_9_7", suffix)), std::string(".\\BAKUP.\\_2008_3_5_9_7") + suffix);
    }
  }
  EXPECT_EQ(Bytes(LogFileName(2, "2008_3_5_9_7", kClearReceiveLogSuffix)), kLogName);
}

TEST_F(LogFiles, TheBackupFolderIsMadeOnDemandAndOnlyAFolderCounts) {
  EXPECT_EQ(IsDirectory(kBackupFolder), 0);
  EXPECT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);
  EXPECT_TRUE(fs::is_directory("BAKUP"));
  EXPECT_EQ(IsDirectory(kBackupFolder), 1);
  EXPECT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);  // already there

  WriteFileBytes("plain", "x");
  EXPECT_EQ(IsDirectory(".\\plain"), 0);
  EXPECT_EQ(m_dlg.EnsureDirectory(".\\plain"), 0);
  EXPECT_EQ(ReadFileBytes("plain"), "x");
  EXPECT_EQ(m_dlg.EnsureDirectory(".\\missing\\deeper"), 0);
}

TEST_F(LogFiles, TextIsAppendedByteForByte) {
  ASSERT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);
  struct Row {
    const char* what;
    std::string text;
  } rows[] = {
      {"empty creates the file", ""},
      {"CP932 with line breaks", "受信データ\r\nＡＢＣ　ｶﾅ\r\n"},
      {"every byte value", [] {
         std::string all;
         for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
         return all;
       }()},
      {"empty leaves it unchanged", ""},
      {"a long text", std::string(70000, 'z')},
  };
  std::string expected;
  for (const auto& row : rows) {
    ASSERT_TRUE(m_dlg.AppendToLogFile(kLogName, CString(row.text))) << row.what;
    expected += row.text;
    ASSERT_TRUE(fs::exists(kLogPath)) << row.what;
    EXPECT_EQ(ReadFileBytes(kLogPath), expected) << row.what;
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(LogFiles, ALogThatCannotBeOpenedIsReported) {
  struct Row {
    const char* what;
    void (*arrange)();
  } rows[] = {
      {"BAKUP is a plain file", [] { WriteFileBytes("BAKUP", "not a folder"); }},
      {"no BAKUP folder", [] {}},
      {"the log name is a folder", [] { fs::create_directories(kLogPath); }},
  };
  for (const auto& row : rows) {
    fs::remove_all("BAKUP");
    row.arrange();
    EXPECT_FALSE(m_dlg.AppendToLogFile(kLogName, "text")) << row.what;
    EXPECT_EQ(Messages(), std::vector<std::string>{kOpenMessage}) << row.what;
  }

  // A log another writer holds open.
  fs::remove_all("BAKUP");
  ASSERT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);
  HANDLE other = CreateFileA(kLogName, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(m_dlg.AppendToLogFile(kLogName, "text"));
  EXPECT_EQ(Messages(), std::vector<std::string>{kOpenMessage});
  CloseHandle(other);
  EXPECT_EQ(ReadFileBytes(kLogPath), "");
}

TEST_F(LogFiles, AFailedWriteTakesTheAppendBackAndIsReported) {
  ASSERT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);
  const std::string oldBytes = "earlier text\r\n受信\r\n";
  struct Row {
    const char* what;
    std::size_t bytesLeft;
    DWORD error;
  } rows[] = {
      {"full at once", 0, ERROR_DISK_FULL},
      {"full part-way", 5, ERROR_DISK_FULL},
      {"full one byte short", 10, ERROR_DISK_FULL},
      {"device error", 3, ERROR_IO_DEVICE},
  };
  for (const auto& row : rows) {
    WriteFileBytes(kLogPath, oldBytes);
    morvek::testing::FailFileWritesAfter(row.bytesLeft, row.error);
    EXPECT_FALSE(m_dlg.AppendToLogFile(kLogName, "new text 12")) << row.what;  // 11 bytes
    morvek::testing::ClearFileWriteFaults();
    EXPECT_EQ(Messages(), std::vector<std::string>{kWriteMessage}) << row.what;
    EXPECT_EQ(ReadFileBytes(kLogPath), oldBytes) << row.what;
  }

  // A new log whose first write fails is left empty, and the next append works.
  fs::remove(kLogPath);
  morvek::testing::FailFileWritesAfter(2, ERROR_DISK_FULL);
  EXPECT_FALSE(m_dlg.AppendToLogFile(kLogName, "abcdef"));
  morvek::testing::ClearFileWriteFaults();
  EXPECT_EQ(Messages(), std::vector<std::string>{kWriteMessage});
  EXPECT_EQ(ReadFileBytes(kLogPath), "");
  EXPECT_TRUE(m_dlg.AppendToLogFile(kLogName, "abcdef"));
  EXPECT_EQ(ReadFileBytes(kLogPath), "abcdef");
}

}  // namespace
