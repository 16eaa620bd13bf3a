// The Win32 file calls on real files: dispositions, sharing, folders, the file
// pointer, the end of a file and write faults. (A really full disk:
// tests/faults/disk_faults_test.cpp.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/testing.h"
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

BOOL WriteText(HANDLE file, const std::string& text, DWORD* written = nullptr) {
  DWORD count = 0;
  BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &count, nullptr);
  if (written) *written = count;
  return ok;
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
  void TearDown() override { morvek::testing::ClearFileWriteFaults(); }
  morvek::test::TempCurrentDir m_dir;
};

TEST_F(Files, DispositionsOpenOrCreateAsWindowsDoes) {
  struct Row {
    DWORD disposition;
    bool exists;
    DWORD error;        // ERROR_SUCCESS when the open succeeds
    const char* after;  // file contents after open and close; null: no file
  } rows[] = {
      {OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr}, {OPEN_EXISTING, true, ERROR_SUCCESS, "old"},
      {OPEN_ALWAYS, false, ERROR_SUCCESS, ""},               {OPEN_ALWAYS, true, ERROR_SUCCESS, "old"},
      {0, true, ERROR_INVALID_PARAMETER, "old"},             {2, false, ERROR_INVALID_PARAMETER, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.disposition << "/" << row.exists);
    fs::remove("f.txt");
    if (row.exists) WriteFileBytes("f.txt", "old");
    EXPECT_EQ(OpenedFile("f.txt", GENERIC_WRITE, 0, row.disposition).error, row.error);
    EXPECT_EQ(fs::exists("f.txt"), row.after != nullptr);
    EXPECT_EQ(ReadFileBytes("f.txt"), row.after ? row.after : "");
  }
}

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
  EXPECT_EQ(SetFilePointer(file.handle, 3, nullptr, FILE_END), 8u);  // beyond the end: extends when cut there
  EXPECT_TRUE(SetEndOfFile(file.handle));
  EXPECT_EQ(SetFilePointer(file.handle, -8, nullptr, FILE_CURRENT), 0u);
  EXPECT_EQ(ReadAll(file.handle), std::string("first\0\0\0", 8));

  // Positions past 4 GiB need no data.
  const auto placeBeyondFourGigabytes = [&] {
    LONG high = 1;
    return SetFilePointer(file.handle, 3, &high, FILE_BEGIN) == 3u && high == 1;
  };
  ASSERT_TRUE(placeBeyondFourGigabytes());
  LONG high = -1;  // with a high part the distance is both halves: -4
  EXPECT_EQ(SetFilePointer(file.handle, -4, &high, FILE_CURRENT), MAXDWORD);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "a real position, not a failure";
  EXPECT_EQ(high, 0);
  struct Row {
    const char* what;
    LONG distance;
    bool useHigh;
    LONG high;
    DWORD method;
  } refused[] = {
      {"before the start", -1, false, 0, FILE_BEGIN},
      {"beyond 32 bits without a high part", 0, false, 0, FILE_CURRENT},
      {"a negative 64-bit position", 0, true, -1, FILE_BEGIN},
      {"no such method", 0, false, 0, 7},
  };
  for (const auto& row : refused) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(placeBeyondFourGigabytes());
    LONG rowHigh = row.high;
    EXPECT_EQ(SetFilePointer(file.handle, row.distance, row.useHigh ? &rowHigh : nullptr, row.method),
              INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    LONG now = 0;
    EXPECT_EQ(SetFilePointer(file.handle, 0, &now, FILE_CURRENT), 3u) << "the pointer stays";
    EXPECT_EQ(now, 1);
  }
  EXPECT_EQ(fs::file_size("log.txt"), 8u);
}

