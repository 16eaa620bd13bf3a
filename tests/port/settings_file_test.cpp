// The settings file on disk: what is read, what is written, and that a failed
// write never costs the operator the settings of the last good run (a full
// disk and a folder in the file's place in the running terminal: DiskFaultTest).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/testing.h"
#include "port/list_settings.h"
#include "port/settings_file.h"
#include "support/default_port_config.h"
#include "support/terminal_test.h"
#include "support/temp_dir.h"

namespace {

using morvek::test::RecordOf;

namespace fs = std::filesystem;
using morvek::test::ReadFileBytes;
using morvek::test::WriteFileBytes;

const char kOpenMessage[] = "初期化ファイルがオープンできません";

PortConfig ConfigAt(int baudPosition, int flowPosition) {
  PortConfig config = morvek::test::DefaultPortConfig();
  ApplyListEntry(ListSetting::BaudRate, baudPosition, config);
  ApplyListEntry(ListSetting::FlowControl, flowPosition, config);
  config.ReadIntervalTimeout = 55;
  return config;
}

class SettingsFile : public morvek::test::TerminalTest {};

// (Missing, short and long files at start-up: BadSettingsTest.)
TEST_F(SettingsFile, AFolderInTheFilesPlaceReadsAsMissing) {
  fs::create_directory("morvek.ini");
  PortConfig out = {};
  out.nPortIndex = 9;
  EXPECT_FALSE(ReadSettingsFile(out));
  EXPECT_EQ(out.nPortIndex, 9);
}

// A write that fails, or a file that is read-only (root ignores permissions;
// the missing write bit still makes the file read-only), keeps the old file as
// it was and says so.
TEST_F(SettingsFile, AFailedOrRefusedWriteKeepsTheOldFileAndSaysSo) {
  const std::string oldRecord = RecordOf(ConfigAt(8, 0));
  const fs::perms writable = fs::perms::owner_read | fs::perms::owner_write;
  struct Row {
    const char* what;
    fs::perms mode;
    bool throughLink;
    void (*fault)();
  } rows[] = {
      {"temporary name is a folder", writable, false, [] { fs::create_directory("morvek.ini.tmp"); }},
      {"full after 64 bytes", writable, false, [] { morvek::testing::FailFileWritesAfter(64, ERROR_DISK_FULL); }},
      {"full after 127 bytes", writable, false, [] { morvek::testing::FailFileWritesAfter(127, ERROR_DISK_FULL); }},
      {"r--r--r--", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, false, [] {}},
      {"r-x------", fs::perms::owner_read | fs::perms::owner_exec, false, [] {}},
      {"no bits at all", fs::perms::none, false, [] {}},
      {"a link to a read-only file", fs::perms::owner_read, true, [] {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    for (const char* name : {"morvek.ini", "morvek.ini.tmp", "target.ini"}) fs::remove_all(name);
    const char* file = row.throughLink ? "target.ini" : "morvek.ini";
    WriteFileBytes(file, oldRecord);
    fs::permissions(file, row.mode);
    if (row.throughLink) fs::create_symlink("target.ini", "morvek.ini");
    row.fault();
    EXPECT_FALSE(WriteSettingsFile(ConfigAt(22, 2)));
    morvek::testing::ClearFileWriteFaults();
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{kOpenMessage});
    EXPECT_EQ(ReadFileBytes(file), oldRecord);
    EXPECT_EQ(fs::status(file).permissions(), row.mode);
    EXPECT_TRUE(!fs::exists("morvek.ini.tmp") || fs::is_directory("morvek.ini.tmp"));
    fs::permissions(file, fs::perms::owner_all);
  }
}

TEST_F(SettingsFile, ALinkedSettingsFileIsWrittenThroughItsLink) {
  fs::create_directory("elsewhere");
  const PortConfig config = ConfigAt(22, 2);
  struct Row {
    const char* what;
    const char* link;  // what morvek.ini points to
    const char* target;
    bool targetExists;
  } rows[] = {
      {"relative link", "elsewhere/real.ini", "elsewhere/real.ini", true},
      {"link to a link", "second.ini", "elsewhere/real.ini", true},
      {"dangling link", "elsewhere/new.ini", "elsewhere/new.ini", false},
  };
  fs::create_symlink("elsewhere/real.ini", "second.ini");
  for (const auto& row : rows) {
    fs::remove("morvek.ini");
    fs::remove(row.target);
    if (row.targetExists) {
      WriteFileBytes(row.target, "old");
      fs::permissions(row.target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
      ASSERT_EQ(chown(row.target, 1234, 5678), 0);
    }
    fs::create_symlink(row.link, "morvek.ini");
    ASSERT_TRUE(WriteSettingsFile(config)) << row.what;
    EXPECT_TRUE(fs::is_symlink("morvek.ini")) << row.what;
    EXPECT_EQ(fs::read_symlink("morvek.ini"), row.link) << row.what;
    EXPECT_EQ(ReadFileBytes(row.target), RecordOf(config)) << row.what;
    if (row.targetExists) {
      struct stat info {};
      ASSERT_EQ(stat(row.target, &info), 0);
      EXPECT_EQ(info.st_mode & 07777, 0640u) << row.what;
      EXPECT_EQ(info.st_uid, 1234u) << row.what;
      EXPECT_EQ(info.st_gid, 5678u) << row.what;
    }
    EXPECT_FALSE(fs::exists("morvek.ini.tmp")) << row.what;
  }
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
}

}  // namespace
