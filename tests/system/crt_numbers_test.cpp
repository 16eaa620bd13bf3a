// atoi and _itoa as the program's texts use them: the time-out box and every
// count and time stamp it shows.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "platform/msvcrt.h"

namespace {

TEST(CrtNumbers, AtoiTakesBlanksSignAndDigitsOnly) {
  struct Row {
    const char* text;
    int value;
  } rows[] = {
      {"20", 20},
      {"  \t\n42", 42},
      {"+7", 7},
      {"-15", -15},
      {"007", 7},
      {"12abc", 12},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"+-3", 0},
      {" - 3", 0},
      {"1 2", 1},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {"999999999999999", INT_MAX},  // the 15 characters the time-out box passes on
      {"-99999999999", INT_MIN},
      {"00000000000000000000000000042", 42},
      {"99999999999999999999999999999", INT_MAX},
      {"１２", 0},  // full-width digits are no digits
  };
  for (const auto& row : rows) EXPECT_EQ(msvcrt::atoi(row.text), row.value) << row.text;
  EXPECT_EQ(msvcrt::atoi(nullptr), 0);
}

TEST(CrtNumbers, ItoaWritesEveryRadix) {
  struct Row {
    int value;
    int radix;
    const char* text;
  } rows[] = {
      {0, 10, "0"},          {4095, 10, "4095"},       {-1, 10, "-1"},
      {INT_MAX, 10, "2147483647"}, {INT_MIN, 10, "-2147483648"},
      {255, 16, "ff"},       {-1, 16, "ffffffff"},     {5, 2, "101"},
      {-1, 2, "11111111111111111111111111111111"},     {35, 36, "z"},
      {INT_MIN, 8, "20000000000"}, {2008, 10, "2008"}, {7, 3, "21"},
      {10, 1, ""},           {10, 37, ""},             {10, 0, ""},
  };
  for (const auto& row : rows) {
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(msvcrt::_itoa(row.value, buffer, row.radix), buffer);
    EXPECT_STREQ(buffer, row.text) << row.value << " in radix " << row.radix;
  }
  EXPECT_EQ(msvcrt::_itoa(1, nullptr, 10), nullptr);

  // Byte counts past 2^31 and 2^32 stay positive and whole.
  struct WideRow {
    unsigned long long value;
    int radix;
    const char* text;
  } wideRows[] = {
      {0, 10, "0"},
      {2147483648ull, 10, "2147483648"},
      {4294967296ull, 10, "4294967296"},
      {4294967301ull, 10, "4294967301"},
      {18446744073709551615ull, 10, "18446744073709551615"},
      {18446744073709551615ull, 16, "ffffffffffffffff"},
      {10, 37, ""},
  };
  for (const auto& row : wideRows) {
    char buffer[72];
    EXPECT_EQ(msvcrt::_ui64toa(row.value, buffer, row.radix), buffer);
    EXPECT_STREQ(buffer, row.text) << row.value << " in radix " << row.radix;
  }
}

}  // namespace
