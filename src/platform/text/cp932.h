// CP932 (Shift-JIS as Windows has it) <-> UTF-16, lossless for any byte string.
#pragma once

#include <string>
#include <string_view>

namespace morvek::text {

// Decodes bytes for display. A byte that starts no valid character (and a lead
// byte with no trail byte at the end) becomes U+DC00 + byte, so that encoding
// the result gives the same bytes back.
std::u16string DecodeCp932(std::string_view bytes);

// Encodes text. U+DC80..U+DCFF become the byte they stand for; a character that
// CP932 cannot hold becomes '?'.
std::string EncodeCp932(std::u16string_view text);

// Whether b starts a two-byte CP932 character (0x81..0x9F, 0xE0..0xFC).
constexpr bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace morvek::text
