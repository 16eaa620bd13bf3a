// The 128-byte settings record: the default bytes, and every list entry and
// values that disagree through a round trip (any bytes at all: the fuzz target).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "port/list_settings.h"
#include "port/settings_file.h"
#include "port/value_lists.h"
#include "support/default_port_config.h"

namespace {

std::string RecordBytes(const PortConfig& config) {
  BYTE record[SETTINGS_RECORD_SIZE];
  std::memset(record, 0xAA, sizeof record);  // every byte must be written
  BuildSettingsRecord(config, record);
  return std::string(reinterpret_cast<const char*>(record), sizeof record);
}

BOOL Parse(const std::string& bytes, PortConfig& out) {
  return ParseSettingsRecord(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), out);
}

bool SameConfig(const PortConfig& a, const PortConfig& b) { return RecordBytes(a) == RecordBytes(b); }

TEST(SettingsRecord, DefaultsGiveExactlyTheDocumentedBytes) {
  const unsigned char expected[SETTINGS_RECORD_SIZE] = {
      0x00, 0x00, 0x00, 0x00, 0x80, 0x25, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00,  //
      'C',  'O',  'M',  '1',  0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     //
      ' ',  ' ',  '9',  '6',  '0',  '0',  0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     //
      '8',  0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     //
      'N',  'o',  0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     //
      '1',  0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     //
      'N',  'o',  0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
  };
  EXPECT_EQ(RecordBytes(morvek::test::DefaultPortConfig()), std::string(reinterpret_cast<const char*>(expected), sizeof expected));
}

TEST(SettingsRecord, EveryListEntrySurvivesARoundTrip) {
  for (ListSetting setting : kListSettings) {
    for (int position = 0; position < ListEntryCount(setting); ++position) {
      PortConfig config = morvek::test::DefaultPortConfig();
      ASSERT_TRUE(ApplyListEntry(setting, position, config));
      PortConfig back = {};
      ASSERT_TRUE(Parse(RecordBytes(config), back));
      EXPECT_TRUE(SameConfig(config, back)) << static_cast<int>(setting) << "/" << position;
      EXPECT_EQ(ListSettingText(setting, back), ListEntryText(setting, position));
    }
  }
}

TEST(SettingsRecord, NumbersAndTextsThatDisagreeAreBothKept) {
  PortConfig config = morvek::test::DefaultPortConfig();
  config.nPortIndex = 20;  // no such port
  SetPortConfigText(config.szPort, "COM3");
  config.BaudRate = -7;
  config.ByteSize = 200;
  config.Parity = 9;
  config.fOutX = 6;  // whole 32-bit values, not just their lowest bit
  config.fInX = -1;
  config.fOutxCtsFlow = 0x7FFFFFFF;
  SetPortConfigText(config.szFlowControl, "Xon/Xoff");
  config.ReadIntervalTimeout = -100;
  PortConfig back = {};
  ASSERT_TRUE(Parse(RecordBytes(config), back));
  EXPECT_TRUE(SameConfig(back, config));
  EXPECT_EQ(back.nPortIndex, 20);
  EXPECT_EQ(back.BaudRate, -7);
  EXPECT_EQ(back.fOutX, 6);
  EXPECT_EQ(back.fInX, -1);
  EXPECT_EQ(back.fOutxCtsFlow, 0x7FFFFFFF);
  EXPECT_EQ(back.ReadIntervalTimeout, -100);
}

}  // namespace
