// CFile opens a file to read it alone; a refused open fills CFileException,
// whose message names the file and the reason in Japanese.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

constexpr UINT kReadAlone = CFile::modeRead | CFile::shareExclusive;

TEST(CFileOpen, RefusalsCarryTheirCauseCodeAndMessage) {
  morvek::test::TempCurrentDir dir;
  std::filesystem::create_directory("folder");
  morvek::test::WriteFileBytes("held.txt", "held");
  morvek::test::WriteFileBytes("plain.txt", "plain");
  CFile holder;
  ASSERT_TRUE(holder.Open("held.txt", kReadAlone));

  struct Row {
    const char* name;
    UINT flags;
    int cause;
    LONG osError;
    const char* message;
  } rows[] = {
      {"missing.txt", kReadAlone, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "missing.txt が見つかりません。"},
      {"plain.txt\\x", kReadAlone, CFileException::badPath, ERROR_PATH_NOT_FOUND, "plain.txt\\x が見つかりません。"},
      {"folder", kReadAlone, CFileException::accessDenied, ERROR_ACCESS_DENIED, "folder はフォルダです。"},
      {"held.txt", kReadAlone, CFileException::sharingViolation, ERROR_SHARING_VIOLATION,
       "held.txt は他のプログラムが使用中です。"},
      {"plain.txt", CFile::modeRead, CFileException::genericException, ERROR_INVALID_PARAMETER,
       "plain.txt を開けません。"},
  };
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
  for (const auto& row : rows) {
    CFile file;
    CFileException error;
    SCOPED_TRACE(row.message);
    EXPECT_FALSE(file.Open(row.name, row.flags, &error));
    EXPECT_EQ(file.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error.m_cause, row.cause);
    EXPECT_EQ(error.m_lOsError, row.osError);
    EXPECT_EQ(error.m_strFileName, row.name);
    SetLastError(ERROR_TIMEOUT);
    EXPECT_EQ(error.ReportError(), IDOK);
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{row.message});
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT)) << "the message leaves the last error alone";
    EXPECT_FALSE(file.Open(row.name, row.flags)) << "no record needed";
  }
  morvek::testing::CaptureMessageBoxes(false);

  // A denied file that is no folder, and causes an open never gives.
  const std::pair<int, const char*> causes[] = {{CFileException::accessDenied, "locked.txt にアクセスできません。"},
                                                {CFileException::diskFull, "locked.txt を開けません。"}};
  for (const auto& [cause, message] : causes) {
    CFileException error;
    error.m_cause = cause;
    error.m_strFileName = "locked.txt";
    EXPECT_EQ(error.GetErrorMessage(), message);
  }

  // Reopening lets the old file go; closing twice is harmless.
  EXPECT_TRUE(holder.Open("plain.txt", kReadAlone));
  CFile other;
  EXPECT_TRUE(other.Open("held.txt", kReadAlone));
  holder.Close();
  holder.Close();
  EXPECT_EQ(holder.m_hFile, INVALID_HANDLE_VALUE);
}

}  // namespace
