#include "TarifClock.h"

namespace {
std::function<COleDateTime()>& Clock() {
  static std::function<COleDateTime()> clock;
  return clock;
}
}  // namespace

COleDateTime GetNow() { return Clock() ? Clock()() : COleDateTime::GetCurrentTime(); }

COleDateTime GetToday() {
  COleDateTime now = GetNow();
  return COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
}

void SetTarifClock(std::function<COleDateTime()> clock) { Clock() = std::move(clock); }

void SetFixedNow(const COleDateTime& moment) {
  SetTarifClock([moment] { return moment; });
}
