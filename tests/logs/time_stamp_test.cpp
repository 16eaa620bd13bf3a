// The time stamp in log names: UTC+9 from the UTC clock, with the calendar's
// roll-overs, written as plain decimal numbers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "logs/log_files.h"
#include "platform/testing.h"
#include "ui/terminal_dlg.h"

namespace {

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second = 0) {
  SYSTEMTIME time = {};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  return time;
}

class TimeStamp : public ::testing::Test {
 protected:
  void TearDown() override { morvek::testing::ClearSystemTime(); }

  std::string StampAt(const SYSTEMTIME& utc) {
    morvek::testing::SetSystemTime(utc);
    char stamp[LOG_STAMP_SIZE] = {0};
    m_dlg.MakeTimeStamp(stamp);
    return std::string(stamp, strnlen(stamp, sizeof stamp));
  }
  CTerminalDlg m_dlg;
};

TEST_F(TimeStamp, TheClockIsShownAtUtcPlusNineWithEveryRollOver) {
  struct Row {
    SYSTEMTIME utc;
    const char* stamp;
  } rows[] = {
      {Utc(2008, 12, 31, 20, 30), "2009_1_1_5_30"},  // year
      {Utc(2008, 2, 28, 16, 0), "2008_2_29_1_0"},    // leap day
      {Utc(2009, 2, 28, 16, 0), "2009_3_1_1_0"},     // no leap day
      {Utc(2008, 3, 5, 14, 59), "2008_3_5_23_59"},
      {Utc(2008, 3, 5, 15, 0), "2008_3_6_0_0"},
      {Utc(2008, 3, 5, 0, 7, 59), "2008_3_5_9_7"},   // seconds play no part
      {Utc(2008, 4, 30, 15, 0), "2008_5_1_0_0"},     // 30-day month
      {Utc(2008, 1, 31, 15, 0), "2008_2_1_0_0"},     // 31-day month
      {Utc(2008, 1, 30, 15, 0), "2008_1_31_0_0"},
      {Utc(2000, 2, 28, 15, 0), "2000_2_29_0_0"},    // divisible by 400
      {Utc(1900, 2, 28, 15, 0), "1900_3_1_0_0"},     // by 100 only
      {Utc(2100, 2, 28, 23, 59), "2100_3_1_8_59"},
  };
  for (const auto& row : rows) EXPECT_EQ(StampAt(row.utc), row.stamp) << row.stamp;
}

TEST_F(TimeStamp, TheStampIsAppendedAndNeverRunsPastItsBuffer) {
  morvek::testing::SetSystemTime(Utc(2008, 3, 5, 0, 7));
  char stamp[LOG_STAMP_SIZE] = "ab";
  m_dlg.MakeTimeStamp(stamp);
  EXPECT_STREQ(stamp, "ab2008_3_5_9_7");

  // A clock gone wild gives long numbers: they are cut at the buffer's end.
  struct Guarded {
    char stamp[LOG_STAMP_SIZE];
    char guard[8];
  } guarded;
  std::memset(&guarded, 0, sizeof guarded);
  std::memset(guarded.guard, 'G', sizeof guarded.guard);
  morvek::testing::SetSystemTime(Utc(65535, 65535, 65535, 65535, 65535, 65535));
  m_dlg.MakeTimeStamp(guarded.stamp);
  EXPECT_EQ(guarded.stamp[LOG_STAMP_SIZE - 1], 0);
  EXPECT_EQ(std::string(guarded.guard, sizeof guarded.guard), std::string(8, 'G'));
}

TEST_F(TimeStamp, FebruaryAndHourShifts) {
  struct Year {
    WORD year;
    WORD days;
  } years[] = {{1900, 28}, {2000, 29}, {2004, 29}, {2008, 29}, {2009, 28}, {2100, 28}, {2200, 28}, {2400, 29}, {1, 28}};
  for (const auto& row : years) EXPECT_EQ(m_dlg.DaysInFebruary(row.year), row.days) << row.year;

  // The hours added to a time, across the ends of day, month, February and
  // year; day of week and milliseconds of the result are left as they were.
  struct Shift {
    WORD hours;
    SYSTEMTIME in;
    WORD year, month, day, hour;
  } shifts[] = {
      {9, Utc(2008, 12, 31, 23, 45, 12), 2009, 1, 1, 8},
      {0, Utc(2008, 12, 31, 23, 45, 12), 2008, 12, 31, 23},
      {48, Utc(2008, 2, 28, 1, 0), 2008, 3, 1, 1},
      {24, Utc(2009, 2, 28, 1, 0), 2009, 3, 1, 1},
  };
  for (const Shift& row : shifts) {
    SYSTEMTIME out{};
    out.wDayOfWeek = 6;
    out.wMilliseconds = 999;
    m_dlg.ShiftSystemTime(row.hours, row.in, out);
    EXPECT_EQ(out.wYear, row.year);
    EXPECT_EQ(out.wMonth, row.month);
    EXPECT_EQ(out.wDay, row.day) << row.hours;
    EXPECT_EQ(out.wHour, row.hour);
    EXPECT_EQ(out.wMinute, row.in.wMinute);
    EXPECT_EQ(out.wSecond, row.in.wSecond);
    EXPECT_EQ(out.wDayOfWeek, 6);
    EXPECT_EQ(out.wMilliseconds, 999);
  }
}

}  // namespace

