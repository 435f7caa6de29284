// When the provider list is ranked again while online: once in every minute of the clock. The
// ranking notes the minute it ran in; the once-a-second timer ranks when the clock shows another
// minute, whatever its second, so a tick that comes late (a busy machine, a long message box)
// still ranks in the new minute and a price that changes at the minute is billed from then.
#pragma once

#include "COleDateTime.h"

class CRankingMinute {
 public:
  // The ranking ran at `now`.
  void Ranked(const COleDateTime& now) { last_ = MinuteOf(now); }
  // TRUE when no ranking ran yet in the minute of `now` (also when the clock went back into an
  // earlier minute, as at the end of summer time).
  bool IsDue(const COleDateTime& now) const { return MinuteOf(now) != last_; }

 private:
  // The minute of a local date and time as one number (year, month, day, hour and minute); an
  // invalid date is its own minute, -1.
  static long long MinuteOf(const COleDateTime& t);

  long long last_ = -1;
};
