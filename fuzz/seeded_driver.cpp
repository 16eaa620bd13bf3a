// The seeded random driver every fuzz target is linked with (its main).
//
//   fuzz_<name> [--runs N] [--seconds S] [--seed X] [--max-len L] [FILE...]
//
// Without files it tries N generated inputs (default: no limit), stopping
// earlier once S seconds have passed (default 60); the same seed (default 1)
// gives the same inputs. With files it replays each file as one input and
// nothing else. The run takes place in a fresh temporary current folder;
// failures are saved in the folder the driver was started in. At the end it
// prints the target, the inputs run, the seconds and the seed.
//
// There is no coverage feedback, so the inputs are mixed by construction:
// lengths favour the boundaries the program cares about (0, 1, 127..129, around
// 4094 and 8190, the maximum); bytes come in runs drawn from alphabets (any
// byte, hex digits, hex digits and their neighbours, line-break and end-of-text
// bytes, CP932 double-byte characters, little-endian 32-bit numbers); and half
// of the inputs are mutations of earlier ones kept in a small pool.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fuzz_driver.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  uint64_t runs = UINT64_MAX;
  double seconds = 60;
  uint64_t seed = 1;
  size_t maxLen = 20000;
  std::vector<std::string> files;
};

// What Fail reports about the run and the input in hand.
struct RunState {
  std::string target;  // "hex_send" for fuzz_hex_send
  std::filesystem::path startDir;
  std::filesystem::path runDir;  // the temporary current folder
  size_t index = 0;
  std::string source;                  // where the input in hand came from
  const std::string* input = nullptr;  // null between inputs
};
RunState g_run;

// Lengths inputs favour: empty and tiny, around a signed byte, around one and
// two 4094-character send pieces and the 4096-byte read buffer.
constexpr size_t kBoundaryLengths[] = {0, 1, 2, 3, 127, 128, 129, 4093, 4094, 4095, 4096, 4097, 8188, 8189, 8190};

constexpr char kHexDigits[] = "0123456789abcdefABCDEF";
// The characters next to the digit ranges in ASCII.
constexpr char kHexNeighbours[] = "/:@G`g";
constexpr char kLineBytes[] = {'\r', '\n', '\x1a', '\0', ' ', '\t', 'A', '~'};
// Trail bytes at the edges of the CP932 trail ranges, the backslash code and
// bytes that are no trail byte at all.
constexpr unsigned char kOddTrailBytes[] = {0x40, 0x5C, 0x7E, 0x7F, 0x80, 0xFC, 0xFD, 0xFF, 0x00, 0x0A, 0x0D, 0x1A};
constexpr int32_t kEdgeNumbers[] = {0,   1,   2,   3,   4,    7,       8,  15,      16,     17,
                                    127, 128, 255, 256, 9600, 2000000, -1, INT_MAX, INT_MIN};

enum Alphabet { kAnyByte, kHex, kHexAndNeighbours, kLineAndEnd, kCp932, kNumbers, kAlphabetCount };

class Generator {
 public:
  Generator(uint64_t seed, size_t maxLen) : m_rng(seed), m_maxLen(maxLen) {}

  std::string Next() {
    std::string input = !m_pool.empty() && OneIn(2) ? Mutated(m_pool[Below(m_pool.size())]) : Fresh();
    if (m_pool.size() < kPoolSize) {
      m_pool.push_back(input);
    } else {
      m_pool[Below(kPoolSize)] = input;
    }
    return input;
  }

 private:
  static constexpr size_t kPoolSize = 64;

  uint64_t Below(uint64_t n) { return n == 0 ? 0 : m_rng() % n; }
  bool OneIn(uint64_t n) { return Below(n) == 0; }

  size_t PickLength() {
    switch (Below(4)) {
      case 0: {
        // A boundary, or the longest input or one byte less.
        const size_t pick = Below(std::size(kBoundaryLengths) + 2);
        if (pick < std::size(kBoundaryLengths)) return std::min(kBoundaryLengths[pick], m_maxLen);
        return pick == std::size(kBoundaryLengths) || m_maxLen == 0 ? m_maxLen : m_maxLen - 1;
      }
      case 1: return std::min<size_t>(Below(17), m_maxLen);
      case 2: return std::min<size_t>(Below(257), m_maxLen);
      default: return Below(m_maxLen + 1);
    }
  }

