// Fuzz target: the runtime's text-mode reading, as the file load uses it.
//
// The input is the content of a file. Read back with fopen(path, "rt"), the
// text must be the input as text mode has it: CR LF reads as LF, any other CR
// (before another byte, at the end of the file, at the end of a chunk or of
// the stream's buffer) stays a CR, the first Ctrl-Z (0x1A) ends the text, and
// every other byte, NUL included, is read as it is.
//
// fgets(buffer, n, f), for n = 1024 as the file load calls it and for a small
// n taken from the input's length, must hand out that text in order, in chunks
// of at most n-1 characters that end after a LF, when full, or where the text
// ends; it writes the chunk and one NUL and nothing else. Once nothing is left
// it returns null and leaves the buffer as it was. The end-of-file mark is set
// by a read that ran into the end: after a chunk that stopped for want of text
// and after the null, never after a chunk that ended at a LF or was full.
//
// fread of the whole file gives the same text in "rt" and the input's bytes
// unchanged in "rb".
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_driver.h"
#include "platform/msvcrt.h"
#include "support/temp_dir.h"

namespace {

using morvek::fuzz::Check;
using morvek::fuzz::CheckEqual;

constexpr char kFileName[] = "input.txt";
constexpr int kLoadChunk = 1024;  // the file load's fgets size
constexpr char kUnwritten = 'U';  // fills the buffer before each read
constexpr size_t kSlack = 16;     // buffer bytes after the n fgets may use

std::string TextModeOracle(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size() && bytes[i] != '\x1a'; ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;  // the LF is kept
    text += bytes[i];
  }
  return text;
}

void CheckChunks(const std::string& text, int n) {
  msvcrt::FILE* file = msvcrt::fopen(kFileName, "rt");
  Check(file != nullptr, "fopen rt failed");
  std::vector<char> buffer(static_cast<size_t>(n) + kSlack);
  size_t at = 0;
  for (;;) {
    std::fill(buffer.begin(), buffer.end(), kUnwritten);
    const char* got = msvcrt::fgets(buffer.data(), n, file);
    if (at == text.size()) {
      Check(got == nullptr, "fgets read past the end of the text");
      Check(std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == kUnwritten; }),
            "fgets at the end changed the buffer");
      Check(msvcrt::feof(file) == 1, "no end-of-file mark after the last read");
      Check(msvcrt::fgets(buffer.data(), n, file) == nullptr, "fgets read again after the end");
      break;
    }
    Check(got == buffer.data(), "fgets gave no chunk while text was left");
    const size_t lineEnd = text.find('\n', at);
    const size_t length = std::min<size_t>(n - 1, (lineEnd == std::string::npos ? text.size() : lineEnd + 1) - at);
    const std::string chunk = text.substr(at, length);
    CheckEqual(std::string_view(buffer.data(), length), chunk, "a chunk of fgets");
    Check(buffer[length] == '\0', "a chunk of fgets is not NUL-terminated");
    Check(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(length) + 1, buffer.end(),
                      [](char c) { return c == kUnwritten; }),
          "fgets wrote past its chunk's NUL");
    const bool ranOut = length < static_cast<size_t>(n - 1) && chunk.back() != '\n';
    Check(msvcrt::feof(file) == (ranOut ? 1 : 0),
          ranOut ? "no end-of-file mark after a chunk that ran out of text"
                 : "an end-of-file mark after a chunk that ended at LF or was full");
    at += length;
  }
  Check(msvcrt::ferror(file) == 0, "a read error");
  Check(msvcrt::fclose(file) == 0, "fclose failed");
}

std::string ReadWhole(const char* mode, size_t size) {
  msvcrt::FILE* file = msvcrt::fopen(kFileName, mode);
  Check(file != nullptr, "fopen failed");
  std::string bytes(size + kSlack, kUnwritten);
  bytes.resize(msvcrt::fread(bytes.data(), 1, bytes.size(), file));
  Check(msvcrt::feof(file) == 1, "no end-of-file mark after reading it all");
  Check(msvcrt::fclose(file) == 0, "fclose failed");
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  morvek::test::WriteFileBytes(kFileName, input);
  const std::string text = TextModeOracle(input);
  CheckChunks(text, kLoadChunk);
  CheckChunks(text, 2 + static_cast<int>(size % 14));
  CheckEqual(ReadWhole("rt", size), text, "fread in text mode");
  CheckEqual(ReadWhole("rb", size), input, "fread in binary mode");
  return 0;
}
