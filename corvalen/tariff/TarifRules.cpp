#include "TarifRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "TarifClock.h"

IMPLEMENT_DYNAMIC(CTarifConditionGroup, CTarifCondition)
IMPLEMENT_DYNAMIC(CTarifComparison, CTarifCondition)

CTarifConditionGroup::~CTarifConditionGroup() {
  for (int i = 0; i < children.GetSize(); ++i) delete children[i];
}

BOOL CTarifConditionGroup::Evaluate(const CProvider* p, const CTarifContext& c) const {
  const int n = children.GetSize();
  switch (mode) {
    case modeAnd:
      for (int i = 0; i < n; ++i)
        if (!children[i]->Evaluate(p, c)) return FALSE;
      return TRUE;
    case modeOr:
      for (int i = 0; i < n; ++i)
        if (children[i]->Evaluate(p, c)) return TRUE;
      return FALSE;
    default:  // not: true at the first false child
      for (int i = 0; i < n; ++i)
        if (!children[i]->Evaluate(p, c)) return TRUE;
      return FALSE;
  }
}

namespace {
// The engine's variables compute in 32-bit ints; the difference wraps as they do.
int Diff32(long long value, long long operand) {
  return static_cast<int>(static_cast<std::uint32_t>(value - operand));
}

// A YYYYMMDD operand as a date value at 00:00:00 (invalid for an impossible date).
COleDateTime DateOperand(int operand) {
  return COleDateTime(operand / 10000, (operand % 10000) / 100, operand % 100, 0, 0, 0);
}

// Whole days of a span, toward zero; FALSE when the span cannot be computed.
bool WholeDays(const COleDateTimeSpan& span, long long* days) {
  if (span.GetStatus() != COleDateTimeSpan::valid || !std::isfinite(span.m_span) ||
      std::fabs(span.m_span) > 1e7)
    return false;
  *days = static_cast<long long>(span.m_span);
  return true;
}
}  // namespace

CTarifComparison::Variable CTarifComparison::Classify(const CString& name) {
  static const struct { const char* name; Variable kind; } table[] = {
      {"tag.jahr", varDayOfYear},        {"tag.monat", varDayOfMonth},     {"datum.tag", varDayOfMonth},
      {"tag.woche", varDayOfWeek},       {"stunde.monat", varHourOfMonth}, {"stunde.woche", varHourOfWeek},
      {"stunde.tag", varHourOfDay},      {"minute.monat", varMinuteOfMonth}, {"minute.woche", varMinuteOfWeek},
      {"minute.tag", varMinuteOfDay},    {"feiertag", varHoliday},         {"anrufe.gesamt", varCalls},
      {"anrufe.monat", varCalls},        {"anrufe.woche", varCalls},       {"anrufe.tag", varCalls},
      {"online.gesamt", varOnline},      {"online.monat", varOnline},      {"online.woche", varOnline},
      {"online.tag", varOnline},         {"anmeldungsdauer", varRegisteredMinutes},
      {"anmeldungsdatum", varRegistrationDate}, {"datum.iso", varIsoDate}, {"datum.jahr", varYear},
      {"datum.monat", varMonth},
  };
  for (const auto& t : table)
    if (name == t.name) return t.kind;
  return varUnknown;
}

