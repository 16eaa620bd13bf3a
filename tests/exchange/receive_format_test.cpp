// The display texts of received blocks, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/receive_format.h"

namespace {

std::string Ascii(const std::string& block) {
  std::vector<char> out(block.size() + 1, '\x55');
  FormatRxAscii(block.data(), out.data(), static_cast<int>(block.size()));
  EXPECT_EQ(out[block.size()], '\0');
  return std::string(out.data(), block.size());
}

// FormatRxHex appends to what the buffer already holds.
std::string Hex(const std::string& before, const std::string& block) {
  std::vector<char> out(before.size() + 3 * block.size() + 1, '\x55');
  std::copy(before.begin(), before.end(), out.begin());
  out[before.size()] = '\0';
  FormatRxHex(block.data(), out.data(), static_cast<int>(block.size()));
  EXPECT_EQ(out.back(), '\0');
  return std::string(out.data(), out.size() - 1);
}

TEST(ReceiveFormat, AsciiKeepsEveryByteButShowsNulAsTilde) {
  struct Case {
    std::string block, text;
  } cases[] = {
      {"", ""},
      {std::string("A\0B", 3), "A~B"},
      {std::string("\0", 1), "~"},
      {std::string("\0\0", 2), "~~"},
      {"Hi", "Hi"},
      {"\r\n\t\x1b", "\r\n\t\x1b"},
      {"\x81\x40\xff\x80", "\x81\x40\xff\x80"},
  };
  for (const Case& c : cases) EXPECT_EQ(Ascii(c.block), c.text) << c.text;

  for (int b = 0; b < 256; ++b) {
    std::string block(1, static_cast<char>(b));
    EXPECT_EQ(Ascii(block), b == 0 ? std::string("~") : block) << b;
  }
}

TEST(ReceiveFormat, HexWritesBlankAndTwoUpperCaseDigitsPerByteAndAppends) {
  struct Case {
    std::string before, block, text;
  } cases[] = {
      {"", "", ""},
      {"", std::string("\x0a\xff\x00", 3), " 0A FF 00"},
      {"", "1", " 31"},
      {" 41 42", "C", " 41 42 43"},  // blocks join without a seam
      {"x", "\x7f\x80", "x 7F 80"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(c.before, c.block), c.text) << c.text;

}

TEST(ReceiveFormat, ALargestBlockOfAllByteValuesConvertsWhole) {
  std::string block(4095, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i % 256);
  std::string ascii = Ascii(block);
  ASSERT_EQ(ascii.size(), 4095u);
  EXPECT_EQ(ascii.substr(0, 3), "~\x01\x02");
  EXPECT_EQ(ascii.substr(255, 3), std::string("\xff~\x01", 3));
  EXPECT_EQ(ascii.find('\0'), std::string::npos);
  std::string hex = Hex("", block);
  ASSERT_EQ(hex.size(), 3u * 4095);
  EXPECT_EQ(hex.substr(0, 9), " 00 01 02");
  EXPECT_EQ(hex.substr(3 * 9, 24), " 09 0A 0B 0C 0D 0E 0F 10");
  EXPECT_EQ(hex.substr(3 * 254, 9), " FE FF 00");
  EXPECT_EQ(hex.substr(3 * 4094), " FE");
}

}  // namespace
