// The texts built from the record for the window, and the ends of the value
// lists they come from.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "port/list_settings.h"
#include "port/port_texts.h"
#include "port/value_lists.h"
#include "support/default_port_config.h"

namespace {


std::string Bytes(const CString& text) { return std::string(text.View()); }

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

TEST(ValueLists, PortNamesAndEntriesExistOnlyInsideTheirLists) {
  struct Row {
    int index;
    const char* name;
  } rows[] = {{-1, ""}, {0, "COM1"}, {8, "COM9"}, {9, "COM10"}, {15, "COM16"}, {16, ""}, {1000, ""}, {-2147483647 - 1, ""}};
  for (const auto& row : rows) EXPECT_EQ(Bytes(PortNameText(row.index)), row.name) << row.index;
  // Before the first entry (a box without a selection) or past the last, a list sets nothing.
  for (ListSetting setting : kListSettings) {
    for (int position : {-1, ListEntryCount(setting)}) {
      PortConfig config = {};
      EXPECT_FALSE(ApplyListEntry(setting, position, config)) << position;
      EXPECT_EQ(morvek::test::RecordOf(config), morvek::test::RecordOf(PortConfig{}));
      EXPECT_EQ(Bytes(ListEntryText(setting, position)), "") << position;
    }
  }
}

}  // namespace