int CTarifComparison::Difference(const CProvider* p, const CTarifContext& c, int operand, BOOL* ok) const {
  *ok = TRUE;
  const COleDateTime& m = c.date;
  switch (kind) {
    case varDayOfYear: case varDayOfMonth: case varDayOfWeek: case varHourOfMonth: case varHourOfWeek:
    case varHourOfDay: case varMinuteOfMonth: case varMinuteOfWeek: case varMinuteOfDay: case varYear:
    case varMonth:
      if (m.GetStatus() != COleDateTime::valid) return 0;  // the moment's parts cannot be computed
      break;
    default:
      break;
  }
  switch (kind) {
    case varDayOfYear: return Diff32(c.dayOfYear, operand);
    case varDayOfMonth: return Diff32(c.day, operand);
    case varDayOfWeek: return Diff32(c.dayOfWeek - 1, operand);
    case varHourOfMonth: return Diff32((c.day - 1) * 24 + c.hour, operand);
    case varHourOfWeek: return Diff32((c.dayOfWeek - 1) * 24 + c.hour, operand);
    case varHourOfDay: return Diff32(c.hour, operand);
    case varMinuteOfMonth: return Diff32((c.day - 1) * 1440 + c.hour * 60 + c.minute, operand);
    case varMinuteOfWeek: return Diff32((c.dayOfWeek - 1) * 1440 + c.hour * 60 + c.minute, operand);
    case varMinuteOfDay: return Diff32(c.hour * 60 + c.minute, operand);
    case varHoliday: return Diff32((c.isHoliday || c.dayOfWeek == 1) ? 1 : 0, operand);
    case varCalls: return Diff32(p->GetCallCount(), operand);
    case varOnline: return Diff32(p->GetOnlineMinutes(), operand);
    case varRegisteredMinutes: {
      const COleDateTime& reg = p->GetRegistrationDate();
      if (reg.m_dt == 0) return 0;
      COleDateTimeSpan span = m - reg;
      if (span.GetStatus() != COleDateTimeSpan::valid || !std::isfinite(span.m_span) ||
          std::fabs(span.m_span) > 1e6)
        return 0;
      long long minutes = static_cast<long long>(span.m_span * 1440.0 + 5.787037037037037e-6);
      return Diff32(minutes, operand);
    }
    case varRegistrationDate: {
      const COleDateTime& reg = p->GetRegistrationDate();
      if (reg.m_dt == 0) {
        *ok = FALSE;
        return 0;
      }
      long long days;
      if (!WholeDays(reg - DateOperand(operand), &days)) return 0;
      return static_cast<int>(days);
    }
    case varIsoDate: {
      long long days;
      if (!WholeDays(GetToday() - DateOperand(operand), &days)) return 0;
      return static_cast<int>(days);
    }
    case varYear: return Diff32(c.year, operand);
    case varMonth: return Diff32(c.month, operand);
    default: return 0;
  }
}

BOOL CTarifComparison::Evaluate(const CProvider* p, const CTarifContext& c) const {
  BOOL ok;
  int d = Difference(p, c, first, &ok);
  if (!ok) return FALSE;
  switch (op) {
    case opInRange: {
      int upper = Difference(p, c, second, &ok);
      return d >= 0 && upper <= 0;
    }
    case opEqual: return d == 0;
    case opGreater: return d > 0;
    case opLess: return d < 0;
    case opGreaterEqual: return d >= 0;
    case opLessEqual: return d <= 0;
    case opNotEqual: return d != 0;
    default: return FALSE;
  }
}

int CProviderRanking::FindUsable(const CString& id) const {
  for (int i = 0; i < usable.GetSize(); ++i)
    if (usable[i]->GetId() == id) return i;
  return -1;
}

void CProviderRanking::Remove(const CProvider* provider) {
  for (auto* arr : {&all, &usable})
    for (int i = arr->GetSize() - 1; i >= 0; --i)
      if ((*arr)[i] == provider) arr->RemoveAt(i);
}

void CProviderRanking::Insert(CProvider* provider) {
  // Before the first entry that does not rank before the provider: the arrays are kept in
  // that order, so a binary search finds the place.
  auto place = [provider](const CTypedPtrArray<CObArray, CProvider*>& arr) {
    int lo = 0, hi = arr.GetSize();
    while (lo < hi) {
      int mid = lo + (hi - lo) / 2;
      if (arr[mid]->Compare(provider) < 0) lo = mid + 1;
      else hi = mid;
    }
    return lo;
  };
  all.InsertAt(place(all), provider);
  if (!(provider->IsLoginRequired() && provider->GetRegistrationDate().m_dt == 0))
    usable.InsertAt(place(usable), provider);
}

void CProviderRanking::InsertAll(const std::vector<CProvider*>& inOrder) {
  if (all.GetSize() > 0 || usable.GetSize() > 0) {  // a ranking that holds providers already
    for (CProvider* p : inOrder) Insert(p);
    return;
  }
  // Insert puts a provider in front of the equal ones already there: taken in reverse order, a
  // stable sort leaves the equal ones as the insertions would.
  std::vector<CProvider*> sorted(inOrder.rbegin(), inOrder.rend());
  std::stable_sort(sorted.begin(), sorted.end(), [](CProvider* a, CProvider* b) { return a->Compare(b) < 0; });
  for (CProvider* p : sorted) {
    all.Add(p);
    if (!(p->IsLoginRequired() && p->GetRegistrationDate().m_dt == 0)) usable.Add(p);
  }
}
