#include "RasEntrySetup.h"

#include <cstring>
#include <vector>

#include "DialNumber.h"
#include "Settings.h"

CString CRasEntrySetup::AutodialDll(CSettings& settings) {
  CString path = settings.GetPATH();
  // PATH may be stored with or without its trailing backslash.
  if (path.IsEmpty() || path[path.GetLength() - 1] != '\\') path += "\\";
  return path + "corvai.dll";
}

void CRasEntrySetup::FillDevice(RASENTRYA& entry, CSettings& settings) {
  CString type = settings.GetDefaultDFUDeviceTyp();
  if (type.IsEmpty()) type = "modem";
  CopyLimited(entry.szDeviceType, RAS_MaxDeviceType, type);
  CopyLimited(entry.szDeviceName, RAS_MaxDeviceName, settings.GetDefaultDFUDeviceName());
}

int CRasEntrySetup::StoreWithDeviceFallback(const char* name, CRasAccess& ras, RASENTRYA& entry) {
  int rc = ras.SetEntryProperties(name, &entry, sizeof entry);
  if (rc == 0) return 0;
  // RAS refuses a device it does not know with 87: the first device it has takes its place, once.
  if (ras.GetLastResult() != RAS_ERROR_INVALID_PARAMETER) return rc;
  RASDEVINFOA device = {};
  if (ras.EnumDevices() != 0 || ras.GetDevice(&device, 0) != 0) return rc;
  CopyLimited(entry.szDeviceType, RAS_MaxDeviceType, device.szDeviceType);
  CopyLimited(entry.szDeviceName, RAS_MaxDeviceName, device.szDeviceName);
  return ras.SetEntryProperties(name, &entry, sizeof entry);
}

int CRasEntrySetup::CreateEntry(const char* name, CRasAccess& ras, const char* phoneNumber, CSettings& settings,
                                const char* user, const char* password, BOOL savePassword) {
  RASENTRYA entry = {};
  entry.dwSize = sizeof entry;
  entry.dwfOptions = RASEO_IpHeaderCompression | RASEO_RemoteDefaultGateway | RASEO_ModemLights;
  entry.dwCountryID = 49;
  entry.dwCountryCode = 0;
  CopyLimited(entry.szLocalPhoneNumber, RAS_MaxPhoneNumber, phoneNumber);
  entry.dwfNetProtocols = RASNP_Ip;
  entry.dwFramingProtocol = RASFP_Ppp;
  FillDevice(entry, settings);
  CopyLimited(entry.szAutodialDll, MAX_PATH - 1, AutodialDll(settings));
  CopyLimited(entry.szAutodialFunc, MAX_PATH - 1, "AutoDialFunc");
  int rc = StoreWithDeviceFallback(name, ras, entry);
  if (rc != 0) return rc;
  return SetCredentials(name, ras, user, password, savePassword);
}

int CRasEntrySetup::WriteEntry(const char* name, CRasAccess& ras, const char* phoneNumber, CSettings& settings,
                               const char* user, const char* password, BOOL keepDevice, BOOL savePassword) {
  if (!EntryExists(ras, name)) return -1;
  DWORD size = 0;
  ras.GetEntryProperties(name, nullptr, &size);
  if (size < sizeof(RASENTRYA)) size = sizeof(RASENTRYA);
  std::vector<char> buffer(size);
  RASENTRYA* entry = reinterpret_cast<RASENTRYA*>(buffer.data());
  entry->dwSize = sizeof(RASENTRYA);
  int rc = ras.GetEntryProperties(name, entry, &size);
  if (rc != 0) return rc;
  if (!keepDevice) FillDevice(*entry, settings);
  CopyLimited(entry->szLocalPhoneNumber, RAS_MaxPhoneNumber, phoneNumber);
  CopyLimited(entry->szAutodialDll, MAX_PATH - 1, AutodialDll(settings));
  CopyLimited(entry->szAutodialFunc, MAX_PATH - 1, "AutoDialFunc");
  rc = StoreWithDeviceFallback(name, ras, *entry);
  if (rc != 0) return rc;
  return SetCredentials(name, ras, user, password, savePassword);
}

bool CRasEntrySetup::EntryExists(CRasAccess& ras, const char* name) { return !ras.IsEntryMissing(name); }

int CRasEntrySetup::GetCredentials(const char* name, CRasAccess& ras, CString& user, CString& password,
                                   BOOL& saved) {
  char buffer[50] = {};
  saved = FALSE;
  if (ras.GetEntryPassword(name, buffer, sizeof buffer, &saved) == 0) password = buffer;
  SecureZeroMemory(buffer, sizeof buffer);
  int rc = ras.GetEntryUserName(name, buffer, sizeof buffer);
  if (rc == 0) user = buffer;
  return rc;
}

int CRasEntrySetup::SetCredentials(const char* name, CRasAccess& ras, const char* user, const char* password,
                                   BOOL savePassword) {
  RASDIALPARAMSA params = {};
  params.dwSize = sizeof params;
  int rc = ras.GetEntryDialParams(name, &params);
  if (rc != 0) return rc;
  CopyLimited(params.szEntryName, RAS_MaxEntryName, name);
  CopyLimited(params.szUserName, RAS_UserNameLength, user);
  CopyLimited(params.szPassword, RAS_PasswordLength, password);
  params.szDomain[0] = 0;
  rc = ras.SetEntryDialParams(name, &params, savePassword ? FALSE : TRUE);
  SecureZeroMemory(params.szPassword, sizeof params.szPassword);
  return rc;
}

int CRasEntrySetup::SetDefaultInternetEntry(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "RemoteAccess", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
  RegSetValueExA(key, "InternetProfile", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                 static_cast<DWORD>(strlen(name)));
  RegCloseKey(key);
  return 0;
}

// ---- the entry dialog ------------------------------------------------------------------------------

CRasDlgAccess::~CRasDlgAccess() {
  if (module_) FreeLibrary(module_);
}

void CRasDlgAccess::Load() {
  if (module_) return;
  module_ = LoadLibraryA("RASDLG.DLL");
  if (!module_) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    if (text) LocalFree(text);
    available_ = 0;
    return;
  }
  entryDlg_ = reinterpret_cast<PFN_RasEntryDlgA>(reinterpret_cast<void*>(GetProcAddress(module_, "RasEntryDlgA")));
  if (!entryDlg_) available_ = 0;  // a dialog library without the entry dialog is no use either
}

int CRasDlgAccess::ShowEntryDialog(HWND owner, const char* name) {
  if (!available_ || !entryDlg_) return kErrRasNotLoaded;
  RASENTRYDLGA info = {};
  info.dwSize = sizeof info;
  info.hwndOwner = owner;
  info.dwFlags = RASEDFLAG_NoRename;
  char entry[RAS_MaxEntryName + 1];
  CopyLimited(entry, RAS_MaxEntryName, name);
  return entryDlg_(nullptr, entry, &info) ? 1 : 0;
}

bool CRasDlgAccess::EditEntry(HWND owner, const char* name) {
  if (available_ && !module_) Load();
  if (available_) {
    ShowEntryDialog(owner, name);
  } else {
    CRasAccess ras;
    ras.EditEntry(owner, name);
  }
  return true;
}
