// atoi and _itoa as the program's texts use them: the time-out box and every
// count and time stamp it shows.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/msvcrt.h"

namespace {

TEST(CrtNumbers, AtoiTakesBlanksSignAndDigitsOnly) {
  struct Row {
    const char* text;
    int value;
  } rows[] = {
      {"20", 20},         {"  \t\n42", 42},    {"+7", 7},          {"-15", -15},       {"12abc", 12},
      {"abc", 0},         {"", 0},             {"-", 0},           {"+-3", 0},         {" - 3", 0},
      {"1 2", 1},         {"１２", 0},  // full-width digits are no digits
      {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN},
      {"999999999999999", INT_MAX},  // the 15 characters the time-out box passes on
      {"00000000000000000000000000042", 42},  {"99999999999999999999999999999", INT_MAX},
  };
  for (const auto& row : rows) EXPECT_EQ(msvcrt::atoi(row.text), row.value) << row.text;
  EXPECT_EQ(msvcrt::atoi(nullptr), 0);
}

TEST(CrtNumbers, ItoaWritesDecimalWithItsSignAndCountsPastFourGigabytes) {
  struct Row {
    unsigned long long value;
    bool wide;  // _ui64toa rather than _itoa
    int radix;
    const char* text;
  } rows[] = {
      {0, false, 10, "0"},           {4095, false, 10, "4095"},
      {static_cast<unsigned>(-1), false, 10, "-1"},   {INT_MAX, false, 10, "2147483647"},
      {static_cast<unsigned>(INT_MIN), false, 10, "-2147483648"},
      {255, false, 16, "ff"},        {static_cast<unsigned>(-1), false, 16, "ffffffff"},  // the bit pattern
      {10, false, 37, ""},           {10, false, 1, ""},  // no such radix
      {2147483648ull, true, 10, "2147483648"},         {4294967296ull, true, 10, "4294967296"},
      {18446744073709551615ull, true, 10, "18446744073709551615"},
  };
  for (const auto& row : rows) {
    char buffer[72];
    std::memset(buffer, '#', sizeof buffer);
    char* text = row.wide ? msvcrt::_ui64toa(row.value, buffer, row.radix)
                          : msvcrt::_itoa(static_cast<int>(row.value), buffer, row.radix);
    EXPECT_EQ(text, buffer);
    EXPECT_STREQ(buffer, row.text) << row.value << " in radix " << row.radix;
  }
  EXPECT_EQ(msvcrt::_itoa(1, nullptr, 10), nullptr);
}

}  // namespace
