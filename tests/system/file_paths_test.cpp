// How names written the Windows way land on this file system: separators,
// trailing dots, and CP932 names stored as UTF-8.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/posix/file_name_encoding.h"
#include "platform/posix/file_paths.h"
#include "platform/win32.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using morvek::posix::Cp932FromUtf8;
using morvek::posix::MapFilePath;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(FilePaths, WindowsNamesMapToPosixPaths) {
  struct Row {
    const char* name;
    std::string path;
  } rows[] = {
      {"..\\up\\.\\here", "../up/./here"},
      {"name.", "name"},
      {"name..\\", "name/"},
      {"/abs/path.txt", "/abs/path.txt"},
      {"", ""},
      {nullptr, ""},
      // 0x5C as the second byte of a double-byte character is not a separator.
      {"表.txt", Utf8(u8"表.txt")},
      {"ソ\\表.", Utf8(u8"ソ/表")},
      {"受信ﾃｷｽﾄ.txt", Utf8(u8"受信ﾃｷｽﾄ.txt")},
      // Bytes that are no CP932 character pass through unchanged.
      {"\x80\xff.txt", "\x80\xff.txt"},
  };
  for (const auto& row : rows) EXPECT_EQ(MapFilePath(row.name), row.path) << (row.name ? row.name : "(null)");
}

TEST(FilePaths, Utf8NamesComeBackAsCp932) {
  struct Row {
    std::string utf8;
    std::string cp932;
  } rows[] = {
      {Utf8(u8"表.txt"), "表.txt"},
      {"\xff\xfe", "\xff\xfe"},          // not UTF-8: bytes kept
      {"\xe8\xa1", "\xe8\xa1"},          // a cut sequence: bytes kept
      {"\xc0\xaf", "\xc0\xaf"},          // an overlong form: bytes kept
      {Utf8(u8"\U0001F600"), "?"},       // no CP932 character
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(Cp932FromUtf8(row.utf8), row.cp932) << row.utf8;
}

TEST(FilePaths, AJapaneseNameIsStoredAsUtf8AndFoundByItsCp932Name) {
  morvek::test::TempCurrentDir dir;
  HANDLE file = CreateFileA("表.txt", GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_TRUE(fs::exists(fs::path(u8"表.txt")));
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(".\\表.txt", &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(found.cFileName, "表.txt");
  EXPECT_TRUE(FindClose(search));
}

}  // namespace
