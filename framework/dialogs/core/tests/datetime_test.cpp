#include <gtest/gtest.h>

#include "COleDateTime.h"

TEST(COleDateTime, KnownDayNumbersAndComponents) {
  struct { int y, m, d; double value; int dow; int doy; } cases[] = {
      {1899, 12, 30, 0, 7, 364}, {1899, 12, 31, 1, 1, 365}, {1900, 3, 1, 61, 5, 60},
      {2000, 1, 1, 36526, 7, 1},  {2000, 2, 29, 36585, 3, 60}, {2001, 4, 3, 36984, 3, 93},
      {2028, 12, 31, 47118, 1, 366}, {1899, 12, 29, -1, 6, 363},
  };
  for (auto& c : cases) {
    COleDateTime t(c.y, c.m, c.d, 0, 0, 0);
    ASSERT_EQ(t.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(t.m_dt, c.value) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(t.GetYear(), c.y);
    EXPECT_EQ(t.GetMonth(), c.m);
    EXPECT_EQ(t.GetDay(), c.d);
    EXPECT_EQ(t.GetDayOfWeek(), c.dow) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(t.GetDayOfYear(), c.doy) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(COleDateTime, TimeOfDayRoundsToTheSecondAndBeforeTheEpoch) {
  COleDateTime t(2026, 12, 31, 23, 59, 59);
  EXPECT_EQ(t.GetHour(), 23);
  EXPECT_EQ(t.GetMinute(), 59);
  EXPECT_EQ(t.GetSecond(), 59);
  COleDateTime almost(t.m_dt - 1e-9);
  EXPECT_EQ(almost.GetSecond(), 59);
  COleDateTime before(1899, 12, 29, 6, 0, 0);
  EXPECT_EQ(before.m_dt, -1.25);
  EXPECT_EQ(before.GetHour(), 6);
  EXPECT_TRUE(before < COleDateTime(1899, 12, 29, 7, 0, 0));
  EXPECT_EQ((COleDateTime(1899, 12, 30, 0, 0, 0) - before).GetTotalDays(), 0.75);
  EXPECT_EQ((before + COleDateTimeSpan(1.0)).GetDay(), 30);
}

TEST(COleDateTime, ImpossibleDatesAreInvalid) {
  const int bad[][6] = {{2001, 13, 1, 0, 0, 0}, {2001, 2, 29, 0, 0, 0}, {1900, 2, 29, 0, 0, 0},
                        {2001, 4, 31, 0, 0, 0}, {2001, 1, 1, 24, 0, 0}, {99, 1, 1, 0, 0, 0},
                        {2001, 0, 1, 0, 0, 0},  {2001, 1, 0, 0, 0, 0}};
  for (auto& b : bad) {
    COleDateTime t(b[0], b[1], b[2], b[3], b[4], b[5]);
    EXPECT_EQ(t.GetStatus(), COleDateTime::invalid) << b[0] << "-" << b[1] << "-" << b[2];
  }
  COleDateTime t(2001, 13, 1, 0, 0, 0);
  EXPECT_EQ((COleDateTime(2001, 1, 1, 0, 0, 0) - t).GetStatus(), COleDateTimeSpan::invalid);
  EXPECT_FALSE(t == COleDateTime(0.0));
}

TEST(COleDateTimeSpan, ComponentsWithinTheDay) {
  COleDateTimeSpan s = COleDateTime(2001, 4, 4, 10, 5, 7) - COleDateTime(2001, 4, 3, 9, 0, 0);
  EXPECT_EQ(s.GetDays(), 1);
  EXPECT_EQ(s.GetHours(), 1);
  EXPECT_EQ(s.GetMinutes(), 5);
  EXPECT_EQ(s.GetSeconds(), 7);
  EXPECT_EQ(COleDateTime(2026, 3, 1, 12, 0, 0).Format("%d.%m.%Y %H:%M:%S"), "01.03.2026 12:00:00");
}
