// Which of the user's own phone-book entries belongs to which provider: the text file
// "Corva.dat" in the program folder, a sequence of records "id=entry|d/m/yyyy 0:0:0;" without
// separators. A provider with a record counts as registered.
#pragma once

#include "CArray.h"
#include "COleDateTime.h"
#include "CString.h"
#include "CostLog.h"
#include "TarifDatabase.h"

#include <string>
#include <utility>
#include <vector>

class CTarifManager;

struct CEntryAssignment {
  CString providerId;
  CString entryName;
  COleDateTime date;
};

class CAssignmentStore : public CLogFile, public CRegistrationSource {
 public:
  static const char* const kFileName;  // "Corva.dat"
  static const char* const kTempName;  // "Corva.sic"

  CAssignmentStore() = default;
  CAssignmentStore(const CAssignmentStore&) = delete;
  CAssignmentStore& operator=(const CAssignmentStore&) = delete;

  // The program folder (the setting "PATH", no trailing separator).
  void SetFolder(const CString& folder);
  const CString& GetFilePath() const { return filePath; }
  void SetTariffManager(CTarifManager* manager) { tariffManager = manager; }

  // Rebuilds the records from the file; only records whose provider the tariff manager knows are
  // kept, and those providers are marked registered. A missing file is an empty store.
  void Load();
  // The entry name of the provider's first record, or "null"; its date goes to `date`.
  CString Lookup(const CString& providerId, COleDateTime& date) const;
  CString Lookup(const CString& providerId) const {
    COleDateTime unused;
    return Lookup(providerId, unused);
  }
  // Adds the record and appends it to the file. FALSE (nothing stored) when the id or the name
  // holds a character the file uses as a separator, the id is empty, or the file cannot be
  // written (the user is told, naming it).
  BOOL AddAssignment(CEntryAssignment record);
  // FALSE for an entry name the file cannot hold (it has ";", "=" or "|", its separators).
  static BOOL IsStorableName(const CString& entryName);
  // Appends key "=" value ";" to the file with one write; FALSE (and the user told) when it fails.
  BOOL WriteRecord(const CString& key, const CString& value);
  // Rewrites the file without the provider's records and reloads; the provider's free-minute
  // protocol is dropped. FALSE when the file could not be rewritten (it then stays unchanged and
  // the user is told, naming it).
  BOOL RemoveAssignment(const CString& providerId);
  // The activation day of the provider's records becomes `date` (its day; the file keeps no
  // time); the records are then read back from the file. FALSE when the provider has no record
  // or the file could not be rewritten (it then stays as it was).
  BOOL SetAssignmentDate(const CString& providerId, const COleDateTime& date);

  int GetCount() const { return records.GetSize(); }
  CEntryAssignment GetRecord(int i) const { return records[i]; }
  // CRegistrationSource: the loaded records for the ranking.
  BOOL GetAt(int index, CString& providerId, COleDateTime& date) const override;

  // The date as the file holds it: "3/4/2000 0:0:0".
  static CString FormatDate(const COleDateTime& date);
  // "d/m/yyyy[ h:m:s]" back into a date (invalid status for anything else).
  static COleDateTime ParseDate(const CString& text);
  // Splits file contents into complete records (key, value); a record cut off at the end is not
  // returned. `complete` receives the length of the text the complete records cover.
  static void ParseRecords(const std::string& text, std::vector<std::pair<CString, CString>>& out,
                           size_t* complete = nullptr);

 private:
  // Rewrites the file without the provider's records (all complete records with a null id), or,
  // with `newDate`, with those records dated anew.
  BOOL RewriteWithout(const CString* providerId, const COleDateTime* newDate = nullptr);
  // RewriteWithout, then Load: every rewrite leaves the store holding what the file holds.
  BOOL RewriteAndLoad(const CString* providerId, const COleDateTime* newDate = nullptr);

  CTarifManager* tariffManager = nullptr;
  CPtrArrayOf<CEntryAssignment> records;
  CString key, entryName, dateText;
  CString filePath, tempPath;
};
