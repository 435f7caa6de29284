#include "Settings.h"

#include <cstdlib>

#include "TarifTexts.h"

CSettings::CSettings(CRegistryBackend* backend) : CRegistry(backend) {
  urlOfDay = kPortalUrl;
  provider.SetId(kDefaultProviderId);
  provider.SetPhoneNumber(kDefaultProviderNumber);
  provider.SetUserName(kDefaultProviderLogin);
  provider.SetPassword(kDefaultProviderLogin);
  provider.SetPrice(2.9f);
  provider.SetName(kDefaultProviderName);
}

CString CSettings::GetUser(const char* name, const char* def) {
  lastReadOk = QueryUserValue(name) ? 1 : 0;
  if (!lastReadOk) value = def;
  return value;
}

CString CSettings::GetMachine(const char* name, const char* def) {
  lastReadOk = QueryMachineValue(name) ? 1 : 0;
  if (!lastReadOk) value = def;
  return value;
}

BOOL CSettings::Set(const char* name, CString v) {
  SetValue(name, v);
  return FALSE;
}

CString CSettings::GetPATH() { return path = GetMachine("PATH", ""); }
CString CSettings::GetMessageUrl() { return GetMachine("MessageUrl", ""); }
BOOL CSettings::IsAGBAccepted() { return GetUser("AGB", "0") == "1"; }
BOOL CSettings::SetAGB(CString v) { return Set("AGB", v); }
CString CSettings::GetDefaultDFUDeviceName() { return deviceName = GetUser("DefaultDFUDeviceName", "DEFAULT"); }
BOOL CSettings::SetDefaultDFUDeviceName(CString v) { deviceName = v; return Set("DefaultDFUDeviceName", v); }
CString CSettings::GetDefaultDFUDeviceTyp() { return deviceType = GetUser("DefaultDFUDeviceTyp", "modem"); }
BOOL CSettings::SetDefaultDFUDeviceTyp(CString v) { deviceType = v; return Set("DefaultDFUDeviceTyp", v); }
CString CSettings::GetDefaultDialString() { return dialString = GetUser("DefaultDialString", ""); }
BOOL CSettings::SetDefaultDialString(CString v) { dialString = v; return Set("DefaultDialString", v); }

#define TEXT_SETTING(Name)                                          \
  CString CSettings::Get##Name() { return GetUser(#Name, ""); }     \
  BOOL CSettings::Set##Name(CString v) { return Set(#Name, v); }
TEXT_SETTING(CurrentTarif)
TEXT_SETTING(CurrentDialer)
TEXT_SETTING(CheckDialer)
TEXT_SETTING(CheckTarif)
TEXT_SETTING(MessageOfDay)
TEXT_SETTING(DefaultConnection)
TEXT_SETTING(UpdateFrequence)
TEXT_SETTING(Automatic)
TEXT_SETTING(FilterProvider)
TEXT_SETTING(NotInFilterProvider)
TEXT_SETTING(POP3)
TEXT_SETTING(POP3Postfach)
TEXT_SETTING(POPSpeichern)
TEXT_SETTING(POP3Kennungen)
TEXT_SETTING(BannerTime)
#undef TEXT_SETTING

CFilterSwitches CSettings::GetFilter() {
  CFilterSwitches f;
  CString text = GetUser("Filter", "");
  if (!lastReadOk) return f;
  for (int i = 0; i < CFilterSwitches::count && i < text.GetLength(); ++i)
    f.on[i] = text[i] == '1';
  return f;
}

BOOL CSettings::SetFilter(const CFilterSwitches& f) {
  CString text;
  for (int i = 0; i < CFilterSwitches::count; ++i) text += f.on[i] ? '1' : '0';
  return Set("Filter", text);
}

CString CSettings::GetPOP3Passwort() {
  lastReadOk = QueryUserValue("POP3Passwort") ? 1 : 0;
  if (!lastReadOk) return value = CString();
  CString plain = value;  // a stored blank already reads as the empty text
  for (int i = 0; i < plain.GetLength(); ++i)
    plain.SetAt(i, static_cast<char>(static_cast<unsigned char>(plain[i]) ^ kPasswordKey));
  return value = plain;
}

BOOL CSettings::SetPOP3Passwort(CString v) {
  CString scrambled = v;
  for (int i = 0; i < scrambled.GetLength(); ++i)
    scrambled.SetAt(i, static_cast<char>(static_cast<unsigned char>(scrambled[i]) ^ kPasswordKey));
  if (scrambled.IsEmpty()) scrambled = " ";
  CreateKeys();
  if (OpenUserKey() != 0) return FALSE;
  // Scrambling keeps the length; an empty password is stored as the one blank that every empty
  // setting is stored as (a value of no bytes is not read back alike everywhere).
  long r = Backend().SetString(hProduct, "POP3Passwort", scrambled.c_str(),
                               static_cast<DWORD>(scrambled.GetLength()));
  CloseKeys();
  return r == kRegOk;
}

int CSettings::GetMaxDialAttempts() { return std::atoi(GetUser("MaxDialAttempts", "1")); }
BOOL CSettings::SetMaxDialAttempts(int v) { return Set("MaxDialAttempts", CString::Formatted("%d", v)); }
int CSettings::GetWaitingTimeForDialAttempts() {
  return std::atoi(GetUser("WaitingTimeForDialAttempts", "1"));
}
BOOL CSettings::SetWaitingTimeForDialAttempts(int v) {
  return Set("WaitingTimeForDialAttempts", CString::Formatted("%d", v));
}

CString CSettings::DataFile(const char* name) { return GetPATH() + "\\" + name; }
