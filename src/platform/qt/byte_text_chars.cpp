#include "qt/byte_text_chars.h"

#include <array>
#include <bitset>
#include <string>

#include "text/cp932.h"

namespace morvek::qt {
namespace {

// One row of 256 trail bits per possible lead byte, filled from DecodeCp932
// itself so that the view never disagrees with what painting decodes.
class PairTable {
 public:
  PairTable() {
    for (unsigned lead = 0; lead < 256; ++lead) {
      if (!text::IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0; trail < 256; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const std::u16string decoded = text::DecodeCp932(std::string_view(pair, 2));
        const bool isEscape = decoded.size() == 1 && decoded[0] >= 0xDC00 && decoded[0] <= 0xDCFF;
        m_rows[lead][trail] = decoded.size() == 1 && !isEscape;
      }
    }
  }
  bool Has(unsigned char lead, unsigned char trail) const { return m_rows[lead][trail]; }

 private:
  std::array<std::bitset<256>, 256> m_rows{};
};

}  // namespace

bool IsCp932Pair(unsigned char lead, unsigned char trail) {
  static const PairTable table;
  return text::IsCp932LeadByte(lead) && table.Has(lead, trail);
}

std::size_t CharLengthAt(std::string_view bytes, std::size_t at) {
  const bool pair = at + 1 < bytes.size() &&
                    IsCp932Pair(static_cast<unsigned char>(bytes[at]), static_cast<unsigned char>(bytes[at + 1]));
  return pair ? 2 : 1;
}

std::size_t CharStartAtOrBefore(std::string_view bytes, std::size_t boundary, std::size_t at) {
  std::size_t start = boundary;
  while (start < at && start < bytes.size()) {
    const std::size_t next = start + CharLengthAt(bytes, start);
    if (next > at) break;
    start = next;
  }
  return start;
}

}  // namespace morvek::qt
