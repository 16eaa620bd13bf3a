// CFile opens through CreateFileA; a refused open fills CFileException, whose
// message names the file and the reason in Japanese.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using morvek::test::ReadFileBytes;
using morvek::test::WriteFileBytes;

TEST(CFileOpen, RefusalsCarryTheirCauseCodeAndMessage) {
  morvek::test::TempCurrentDir dir;
  fs::create_directory("folder");
  WriteFileBytes("held.txt", "held");
  WriteFileBytes("plain.txt", "plain");
  CFile holder;
  ASSERT_TRUE(holder.Open("held.txt", CFile::modeRead | CFile::shareExclusive));

  struct Row {
    const char* name;
    UINT flags;
    int cause;
    LONG osError;
    const char* message;
  } rows[] = {
      {"missing.txt", CFile::modeRead | CFile::shareExclusive, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND,
       "missing.txt が見つかりません。"},
      {"plain.txt\\x", CFile::modeRead, CFileException::badPath, ERROR_PATH_NOT_FOUND, "plain.txt\\x が見つかりません。"},
      {"folder", CFile::modeRead | CFile::shareExclusive, CFileException::accessDenied, ERROR_ACCESS_DENIED,
       "folder はフォルダです。"},
      {"held.txt", CFile::modeRead | CFile::shareExclusive, CFileException::sharingViolation, ERROR_SHARING_VIOLATION,
       "held.txt は他のプログラムが使用中です。"},
      {"held.txt", CFile::modeWrite | CFile::shareDenyWrite, CFileException::sharingViolation, ERROR_SHARING_VIOLATION,
       "held.txt は他のプログラムが使用中です。"},
      {"plain.txt", CFile::modeRead | 0x70, CFileException::genericException, ERROR_INVALID_PARAMETER,
       "plain.txt を開けません。"},
  };
  for (const auto& row : rows) {
    CFile file;
    CFileException error;
    SCOPED_TRACE(row.message);
    EXPECT_FALSE(file.Open(row.name, row.flags, &error));
    EXPECT_EQ(file.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error.m_cause, row.cause);
    EXPECT_EQ(error.m_lOsError, row.osError);
    EXPECT_EQ(error.m_strFileName, row.name);
    EXPECT_EQ(error.GetErrorMessage(), row.message);
    EXPECT_FALSE(file.Open(row.name, row.flags)) << "no record needed";
  }

  // Sharing readers coexist; the exclusive holder leaves the file unchanged.
  CFile reader;
  EXPECT_TRUE(reader.Open("plain.txt", CFile::modeRead | CFile::shareDenyNone));
  CFile second;
  EXPECT_TRUE(second.Open("plain.txt", CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_TRUE(second.Open("held.txt", CFile::modeRead | CFile::shareDenyNone)) << "reopening lets the old file go";
  holder.Close();
  holder.Close();
  EXPECT_EQ(holder.m_hFile, INVALID_HANDLE_VALUE);
  CFile created;
  EXPECT_TRUE(created.Open("plain.txt", CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
  EXPECT_EQ(ReadFileBytes("plain.txt"), "") << "modeCreate starts the file afresh";
  EXPECT_EQ(ReadFileBytes("held.txt"), "held");
}

TEST(CFileOpen, MessagesNameTheFileAndTheReason) {
  morvek::test::TempCurrentDir dir;
  ASSERT_TRUE(CreateDirectoryA("受信フォルダ", nullptr));
  struct Row {
    int cause;
    const char* name;
    const char* message;
  } rows[] = {
      {CFileException::accessDenied, "locked.txt", "locked.txt にアクセスできません。"},
      {CFileException::accessDenied, ".\\受信フォルダ.", ".\\受信フォルダ. はフォルダです。"},
      {CFileException::diskFull, "a.txt", "a.txt を開けません。"},
      {CFileException::none, "", " を開けません。"},
  };
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
  for (const auto& row : rows) {
    CFileException error;
    error.m_cause = row.cause;
    error.m_strFileName = row.name;
    SetLastError(ERROR_TIMEOUT);
    EXPECT_EQ(error.GetErrorMessage(), row.message);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT)) << "the message leaves the last error alone";
    EXPECT_EQ(error.ReportError(), IDOK);
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{row.message});
  }
  morvek::testing::CaptureMessageBoxes(false);
}

}  // namespace
