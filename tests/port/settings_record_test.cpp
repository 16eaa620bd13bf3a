// The 128-byte settings record: numbers and texts that disagree, and any
// other values, survive a round trip (any bytes at all: the fuzz target).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

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
  EXPECT_EQ(RecordBytes(back), RecordBytes(config));
  // The numbers themselves, not a form the record and its reading agree on.
  EXPECT_EQ(std::tuple(back.nPortIndex, back.BaudRate, back.fOutX, back.fInX, back.fOutxCtsFlow, back.ReadIntervalTimeout),
            std::tuple(20, -7, 6, -1, 0x7FFFFFFF, -100));
}

}  // namespace
