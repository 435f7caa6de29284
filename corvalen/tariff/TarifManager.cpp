#include "TarifManager.h"

#include <cmath>

#include "TarifClock.h"
#include "TarifTexts.h"
#include "TarifUi.h"

void CTarifManager::Init(CSettings* s, CTarifConnection* c, CRegistrationSource* r) {
  settings = s;
  connection = c;
  registrations = r;
  protocols.SetSettings(s);
  protocols.Load(&database);
  if (!holidays.Load(s)) GetTarifUi().ShowError(kHolidaysUnreadable, kTitle);
  database.Load(s, c);
}

CProviderFilter CTarifManager::ReadFilter() { return CProviderFilter::Read(settings); }

BOOL CTarifManager::IsFilteredOut(const CProvider* p) { return ReadFilter().IsFilteredOut(p); }

int CTarifManager::ElapsedSeconds(double steadyNow) const {
  if (!IsFreeMinuteClockRunning()) return carriedSeconds;
  // Measured on the steady clock: a daylight-saving switch while online books no hour more or less.
  double seconds = steadyNow - clockStartSteady;
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  if (seconds > 3650.0 * 86400.0) seconds = 3650.0 * 86400.0;
  // Whole seconds; the small addend keeps a reading a hair below a whole second from losing it.
  return static_cast<int>(seconds + 1e-3) + carriedSeconds;
}

CProviderRanking& CTarifManager::Recompute(int* changes, CProvider* current) {
  COleDateTime now = GetNow();
  CTarifProtocol* rec = nullptr;
  if (current && current->HasFreeMinutes() && protocols.Lookup(current->GetId(), rec)) {
    double steadyNow = GetSteadySeconds();
    int seconds = ElapsedSeconds(steadyNow);
    carriedSeconds = seconds % 60;
    clockStart = now;
    clockStartSteady = steadyNow;
    rec->SetOnlineMinutes(rec->GetOnlineMinutes() + seconds / 60);
    protocols.Save();
  }
  COleDateTime today(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
  CTarifContext context(now, holidays.IsFeiertag(today) ? 1 : 0);
  // The usage periods roll forward and the registrations of the entry-assignment store are
  // copied into the providers before the rules read them.
  protocols.UpdateUsagePeriods(database, context.date);
  if (registrations) {
    CString id;
    COleDateTime date;
    for (int i = 0; registrations->GetAt(i, id, date); ++i)
      if (CProvider* p = database.Find(id)) p->SetRegistrationDate(date);
  }
  CRankOrder order;
  int ignored = 0;
  return database.Rank(&order, context, changes ? changes : &ignored, current);
}

BOOL CTarifManager::Reload() {
  BOOL ok = database.Reload();
  int changes = 0;
  Recompute(&changes, nullptr);
  if (reloadListener) reloadListener();
  return ok;
}

void CTarifManager::CountCall(const CProvider* p) {
  CTarifProtocol* rec = nullptr;
  if (p && protocols.Lookup(p->GetId(), rec)) rec->SetCallCount(rec->GetCallCount() + 1);
  protocols.Save();
}

void CTarifManager::StartFreeMinutes(const CProvider* p) {
  if (!p || !p->HasFreeMinutes()) return;
  clockStart = GetNow();
  clockStartSteady = GetSteadySeconds();
  carriedSeconds = 0;
}

void CTarifManager::StopFreeMinutes(const CProvider* p) {
  if (!p || !p->HasFreeMinutes()) return;
  CTarifProtocol* rec = nullptr;
  if (protocols.Lookup(p->GetId(), rec)) {
    int seconds = ElapsedSeconds(GetSteadySeconds());
    rec->SetOnlineMinutes(rec->GetOnlineMinutes() + seconds / 60 + (seconds % 60 > 0 ? 1 : 0));
    protocols.Save();
  }
  carriedSeconds = 0;
  clockStart = InvalidDate();
}
