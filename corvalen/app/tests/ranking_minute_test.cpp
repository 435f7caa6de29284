#include <gtest/gtest.h>

#include "RankingMinute.h"

namespace {

// The once-a-second timer's ticks while online, each with whether it ranks.
TEST(RankingMinute, RanksOnceInEveryMinuteWhateverTheSecond) {
  struct Tick {
    COleDateTime at;
    bool ranks;
  } ticks[] = {
      {COleDateTime(2026, 3, 2, 9, 59, 58), true},   // the first tick after the connect
      {COleDateTime(2026, 3, 2, 9, 59, 59), false},
      {COleDateTime(2026, 3, 2, 10, 0, 1), true},    // second 0 was skipped: a late tick
      {COleDateTime(2026, 3, 2, 10, 0, 2), false},
      {COleDateTime(2026, 3, 2, 10, 0, 59), false},
      {COleDateTime(2026, 3, 2, 10, 2, 30), true},   // a whole minute without a tick
      {COleDateTime(2026, 3, 2, 10, 2, 0), false},
      {COleDateTime(2026, 12, 31, 23, 59, 59), true},
      {COleDateTime(2027, 1, 1, 0, 0, 3), true},     // the new year
      {COleDateTime(2026, 10, 25, 2, 59, 59), true},
      {COleDateTime(2026, 10, 25, 2, 0, 0), true},   // back to winter time: the clock's minute changed
  };
  CRankingMinute minute;
  for (const Tick& t : ticks) {
    SCOPED_TRACE(t.at.Format("%Y-%m-%d %H:%M:%S").c_str());
    EXPECT_EQ(minute.IsDue(t.at), t.ranks);
    if (minute.IsDue(t.at)) minute.Ranked(t.at);
  }
}

// A ranking of another cause (the minute timer offline, a changed filter) counts as well.
TEST(RankingMinute, AnyRankingCountsForItsMinute) {
  CRankingMinute minute;
  minute.Ranked(COleDateTime(2026, 3, 2, 10, 0, 0));
  EXPECT_FALSE(minute.IsDue(COleDateTime(2026, 3, 2, 10, 0, 30)));
  EXPECT_TRUE(minute.IsDue(COleDateTime(2026, 3, 2, 10, 1, 0)));
}

}  // namespace
