// File names cross the program's calls as CP932 bytes (the ANSI code page of
// the "A" calls); the file system holds them as UTF-8. Both directions are
// lossless for any byte string: bytes that do not decode pass through as they
// are.
#pragma once

#include <string>
#include <string_view>

namespace morvek::posix {

// UTF-8 bytes for text decoded from CP932 (DecodeCp932: a byte that decodes to
// nothing is U+DC00 + byte, and becomes that byte again here).
std::string Utf8FromText(std::u16string_view text);

// The CP932 bytes of a UTF-8 file name (a character CP932 lacks becomes '?';
// a byte that is not UTF-8 stays the byte it was).
std::string Cp932FromUtf8(std::string_view utf8);

}  // namespace morvek::posix
