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

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFileAndSaysSo) {
  const std::string oldRecord = RecordOf(ConfigAt(8, 0));
  struct Row {
    const char* what;
    void (*arrange)();
  } rows[] = {
      {"temporary name is a folder", [] { fs::create_directory("morvek.ini.tmp"); }},
      {"disk full after 64 bytes", [] { morvek::testing::FailFileWritesAfter(64, ERROR_DISK_FULL); }},
      {"disk full after 127 bytes", [] { morvek::testing::FailFileWritesAfter(127, ERROR_DISK_FULL); }},
  };
  for (const auto& row : rows) {
    fs::remove_all("morvek.ini.tmp");
    WriteFileBytes("morvek.ini", oldRecord);
    row.arrange();
    EXPECT_FALSE(WriteSettingsFile(ConfigAt(22, 2))) << row.what;
    morvek::testing::ClearFileWriteFaults();
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{kOpenMessage}) << row.what;
    EXPECT_EQ(ReadFileBytes("morvek.ini"), oldRecord) << row.what;
    EXPECT_TRUE(!fs::exists("morvek.ini.tmp") || fs::is_directory("morvek.ini.tmp")) << row.what;
  }
}

TEST_F(SettingsFile, AReadOnlySettingsFileIsKeptForEveryUser) {
  // Root ignores permissions; the missing write bit still makes the file read-only.
  const std::string oldRecord = RecordOf(ConfigAt(8, 0));
  struct Row {
    const char* what;
    bool throughLink;
    fs::perms mode;
  } rows[] = {
      {"r--r--r--", false, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read},
      {"r-x------", false, fs::perms::owner_read | fs::perms::owner_exec},
      {"no bits at all", false, fs::perms::none},
      {"a link to a read-only file", true, fs::perms::owner_read},
  };
  for (const auto& row : rows) {
    fs::remove_all("morvek.ini");
    fs::remove_all("target.ini");
    const char* file = row.throughLink ? "target.ini" : "morvek.ini";
    WriteFileBytes(file, oldRecord);
    fs::permissions(file, row.mode);
    if (row.throughLink) fs::create_symlink("target.ini", "morvek.ini");
    EXPECT_FALSE(WriteSettingsFile(ConfigAt(22, 2))) << row.what;
    EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{kOpenMessage}) << row.what;
    EXPECT_EQ(ReadFileBytes(file), oldRecord) << row.what;
    EXPECT_EQ(fs::status(file).permissions(), row.mode) << row.what;
    EXPECT_FALSE(fs::exists("morvek.ini.tmp")) << row.what;
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
