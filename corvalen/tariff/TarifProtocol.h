// The free-minute protocol: per provider the boundary of the current usage period, the day on
// which monthly periods begin, and the calls and online minutes of the period, kept in
// "free.log" as an archive of the map from provider id to record.
#pragma once

#include "CFile.h"
#include "CMapStringToOb.h"
#include "CObject.h"
#include "COleDateTime.h"
#include "CString.h"
#include "Provider.h"

class CSettings;

class CTarifProtocol : public CObject {
  DECLARE_SERIAL(CTarifProtocol)
 public:
  CTarifProtocol() = default;
  const COleDateTime& GetPeriodStart() const { return periodStart; }
  void SetPeriodStart(const COleDateTime& v) { periodStart = v; }
  int GetDay() const { return day; }
  void SetDay(int v) { day = v > 31 ? 31 : (v < 1 ? 1 : v); }
  int GetCallCount() const { return callCount; }
  void SetCallCount(int v) { callCount = v; }
  int GetOnlineMinutes() const { return onlineMinutes; }
  void SetOnlineMinutes(int v) { onlineMinutes = v; }
  // LONG status and DOUBLE value of periodStart, LONG onlineMinutes, LONG day, LONG callCount.
  void Serialize(CArchive& ar) override;

 private:
  COleDateTime periodStart;
  int day = 1;
  int callCount = 0;
  int onlineMinutes = 0;
};

class CTarifProtocolStore : public CObject {
 public:
  static const int kArchiveBuffer = 4096;

  CTarifProtocolStore() : map(10) {}
  ~CTarifProtocolStore() override;
  CTarifProtocolStore(const CTarifProtocolStore&) = delete;
  CTarifProtocolStore& operator=(const CTarifProtocolStore&) = delete;

  void SetSettings(CSettings* s) { settings = s; }
  // Reads "free.log" from the settings' program folder; `providers` (the tariff database) are
  // the records that Remove resets.
  void Load(CProviderLookup* providers);
  // Reads records from an archive image; what was read before a fault stays.
  void LoadFrom(CFile& file);
  // Writes "free.log" through a new file that then takes the old one's place, so a failure
  // while writing never loses the records already stored. FALSE when it could not be written;
  // "free.log" then is as it was, and the user is told, naming the file (once, until a save
  // succeeds again).
  BOOL Save();
  void SaveTo(CFile& file);
  BOOL Lookup(const CString& id, CTarifProtocol*& record) const;
  CMapStringToOb& GetMap() { return map; }
  // Takes ownership of the record (an earlier one under the id is deleted).
  void SetAt(const CString& id, CTarifProtocol* record);
  BOOL Remove(const CString& id);
  void RemoveAll();
  // Rolls every period forward that has ended at `now` and copies the usage into the providers.
  void UpdateUsagePeriods(const CProviderLookup& providers, const COleDateTime& now);
  static void AdvanceMonth(int& year, int& month, int& day, BOOL step);

 private:
  CProviderLookup* providers = nullptr;
  BOOL failureReported = FALSE;
  CSettings* settings = nullptr;
  CMapStringToOb map;
};
