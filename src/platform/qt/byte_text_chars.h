// How a ByteTextView cuts its bytes into characters: exactly as DecodeCp932
// reads them, so that every character gives one decoded UTF-16 unit. A lead
// byte followed by a trail byte that CP932 assigns is one double-byte character
// (two columns); any other byte is a character of its own (one column), shown
// as DecodeCp932 shows it. A character's column count is its byte count.
#pragma once

#include <cstddef>
#include <string_view>

namespace morvek::qt {

// Whether the bytes lead, trail are one assigned double-byte CP932 character.
// Thread-safe; the first call builds a small table (a few milliseconds).
bool IsCp932Pair(unsigned char lead, unsigned char trail);

// Byte count (1 or 2) of the character that starts at bytes[at] (at < size).
// A lead byte whose trail lies beyond the end of `bytes` counts as one byte.
std::size_t CharLengthAt(std::string_view bytes, std::size_t at);

// The start of the character that holds bytes[at], walking from `boundary`,
// a known character start at or before `at` (at <= bytes.size()).
std::size_t CharStartAtOrBefore(std::string_view bytes, std::size_t boundary, std::size_t at);

}  // namespace morvek::qt
