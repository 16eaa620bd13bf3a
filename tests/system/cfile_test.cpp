// CFile opens through CreateFileA; a refused open fills CFileException, whose
// message box names the file and the reason in Japanese. (That the file load
// shows it and changes nothing: tests/exchange/file_load_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/afx.h"
#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

using morvek::test::WriteFileBytes;

TEST(CFileOpen, RefusalsCarryTheirCauseCodeAndMessage) {
  morvek::test::TempCurrentDir dir;
  ASSERT_TRUE(CreateDirectoryA("受信フォルダ", nullptr));
  WriteFileBytes("held.txt", "held");
  WriteFileBytes("plain.txt", "plain");
  CFile holder;
  ASSERT_TRUE(holder.Open("held.txt", CFile::modeRead | CFile::shareExclusive));

  struct Row {
    const char* name;
    int cause;
    LONG osError;
    const char* message;
  } rows[] = {
      {"missing.txt", CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "missing.txt が見つかりません。"},
      {"plain.txt\\x", CFileException::badPath, ERROR_PATH_NOT_FOUND, "plain.txt\\x が見つかりません。"},
      {".\\受信フォルダ.", CFileException::accessDenied, ERROR_ACCESS_DENIED, ".\\受信フォルダ. はフォルダです。"},
      {"held.txt", CFileException::sharingViolation, ERROR_SHARING_VIOLATION, "held.txt は他のプログラムが使用中です。"},
  };
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(row.name, CFile::modeRead | CFile::shareExclusive, &error));
    EXPECT_EQ(file.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error.m_cause, row.cause);
    EXPECT_EQ(error.m_lOsError, row.osError);
    EXPECT_EQ(error.m_strFileName, row.name);
    SetLastError(ERROR_TIMEOUT);
    EXPECT_EQ(error.ReportError(), IDOK);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT)) << "the message leaves the last error alone";
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{row.message});
  }
  // A file without read permission (root cannot make one) and any other cause.
  for (const auto& [cause, message] : {std::pair{CFileException::accessDenied, "held.txt にアクセスできません。"},
                                       std::pair{CFileException::diskFull, "held.txt を開けません。"}}) {
    CFileException error;
    error.m_cause = cause;
    error.m_strFileName = "held.txt";
    EXPECT_EQ(error.GetErrorMessage(), message);
  }
  morvek::testing::CaptureMessageBoxes(false);

  holder.Close();
  CFile reopened;
  EXPECT_TRUE(reopened.Open("held.txt", CFile::modeRead | CFile::shareExclusive)) << "free once its holder closed";
}

}  // namespace
