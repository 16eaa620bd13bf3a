// The C runtime's number conversions: atoi, _itoa and _ui64toa.
#include <climits>
#include <cstdint>

#include "msvcrt.h"

namespace msvcrt {

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int atoi(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (IsBlank(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  // Beyond the 32-bit range the value only needs to stay beyond it.
  constexpr std::int64_t kBeyond = static_cast<std::int64_t>(INT_MAX) + 2;
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value < kBeyond) value = value * 10 + (*p - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

namespace {

// Writes the digits of `magnitude` in `radix` (2..36, else an empty text),
// after a minus sign when `negative`.
char* WriteNumber(std::uint64_t magnitude, bool negative, char* buffer, int radix) {
  if (!buffer) return nullptr;
  if (radix < 2 || radix > 36) {
    buffer[0] = '\0';
    return buffer;
  }
  char digits[64];
  int count = 0;
  do {
    const std::uint64_t digit = magnitude % static_cast<std::uint64_t>(radix);
    digits[count++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    magnitude /= static_cast<std::uint64_t>(radix);
  } while (magnitude != 0);
  char* out = buffer;
  if (negative) *out++ = '-';
  while (count > 0) *out++ = digits[--count];
  *out = '\0';
  return buffer;
}

}  // namespace

char* _itoa(int value, char* buffer, int radix) {
  // Decimal values carry their sign; other radixes write the 32-bit pattern.
  const bool negative = radix == 10 && value < 0;
  const std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  return WriteNumber(magnitude, negative, buffer, radix);
}

char* _ui64toa(unsigned long long value, char* buffer, int radix) { return WriteNumber(value, false, buffer, radix); }

}  // namespace msvcrt
