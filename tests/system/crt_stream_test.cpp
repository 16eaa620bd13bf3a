// The C runtime's streams: a CR LF split by the stream buffer, the modes the
// file load and the settings file use, and what a failing write reports. (A really full disk
// under the settings file: tests/faults/disk_faults_test.cpp.)
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

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

// (Line ends, Ctrl-Z, NUL and the 1023-byte pieces of fgets, through the
// program: tests/exchange/file_load_test.cpp.)
TEST_F(CrtStreams, CrLfSplitAcrossTheReadBufferIsOneLineFeed) {
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
}

TEST_F(CrtStreams, BinaryWritesKeepEveryByte) {
  // The settings file's record: a 10 or a 26 in it stays one byte.
  msvcrt::FILE* file = msvcrt::fopen("out.bin", "wb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(msvcrt::fwrite("a\nb\r\n\x1A", 1, 6, file), 6u);
  EXPECT_EQ(msvcrt::fclose(file), 0);
  EXPECT_EQ(ReadFileBytes("out.bin"), "a\nb\r\n\x1A");
}

TEST_F(CrtStreams, OpenRefusesFoldersMissingFilesAndABadMode) {
  fs::create_directory("folder");
  WriteFileBytes("in.txt", "x");
  struct Row {
    const char* path;
    const char* mode;
    int error;
  } rows[] = {
      {"folder", "rt", EISDIR}, {".\\folder.", "wb", EISDIR}, {"missing", "rb", ENOENT},
      {"in.txt", "x", EINVAL},  {nullptr, "r", ENOENT},       {"", "r", ENOENT},
  };
  for (const auto& row : rows) {
    errno = 0;
    EXPECT_EQ(msvcrt::fopen(row.path, row.mode), nullptr) << (row.path ? row.path : "(null)");
    EXPECT_EQ(errno, row.error) << (row.path ? row.path : "(null)") << " " << (row.mode ? row.mode : "(null)");
  }
  EXPECT_EQ(ReadFileBytes("in.txt"), "x");
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
}

}  // namespace
