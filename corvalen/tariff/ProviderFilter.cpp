#include "ProviderFilter.h"

BOOL CProviderFilter::IsFilteredOut(const CProvider* p) const {
  if (!p->GetId().IsEmpty()) {
    if (ListHas(notInFilter, p->GetId())) return FALSE;
    if (ListHas(filtered, p->GetId())) return TRUE;
  }
  const BOOL* s = switches.on;
  if (s[CFilterSwitches::hideUnregistered] != s[CFilterSwitches::loginOnly]) {
    if (s[CFilterSwitches::hideUnregistered] && p->IsLoginRequired() && p->GetRegistrationDate().m_dt == 0)
      return TRUE;
    if (s[CFilterSwitches::loginOnly] && !p->IsLoginRequired()) return TRUE;
  }
  if (s[CFilterSwitches::noDialInFee] && p->GetDialInFee() > 0) return TRUE;
  if (s[CFilterSwitches::noBaseFee] && p->GetBaseFee() > 0) return TRUE;
  const bool second = s[CFilterSwitches::taktSecond], minute = s[CFilterSwitches::taktMinute];
  if (second && minute) return !(p->GetTakt() == 1 || p->GetTakt() == 60);
  if (second) return p->GetTakt() != 1;
  if (minute) return p->GetTakt() != 60;
  return FALSE;
}

CProviderFilter CProviderFilter::Read(CSettings* settings) {
  CProviderFilter f;
  if (!settings) return f;
  f.notInFilter = settings->GetNotInFilterProvider();
  f.filtered = settings->GetFilterProvider();
  f.switches = settings->GetFilter();
  return f;
}

namespace {
// The position of the first whole `id` in the "<"-joined `list`, or -1.
int FindWhole(const CString& list, const CString& id) {
  if (id.IsEmpty()) return -1;
  const int n = list.GetLength(), k = id.GetLength();
  for (int at = list.Find(id); at >= 0; at = list.Find(id, at + 1)) {
    bool startsItem = at == 0 || list[at - 1] == '<';
    bool endsItem = at + k == n || list[at + k] == '<';
    if (startsItem && endsItem) return at;
  }
  return -1;
}
}  // namespace

BOOL CProviderFilter::ListHas(const CString& list, const CString& id) { return FindWhole(list, id) >= 0; }

BOOL CProviderFilter::CutFromList(CString& list, const CString& id) {
  int at = FindWhole(list, id);
  if (at < 0) return FALSE;
  int from = at, count = id.GetLength();
  if (at > 0) {
    --from;  // the "<" before it
    ++count;
  } else if (count < list.GetLength()) {
    ++count;  // first of several: the "<" after it
  }
  list = list.Left(from) + list.Mid(from + count);
  return TRUE;
}

void CProviderFilter::AppendToList(CString& list, const CString& id) {
  if (list.IsEmpty())
    list = id;
  else
    list += "<" + id;
}
