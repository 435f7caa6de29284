#include "TarifProtocol.h"

#include <cmath>

#include "CArchive.h"
#include "CFile.h"
#include "DataBudget.h"
#include "OwnedMap.h"
#include "Settings.h"
#include "TarifUi.h"

IMPLEMENT_SERIAL(CTarifProtocol, CObject, 1)

void CTarifProtocol::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<LONG>(periodStart.m_status) << periodStart.m_dt << static_cast<LONG>(onlineMinutes)
       << static_cast<LONG>(day) << static_cast<LONG>(callCount);
    return;
  }
  LONG status, minutes, d, calls;
  double value;
  ar >> status >> value >> minutes >> d >> calls;
  // A boundary that is no date at all restarts the period instead of stopping it for good.
  if (!std::isfinite(value) || std::fabs(value) > 2958466.0 || status < 0 || status > 2) {
    periodStart = COleDateTime();
  } else {
    periodStart.m_dt = value;
    periodStart.m_status = static_cast<COleDateTime::DateTimeStatus>(status);
  }
  onlineMinutes = minutes;
  SetDay(d);
  callCount = calls;
}

CTarifProtocolStore::~CTarifProtocolStore() { RemoveAll(); }

void CTarifProtocolStore::RemoveAll() { DeleteAllValues(map); }

void CTarifProtocolStore::SetAt(const CString& id, CTarifProtocol* record) {
  CObject* old = nullptr;
  if (map.Lookup(id, old) && old != record) delete old;
  map.SetAt(id, record);
}

BOOL CTarifProtocolStore::Lookup(const CString& id, CTarifProtocol*& record) const {
  CObject* obj = nullptr;
  if (!map.Lookup(id, obj)) return FALSE;
  record = static_cast<CTarifProtocol*>(obj);
  return TRUE;
}

void CTarifProtocolStore::LoadFrom(CFile& file) {
  // A real free.log holds one short record per provider with free minutes; a file beyond the
  // limit of data files is none, and nothing of it is taken (its records would hold several
  // times its length).
  if (file.GetLength() < 0 || static_cast<unsigned long>(file.GetLength()) > kDataFileLimit) return;
  try {
    CArchive ar(&file, CArchive::load, kArchiveBuffer);
    DWORD count = ar.ReadCount();
    for (DWORD i = 0; i < count; ++i) {
      CString key;
      ar >> key;
      CObject* obj = ar.ReadObject(RUNTIME_CLASS(CTarifProtocol));
      SetAt(key, static_cast<CTarifProtocol*>(obj));
    }
  } catch (const CArchiveException&) {
    // A short or damaged file: the records read so far stay.
  }
}

void CTarifProtocolStore::Load(CProviderLookup* p) {
  providers = p;
  RemoveAll();
  if (!settings) return;
  CFile file;
  if (!file.Open(settings->DataFile("free.log"), CFile::modeRead)) return;
  LoadFrom(file);
}

void CTarifProtocolStore::SaveTo(CFile& file) {
  CArchive ar(&file, CArchive::store, kArchiveBuffer);
  map.Serialize(ar);
  ar.Close();
}

BOOL CTarifProtocolStore::Save() {
  if (!settings) return TRUE;
  CString path = settings->DataFile("free.log");
  // The records go to "free.tmp", which then takes the place of "free.log" in one step.
  CSaveFile file;
  BOOL ok = file.Open(path, settings->DataFile("free.tmp"));
  try {
    if (ok) SaveTo(file);
    ok = ok && file.Commit();
  } catch (const CFileException&) {
    ok = FALSE;
  }
  // The store is saved every minute online: a failure that lasts is told once, until a save
  // succeeds again.
  if (!ok && !failureReported) ReportSaveFailure(path);
  failureReported = !ok;
  return ok;
}

BOOL CTarifProtocolStore::Remove(const CString& id) {
  if (id.IsEmpty()) return FALSE;
  if (providers) {
    if (CProvider* p = providers->Find(id)) {
      p->SetCallCount(0);
      p->SetOnlineMinutes(0);
      p->SetPeriodDay(1);
      p->SetPeriodStart(COleDateTime());
      p->SetRegistrationDate(COleDateTime());
    }
  }
  CObject* obj = nullptr;
  if (!map.Lookup(id, obj)) return FALSE;
  delete obj;
  return map.RemoveKey(id);
}

void CTarifProtocolStore::AdvanceMonth(int& year, int& month, int& day, BOOL step) {
  if (step) {
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  if (day > 30 && (month == 4 || month == 6 || month == 9 || month == 11)) day = 30;
  if (month == 2 && day > 28) day = (year % 4 == 0) ? 29 : 28;
}

void CTarifProtocolStore::UpdateUsagePeriods(const CProviderLookup& providers, const COleDateTime& now) {
  bool touched = false;
  CString key;
  CObject* obj;
  const COleDateTime today(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
  for (POSITION pos = map.GetStartPosition(); pos;) {
    map.GetNextAssoc(pos, key, obj);
    CTarifProtocol* rec = static_cast<CTarifProtocol*>(obj);
    CProvider* p = providers.Find(key);
    if (!p) continue;  // kept untouched for a provider that may come back
    touched = true;
    const bool isSet = rec->GetPeriodStart().m_dt != 0;
    auto reset = [rec] {
      rec->SetCallCount(0);
      rec->SetOnlineMinutes(0);
    };
    switch (p->GetUsagePeriod()) {
      case 1: {  // month
        int y = now.GetYear(), m = now.GetMonth(), d = rec->GetDay();
        if (isSet) {
          if (rec->GetPeriodStart() < now) {
            AdvanceMonth(y, m, d, TRUE);
            rec->SetPeriodStart(COleDateTime(y, m, d, 0, 0, 0));
            reset();
          }
        } else {
          AdvanceMonth(y, m, d, now.GetDay() >= rec->GetDay());
          rec->SetPeriodStart(COleDateTime(y, m, d, 0, 0, 0));
        }
        break;
      }
      case 2: {  // week
        if (isSet) {
          if (rec->GetPeriodStart() < now) {
            rec->SetPeriodStart(rec->GetPeriodStart() + COleDateTimeSpan(7.0));
            reset();
          }
        } else {
          int dow = now.GetDayOfWeek();
          int n = dow == 1 ? 7 : dow - 1;  // 1 = Monday ... 7 = Sunday
          rec->SetPeriodStart(today + COleDateTimeSpan(static_cast<double>(8 - n)));
        }
        break;
      }
      case 3: {  // day
        COleDateTime tomorrow = today + COleDateTimeSpan(1.0);
        if (isSet) {
          if (rec->GetPeriodStart() < now) {
            rec->SetPeriodStart(tomorrow);
            reset();
          }
        } else {
          rec->SetPeriodStart(tomorrow);
        }
        break;
      }
      default:
        break;
    }
    p->SetOnlineMinutes(rec->GetOnlineMinutes());
    p->SetCallCount(rec->GetCallCount());
    p->SetPeriodDay(rec->GetDay());
    p->SetPeriodStart(rec->GetPeriodStart());
  }
  if (touched) Save();
}
