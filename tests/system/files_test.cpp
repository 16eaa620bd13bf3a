// The Win32 file calls on real files as the logs, journals and settings file
// use them: dispositions, sharing, folders, the file pointer and the end of a
// file. (Write faults: tests/logs/log_files_test.cpp and crt_stream_test.cpp;
// a really full disk: tests/faults/disk_faults_test.cpp.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using morvek::test::ReadFileBytes;
using morvek::test::WriteFileBytes;

// A handle from CreateFileA, closed at the end of its scope.
struct OpenedFile {
  OpenedFile(const char* name, DWORD access, DWORD share, DWORD disposition)
      : handle(CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr)),
        error(handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS) {}
  ~OpenedFile() { CloseHandle(handle); }
  bool ok() const { return handle != INVALID_HANDLE_VALUE; }
  HANDLE handle;
  DWORD error;  // GetLastError of a failed open
};

BOOL WriteText(HANDLE file, const std::string& text) {
  DWORD count = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &count, nullptr);
}

std::string ReadAll(HANDLE file) {
  char buffer[256];
  DWORD count = 0;
  std::string text;
  while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) text.append(buffer, count);
  return text;
}

class Files : public ::testing::Test {
 protected:
  morvek::test::TempCurrentDir m_dir;
};

TEST_F(Files, AppendsAtTheEndAndThePointerCarriesSixtyFourBits) {
  for (const char* text : {"first\r\n", "second\r\n"}) {
    OpenedFile file("log.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    LONG high = 0;
    SetFilePointer(file.handle, 0, &high, FILE_END);
    EXPECT_TRUE(WriteText(file.handle, text));
  }
  EXPECT_EQ(ReadFileBytes("log.txt"), "first\r\nsecond\r\n");
  OpenedFile file("log.txt", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_EQ(SetFilePointer(file.handle, 5, nullptr, FILE_BEGIN), 5u);
  EXPECT_TRUE(SetEndOfFile(file.handle));
  EXPECT_EQ(ReadFileBytes("log.txt"), "first");
  EXPECT_EQ(SetFilePointer(file.handle, -2, nullptr, FILE_CURRENT), 3u);
  EXPECT_EQ(ReadAll(file.handle), "st");

  // Positions past 4 GiB need no data.
  LONG high = 1;
  ASSERT_EQ(SetFilePointer(file.handle, 3, &high, FILE_BEGIN), 3u);
  LONG now = 0;
  EXPECT_EQ(SetFilePointer(file.handle, 0, &now, FILE_CURRENT), 3u);
  EXPECT_EQ(now, 1);
  EXPECT_EQ(SetFilePointer(file.handle, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER) << "before the start";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(fs::file_size("log.txt"), 5u);
}

TEST_F(Files, AWriterRefusesOtherOpenersThatWouldWriteOrExcludeIt) {
  WriteFileBytes("shared.txt", "data");
  {
    OpenedFile writer("shared.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    struct Row {
      DWORD access;
      DWORD share;
      DWORD error;
    } rows[] = {
        {GENERIC_WRITE, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},  // a second writer
        {GENERIC_READ, 0, ERROR_SHARING_VIOLATION},                 // an exclusive reader
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SUCCESS},
    };
    for (const auto& row : rows) {
      OpenedFile other("shared.txt", row.access, row.share, OPEN_EXISTING);
      EXPECT_EQ(other.error, row.error) << row.access << "/" << row.share;
      EXPECT_EQ(ReadAll(other.handle), other.ok() ? "data" : "");
    }
  }
  EXPECT_TRUE(OpenedFile("shared.txt", GENERIC_WRITE, 0, OPEN_EXISTING).ok()) << "free again once closed";
}

TEST_F(Files, FilesAndFoldersAreFoundByName) {
  WriteFileBytes("file.txt", "12345");
  // (Making the backup folder, and a file in its way: tests/logs/log_files_test.cpp;
  // replacing and removing names: tests/port/settings_file_test.cpp, tests/e2e/journal_test.cpp.)
  fs::create_directory("BAKUP");

  struct Find {
    const char* name;
    DWORD attributes;
    DWORD size;
    const char* found;  // null: ERROR_FILE_NOT_FOUND
  } finds[] = {
      {"file.txt", FILE_ATTRIBUTE_NORMAL, 5, "file.txt"},
      {".\\BAKUP.\\", FILE_ATTRIBUTE_DIRECTORY, 0, "BAKUP"},
      {"missing", 0, 0, nullptr},
      {"file.txt\\x", 0, 0, nullptr},
      {"*.txt", 0, 0, nullptr},  // no wildcards
  };
  for (const auto& row : finds) {
    SCOPED_TRACE(row.name);
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(row.name, &data);
    if (!row.found) {
      EXPECT_EQ(search, INVALID_HANDLE_VALUE);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
      continue;
    }
    EXPECT_EQ(data.dwFileAttributes, row.attributes);
    EXPECT_EQ(data.nFileSizeLow, row.size);
    EXPECT_STREQ(data.cFileName, row.found);
    EXPECT_TRUE(FindClose(search));
  }
}

}  // namespace
