// Send text typed as hex digit pairs: the check, the digit values and the
// decoding into the send buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "exchange/hex_text.h"
#include "ui/terminal_dlg.h"

namespace {

TEST(HexText, CheckFindsTheFirstNonDigitBeforeCountingDigits) {
  struct Case {
    const char* text;
    int result;
  } cases[] = {
      {"", 0},
      {"0d0A00ff", 0},
      {"0123456789abcdefABCDEF", 0},
      {"414", 2},
      {"4", 2},
      {"41 42", 1},
      {"4G4", 1},   // the character test wins over the odd count
      {"41\r\n", 1},
      {"41\t", 1},
      {"g", 1},
      {"0x41", 1},
      {"\x82\x60", 1},  // a double-byte character
      {"41-", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckHexText(c.text), c.result) << c.text;

  // Every single byte: only the 22 digits pass the character test (one digit
  // alone is then odd).
  for (int b = 1; b < 256; ++b) {
    char text[3] = {static_cast<char>(b), '0', '\0'};
    bool digit = std::strchr("0123456789ABCDEFabcdef", b) != nullptr;
    EXPECT_EQ(CheckHexText(text), digit ? 0 : 1) << b;
  }
}

TEST(HexText, DigitValuesInEitherCase) {
  // The digits and their neighbours in the character table.
  const std::pair<char, int> rows[] = {{'0', 0}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 10}, {'f', 15},
                                       {'/', 0}, {':', 0}, {'@', 0}, {'G', 0}, {'`', 0}, {'g', 0}, {'\xff', 0}};
  for (const auto& [c, value] : rows) EXPECT_EQ(HexDigitValue(c), value) << c;
}

TEST(HexText, DecodingLeavesTheBytesAtTheStartOfTheSendBufferAndZerosTheRest) {
  CTerminalDlg dlg;
  struct Case {
    std::string digits, bytes;
  } cases[] = {
      {"", ""},
      {"0d0A00ff", std::string("\x0d\x0a\x00\xff", 4)},
      {"00", std::string(1, '\0')},
      {"7f80", "\x7f\x80"},
      {"aAbBcC", "\xaa\xbb\xcc"},
  };
  for (const Case& c : cases) {
    std::memset(dlg.m_sendBuf, 'q', sizeof dlg.m_sendBuf);
    std::memcpy(dlg.m_sendBuf, c.digits.c_str(), c.digits.size() + 1);
    dlg.HexTextToBytes(dlg.m_sendBuf);  // source and destination are the same
    EXPECT_EQ(std::string(dlg.m_sendBuf, c.bytes.size()), c.bytes) << c.digits;
    EXPECT_EQ(std::string(dlg.m_sendBuf + c.bytes.size(), sizeof dlg.m_sendBuf - c.bytes.size()),
              std::string(sizeof dlg.m_sendBuf - c.bytes.size(), '\0'))
        << c.digits;
  }

  // A whole piece of 4094 digits gives 2047 bytes, every value included.
  std::string digits, bytes;
  for (int i = 0; i < 2047; ++i) {
    static const char kDigits[] = "0123456789abcdef";
    int value = (i * 37 + 11) % 256;
    digits += kDigits[value >> 4];
    digits += kDigits[value & 15];
    bytes += static_cast<char>(value);
  }
  std::memset(dlg.m_sendBuf, 0, sizeof dlg.m_sendBuf);
  std::memcpy(dlg.m_sendBuf, digits.c_str(), digits.size());
  dlg.HexTextToBytes(dlg.m_sendBuf);
  EXPECT_EQ(std::string(dlg.m_sendBuf, 2047), bytes);
  EXPECT_EQ(std::string(dlg.m_sendBuf + 2047, 4096 - 2047), std::string(4096 - 2047, '\0'));
}

}  // namespace
