// The 128-byte settings record: the default bytes, every list entry through a
// round trip, and any bytes at all read back into a bounded record.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
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
      EXPECT_EQ(back.nPortIndex, config.nPortIndex);
      EXPECT_EQ(back.BaudRate, config.BaudRate);
      EXPECT_EQ(back.ByteSize, config.ByteSize);
      EXPECT_EQ(back.Parity, config.Parity);
      EXPECT_EQ(back.StopBits, config.StopBits);
      EXPECT_EQ(back.fOutX, config.fOutX);
      EXPECT_EQ(back.fInX, config.fInX);
      EXPECT_EQ(back.fOutxCtsFlow, config.fOutxCtsFlow);
      EXPECT_EQ(back.fOutxDsrFlow, config.fOutxDsrFlow);
    }
  }
}

TEST(SettingsRecord, NumbersAndTextsThatDisagreeAreBothKept) {
  PortConfig config = morvek::test::DefaultPortConfig();
  config.nPortIndex = 20;  // no such port
  SetPortConfigText(config.szPort, "COM3");
  config.BaudRate = -7;
  SetPortConfigText(config.szBaudRate, "  1200");
  config.ByteSize = 200;
  config.Parity = 9;
  config.StopBits = 1;
  SetPortConfigText(config.szStopBits, "2");
  config.fOutX = 6;  // whole 32-bit values, not just their lowest bit
  config.fInX = -1;
  config.fOutxCtsFlow = 0x7FFFFFFF;
  config.fOutxDsrFlow = 2;
  SetPortConfigText(config.szFlowControl, "Xon/Xoff");
  config.ReadIntervalTimeout = -100;
  PortConfig back = {};
  ASSERT_TRUE(Parse(RecordBytes(config), back));
  EXPECT_EQ(back.nPortIndex, 20);
  EXPECT_STREQ(back.szPort, "COM3");
  EXPECT_EQ(back.BaudRate, -7);
  EXPECT_STREQ(back.szBaudRate, "  1200");
  EXPECT_EQ(back.ByteSize, 200);
  EXPECT_EQ(back.Parity, 9);
  EXPECT_EQ(back.StopBits, 1);
  EXPECT_STREQ(back.szStopBits, "2");
  EXPECT_EQ(back.fOutX, 6);
  EXPECT_EQ(back.fInX, -1);
  EXPECT_EQ(back.fOutxCtsFlow, 0x7FFFFFFF);
  EXPECT_EQ(back.fOutxDsrFlow, 2);
  EXPECT_STREQ(back.szFlowControl, "Xon/Xoff");
  EXPECT_EQ(back.ReadIntervalTimeout, -100);
}

TEST(SettingsRecord, TextsUseAllSixteenBytesBothWays) {
  // A field filled to its last byte (no NUL) is written whole.
  PortConfig config = morvek::test::DefaultPortConfig();
  std::memset(config.szParity, 'P', sizeof config.szParity);
  std::string record = RecordBytes(config);
  EXPECT_EQ(record.substr(80, 16), std::string(16, 'P'));
  EXPECT_EQ(record.substr(96, 2), std::string("1\0", 2));  // the next field is untouched

  // Read back: a text without a NUL in its 16 bytes is taken whole, never runs on.
  record.replace(32, 16, "ABCDEFGHIJKLMNOP");
  record.replace(48, 16, std::string("12\0xyz", 6) + std::string(10, 'q'));
  PortConfig back = {};
  ASSERT_TRUE(Parse(record, back));
  EXPECT_EQ(std::string(back.szPort, 16), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(std::string(PortConfigText(back.szPort).View()), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(std::string(back.szBaudRate, 16), std::string("12") + std::string(14, '\0'));
  EXPECT_EQ(std::string(back.szParity, 16), std::string(16, 'P'));
}

TEST(SettingsRecord, ShortInputIsRefusedAndLongerInputUsesTheFirstRecord) {
  std::string record = RecordBytes(morvek::test::DefaultPortConfig());
  struct Row {
    size_t length;
    BOOL parsed;
  } rows[] = {{0, FALSE}, {1, FALSE}, {127, FALSE}, {128, TRUE}, {129, TRUE}, {300, TRUE}};
  for (const auto& row : rows) {
    std::string bytes = (record + std::string(300, '\x5A')).substr(0, row.length);
    PortConfig out = {};
    out.BaudRate = 12345;  // stays when refused
    EXPECT_EQ(Parse(bytes, out), row.parsed) << row.length;
    EXPECT_EQ(out.BaudRate, row.parsed ? 9600 : 12345) << row.length;
    if (row.parsed) {
      EXPECT_TRUE(SameConfig(out, morvek::test::DefaultPortConfig())) << row.length;
    }
  }
  PortConfig untouched = {};
  EXPECT_FALSE(ParseSettingsRecord(nullptr, 128, untouched));
}

TEST(SettingsRecord, AnyBytesGiveAWellDefinedRecord) {
  std::mt19937 random(20240601);
  for (size_t length = 0; length <= 300; ++length) {
    std::string bytes(length, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() % 4 == 0 ? 0 : random());
    PortConfig out = morvek::test::DefaultPortConfig();
    if (!Parse(bytes, out)) {
      EXPECT_LT(length, 128u);
      EXPECT_TRUE(SameConfig(out, morvek::test::DefaultPortConfig()));
      continue;
    }
    ASSERT_GE(length, 128u);
    uint32_t rate = 0;
    for (int i = 0; i < 4; ++i) rate |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[4 + i])) << (8 * i);
    EXPECT_EQ(static_cast<uint32_t>(out.BaudRate), rate);
    const char* fields[] = {out.szPort, out.szBaudRate, out.szByteSize, out.szParity, out.szStopBits, out.szFlowControl};
    for (int k = 0; k < 6; ++k) {
      size_t textLength = strnlen(fields[k], 16);
      EXPECT_EQ(std::string(fields[k], textLength), std::string(bytes.data() + 32 + 16 * k, strnlen(bytes.data() + 32 + 16 * k, 16)));
      for (size_t i = textLength; i < 16; ++i) EXPECT_EQ(fields[k][i], 0);
    }
    // Writing it out again gives a record that reads back the same.
    PortConfig again = {};
    ASSERT_TRUE(Parse(RecordBytes(out), again));
    EXPECT_TRUE(SameConfig(out, again));
  }
}

}  // namespace
