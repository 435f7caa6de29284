// The tariff database: every provider of "tarif.dat" with its base values and rules, kept by id,
// the name-sorted lists for the dialogs, the ranking, and the fallback provider when the file
// cannot be read.
#pragma once

#include <memory>

#include "CArray.h"
#include "CMapStringToOb.h"
#include "CObject.h"
#include "CString.h"
#include "Provider.h"
#include "ProviderFilter.h"
#include "TarifRules.h"

class CSettings;
class CTarifContext;

// The connection whose provider the engine must know: the connected (or dialled) provider, and
// the new record of that provider after the database was read again.
class CTarifConnection {
 public:
  virtual ~CTarifConnection() = default;
  virtual CProvider* GetConnectedProvider() const = 0;
  virtual void SetConnectedProvider(CProvider* provider) = 0;
  // After a reload whose data lack the connected provider (or hold it inactive): its former
  // record, which the database gives up. A connection that is billed keeps it (and deletes it
  // when it lets go of it), so that the running connection is metered and logged at its tariff
  // until it ends. By default it is deleted and the connection holds no provider.
  virtual void KeepFormerProvider(std::unique_ptr<CProvider> former) {
    former.reset();
    SetConnectedProvider(nullptr);
  }
};

// The registrations of the entry-assignment store: provider id and registration date, read by
// index until GetAt answers FALSE.
class CRegistrationSource {
 public:
  virtual ~CRegistrationSource() = default;
  virtual BOOL GetAt(int index, CString& providerId, COleDateTime& date) const = 0;
};

typedef CTypedPtrArray<CObArray, CProvider*> CProviderArray;

class CTarifDatabase : public CObject, public CProviderLookup {
 public:
  // Group nesting deeper than this is not a tariff but an attack on the evaluator's stack;
  // the file is refused.
  static const int kMaxGroupDepth = 64;
  // The most providers a tariff file may hold: more than three times the largest real database
  // (300 providers, 2 MB). The list is ranked and refilled every minute on the window's thread;
  // a file of 28,766 providers held the window 9 to 15 s a minute. A file beyond this is refused
  // with kTarifTooManyProviders at start, and a download like it never replaces tarif.dat.
  static const int kMaxProviders = 1000;

  CTarifDatabase();
  ~CTarifDatabase() override;
  CTarifDatabase(const CTarifDatabase&) = delete;
  CTarifDatabase& operator=(const CTarifDatabase&) = delete;

  // Reads "tarif.dat" from the settings' program folder; the fallback provider and message 5118
  // when it cannot be read. The settings also give the provider filter and the fallback record.
  void Load(CSettings* settings, CTarifConnection* connection);
  BOOL ParseFile();
  // Parses an unscrambled tariff document and adds its providers; FALSE when expat refuses it.
  BOOL ParseBuffer(const char* data, size_t length);
  // Whether the last ParseBuffer failed because the document holds more than kMaxProviders.
  BOOL HadTooManyProviders() const { return tooManyProviders; }
  BOOL Reload();
  void RemoveAllProviders();
  void AddDefaultProvider();
  void SetProvider(const CString& id, CProvider* provider);
  BOOL Lookup(const CString& id, CProvider*& provider) const;
  CProvider* Find(const CString& id) const override;
  void SortActiveByName();
  const CProviderArray& BuildFilteredLists();
  const CProviderArray& GetActiveByName() const { return activeByName; }
  const CProviderArray& GetRanking() const { return ranking.GetUsable(); }
  const CProviderArray& GetFilteredOut() const { return filteredOutByName; }
  const CProviderArray& GetPassing() const { return passingByName; }
  CProviderRanking& GetProviderRanking() { return ranking; }
  const CMapStringToOb& GetProviders() const { return providers; }
  int GetCount() const { return providers.GetCount(); }

  // 0 = good, 1 = readable but without the connected provider, 2 = unreadable.
  int CheckTarifFile(const char* path) const;
  static int CheckTarifBuffer(const char* data, size_t length, const CString& wantedId, bool findAny);

  CProviderRanking& Rank(CRankOrder* order, const CTarifContext& context, int* changes, CProvider* current);

  void SetSettings(CSettings* s) { settings = s; }
  void SetConnection(CTarifConnection* c) { connection = c; }

 private:
  static void InsertByName(CProviderArray& arr, CProvider* p);

  CTarifConnection* connection = nullptr;
  CMapStringToOb providers;
  CProviderRanking ranking;
  CProviderArray activeByName;
  CProviderArray passingByName, filteredOutByName;
  CSettings* settings = nullptr;
  BOOL tooManyProviders = FALSE;
};
