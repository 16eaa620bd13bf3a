// The texts built from the record for the window, and the value lists they
// come from.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "port/list_settings.h"
#include "port/port_texts.h"
#include "port/settings_file.h"
#include "port/value_lists.h"
#include "support/default_port_config.h"

namespace {

using morvek::test::RecordOf;

std::string Bytes(const CString& text) { return std::string(text.View()); }

TEST(PortTexts, DefaultsGiveTheExactTitleAndStatusLines) {
  PortConfig config = morvek::test::DefaultPortConfig();
  EXPECT_EQ(Bytes(WindowTitleText(config)), "MORVEK Comm (VER 2.02)   COM1 通信");
  EXPECT_EQ(Bytes(WindowTitleText(config)), "MORVEK Comm (VER 2.02)   COM1 \x92\xCA\x90\x4D");
  EXPECT_EQ(Bytes(OpenPortStatusLine(config)), " COM1 ,   9600 BPS , 8 BITS , No PARITY , 1 STOP , No FLOW");
  EXPECT_EQ(Bytes(FailedPortStatusLine(config)), "COM1 ポートは存在しません。");
}

TEST(PortTexts, TextsFollowTheStoredTextsEvenWhenTheyAreOddOrFull) {
  PortConfig config = morvek::test::DefaultPortConfig();
  ApplyListEntry(ListSetting::Port, 15, config);
  ApplyListEntry(ListSetting::BaudRate, 22, config);
  ApplyListEntry(ListSetting::FlowControl, 2, config);
  EXPECT_EQ(Bytes(WindowTitleText(config)), "MORVEK Comm (VER 2.02)   COM16 通信");
  EXPECT_EQ(Bytes(OpenPortStatusLine(config)), " COM16 , 2000000 BPS , 8 BITS , No PARITY , 1 STOP , Xon/Xoff FLOW");

  // Cleared texts (start-up before the settings dialog) and a field with no NUL.
  ClearPortConfigTexts(config);
  EXPECT_EQ(Bytes(OpenPortStatusLine(config)), "  ,  BPS ,  BITS ,  PARITY ,  STOP ,  FLOW");
  EXPECT_EQ(Bytes(FailedPortStatusLine(config)), " ポートは存在しません。");
  EXPECT_EQ(config.nPortIndex, 15);  // numbers stay
  std::memset(config.szPort, 'X', sizeof config.szPort);
  EXPECT_EQ(Bytes(WindowTitleText(config)), "MORVEK Comm (VER 2.02)   " + std::string(16, 'X') + " 通信");
}

TEST(ValueLists, PortNamesExistOnlyForSixteenIndexes) {
  struct Row {
    int index;
    const char* name;
  } rows[] = {{-1, ""}, {0, "COM1"}, {8, "COM9"}, {9, "COM10"}, {15, "COM16"}, {16, ""}, {1000, ""}, {-2147483647 - 1, ""}};
  for (const auto& row : rows) EXPECT_EQ(Bytes(PortNameText(row.index)), row.name) << row.index;
}

TEST(ValueLists, ListsKeepTheirOrderAndEntriesSetNumberAndTextTogether) {
  const char* baudTexts[] = {"   110", "   300", "   600", "  1200", "  1800", "  2400", "  4800", "  7200",
                             "  9600", " 14400", " 19200", " 38400", " 57600", " 76800", "115200", "128000",
                             "153600", "230400", "307200", "460800", "921600", "1000000", "2000000"};
  ASSERT_EQ(ListEntryCount(ListSetting::BaudRate), 23);
  for (int i = 0; i < 23; ++i) {
    EXPECT_EQ(Bytes(ListEntryText(ListSetting::BaudRate, i)), baudTexts[i]);
    PortConfig config = {};
    ASSERT_TRUE(ApplyListEntry(ListSetting::BaudRate, i, config));
    EXPECT_EQ(config.BaudRate, std::stoi(baudTexts[i]));
    EXPECT_STREQ(config.szBaudRate, baudTexts[i]);
  }

  struct Row {
    ListSetting setting;
    int position;
    const char* text;
    int numbers[4];  // the setting's number(s) after the pick
  } rows[] = {
      {ListSetting::Port, 0, "COM1", {0}},          {ListSetting::Port, 15, "COM16", {15}},
      {ListSetting::ByteSize, 0, "5", {5}},         {ListSetting::ByteSize, 3, "8", {8}},
      {ListSetting::Parity, 0, "No", {0}},          {ListSetting::Parity, 1, "Odd", {1}},
      {ListSetting::Parity, 2, "Even", {2}},        {ListSetting::StopBits, 0, "1", {0}},
      {ListSetting::StopBits, 1, "1.5", {1}},       {ListSetting::StopBits, 2, "2", {2}},
      {ListSetting::FlowControl, 0, "No", {0, 0, 0, 0}},
      {ListSetting::FlowControl, 1, "Hardware", {0, 0, 1, 1}},
      {ListSetting::FlowControl, 2, "Xon/Xoff", {1, 1, 0, 0}},
  };
  for (const auto& row : rows) {
    PortConfig config = {};
    config.fOutX = config.fInX = config.fOutxCtsFlow = config.fOutxDsrFlow = 7;
    ASSERT_TRUE(ApplyListEntry(row.setting, row.position, config)) << row.text;
    EXPECT_EQ(Bytes(ListSettingText(row.setting, config)), row.text);
    switch (row.setting) {
      case ListSetting::Port: EXPECT_EQ(config.nPortIndex, row.numbers[0]); break;
      case ListSetting::ByteSize: EXPECT_EQ(config.ByteSize, row.numbers[0]); break;
      case ListSetting::Parity: EXPECT_EQ(config.Parity, row.numbers[0]); break;
      case ListSetting::StopBits: EXPECT_EQ(config.StopBits, row.numbers[0]); break;
      default:
        EXPECT_EQ(config.fOutX, row.numbers[0]) << row.text;
        EXPECT_EQ(config.fInX, row.numbers[1]) << row.text;
        EXPECT_EQ(config.fOutxCtsFlow, row.numbers[2]) << row.text;
        EXPECT_EQ(config.fOutxDsrFlow, row.numbers[3]) << row.text;
    }
  }

  // Outside a list (no selection: CB_ERR) nothing changes.
  for (ListSetting setting : kListSettings) {
    for (int position : {-1, ListEntryCount(setting)}) {
      PortConfig config = morvek::test::DefaultPortConfig();
      EXPECT_FALSE(ApplyListEntry(setting, position, config));
      EXPECT_EQ(RecordOf(config), RecordOf(morvek::test::DefaultPortConfig()));
      EXPECT_EQ(Bytes(ListEntryText(setting, position)), "");
    }
  }
}

}  // namespace
