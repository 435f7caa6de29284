// The router's own phone-book entry "Corvalen2000": created when missing, rewritten with the
// provider's number before each dial and with the line type after the options change, always
// naming the AutoDial hook (corvai.dll in the program folder, function "AutoDialFunc"). Also reads
// and writes the stored user name and password of any entry, and makes an entry the system's
// default internet entry.
#pragma once

#include "CObject.h"
#include "CString.h"
#include "RasAccess.h"

class CSettings;

class CRasEntrySetup : public CObject {
 public:
  ~CRasEntrySetup() override = default;

  // A new entry as the router writes it, then its credentials. A CErrTable index (0 = success).
  int CreateEntry(const char* name, CRasAccess& ras, const char* phoneNumber, CSettings& settings,
                  const char* user, const char* password, BOOL savePassword);
  // Rewrites an existing entry; -1 when it does not exist.
  int WriteEntry(const char* name, CRasAccess& ras, const char* phoneNumber, CSettings& settings,
                 const char* user, const char* password, BOOL keepDevice, BOOL savePassword);
  bool EntryExists(CRasAccess& ras, const char* name);
  int GetCredentials(const char* name, CRasAccess& ras, CString& user, CString& password, BOOL& saved);
  int SetCredentials(const char* name, CRasAccess& ras, const char* user, const char* password, BOOL savePassword);
  // HKEY_CURRENT_USER\RemoteAccess "InternetProfile" = name; a key that cannot be opened is left alone.
  int SetDefaultInternetEntry(const char* name);

  // The AutoDial library's file in the program folder.
  static CString AutodialDll(CSettings& settings);

 private:
  void FillDevice(RASENTRYA& entry, CSettings& settings);
  int StoreWithDeviceFallback(const char* name, CRasAccess& ras, RASENTRYA& entry);
};

// The system's own dialog for editing a phone-book entry (RASDLG.DLL), with the older editing
// dialog of RAS when that library is missing.
class CRasDlgAccess : public CObject {
 public:
  CRasDlgAccess() = default;
  ~CRasDlgAccess() override;

  void Load();
  // 1 when the user saved the entry, else 0; 92 when the dialog library is not available.
  int ShowEntryDialog(HWND owner, const char* name);
  bool EditEntry(HWND owner, const char* name);
  bool IsAvailable() const { return available_ != 0; }

 private:
  BYTE available_ = 1;
  HMODULE module_ = nullptr;
  PFN_RasEntryDlgA entryDlg_ = nullptr;
};
