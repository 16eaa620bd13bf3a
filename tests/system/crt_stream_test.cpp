// The C runtime's streams: text-mode reads, fgets as the file load uses it,
// binary writes, modes, and what a failing write reports. (A really full disk
// under the settings file: tests/faults/disk_faults_test.cpp.)
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/crt_stream.h"
#include "platform/msvcrt.h"
#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using morvek::test::ReadFileBytes;
using morvek::test::TempCurrentDir;
using morvek::test::WriteFileBytes;
constexpr std::size_t kBuffer = msvcrt::kStreamBufferSize;

// Reads the file the way the file load does: what each fgets of at most
// `n - 1` bytes gave, up to the first null.
std::vector<std::string> ReadLines(const char* mode, int n = 1024) {
  std::vector<std::string> result;
  msvcrt::FILE* file = msvcrt::fopen("in.txt", mode);
  if (!file) return result;
  std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\x7f');
  while (msvcrt::fgets(buffer.data(), n, file)) result.emplace_back(buffer.data());
  EXPECT_TRUE(msvcrt::feof(file));
  EXPECT_FALSE(msvcrt::ferror(file));
  EXPECT_EQ(msvcrt::fclose(file), 0);
  return result;
}

std::string ReadWhole(const char* mode) {
  msvcrt::FILE* file = msvcrt::fopen("in.txt", mode);
  if (!file) return "(no file)";
  std::string text(3 * kBuffer, '\0');
  text.resize(msvcrt::fread(text.data(), 1, text.size(), file));
  msvcrt::fclose(file);
  return text;
}

class CrtStreams : public ::testing::Test {
 protected:
  void TearDown() override { morvek::testing::ClearFileWriteFaults(); }
  TempCurrentDir m_dir;
};

// (Text mode against its oracle on random files, NULs, lone CRs and Ctrl-Z
// included: fuzz/text_mode_reader_fuzz.cpp, run by ctest; the file load's own
// table, through the program: tests/exchange/file_load_test.cpp.)
TEST_F(CrtStreams, ReadModesAndACrLfSplitAcrossTheReadBuffer) {
  // "r" is text mode too; "rb" leaves every byte alone.
  WriteFileBytes("in.txt", std::string("a\r\nb\x1A\r"));
  EXPECT_EQ(ReadLines("r"), (std::vector<std::string>{"a\n", "b"}));
  EXPECT_EQ(ReadWhole("rb"), std::string("a\r\nb\x1A\r"));

  // The CR is the last byte of the first buffer load, its LF the first of the next.
  const std::string head(kBuffer - 1, 'x');
  struct Row {
    std::string file;
    std::string text;
  } rows[] = {
      {head + "\r\ny", head + "\ny"},
      {head + "\rz", head + "\rz"},
      {head + "\r", head + "\r"},
      {head + "\r\x1A\n", head + "\r"},
      {head + "x\r\n", head + "x\n"},
  };
  for (const auto& row : rows) {
    WriteFileBytes("in.txt", row.file);
    EXPECT_EQ(ReadWhole("rt"), row.text) << row.file.size();
  }
  WriteFileBytes("in.txt", head + "\r\nnext\n");
  EXPECT_EQ(ReadLines("rt", static_cast<int>(kBuffer) + 8), (std::vector<std::string>{head + "\n", "next\n"}));
}

