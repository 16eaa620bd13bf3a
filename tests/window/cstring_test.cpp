// CString as the program relies on it: byte lengths, embedded NULs, the edits
// and their bounds, and the append-lineage that windows use to take only a
// string's new tail.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/afx_string.h"

namespace {

TEST(CStringBytes, LengthsCountBytesAndBoundsNeverCrash) {
  CString japanese("送信中");
  EXPECT_EQ(japanese.GetLength(), 6);
  CString withNul("a\0b", 3);
  EXPECT_EQ(withNul.GetLength(), 3);
  EXPECT_EQ(withNul.View(), std::string_view("a\0b", 3));
  EXPECT_STREQ(static_cast<const char*>(withNul), "a");
  EXPECT_EQ(CString(static_cast<const char*>(nullptr)), "");
  EXPECT_EQ(CString("x", -1), "");
  EXPECT_EQ(CString('-', 3), "---");
  EXPECT_EQ(CString('-', 0), "");

  struct Row {
    const char* what;
    CString result;
    const char* expected;
  } rows[] = {
      {"Left past the end", CString("abc").Left(10), "abc"},
      {"Left negative", CString("abc").Left(-1), ""},
      {"concatenation", CString("ab") + "cd" + CString("ef") + 'g', "abcdefg"},
      {"C string in front", "x" + CString("y"), "xy"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.result, row.expected) << row.what;

}

TEST(CStringBytes, Buffers) {
  CString buffer("abc");
  char* p = buffer.GetBuffer(16);
  std::strcpy(p, "longer text");
  buffer.ReleaseBuffer();
  EXPECT_EQ(buffer, "longer text");
  buffer.GetBuffer(0)[0] = 'L';
  buffer.ReleaseBuffer(4);
  EXPECT_EQ(buffer, "Long");
  buffer.GetBuffer(2);
  buffer.ReleaseBuffer(99);  // longer than the text: kept as it is
  EXPECT_EQ(buffer, "Long");

  CString self("ab");
  self += self;
  EXPECT_EQ(self, "abab");
}

TEST(CStringLineage, OnlyTheHeadOfAnAppendChainKeepsIt) {
  CString receive;
  auto lineage = receive.GetLineage();
  EXPECT_EQ(lineage->length, 0u);
  receive += "first";
  receive.Append("\0x", 2);
  EXPECT_EQ(receive.GetLineage(), lineage);
  EXPECT_EQ(lineage->length, 7u);

  struct Edit {
    const char* what;
    void (*apply)(CString&);
  } edits[] = {
      {"assign", [](CString& s) { s = "new"; }},
      {"assign a character", [](CString& s) { s = 'c'; }},
      {"Empty", [](CString& s) { s.Empty(); }},
      {"GetBuffer", [](CString& s) { s.GetBuffer(1); }},
      {"ReleaseBuffer", [](CString& s) { s.ReleaseBuffer(); }},
  };
  for (const Edit& edit : edits) {
    CString text("abc");
    auto before = text.GetLineage();
    edit.apply(text);
    EXPECT_NE(text.GetLineage(), before) << edit.what;
  }

  // Appending nothing changes nothing.
  CString head("abc");
  auto kept = head.GetLineage();
  head += "";
  head.Append(nullptr, 3);
  EXPECT_EQ(head.GetLineage(), kept);
  // A concatenation extends the chain of its left side.
  CString longer = head + "def";
  EXPECT_EQ(longer.GetLineage(), kept);
  EXPECT_EQ(kept->length, 6u);
}

}  // namespace
