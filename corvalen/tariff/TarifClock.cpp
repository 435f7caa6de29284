#include "TarifClock.h"

#include <chrono>

namespace {
std::function<COleDateTime()>& Clock() {
  static std::function<COleDateTime()> clock;
  return clock;
}
std::function<double()>& Steady() {
  static std::function<double()> clock;
  return clock;
}
}  // namespace

COleDateTime GetNow() { return Clock() ? Clock()() : COleDateTime::GetCurrentTime(); }

COleDateTime GetToday() {
  COleDateTime now = GetNow();
  return COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
}

double GetSteadySeconds() {
  if (Steady()) return Steady()();
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SetTarifClock(std::function<COleDateTime()> clock) {
  if (!clock) Steady() = nullptr;
  Clock() = std::move(clock);
}

void SetSteadyClock(std::function<double()> clock) { Steady() = std::move(clock); }

void SetFixedNow(const COleDateTime& moment) {
  Clock() = [moment] { return moment; };
  const double seconds = moment.m_dt * 86400.0;
  Steady() = [seconds] { return seconds; };
}
