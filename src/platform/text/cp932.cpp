// CP932 conversion through glibc iconv. Valid text is converted in long runs
// (one iconv call per run, not per character); only the bytes or characters
// that iconv refuses are handled one by one. Each thread keeps its own pair of
// converters, so calls from several threads never share iconv state.
#include "text/cp932.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

namespace morvek::text {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // U+DC00 + byte stands for a byte that decodes to nothing
constexpr char kUnencodable = '?';
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsByteEscape(char16_t unit) { return unit >= kEscapeBase && unit <= kEscapeBase + 0xFF; }
bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The calling thread's converters, opened on first use and closed when the
// thread ends. A converter that cannot be opened stays kNoConverter; the
// conversions then fall back to ASCII only (still lossless for bytes).
class ThreadConverters {
 public:
  ThreadConverters() : m_decoder(iconv_open(kUtf16, "CP932")), m_encoder(iconv_open("CP932", kUtf16)) {}
  ~ThreadConverters() {
    if (m_decoder != kNoConverter) iconv_close(m_decoder);
    if (m_encoder != kNoConverter) iconv_close(m_encoder);
  }
  ThreadConverters(const ThreadConverters&) = delete;
  ThreadConverters& operator=(const ThreadConverters&) = delete;

  static ThreadConverters& ForThisThread() {
    thread_local ThreadConverters converters;
    return converters;
  }

  iconv_t decoder() const { return m_decoder; }
  iconv_t encoder() const { return m_encoder; }

 private:
  iconv_t m_decoder;
  iconv_t m_encoder;
};

// Runs iconv over as much of [in, in + inLeft) as it converts in one go. The
// converter is stateless for CP932 and UTF-16 without a byte order mark, so
// resetting it first is only a guard against a previous failed call.
int ConvertRun(iconv_t cd, const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inCursor = const_cast<char*>(in);  // iconv takes char** but does not write the input
  const std::size_t result = iconv(cd, &inCursor, &inLeft, &out, &outLeft);
  in = inCursor;
  return result == static_cast<std::size_t>(-1) ? errno : 0;
}

std::u16string DecodeAsciiOnly(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    text[i] = b < 0x80 ? char16_t{b} : static_cast<char16_t>(kEscapeBase + b);
  }
  return text;
}

std::string EncodeAsciiOnly(std::u16string_view text) {
  std::string bytes(text.size(), kUnencodable);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) bytes[i] = static_cast<char>(unit);
    if (IsByteEscape(unit)) bytes[i] = static_cast<char>(unit - kEscapeBase);
  }
  return bytes;
}

// Encodes a run that holds no byte escape, appending to `bytes` at `written`.
// A character CP932 cannot hold (or a stray surrogate) becomes '?'; a valid
// surrogate pair is one character and gives one '?'.
void EncodeRun(iconv_t cd, std::u16string_view run, std::string& bytes, std::size_t& written) {
  const char* in = reinterpret_cast<const char*>(run.data());
  std::size_t inLeft = run.size() * sizeof(char16_t);
  while (inLeft > 0) {
    char* out = bytes.data() + written;
    std::size_t outLeft = bytes.size() - written;
    const int error = ConvertRun(cd, in, inLeft, out, outLeft);
    written = static_cast<std::size_t>(out - bytes.data());
    if (error == 0 || inLeft == 0) break;
    // EILSEQ (unencodable) or EINVAL (a high surrogate ends the run): one '?'.
    const char16_t* unit = reinterpret_cast<const char16_t*>(in);
    const std::size_t unitsLeft = inLeft / sizeof(char16_t);
    const std::size_t skip = unitsLeft >= 2 && IsHighSurrogate(unit[0]) && IsLowSurrogate(unit[1]) ? 2 : 1;
    bytes[written++] = kUnencodable;
    in += skip * sizeof(char16_t);
    inLeft -= skip * sizeof(char16_t);
  }
}

}  // namespace

std::u16string DecodeCp932(std::string_view bytes) {
  const iconv_t cd = ThreadConverters::ForThisThread().decoder();
  if (cd == kNoConverter) return DecodeAsciiOnly(bytes);

  // Every CP932 character (one or two bytes) is one UTF-16 unit, and so is every
  // escaped byte: the text never has more units than the input has bytes.
  std::u16string text(bytes.size(), u'\0');
  const char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  char* const outBegin = reinterpret_cast<char*>(text.data());
  char* out = outBegin;
  std::size_t outLeft = text.size() * sizeof(char16_t);
  while (inLeft > 0) {
    if (ConvertRun(cd, in, inLeft, out, outLeft) == 0 || inLeft == 0) break;
    // EILSEQ (no character starts here) or EINVAL (a lead byte ends the input):
    // keep the byte as its escape and go on after it.
    const char16_t escape = kEscapeBase + static_cast<unsigned char>(*in);
    std::memcpy(out, &escape, sizeof escape);
    out += sizeof escape;
    outLeft -= sizeof escape;
    ++in;
    --inLeft;
  }
  text.resize(static_cast<std::size_t>(out - outBegin) / sizeof(char16_t));
  return text;
}

std::string EncodeCp932(std::u16string_view text) {
  const iconv_t cd = ThreadConverters::ForThisThread().encoder();
  if (cd == kNoConverter) return EncodeAsciiOnly(text);

  // A UTF-16 unit gives at most two bytes (a double-byte character; '?' and an
  // escaped byte give one).
  std::string bytes(text.size() * 2, '\0');
  std::size_t written = 0;
  std::size_t runStart = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsByteEscape(text[i])) continue;
    if (i > runStart) EncodeRun(cd, text.substr(runStart, i - runStart), bytes, written);
    if (i < text.size()) bytes[written++] = static_cast<char>(text[i] - kEscapeBase);
    runStart = i + 1;
  }
  bytes.resize(written);
  return bytes;
}

}  // namespace morvek::text
