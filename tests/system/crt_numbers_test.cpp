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
      {"  \t\n42", 42}, {"+7", 7},  {"-15", -15}, {"12abc", 12}, {"abc", 0}, {"-", 0},
      {"+-3", 0},       {"1 2", 1}, {"１２", 0},  // full-width digits are no digits
  };
  // (Empty, zeros, overflow and the 15 characters the box passes on, through the
  // settings dialog: tests/port/port_settings_dlg_test.cpp.)
  for (const auto& row : rows) EXPECT_EQ(msvcrt::atoi(row.text), row.value) << row.text;
  EXPECT_EQ(msvcrt::atoi(nullptr), 0);
}

TEST(CrtNumbers, ItoaWritesDecimalWithItsSignAndCountsPastFourGigabytes) {
  struct Row {
    unsigned long long value;
    bool wide;  // _ui64toa rather than _itoa
    const char* text;
  } rows[] = {
      {0, false, "0"},
      {static_cast<unsigned>(-1), false, "-1"},
      {INT_MAX, false, "2147483647"},
      {static_cast<unsigned>(INT_MIN), false, "-2147483648"},
      {4294967296ull, true, "4294967296"},
      {18446744073709551615ull, true, "18446744073709551615"},
  };
  for (const auto& row : rows) {
    char buffer[72];
    std::memset(buffer, '#', sizeof buffer);
    char* text = row.wide ? msvcrt::_ui64toa(row.value, buffer, 10)
                          : msvcrt::_itoa(static_cast<int>(row.value), buffer, 10);
    EXPECT_EQ(text, buffer);
    EXPECT_STREQ(buffer, row.text) << row.value;
  }
}

}  // namespace
