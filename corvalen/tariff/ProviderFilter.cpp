#include "ProviderFilter.h"

BOOL CProviderFilter::IsFilteredOut(const CProvider* p) const {
  // Ids are found as substrings of the "<"-joined lists, as the options page writes them.
  if (!p->GetId().IsEmpty()) {
    if (notInFilter.Find(p->GetId()) >= 0) return FALSE;
    if (filtered.Find(p->GetId()) >= 0) return TRUE;
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