TEST_F(CrtStreams, BinaryWritesKeepEveryByteAndReadWriteWritesWhereTheReaderStands) {
  const std::string bytes = std::string("a\nb\r\n\x1A") + std::string(3 * kBuffer, 'b');
  msvcrt::FILE* file = msvcrt::fopen(".\\out.txt.", "wb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(msvcrt::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  char byte;
  EXPECT_EQ(msvcrt::fread(&byte, 1, 1, file), 0u) << "not open for reading";
  EXPECT_TRUE(msvcrt::ferror(file));
  EXPECT_EQ(msvcrt::fclose(file), 0);
  EXPECT_EQ(ReadFileBytes("out.txt"), bytes);

  WriteFileBytes("rw.txt", "line1\nline2\n");
  file = msvcrt::fopen("rw.txt", "r+b");
  ASSERT_NE(file, nullptr);
  char line[16];
  EXPECT_STREQ(msvcrt::fgets(line, sizeof line, file), "line1\n");
  EXPECT_EQ(msvcrt::fwrite("LINE2", 1, 5, file), 5u) << "writes where the reader stands";
  EXPECT_EQ(msvcrt::fclose(file), 0);
  EXPECT_EQ(ReadFileBytes("rw.txt"), "line1\nLINE2\n");
}

TEST_F(CrtStreams, OpenRefusesFoldersMissingFilesAndBadModes) {
  fs::create_directory("folder");
  WriteFileBytes("in.txt", "x");
  struct Row {
    const char* path;
    const char* mode;
    int error;
  } rows[] = {
      {"folder", "r", EISDIR},   {"folder", "rb", EISDIR},      {".\\folder.", "wb", EISDIR}, {"missing", "rt", ENOENT},
      {"in.txt", "", EINVAL},    {"in.txt", "x", EINVAL},       {"in.txt", "rw", EINVAL},      {"in.txt", "rbt", EINVAL},
      {"in.txt", "r++", EINVAL}, {"in.txt", nullptr, EINVAL},   {nullptr, "r", ENOENT},        {"", "r", ENOENT},
      {"in.txt", "ab", EINVAL},  {"in.txt", "w", EINVAL},       {"in.txt", "r+t", EINVAL},
  };
  for (const auto& row : rows) {
    errno = 0;
    EXPECT_EQ(msvcrt::fopen(row.path, row.mode), nullptr) << (row.path ? row.path : "(null)");
    EXPECT_EQ(errno, row.error) << (row.path ? row.path : "(null)") << " " << (row.mode ? row.mode : "(null)");
  }
  EXPECT_EQ(ReadFileBytes("in.txt"), "x");
  char buffer[4] = "abc";
  EXPECT_EQ(msvcrt::fgets(buffer, 4, nullptr), nullptr);
  EXPECT_EQ(msvcrt::fgets(nullptr, 4, nullptr), nullptr);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(msvcrt::fclose(nullptr), EOF);
  EXPECT_EQ(msvcrt::fflush(nullptr), EOF);
  EXPECT_EQ(msvcrt::feof(nullptr), 0);
}

TEST_F(CrtStreams, AFailedWriteIsReportedByTheCallThatHitsIt) {
  const std::string record(128, 'r');
  struct Row {
    const char* what;
    std::size_t bytesLeft;
    bool flushFirst;  // fflush before fclose, as the settings file does
    std::size_t onDisk;
  } rows[] = {{"fclose", 100, false, 100}, {"fflush", 0, true, 0}, {"fflush", 127, true, 127}};
  for (const auto& row : rows) {
    msvcrt::FILE* file = msvcrt::fopen("out.bin", "wb");
    ASSERT_NE(file, nullptr);
    morvek::testing::FailFileWritesAfter(row.bytesLeft, ERROR_DISK_FULL);
    EXPECT_EQ(msvcrt::fwrite(record.data(), record.size(), 1, file), 1u) << "buffered, not yet written";
    if (row.flushFirst) {
      EXPECT_EQ(msvcrt::fflush(file), EOF) << row.what;
      EXPECT_TRUE(msvcrt::ferror(file)) << row.what;
    }
    EXPECT_EQ(msvcrt::fclose(file), row.flushFirst ? 0 : EOF) << row.what << ": nothing is left to write";
    morvek::testing::ClearFileWriteFaults();
    EXPECT_EQ(ReadFileBytes("out.bin"), record.substr(0, row.onDisk)) << row.what;
  }

  // A write larger than the buffer reports how many items reached the file.
  msvcrt::FILE* file = msvcrt::fopen("out.bin", "wb");
  ASSERT_NE(file, nullptr);
  morvek::testing::FailFileWritesAfter(5000, ERROR_DISK_FULL);
  const std::string big(3 * kBuffer, 'b');
  EXPECT_EQ(msvcrt::fwrite(big.data(), 1, big.size(), file), kBuffer);
  EXPECT_TRUE(msvcrt::ferror(file));
  EXPECT_EQ(msvcrt::fclose(file), 0);
  EXPECT_EQ(fs::file_size("out.bin"), 5000u);
}

}  // namespace