  // Appends about `count` bytes of one alphabet (a double-byte character or a
  // number may run a few bytes over).
  void AppendRun(std::string& out, size_t count) {
    const auto alphabet = static_cast<Alphabet>(Below(kAlphabetCount));
    const size_t end = out.size() + count;
    while (out.size() < end) {
      switch (alphabet) {
        case kAnyByte: out += static_cast<char>(Below(256)); break;
        case kHex: out += kHexDigits[Below(sizeof kHexDigits - 1)]; break;
        case kHexAndNeighbours:
          out += OneIn(4) ? kHexNeighbours[Below(sizeof kHexNeighbours - 1)] : kHexDigits[Below(sizeof kHexDigits - 1)];
          break;
        case kLineAndEnd: out += kLineBytes[Below(sizeof kLineBytes)]; break;
        case kCp932:
          out += static_cast<char>(OneIn(2) ? 0x81 + Below(0x9F - 0x81 + 1) : 0xE0 + Below(0xFC - 0xE0 + 1));
          if (OneIn(4)) {
            out += static_cast<char>(kOddTrailBytes[Below(sizeof kOddTrailBytes)]);
          } else {
            out += static_cast<char>(OneIn(2) ? 0x40 + Below(0x7E - 0x40 + 1) : 0x80 + Below(0xFC - 0x80 + 1));
          }
          break;
        case kNumbers: {
          uint32_t value = OneIn(2) ? static_cast<uint32_t>(kEdgeNumbers[Below(std::size(kEdgeNumbers))])
                                    : static_cast<uint32_t>(m_rng());
          for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i));
          break;
        }
        case kAlphabetCount: break;
      }
    }
  }

  // One alphabet throughout, or several runs of different ones.
  std::string Fresh() {
    const size_t length = PickLength();
    const bool oneRun = OneIn(2);
    std::string input;
    while (input.size() < length) AppendRun(input, oneRun ? length : 1 + Below(length - input.size()));
    input.resize(length);
    return input;
  }

  std::string Mutated(std::string input) {
    for (uint64_t n = 1 + Below(4); n > 0; --n) {
      const size_t size = input.size();
      switch (Below(5)) {
        case 0:  // flip a bit
          if (size > 0) input[Below(size)] ^= static_cast<char>(1 << Below(8));
          break;
        case 1: {  // insert a short run
          std::string run;
          AppendRun(run, 1 + Below(16));
          input.insert(Below(size + 1), run);
          break;
        }
        case 2:  // delete a range
          if (size > 0) {
            size_t at = Below(size);
            input.erase(at, 1 + Below(size - at));
          }
          break;
        case 3:  // duplicate a range elsewhere
          if (size > 0) {
            size_t at = Below(size);
            std::string range = input.substr(at, 1 + Below(size - at));
            input.insert(Below(size + 1), range);
          }
          break;
        default: {  // cut or repeat it to another length
          const size_t length = PickLength();
          if (input.empty()) AppendRun(input, 1);
          while (input.size() < length) input += input;
          input.resize(length);
          break;
        }
      }
    }
    if (input.size() > m_maxLen) input.resize(m_maxLen);
    return input;
  }

  std::mt19937_64 m_rng;
  size_t m_maxLen;
  std::vector<std::string> m_pool;
};

// Runs one input the way libFuzzer hands it over: in a block of exactly its
// size, so that reading past it is seen by AddressSanitizer.
void RunOne(const std::string& input, size_t index, std::string source) {
  g_run.index = index;
  g_run.source = std::move(source);
  g_run.input = &input;
  std::unique_ptr<uint8_t[]> data(new uint8_t[input.size() + (input.empty() ? 1 : 0)]);
  std::copy(input.begin(), input.end(), data.get());
  LLVMFuzzerTestOneInput(data.get(), input.size());
  g_run.input = nullptr;
}

