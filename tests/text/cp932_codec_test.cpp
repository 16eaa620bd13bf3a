// CP932 codec: every byte string survives Decode then Encode, except the codes
// that CP932 assigns twice to one character.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/text/cp932.h"

namespace {

using morvek::text::DecodeCp932;
using morvek::text::EncodeCp932;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

char16_t Escape(int byte) { return static_cast<char16_t>(0xDC00 + byte); }

TEST(Cp932Codec, EveryBytePairSurvivesUnlessItIsADuplicateCode) {
  int pairs = 0;
  int duplicates = 0;
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string bytes = Bytes({a, b});
      const std::u16string decoded = DecodeCp932(bytes);
      if (decoded.size() == 1) {
        ++pairs;
        ASSERT_TRUE(morvek::text::IsCp932LeadByte(static_cast<unsigned char>(a))) << a;
        ASSERT_FALSE(decoded[0] >= 0xD800 && decoded[0] <= 0xDFFF) << a << " " << b;
        const std::string encoded = EncodeCp932(decoded);
        if (encoded == bytes) continue;
        // A duplicate: the character's preferred code is another pair that decodes the same.
        ++duplicates;
        ASSERT_EQ(encoded.size(), 2u) << a << " " << b;
        ASSERT_EQ(DecodeCp932(encoded), decoded) << a << " " << b;
      } else {
        // Not one character: the first byte is kept as it is, the second read on its own.
        ASSERT_EQ(decoded, DecodeCp932(bytes.substr(0, 1)) + DecodeCp932(bytes.substr(1))) << a << " " << b;
        ASSERT_EQ(EncodeCp932(decoded), bytes) << a << " " << b;
      }
    }
  }
  EXPECT_GT(pairs, 7000);
  EXPECT_GT(duplicates, 0);
  EXPECT_LT(duplicates, 500);
  RecordProperty("duplicate_codes", duplicates);
}

// Texts that decode and encode both ways: ASCII as is (5C and 7E included),
// half-width kana, an escape for each byte that starts no character, lone lead
// bytes among them (a lead byte before any other byte: the pairs above).
TEST(Cp932Codec, KnownTextsAndLeadBytesWithoutTheirTrail) {
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"", u""},
      {"送信に失敗しました", u"送信に失敗しました"},
      {"ｱｲｳ", u"ｱｲｳ"},
      {"\\~", u"\\~"},                   // not yen sign and overline
      {Bytes({0xA1, 0xDF}), u"\uFF61\uFF9F"},  // the first and last half-width kana
      {Bytes({0x80, 0xA0, 0xFD, 0xFF}), {Escape(0x80), Escape(0xA0), Escape(0xFD), Escape(0xFF)}},  // no character
      {Bytes({0x81, 0x60}), u"\uFF5E"},  // wave dash as Windows has it
      {Bytes({0x87, 0x40}), u"\u2460"},  // NEC row 13: circled 1
      {Bytes({0xFA, 0x40}), u"\u2170"},  // IBM extension: small roman 1
      {"A\r\nB", u"A\r\nB"},
      {Bytes({0x81}), {Escape(0x81)}},
      {"A" + Bytes({0xE0}), {u'A', Escape(0xE0)}},
      {"送" + Bytes({0x90}), {u'送', Escape(0x90)}},
      {Bytes({0x85, 0x40}), {Escape(0x85), u'@'}},             // a lead byte of an empty row
      {Bytes({0x85, 0x81, 0x40}), {Escape(0x85), u'\u3000'}},  // resumes at the next lead byte
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(DecodeCp932(bytes), text) << bytes;
    EXPECT_EQ(EncodeCp932(text), bytes) << bytes;
  }
}

TEST(Cp932Codec, EncodeIsTotal) {
  const std::vector<std::pair<std::u16string, std::string>> cases = {
      {u"A\u20ACB", "A?B"},           // euro sign: no CP932 code
      {u"\U0001F600", "?"},           // a surrogate pair is one character
      {std::u16string{0xD800}, "?"},  // lone high surrogate
      {std::u16string{0xD800, u'A'}, "?A"},
      {std::u16string{0xDD00}, "?"},                         // low surrogate outside the byte escapes
      {std::u16string{0xD800, 0xDC80}, Bytes({'?', 0x80})},  // the escape stays a byte
      {std::u16string{Escape(0x41), Escape(0x00)}, Bytes({0x41, 0x00})},
      {std::u16string{u'送', Escape(0xFF), u'信'}, "送" + Bytes({0xFF}) + "信"},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(EncodeCp932(text), bytes);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(EncodeCp932(std::u16string{Escape(b)}), Bytes({b})) << b;
}

// Threads converting a megabyte at once each get their own text back. The
// text mixes every kind of character, with invalid bytes at run edges, and
// ends with a lone lead byte.
TEST(Cp932Codec, LargeTextsRoundTripInEveryThread) {
  const std::string piece = "送信ABC ｱｲ" + Bytes({0x80, 0xFF, 0x81, 0x0D, 0x0A, 0xA0}) + "受信データ" + Bytes({0xFD});
  std::string text;
  while (text.size() < (1u << 20)) text += piece;
  text += Bytes({0x9F});
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int& failed : failures) {
    threads.emplace_back([&] {
      for (int round = 0; round < 3; ++round) failed += EncodeCp932(DecodeCp932(text)) != text;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
