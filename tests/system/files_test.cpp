// The Win32 file calls on real files: dispositions, sharing, folders, the file
// pointer, the end of a file, write faults and a disk that fills up.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>
#include <string>

#include "file_test_support.h"
#include "platform/testing.h"
#include "platform/win32.h"
#include "support/scratch_disk.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using morvek::test::OpenedFile;
using morvek::test::ReadFileBytes;
using morvek::test::TempCurrentDir;
using morvek::test::WriteFileBytes;

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
  TempCurrentDir m_dir;
};

TEST_F(Files, DispositionsCreateOpenAndTruncateAsWindowsDoes) {
  struct Row {
    DWORD disposition;
    bool exists;
    DWORD error;        // ERROR_SUCCESS when the open succeeds
    const char* after;  // file contents after open and close; null: no file
  } rows[] = {
      {CREATE_NEW, false, ERROR_SUCCESS, ""},           {CREATE_NEW, true, ERROR_FILE_EXISTS, "old"},
      {CREATE_ALWAYS, false, ERROR_SUCCESS, ""},        {CREATE_ALWAYS, true, ERROR_SUCCESS, ""},
      {OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr}, {OPEN_EXISTING, true, ERROR_SUCCESS, "old"},
      {OPEN_ALWAYS, false, ERROR_SUCCESS, ""},          {OPEN_ALWAYS, true, ERROR_SUCCESS, "old"},
      {TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr}, {TRUNCATE_EXISTING, true, ERROR_SUCCESS, ""},
      {0, true, ERROR_INVALID_PARAMETER, "old"},        {9, false, ERROR_INVALID_PARAMETER, nullptr},
  };
  for (const auto& row : rows) {
    fs::remove("f.txt");
    if (row.exists) WriteFileBytes("f.txt", "old");
    {
      OpenedFile file("f.txt", GENERIC_WRITE, 0, row.disposition);
      EXPECT_EQ(file.ok(), row.error == ERROR_SUCCESS) << row.disposition << "/" << row.exists;
      EXPECT_EQ(file.error(), row.error) << row.disposition << "/" << row.exists;
    }
    EXPECT_EQ(fs::exists("f.txt"), row.after != nullptr) << row.disposition << "/" << row.exists;
    if (row.after) {
      EXPECT_EQ(ReadFileBytes("f.txt"), row.after) << row.disposition << "/" << row.exists;
    }
  }
  // A reader may start a file afresh, and its handle still only reads;
  // truncating an existing file takes write access.
  WriteFileBytes("f.txt", "old");
  {
    OpenedFile reader("f.txt", GENERIC_READ, 0, CREATE_ALWAYS);
    EXPECT_TRUE(reader.ok());
    EXPECT_FALSE(WriteText(reader.get(), "x"));
  }
  EXPECT_EQ(ReadFileBytes("f.txt"), "");
  EXPECT_EQ(OpenedFile("f.txt", GENERIC_READ, 0, TRUNCATE_EXISTING).error(),
            static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Files, AppendsAtTheEndAndCutsBackWithSetEndOfFile) {
  for (const char* text : {"first\r\n", "second\r\n"}) {
    OpenedFile file("log.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    ASSERT_TRUE(file.ok());
    LONG high = 0;
    SetFilePointer(file.get(), 0, &high, FILE_END);
    EXPECT_TRUE(WriteText(file.get(), text));
  }
  EXPECT_EQ(ReadFileBytes("log.txt"), "first\r\nsecond\r\n");

  OpenedFile file("log.txt", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(SetFilePointer(file.get(), 5, nullptr, FILE_BEGIN), 5u);
  EXPECT_TRUE(SetEndOfFile(file.get()));
  EXPECT_EQ(ReadFileBytes("log.txt"), "first");
  EXPECT_EQ(SetFilePointer(file.get(), 3, nullptr, FILE_END), 8u);  // beyond the end: extends when cut there
  EXPECT_TRUE(SetEndOfFile(file.get()));
  EXPECT_EQ(ReadFileBytes("log.txt"), std::string("first\0\0\0", 8));
  EXPECT_EQ(SetFilePointer(file.get(), -8, nullptr, FILE_CURRENT), 0u);
  EXPECT_EQ(ReadAll(file.get()), std::string("first\0\0\0", 8));
}

TEST_F(Files, TheFilePointerCarriesSixtyFourBits) {
  OpenedFile file("big.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_TRUE(file.ok());
  // Positions past the end need no data: the file stays empty.
  const auto placeBeyondFourGigabytes = [&] {
    LONG high = 1;
    return SetFilePointer(file.get(), 3, &high, FILE_BEGIN) == 3u && high == 1;
  };
  ASSERT_TRUE(placeBeyondFourGigabytes());
  LONG high = -1;  // with a high part the distance is both halves: -4
  EXPECT_EQ(SetFilePointer(file.get(), -4, &high, FILE_CURRENT), MAXDWORD);
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
    ASSERT_TRUE(placeBeyondFourGigabytes());
    LONG rowHigh = row.high;
    EXPECT_EQ(SetFilePointer(file.get(), row.distance, row.useHigh ? &rowHigh : nullptr, row.method),
              INVALID_SET_FILE_POINTER) << row.what;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << row.what;
    LONG now = 0;
    EXPECT_EQ(SetFilePointer(file.get(), 0, &now, FILE_CURRENT), 3u) << row.what << ": the pointer stays";
    EXPECT_EQ(now, 1) << row.what;
  }
  EXPECT_EQ(fs::file_size("big.bin"), 0u);
}

TEST_F(Files, SharingFoldersAndAccessAreRefusedWithTheirCodes) {
  WriteFileBytes("shared.txt", "data");
  fs::create_directory("folder");
  {
    OpenedFile writer("shared.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    ASSERT_TRUE(writer.ok());
    struct Row {
      DWORD access;
      DWORD share;
      DWORD error;
    } rows[] = {
        {GENERIC_WRITE, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},  // a second writer
        {GENERIC_READ, 0, ERROR_SHARING_VIOLATION},                 // an exclusive reader
        {GENERIC_READ, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},   // a reader that refuses writers
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SUCCESS},
    };
    for (const auto& row : rows) {
      OpenedFile other("shared.txt", row.access, row.share, OPEN_EXISTING);
      EXPECT_EQ(other.error(), row.error) << row.access << "/" << row.share;
      if (other.ok()) {
        EXPECT_EQ(ReadAll(other.get()), "data");
      }
    }
  }
  EXPECT_TRUE(OpenedFile("shared.txt", GENERIC_WRITE, 0, OPEN_EXISTING).ok()) << "free again once closed";

  struct Row {
    const char* name;
    DWORD access;
    DWORD disposition;
    DWORD error;
  } refused[] = {
      {"folder", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"folder", GENERIC_WRITE, OPEN_ALWAYS, ERROR_ACCESS_DENIED},
      {".\\folder.", GENERIC_WRITE, CREATE_ALWAYS, ERROR_ACCESS_DENIED},
      {"shared.txt\\inside", GENERIC_WRITE, OPEN_ALWAYS, ERROR_PATH_NOT_FOUND},
      {"missing\\x.txt", GENERIC_WRITE, OPEN_ALWAYS, ERROR_FILE_NOT_FOUND},
  };
  for (const auto& row : refused) {
    EXPECT_EQ(OpenedFile(row.name, row.access, 0, row.disposition).error(), row.error) << row.name;
  }
  EXPECT_TRUE(fs::is_directory("folder"));

  OpenedFile reader("shared.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  DWORD count = 0;
  EXPECT_FALSE(WriteText(reader.get(), "x"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(SetEndOfFile(reader.get()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  OpenedFile writeOnly("other.txt", GENERIC_WRITE, 0, CREATE_NEW);
  char byte;
  EXPECT_FALSE(ReadFile(writeOnly.get(), &byte, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CancelIoEx(writeOnly.get(), nullptr));
  EXPECT_FALSE(WriteText(writeOnly.get(), "x"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
}

TEST_F(Files, AWriteFaultLeavesExactlyTheBytesBeforeIt) {
  struct Row {
    std::size_t bytesLeft;
    DWORD error;
    const char* onDisk;
  } rows[] = {{0, ERROR_DISK_FULL, ""}, {5, ERROR_DISK_FULL, "new t"}, {10, ERROR_IO_DEVICE, "new text 1"},
              {11, ERROR_DISK_FULL, "new text 12"}, {12, ERROR_DISK_FULL, "new text 12"}};
  for (const auto& row : rows) {
    OpenedFile file("fault.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    morvek::testing::FailFileWritesAfter(row.bytesLeft, row.error);
    DWORD written = 0;
    const bool allFit = row.bytesLeft >= 11;
    EXPECT_EQ(WriteText(file.get(), "new text 12", &written) != FALSE, allFit) << row.bytesLeft;
    if (!allFit) {
      EXPECT_EQ(GetLastError(), row.error) << row.bytesLeft;
    }
    EXPECT_EQ(written, std::string(row.onDisk).size()) << row.bytesLeft;
    EXPECT_EQ(ReadFileBytes("fault.txt"), row.onDisk) << row.bytesLeft;
    // The fault stays until cleared; empty writes still succeed.
    EXPECT_EQ(WriteText(file.get(), "more") != FALSE, row.bytesLeft >= 15) << row.bytesLeft;
    EXPECT_TRUE(WriteText(file.get(), ""));
    morvek::testing::ClearFileWriteFaults();
    EXPECT_TRUE(WriteText(file.get(), "!"));
  }
}

TEST_F(Files, ThreadsWritingUnderAFaultShareOneBudget) {
  morvek::testing::FailFileWritesAfter(1000, ERROR_DISK_FULL);
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([t] {
      OpenedFile file(("w" + std::to_string(t)).c_str(), GENERIC_WRITE, 0, CREATE_NEW);
      while (WriteText(file.get(), "abc")) {
      }
    });
  }
  for (auto& writer : writers) writer.join();
  std::uintmax_t total = 0;
  for (int t = 0; t < 4; ++t) total += fs::file_size("w" + std::to_string(t));
  EXPECT_EQ(total, 1000u);
}

TEST_F(Files, AFullDiskIsReportedAsDiskFull) {
  morvek::test::ScratchDisk disk("tiny");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  OpenedFile file("tiny\\log.txt", GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
  ASSERT_TRUE(file.ok());
  const std::string block(4096, 'x');
  DWORD written = 0;
  std::uintmax_t total = 0;
  BOOL ok = TRUE;
  for (int i = 0; i < 64 && ok; ++i) {
    ok = WriteText(file.get(), block, &written);
    total += written;
  }
  ASSERT_FALSE(ok) << "64 KB never filled up";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(fs::file_size("tiny/log.txt"), total) << "every byte reported written is on the disk";
}

TEST_F(Files, FoldersAreCreatedFoundAndNamesRemovedOrReplaced) {
  WriteFileBytes("file.txt", "12345");
  struct Create {
    const char* name;
    BOOL ok;
    DWORD error;
  } creates[] = {
      {".\\BAKUP.", TRUE, ERROR_SUCCESS},          {".\\BAKUP", FALSE, ERROR_ALREADY_EXISTS},
      {"file.txt", FALSE, ERROR_ALREADY_EXISTS},   {"missing\\sub", FALSE, ERROR_PATH_NOT_FOUND},
      {"file.txt\\sub", FALSE, ERROR_PATH_NOT_FOUND}, {"", FALSE, ERROR_PATH_NOT_FOUND},
  };
  for (const auto& row : creates) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(CreateDirectoryA(row.name, nullptr), row.ok) << row.name;
    EXPECT_EQ(GetLastError(), row.error) << row.name;
  }
  EXPECT_TRUE(fs::is_directory("BAKUP"));

  struct Find {
    const char* name;
    DWORD error;
    DWORD attributes;
    DWORD size;
    const char* found;
  } finds[] = {
      {"file.txt", ERROR_SUCCESS, FILE_ATTRIBUTE_NORMAL, 5, "file.txt"},
      {".\\BAKUP", ERROR_SUCCESS, FILE_ATTRIBUTE_DIRECTORY, 0, "BAKUP"},
      {".\\BAKUP.\\", ERROR_SUCCESS, FILE_ATTRIBUTE_DIRECTORY, 0, "BAKUP"},
      {"missing", ERROR_FILE_NOT_FOUND, 0, 0, nullptr},
      {"file.txt\\x", ERROR_FILE_NOT_FOUND, 0, 0, nullptr},
      {"*.txt", ERROR_FILE_NOT_FOUND, 0, 0, nullptr},  // no wildcards
  };
  for (const auto& row : finds) {
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(row.name, &data);
    if (!row.found) {
      EXPECT_EQ(search, INVALID_HANDLE_VALUE) << row.name;
      EXPECT_EQ(GetLastError(), row.error) << row.name;
      continue;
    }
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << row.name;
    EXPECT_EQ(data.dwFileAttributes, row.attributes) << row.name;
    EXPECT_EQ(data.nFileSizeLow, row.size) << row.name;
    EXPECT_STREQ(data.cFileName, row.found) << row.name;
    EXPECT_TRUE(FindClose(search)) << row.name;
    EXPECT_FALSE(FindClose(search)) << row.name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  {
    OpenedFile file("file.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    EXPECT_FALSE(FindClose(file.get())) << "a file handle is no search";
    EXPECT_EQ(ReadAll(file.get()), "12345") << "and stays open";
  }

  WriteFileBytes("new.tmp", "new");
  EXPECT_TRUE(MoveFileExA("new.tmp", "file.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ReadFileBytes("file.txt"), "new");
  EXPECT_FALSE(MoveFileExA("new.tmp", "file.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(DeleteFileA(".\\file.txt"));
  EXPECT_FALSE(fs::exists("file.txt"));
  EXPECT_FALSE(DeleteFileA("file.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA("BAKUP"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