bool ParseNumber(const char* text, uint64_t& out) {
  char* end = nullptr;
  errno = 0;
  out = std::strtoull(text, &end, 0);
  return errno == 0 && end != text && *end == '\0' && text[0] != '-';
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("-", 0) != 0) {
      options.files.push_back(arg);
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    uint64_t number = 0;
    if (arg == "--seconds") {
      char* end = nullptr;
      options.seconds = std::strtod(value, &end);
      if (end == value || *end != '\0' || !(options.seconds >= 0)) return false;
    } else if (!ParseNumber(value, number)) {
      return false;
    } else if (arg == "--runs") {
      options.runs = number;
    } else if (arg == "--seed") {
      options.seed = number;
    } else if (arg == "--max-len") {
      options.maxLen = static_cast<size_t>(number);
    } else {
      return false;
    }
  }
  return true;
}

bool ReadInputs(const std::vector<std::string>& files, std::vector<std::string>& inputs) {
  for (const std::string& file : files) {
    if (!std::filesystem::is_regular_file(file)) {
      std::fprintf(stderr, "no such file: %s\n", file.c_str());
      return false;
    }
    inputs.push_back(morvek::test::ReadFileBytes(file));
  }
  return true;
}

}  // namespace

__attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

__attribute__((weak)) void MorvekFuzzRun(const std::function<void()>& loop) { loop(); }

namespace morvek::fuzz {

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz_%s FAILED: %s\n", g_run.target.c_str(), what.c_str());
  if (g_run.input != nullptr) {
    std::fprintf(stderr, "  on %s (%zu bytes)\n", g_run.source.c_str(), g_run.input->size());
    const std::filesystem::path saved =
        g_run.startDir / ("fuzz-failure-" + g_run.target + "-" + std::to_string(g_run.index) + ".bin");
    morvek::test::WriteFileBytes(saved, *g_run.input);
    std::fprintf(stderr, "  saved as %s; replay: fuzz_%s %s\n", saved.c_str(), g_run.target.c_str(), saved.c_str());
  } else {
    std::fprintf(stderr, "  outside any input\n");
  }
  std::fprintf(stderr, "  the run's folder %s is left as it was\n", g_run.runDir.c_str());
  std::fflush(stderr);
  std::abort();
}

std::string Difference(std::string_view got, std::string_view expected) {
  size_t at = 0;
  while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
  if (at == got.size() && at == expected.size()) return "";
  auto hex = [at](std::string_view bytes) {
    std::string text;
    for (size_t i = at; i < bytes.size() && i < at + 8; ++i) {
      char byte[4];
      std::snprintf(byte, sizeof byte, " %02X", static_cast<unsigned char>(bytes[i]));
      text += byte;
    }
    return text.empty() ? std::string(" (end)") : text;
  };
  return "at byte " + std::to_string(at) + " (got " + std::to_string(got.size()) + " bytes, expected " +
         std::to_string(expected.size()) + "): got" + hex(got) + ", expected" + hex(expected);
}

void CheckEqual(std::string_view got, std::string_view expected, const char* what) {
  if (got != expected) Fail(std::string(what) + ": " + Difference(got, expected));
}

}  // namespace morvek::fuzz

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--runs N] [--seconds S] [--seed X] [--max-len L] [FILE...]\n", argv[0]);
    return 2;
  }
  std::string target = std::filesystem::path(argv[0]).filename().string();
  if (target.rfind("fuzz_", 0) == 0) target.erase(0, 5);
  g_run.target = target;
  g_run.startDir = std::filesystem::current_path();
  std::vector<std::string> replays;
  if (!ReadInputs(options.files, replays)) return 2;

  morvek::test::TempCurrentDir folder;
  g_run.runDir = folder.path();
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);

  size_t done = 0;
  const Clock::time_point start = Clock::now();
  auto elapsed = [&start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  MorvekFuzzRun([&] {
    if (!options.files.empty()) {
      for (; done < replays.size(); ++done) RunOne(replays[done], done, "file " + options.files[done]);
      return;
    }
    Generator generator(options.seed, options.maxLen);
    for (; done < options.runs && elapsed() < options.seconds; ++done) {
      RunOne(generator.Next(), done, "input " + std::to_string(done) + " of seed " + std::to_string(options.seed));
    }
  });
  const double seconds = elapsed();
  std::printf("fuzz_%s: %zu inputs in %.1f s (%.0f inputs/s), seed %" PRIu64 ", max-len %zu\n", target.c_str(), done,
              seconds, seconds > 0 ? done / seconds : 0.0, options.seed, options.maxLen);
  return 0;
}
