#include "qt/byte_text_runs.h"

#include "qt/byte_text_chars.h"
#include "text/cp932.h"

namespace morvek::qt {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsByteEscape(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDCFF; }

bool IsPrintableAscii(char16_t unit) { return unit >= 0x20 && unit < 0x7F; }

char16_t Visible(char16_t unit) {
  if (IsByteEscape(unit)) return kReplacement;
  if (unit < 0x20) return static_cast<char16_t>(0x2400 + unit);
  if (unit == 0x7F) return 0x2421;
  return unit;
}

}  // namespace

std::vector<ByteTextRun> LayOutRuns(std::string_view slice) {
  const std::u16string decoded = text::DecodeCp932(slice);
  std::vector<ByteTextRun> runs;
  std::size_t at = 0;
  // Characters and decoded units correspond one to one (see byte_text_chars.h).
  for (std::size_t unit = 0; unit < decoded.size() && at < slice.size(); ++unit) {
    const char16_t shown = Visible(decoded[unit]);
    const bool joinsRun =
        IsPrintableAscii(shown) && !runs.empty() && IsPrintableAscii(runs.back().text.back().unicode());
    if (!joinsRun) runs.push_back({QString(), at});
    runs.back().text.append(QChar(shown));
    at += CharLengthAt(slice, at);
  }
  return runs;
}

QString ToClipboardText(std::u16string decoded) {
  for (char16_t& unit : decoded) {
    if (IsByteEscape(unit)) unit = kReplacement;
  }
  return QString::fromUtf16(decoded.data(), static_cast<qsizetype>(decoded.size()));
}

}  // namespace morvek::qt