TEST_F(Files, SharingFoldersAndAccessAreRefusedWithTheirCodes) {
  WriteFileBytes("shared.txt", "data");
  fs::create_directory("folder");
  WriteFileBytes("readonly.txt", "x");
  fs::permissions("readonly.txt", fs::perms::owner_read);
  {
    OpenedFile writer("shared.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    struct Row {
      DWORD access;
      DWORD share;
      DWORD error;
    } rows[] = {
        {GENERIC_WRITE, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},  // a second writer
        {GENERIC_READ, 0, ERROR_SHARING_VIOLATION},                 // an exclusive reader
        {GENERIC_READ, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},   // a reader that refuses writers
    };
    for (const auto& row : rows) {
      OpenedFile other("shared.txt", row.access, row.share, OPEN_EXISTING);
      EXPECT_EQ(other.error, row.error) << row.access << "/" << row.share;
    }
  }
  {
    OpenedFile reader("shared.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_EQ(ReadAll(reader.handle), "data") << "free again once closed";
    EXPECT_TRUE(OpenedFile("shared.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING).ok()) << "readers share";
  }

  struct Row {
    const char* name;
    DWORD access;
    DWORD disposition;
    DWORD error;
  } refused[] = {
      {"folder", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"readonly.txt", GENERIC_WRITE, OPEN_ALWAYS, ERROR_ACCESS_DENIED},  // no write bit, even for root
      {".\\folder.", GENERIC_WRITE, OPEN_ALWAYS, ERROR_ACCESS_DENIED},
      {"shared.txt\\inside", GENERIC_WRITE, OPEN_ALWAYS, ERROR_PATH_NOT_FOUND},
      {"missing\\x.txt", GENERIC_WRITE, OPEN_ALWAYS, ERROR_FILE_NOT_FOUND},
  };
  for (const auto& row : refused) EXPECT_EQ(OpenedFile(row.name, row.access, 0, row.disposition).error, row.error);
  EXPECT_TRUE(fs::is_directory("folder"));

  OpenedFile reader("shared.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_FALSE(WriteText(reader.handle, "x"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(SetEndOfFile(reader.handle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  OpenedFile writeOnly("other.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
  char byte;
  DWORD count = 0;
  EXPECT_FALSE(ReadFile(writeOnly.handle, &byte, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CancelIoEx(writeOnly.handle, nullptr));
  EXPECT_FALSE(WriteText(writeOnly.handle, "x"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
}

TEST_F(Files, AWriteFaultLeavesExactlyTheBytesBeforeIt) {
  struct Row {
    std::size_t bytesLeft;
    DWORD error;
    const char* onDisk;
  } rows[] = {{0, ERROR_DISK_FULL, ""}, {10, ERROR_IO_DEVICE, "new text 1"}, {11, ERROR_DISK_FULL, "new text 12"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytesLeft);
    fs::remove("fault.txt");
    OpenedFile file("fault.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
    morvek::testing::FailFileWritesAfter(row.bytesLeft, row.error);
    DWORD written = 0;
    const bool allFit = row.bytesLeft >= 11;
    EXPECT_EQ(WriteText(file.handle, "new text 12", &written) != FALSE, allFit);
    if (!allFit) {
      EXPECT_EQ(GetLastError(), row.error);
    }
    EXPECT_EQ(written, std::string(row.onDisk).size());
    EXPECT_EQ(ReadFileBytes("fault.txt"), row.onDisk);
    EXPECT_FALSE(WriteText(file.handle, "more")) << "the fault stays until cleared";
    EXPECT_TRUE(WriteText(file.handle, "")) << "an empty write still succeeds";
    morvek::testing::ClearFileWriteFaults();
    EXPECT_TRUE(WriteText(file.handle, "!"));
  }
}

TEST_F(Files, FoldersAreCreatedFoundAndNamesRemovedOrReplaced) {
  WriteFileBytes("file.txt", "12345");
  // (What the backup folder needs of these: tests/logs/log_files_test.cpp.)
  EXPECT_TRUE(CreateDirectoryA(".\\BAKUP.", nullptr));
  EXPECT_FALSE(CreateDirectoryA("file.txt", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA("", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(fs::is_directory("BAKUP"));

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
    EXPECT_FALSE(FindClose(search));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  {
    OpenedFile file("file.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(FindClose(file.handle)) << "a file handle is no search";
    EXPECT_EQ(ReadAll(file.handle), "12345") << "and stays open";
  }
  WriteFileBytes("new.tmp", "new");
  EXPECT_TRUE(MoveFileExA("new.tmp", "file.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ReadFileBytes("file.txt"), "new");
  EXPECT_FALSE(MoveFileExA("new.tmp", "file.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(DeleteFileA(".\\file.txt"));
  EXPECT_FALSE(DeleteFileA("file.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA("BAKUP"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
