// The 128-byte settings record: numbers and texts that disagree, and any
// other values, survive a round trip (any bytes at all: the fuzz target).
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
