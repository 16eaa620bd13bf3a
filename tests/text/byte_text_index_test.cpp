// The line index and character walking behind ByteTextView.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/qt/byte_text_chars.h"
#include "platform/qt/byte_text_lines.h"
#include "platform/qt/byte_text_runs.h"
#include "platform/qt/byte_text_store.h"
#include "platform/text/cp932.h"

namespace {

using morvek::qt::ByteTextLines;
using morvek::qt::ByteTextStore;

struct Text {
  ByteTextStore store;
  ByteTextLines lines;
  void Append(const std::string& tail) {
    store.Append(tail);
    lines.Append(tail);
  }
};

TEST(ByteTextLines, LineStartsAndWidths) {
  struct Case {
    const char* name;
    std::vector<std::string> appends;
    std::vector<std::size_t> starts;
    std::vector<std::size_t> widths;
  };
  const std::vector<Case> cases = {
      {"empty", {}, {0}, {0}},
      {"one byte", {"A"}, {0}, {1}},
      {"no line end", {"hello"}, {0}, {5}},
      {"LF", {"A\nBC"}, {0, 2}, {1, 2}},
      {"CR LF", {"A\r\nBC"}, {0, 3}, {1, 2}},
      {"lone CR", {"A\rBC"}, {0, 2}, {1, 2}},
      {"ends with LF", {"A\n"}, {0, 2}, {1, 0}},
      {"CR | LF across appends", {"A\r", "\nB"}, {0, 3}, {1, 1}},
      {"CR | empty | LF", {"A\r", "", "\n"}, {0, 3}, {1, 0}},
      {"CR | other byte", {"A\r", "B"}, {0, 2}, {1, 1}},
      {"LF CR is two ends", {"\n\r"}, {0, 1, 2}, {0, 0, 0}},
      {"mixed empty lines", {"\n\r\r\n"}, {0, 1, 2, 4}, {0, 0, 0, 0}},
      {"CR CR LF", {"\r\r\n"}, {0, 1, 3}, {0, 0, 0}},
      {"double-byte text", {"送信\r\nA"}, {0, 6}, {4, 1}},
      {"byte by byte", {"a", "\r", "\n", "b", "\r"}, {0, 3, 5}, {1, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Text text;
    for (const std::string& tail : c.appends) text.Append(tail);
    ASSERT_EQ(text.lines.Count(), c.starts.size());
    std::size_t widest = 0;
    for (std::size_t line = 0; line < c.starts.size(); ++line) {
      EXPECT_EQ(text.lines.Start(line), c.starts[line]) << line;
      EXPECT_EQ(text.lines.ContentEnd(line, text.store) - text.lines.Start(line), c.widths[line]) << line;
      widest = std::max(widest, c.widths[line]);
    }
    EXPECT_EQ(text.lines.MaxWidth(), widest);
    EXPECT_EQ(text.lines.LastLineWidth(), c.widths.back());
    for (std::size_t offset = 0; offset < text.store.Size(); ++offset) {
      const std::size_t line = text.lines.LineOf(offset);
      EXPECT_LE(text.lines.Start(line), offset);
      if (line + 1 < text.lines.Count()) {
        EXPECT_GT(text.lines.Start(line + 1), offset);
      }
    }
  }
}

// Every start of a character in `line`, walking it from its beginning.
std::set<std::size_t> CharStarts(const std::string& line) {
  std::set<std::size_t> starts;
  for (std::size_t at = 0; at < line.size(); at += morvek::qt::CharLengthAt(line, at)) starts.insert(at);
  return starts;
}

TEST(ByteTextLines, CheckpointsInALongLineAreCharacterStarts) {
  // 60 KB without a line end: pairs, single bytes, lone lead bytes, bytes that
  // are both trail and lead, cut into appends that split pairs.
  const std::string piece = std::string("送信ABC") + "\x81 " + "\x85\x81\x40" + "\x85\x40" + "ｱ" + "\xFF";
  std::string line;
  while (line.size() < 60000) line += piece;
  Text text;
  text.Append("first\r\n");
  for (std::size_t at = 0, step = 1; at < line.size(); at += step, step = step * 7 % 4099 + 1) {
    text.Append(line.substr(at, step));
  }
  ASSERT_EQ(text.lines.Count(), 2u);
  const std::set<std::size_t> starts = CharStarts(line);
  const std::size_t base = text.lines.Start(1);
  for (std::size_t offset = 0; offset <= line.size(); ++offset) {
    const std::size_t known = text.lines.KnownCharStartBefore(1, base + offset) - base;
    ASSERT_LE(known, offset);
    ASSERT_LT(offset - known, 8192u) << offset;  // painting never walks far
    ASSERT_TRUE(known == 0 || starts.count(known)) << known;
    const std::size_t start = morvek::qt::CharStartAtOrBefore(line, known, offset);
    ASSERT_EQ(start, offset == line.size() ? offset : *std::prev(starts.upper_bound(offset))) << offset;
  }
  // One decoded unit per character: painting's columns rest on this.
  EXPECT_EQ(morvek::text::DecodeCp932(line).size(), starts.size());
}

TEST(ByteTextRuns, CharactersKeepTheirColumns) {
  struct Case {
    std::string slice;
    std::vector<std::pair<std::u16string, std::size_t>> runs;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"AB C", {{u"AB C", 0}}},
      {"A送信B", {{u"A", 0}, {u"送", 1}, {u"信", 3}, {u"B", 5}}},
      {"\x80z\xFD", {{u"\uFFFD", 0}, {u"z", 1}, {u"\uFFFD", 2}}},
      {"x\x01\t\x7F", {{u"x", 0}, {u"\u2401", 1}, {u"\u2409", 2}, {u"\u2421", 3}}},
      {"ｱA\x81", {{u"ｱ", 0}, {u"A", 1}, {u"\uFFFD", 2}}},
  };
  for (const Case& c : cases) {
    const std::vector<morvek::qt::ByteTextRun> runs = morvek::qt::LayOutRuns(c.slice);
    ASSERT_EQ(runs.size(), c.runs.size()) << c.slice;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].text, QString::fromStdU16String(c.runs[i].first)) << c.slice << " run " << i;
      EXPECT_EQ(runs[i].column, c.runs[i].second) << c.slice << " run " << i;
    }
  }
}

TEST(ByteTextStore, CopiesAcrossChunks) {
  ByteTextStore store;
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    const std::string block(1000 + i, static_cast<char>(i));
    store.Append(block);
    expected += block;
  }
  ASSERT_EQ(store.Size(), expected.size());
  for (const auto& [begin, end] :
       std::vector<std::pair<std::size_t, std::size_t>>{{0, 0},
                                                        {0, 1},
                                                        {65535, 65537},
                                                        {1000, 200000},
                                                        {0, expected.size()},
                                                        {expected.size() - 1, expected.size() + 5}}) {
    EXPECT_EQ(store.Copy(begin, end), expected.substr(begin, end - begin)) << begin;
  }
  EXPECT_EQ(store.At(65536), static_cast<unsigned char>(expected[65536]));
  store.Clear();
  EXPECT_EQ(store.Size(), 0u);
  EXPECT_EQ(store.Copy(0, 10), "");
}

}  // namespace
