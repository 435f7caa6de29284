// The tariff engine's facade: the tariff database, the holiday list and the free-minute
// protocol, the ranking of the providers for the current moment, the provider filter and the
// free-minute clock of the connected provider.
#pragma once

#include <functional>

#include "COleDateTime.h"
#include "Feiertage.h"
#include "ProviderFilter.h"
#include "Settings.h"
#include "TarifDatabase.h"
#include "TarifProtocol.h"

class CTarifManager : public CObject {
 public:
  CTarifManager() = default;
  ~CTarifManager() override = default;
  CTarifManager(const CTarifManager&) = delete;
  CTarifManager& operator=(const CTarifManager&) = delete;

  // Loads "free.log", the holiday list (message 5117 when it cannot be read) and the tariff
  // database (fallback provider and message 5118 when it cannot be read). The connection and
  // the registrations may be NULL.
  void Init(CSettings* settings, CTarifConnection* connection, CRegistrationSource* registrations = nullptr);

  // Books the connected provider's free minutes, rolls the usage periods forward, copies the
  // registrations into the providers and ranks every provider for now; *changes gets bit 2 when
  // the current provider lost its place, bit 1 when its free minutes ran out.
  CProviderRanking& Recompute(int* changes, CProvider* current);
  BOOL IsFilteredOut(const CProvider* provider);
  CProviderFilter ReadFilter();
  CProvider* FindProvider(const CString& id) const { return database.Find(id); }
  // Reads the tariff file again and ranks; every provider record of before is gone then (the
  // connected one may live on in its connection), and the reload listener is told.
  BOOL Reload();
  // Called after every reload, so that whoever keeps a provider finds it again by its id.
  void SetReloadListener(std::function<void()> listener) { reloadListener = std::move(listener); }

  const CProviderArray& GetRanking() const { return database.GetRanking(); }
  const CProviderArray& GetActiveByName() const { return database.GetActiveByName(); }
  const CProviderArray& BuildFilteredLists() { return database.BuildFilteredLists(); }
  CTarifDatabase& GetDatabase() { return database; }
  const CTarifDatabase& GetDatabase() const { return database; }
  CFeiertagList& GetHolidays() { return holidays; }
  CTarifProtocolStore& GetProtocolStore() { return protocols; }
  CSettings* GetSettings() const { return settings; }
  CTarifConnection* GetConnection() const { return connection; }
  CRegistrationSource* GetRegistrations() const { return registrations; }
  void SetRegistrations(CRegistrationSource* r) { registrations = r; }
  void SaveProtocols() { protocols.Save(); }
  void LoadProtocols() { protocols.Load(&database); }
  int CheckTarifFile(const char* path) const { return database.CheckTarifFile(path); }

  void CountCall(const CProvider* provider);
  void StartFreeMinutes(const CProvider* provider);
  void StopFreeMinutes(const CProvider* provider);
  BOOL IsFreeMinuteClockRunning() const { return clockStart.GetStatus() == COleDateTime::valid; }
  int GetCarriedSeconds() const { return carriedSeconds; }

 private:
  // Whole seconds the free-minute clock ran until `steadyNow` (a steady-clock reading), plus
  // the carried seconds.
  int ElapsedSeconds(double steadyNow) const;

  CSettings* settings = nullptr;
  int carriedSeconds = 0;
  CTarifConnection* connection = nullptr;
  CRegistrationSource* registrations = nullptr;
  std::function<void()> reloadListener;
  COleDateTime clockStart = InvalidDate();
  double clockStartSteady = 0;
  CTarifDatabase database;
  CFeiertagList holidays;
  CTarifProtocolStore protocols;

  static COleDateTime InvalidDate() {
    COleDateTime d;
    d.SetStatus(COleDateTime::invalid);
    return d;
  }
};
