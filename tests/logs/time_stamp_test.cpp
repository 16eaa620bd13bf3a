// The time stamp in log names: UTC+9 from the UTC clock, with the calendar's
// roll-overs, written as plain decimal numbers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "logs/log_files.h"
#include "platform/testing.h"
#include "ui/terminal_dlg.h"

namespace {

TEST(TimeStamp, TheClockIsShownAtUtcPlusNineWithEveryRollOver) {
  struct Row {
    SYSTEMTIME utc;  // year, month, day of week, day, hour, minute, second, ms
    const char* stamp;
  } rows[] = {
      {{2008, 12, 0, 31, 20, 30, 0, 0}, "2009_1_1_5_30"},  // year
      {{2008, 2, 0, 28, 16, 0, 0, 0}, "2008_2_29_1_0"},    // leap day
      {{2009, 2, 0, 28, 16, 0, 0, 0}, "2009_3_1_1_0"},     // no leap day
      {{2008, 3, 0, 5, 14, 59, 0, 0}, "2008_3_5_23_59"},
      {{2008, 3, 0, 5, 15, 0, 0, 0}, "2008_3_6_0_0"},
      {{2008, 3, 0, 5, 0, 7, 59, 0}, "2008_3_5_9_7"},   // seconds play no part
      {{2008, 4, 0, 30, 15, 0, 0, 0}, "2008_5_1_0_0"},     // 30-day month
      {{2008, 1, 0, 31, 15, 0, 0, 0}, "2008_2_1_0_0"},     // 31-day month
      {{2008, 1, 0, 30, 15, 0, 0, 0}, "2008_1_31_0_0"},
      {{2000, 2, 0, 28, 15, 0, 0, 0}, "2000_2_29_0_0"},    // divisible by 400
      {{2400, 2, 0, 28, 15, 0, 0, 0}, "2400_2_29_0_0"},
      {{1900, 2, 0, 28, 15, 0, 0, 0}, "1900_3_1_0_0"},     // by 100 only
      {{2100, 2, 0, 28, 23, 59, 0, 0}, "2100_3_1_8_59"},
  };
  CTerminalDlg dlg;
  for (const auto& row : rows) {
    char stamp[LOG_STAMP_SIZE] = {0};
    dlg.MakeTimeStampOf(row.utc, stamp);
    EXPECT_STREQ(stamp, row.stamp);
  }
}

TEST(TimeStamp, TheStampOfTheClockIsAppendedAndNeverRunsPastItsBuffer) {
  CTerminalDlg dlg;
  morvek::testing::SetSystemTime({2008, 3, 0, 5, 0, 7, 0, 0});
  char stamp[LOG_STAMP_SIZE] = "ab";
  dlg.MakeTimeStamp(stamp);
  EXPECT_STREQ(stamp, "ab2008_3_5_9_7");

  // A clock gone wild gives long numbers: they are cut at the buffer's end.
  struct Guarded {
    char stamp[LOG_STAMP_SIZE];
    char guard[8];
  } guarded;
  std::memset(&guarded, 0, sizeof guarded);
  std::memset(guarded.guard, 'G', sizeof guarded.guard);
  morvek::testing::SetSystemTime({65535, 65535, 0, 65535, 65535, 65535, 65535, 0});
  dlg.MakeTimeStamp(guarded.stamp);
  morvek::testing::ClearSystemTime();
  EXPECT_EQ(guarded.stamp[LOG_STAMP_SIZE - 1], 0);
  EXPECT_EQ(std::string(guarded.guard, sizeof guarded.guard), std::string(8, 'G'));
}

}  // namespace
