// Log names, the backup folder and appending to a log: the bytes on disk, and
// what a fault leaves there.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "logs/log_files.h"
#include "platform/testing.h"
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

class LogFiles : public morvek::test::TerminalTest {
 protected:
  std::vector<std::string> Messages() { return morvek::test::MessagesShown(); }
  CTerminalDlg m_dlg;
};

TEST_F(LogFiles, NamesCarryPortStampAndEventSuffix) {
  struct Row {
    int index;
    const char* suffix;
    const char* name;
  } rows[] = {
      {0, kClearReceiveLogSuffix, ".\\BAKUP.\\COM1_2008_3_5_9_7_MORVEKRcv.txt"},
      {2, kClearSendLogSuffix, ".\\BAKUP.\\COM3_2008_3_5_9_7_MORVEKSnd.txt"},
      {9, kShutdownReceiveLogSuffix, ".\\BAKUP.\\COM10_2008_3_5_9_7_BakMORVEKRcv.txt"},
      {15, kShutdownSendLogSuffix, ".\\BAKUP.\\COM16_2008_3_5_9_7_BakMORVEKSnd.txt"},
      {16, kClearSendLogSuffix, ".\\BAKUP.\\_2008_3_5_9_7_MORVEKSnd.txt"},  // outside the list
      {-1, kClearReceiveLogSuffix, ".\\BAKUP.\\_2008_3_5_9_7_MORVEKRcv.txt"},
  };
  for (const auto& row : rows) EXPECT_EQ(LogFileName(row.index, "2008_3_5_9_7", row.suffix).View(), row.name);
}

TEST_F(LogFiles, TheBackupFolderIsMadeOnDemandAndOnlyAFolderCounts) {
  EXPECT_EQ(IsDirectory(kBackupFolder), 0);
  EXPECT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);
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
  std::string everyByte;
  for (int i = 0; i < 256; ++i) everyByte += static_cast<char>(i);
  std::string expected;
  for (const std::string& text : {std::string(), std::string("受信データ\r\nＡＢＣ　ｶﾅ\r\n"), everyByte, std::string(),
                                  std::string(70000, 'z')}) {
    ASSERT_TRUE(m_dlg.AppendToLogFile(kLogName, CString(text))) << text.size();
    expected += text;
    EXPECT_EQ(ReadFileBytes(kLogPath), expected) << text.size();  // an empty first text creates the file
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(LogFiles, ALogThatCannotBeOpenedIsReported) {
  struct Row {
    const char* what;
    void (*arrange)();
    bool held;  // another writer holds the log open
  } rows[] = {
      {"BAKUP is a plain file", [] { WriteFileBytes("BAKUP", "not a folder"); }, false},
      {"no BAKUP folder", [] {}, false},
      {"the log name is a folder", [] { fs::create_directories(kLogPath); }, false},
      {"a log another writer holds", [] { fs::create_directory("BAKUP"); }, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all("BAKUP");
    row.arrange();
    HANDLE other = row.held ? CreateFileA(kLogName, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                            : INVALID_HANDLE_VALUE;
    EXPECT_FALSE(m_dlg.AppendToLogFile(kLogName, "text"));
    EXPECT_EQ(Messages(), std::vector<std::string>{kOpenMessage});
    if (row.held) {
      CloseHandle(other);
      EXPECT_EQ(ReadFileBytes(kLogPath), "");
    }
  }
}

TEST_F(LogFiles, AFailedWriteTakesTheAppendBackAndIsReported) {
  ASSERT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);
  const std::string oldBytes = "earlier text\r\n受信\r\n";
  struct Row {
    const char* old;  // the log before; null: no log yet
    std::size_t bytesLeft;
    DWORD error;
  } rows[] = {{oldBytes.c_str(), 0, ERROR_DISK_FULL}, {oldBytes.c_str(), 5, ERROR_DISK_FULL},
              {oldBytes.c_str(), 10, ERROR_DISK_FULL}, {oldBytes.c_str(), 3, ERROR_IO_DEVICE},
              {nullptr, 2, ERROR_DISK_FULL}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytesLeft);
    fs::remove(kLogPath);
    if (row.old) WriteFileBytes(kLogPath, row.old);
    morvek::testing::FailFileWritesAfter(row.bytesLeft, row.error);
    EXPECT_FALSE(m_dlg.AppendToLogFile(kLogName, "new text 12"));  // 11 bytes
    morvek::testing::ClearFileWriteFaults();
    EXPECT_EQ(Messages(), std::vector<std::string>{kWriteMessage});
    EXPECT_EQ(ReadFileBytes(kLogPath), row.old ? row.old : "");
  }
  EXPECT_TRUE(m_dlg.AppendToLogFile(kLogName, "abcdef"));
  EXPECT_EQ(ReadFileBytes(kLogPath), "abcdef");
}

TEST_F(LogFiles, AppendsOfAnySizeAreWrittenWholeAndAnUnknownLengthIsNeverUndone) {
  ASSERT_EQ(m_dlg.EnsureDirectory(kBackupFolder), 1);
  const std::string oldBytes = "earlier text\r\n";
  WriteFileBytes(kLogPath, oldBytes);
  // Texts past 2 GiB and 4 GiB, taken from a mapping that is never touched, so
  // that nothing is allocated; the seam counts the bytes instead of storing them.
  const std::uint64_t kGiB = 1ull << 30;
  const std::size_t mapped = static_cast<std::size_t>(5 * kGiB + 7);
  void* pMapping = mmap(nullptr, mapped, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(pMapping, MAP_FAILED);
  for (std::uint64_t size : {std::uint64_t{0}, std::uint64_t{1}, 2 * kGiB + 1, 4 * kGiB - 1, 4 * kGiB, 4 * kGiB + 3, 5 * kGiB + 7}) {
    morvek::testing::DiscardFileWrites();
    EXPECT_TRUE(AppendBytesToLogFile(kLogName, static_cast<const char*>(pMapping), size)) << size;
    EXPECT_EQ(morvek::testing::DiscardedFileBytes(), size);
    morvek::testing::ClearFileWriteFaults();
  }
  munmap(pMapping, mapped);
  EXPECT_TRUE(Messages().empty());

  // When the log's length cannot be learnt, nothing is written, cut or grown.
  morvek::testing::FailNextFilePointerMove(ERROR_GEN_FAILURE);
  EXPECT_FALSE(m_dlg.AppendToLogFile(kLogName, "new text"));
  EXPECT_EQ(Messages(), std::vector<std::string>{kWriteMessage});
  EXPECT_EQ(ReadFileBytes(kLogPath), oldBytes);
}

}  // namespace
