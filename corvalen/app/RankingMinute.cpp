#include "RankingMinute.h"

long long CRankingMinute::MinuteOf(const COleDateTime& t) {
  if (t.GetStatus() != COleDateTime::valid) return -1;
  // From the date's own parts, not from its fraction of a day, which rounds near a whole minute.
  return (((static_cast<long long>(t.GetYear()) * 13 + t.GetMonth()) * 32 + t.GetDay()) * 24 + t.GetHour()) * 60 +
         t.GetMinute();
}
