// Typed access to Corvalen's registry values with their defaults, and the values the program
// keeps in memory while it runs (the current provider, the server's information).
#pragma once

#include "Provider.h"
#include "Registry.h"

// The six switches of the provider filter, in the order of the "Filter" value's characters.
struct CFilterSwitches {
  enum { loginOnly = 0, hideUnregistered = 1, noDialInFee = 2, noBaseFee = 3, taktSecond = 4,
         taktMinute = 5, count = 6 };
  BOOL on[count] = {FALSE, FALSE, FALSE, FALSE, FALSE, FALSE};
};

class CSettings : public CRegistry {
 public:
  // The mailbox password's one-byte scrambling key.
  static const unsigned char kPasswordKey = 0x8E;

  explicit CSettings(CRegistryBackend* backend = nullptr);
  ~CSettings() override = default;

  CString GetPATH();
  CString GetMessageUrl();
  BOOL IsAGBAccepted();
  BOOL SetAGB(CString v);
  CString GetDefaultDFUDeviceName();
  BOOL SetDefaultDFUDeviceName(CString v);
  CString GetDefaultDFUDeviceTyp();
  BOOL SetDefaultDFUDeviceTyp(CString v);
  CString GetDefaultDialString();
  BOOL SetDefaultDialString(CString v);
  CString GetCurrentTarif();
  BOOL SetCurrentTarif(CString v);
  CString GetCurrentDialer();
  BOOL SetCurrentDialer(CString v);
  CString GetCheckDialer();
  BOOL SetCheckDialer(CString v);
  CString GetCheckTarif();
  BOOL SetCheckTarif(CString v);
  CString GetMessageOfDay();
  BOOL SetMessageOfDay(CString v);
  CString GetDefaultConnection();
  BOOL SetDefaultConnection(CString v);
  CString GetUpdateFrequence();
  BOOL SetUpdateFrequence(CString v);
  CString GetAutomatic();
  BOOL SetAutomatic(CString v);
  CFilterSwitches GetFilter();
  BOOL SetFilter(const CFilterSwitches& f);
  CString GetFilterProvider();
  BOOL SetFilterProvider(CString v);
  CString GetNotInFilterProvider();
  BOOL SetNotInFilterProvider(CString v);
  CString GetPOP3();
  BOOL SetPOP3(CString v);
  CString GetPOP3Postfach();
  BOOL SetPOP3Postfach(CString v);
  CString GetPOP3Passwort();
  BOOL SetPOP3Passwort(CString v);
  CString GetPOPSpeichern();
  BOOL SetPOPSpeichern(CString v);
  // The ids of the newest messages at the last mailbox check, for a server without LAST.
  CString GetPOP3Kennungen();
  BOOL SetPOP3Kennungen(CString v);
  int GetMaxDialAttempts();
  BOOL SetMaxDialAttempts(int v);
  int GetWaitingTimeForDialAttempts();
  BOOL SetWaitingTimeForDialAttempts(int v);
  CString GetBannerTime();
  BOOL SetBannerTime(CString v);

  BOOL LastReadOk() const { return lastReadOk; }
  CProvider* GetProvider() { return &provider; }
  const CString& GetCachedPath() const { return path; }
  const CString& GetDeviceType() const { return deviceType; }
  const CString& GetDeviceName() const { return deviceName; }
  const CString& GetDialString() const { return dialString; }

  // Values of the server's information file, kept in memory only.
  const CString& GetDailyTip() const { return dailyTip; }
  void SetDailyTip(const CString& v) { dailyTip = v; }
  const CString& GetUrlOfDay() const { return urlOfDay; }
  void SetUrlOfDay(const CString& v) { urlOfDay = v; }
  const CString& GetTarifUrl() const { return tarifUrl; }
  void SetTarifUrl(const CString& v) { tarifUrl = v; }
  const CString& GetTarifDate() const { return tarifDate; }
  void SetTarifDate(const CString& v) { tarifDate = v; }
  const CString& GetDialerUrl() const { return dialerUrl; }
  void SetDialerUrl(const CString& v) { dialerUrl = v; }
  const CString& GetBannerUrl() const { return bannerUrl; }
  void SetBannerUrl(const CString& v) { bannerUrl = v; }
  const CString& GetTarifUpdateTip() const { return tarifUpdateTip; }
  void SetTarifUpdateTip(const CString& v) { tarifUpdateTip = v; }
  const CString& GetDialerDate() const { return dialerDate; }
  void SetDialerDate(const CString& v) { dialerDate = v; }

  // PATH + "\" + name: where every data file of the program lies.
  CString DataFile(const char* name);

 private:
  CString GetUser(const char* name, const char* def);
  CString GetMachine(const char* name, const char* def);
  BOOL Set(const char* name, CString v);

  CString dialString;
  CString dialerDate;
  CString tarifUpdateTip;
  CProvider provider;
  CString deviceType = "modem";
  CString deviceName = "Unimodem";
  CString path;
  BYTE lastReadOk = 0;
  CString bannerUrl, tarifUrl, urlOfDay, dailyTip, dialerUrl, tarifDate;
};
