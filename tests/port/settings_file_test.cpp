// The settings file on disk: what is read, what is written, and that a failed
// write never costs the operator the settings of the last good run.
#include <gtest/gtest.h>

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

TEST_F(SettingsFile, WrittenFileIsOneRecordAndReadsBack) {
  PortConfig config = ConfigAt(22, 1);
  ASSERT_TRUE(WriteSettingsFile(config));
  EXPECT_EQ(ReadFileBytes("morvek.ini"), RecordOf(config));
  EXPECT_FALSE(fs::exists("morvek.ini.tmp"));
  PortConfig back = {};
  ASSERT_TRUE(ReadSettingsFile(back));
  EXPECT_EQ(RecordOf(back), RecordOf(config));

  // A second write replaces the first completely.
  PortConfig other = ConfigAt(0, 2);
  ASSERT_TRUE(WriteSettingsFile(other));
  EXPECT_EQ(ReadFileBytes("morvek.ini"), RecordOf(other));
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());
}

TEST_F(SettingsFile, MissingShortOrFolderFilesReadAsMissing) {
  std::string record = RecordOf(ConfigAt(3, 0));
  struct Row {
    const char* what;
    std::string bytes;  // written as morvek.ini unless it is a folder
    bool folder;
    BOOL read;
  } rows[] = {
      {"missing", "", false, FALSE},
      {"empty", std::string(), false, FALSE},
      {"127 bytes", record.substr(0, 127), false, FALSE},
      {"128 bytes", record, false, TRUE},
      {"longer", record + "trailing bytes", false, TRUE},
      {"folder", "", true, FALSE},
  };
  for (const auto& row : rows) {
    fs::remove_all("morvek.ini");
    if (row.folder) {
      fs::create_directory("morvek.ini");
    } else if (std::string(row.what) != "missing") {
      WriteFileBytes("morvek.ini", row.bytes);
    }
    PortConfig out = {};
    out.nPortIndex = 9;
    EXPECT_EQ(ReadSettingsFile(out), row.read) << row.what;
    if (row.read) {
      EXPECT_EQ(RecordOf(out), record) << row.what;
    } else {
      EXPECT_EQ(out.nPortIndex, 9) << row.what;
    }
  }
}

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFileAndSaysSo) {
  const std::string oldRecord = RecordOf(ConfigAt(8, 0));
  struct Row {
    const char* what;
    void (*arrange)();
  } rows[] = {
      {"temporary name is a folder", [] { fs::create_directory("morvek.ini.tmp"); }},
      {"disk full at once", [] { morvek::testing::FailFileWritesAfter(0, ERROR_DISK_FULL); }},
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

TEST_F(SettingsFile, ASettingsNameTakenByAFolderIsReportedAndLeftAlone) {
  fs::create_directory("morvek.ini");
  WriteFileBytes("morvek.ini/inside", "keep");
  EXPECT_FALSE(WriteSettingsFile(ConfigAt(8, 0)));
  EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{kOpenMessage});
  EXPECT_TRUE(fs::is_directory("morvek.ini"));
  EXPECT_EQ(ReadFileBytes("morvek.ini/inside"), "keep");
  EXPECT_FALSE(fs::exists("morvek.ini.tmp"));
}

}  // namespace
