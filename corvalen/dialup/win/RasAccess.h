// The router's road to the Remote Access Service. The RAS functions are bound by name when first
// needed, so the program starts on machines without dial-up networking and can say so. Every
// operation answers with an index into CErrTable (0 = success) unless stated otherwise.
#pragma once

#include <atomic>
#include <string>

#include "ErrTable.h"
#include "RasRecords.h"

class CRasAccess {
 public:
  // The sixteen entry points, in binding order.
  enum Slot {
    kRasDial, kRasHangUp, kRasGetConnectStatus, kRasEnumConnections, kRasEnumEntries, kRasEnumDevices,
    kRasCreatePhonebookEntry, kRasEditPhonebookEntry, kRasSetEntryDialParams, kRasGetEntryDialParams,
    kRasGetCountryInfo, kRasGetEntryProperties, kRasSetEntryProperties, kRasRenameEntry, kRasDeleteEntry,
    kRasValidateEntryName, kSlotCount
  };
  // How long a hang-up waits at most for RAS to report the line down (polls of 500 ms).
  static constexpr int kHangUpPolls = 20;

  CRasAccess();
  virtual ~CRasAccess();
  // Every failing operation returns what this gives for its code; subclasses may observe failures.
  virtual int OnError(int code) { return code; }

  int Load();
  bool IsAvailable(Slot slot);
  int SetNotifyWindow(HWND window, UINT message);

  // Dials an entry (or, without one, the prefix alone) and waits, pumping this thread's messages,
  // until the dial ends, is cancelled, or a WM_QUIT/WM_CLOSE arrives. 0 connected; 92, 93, 94.
  int Dial(HWND owner, const char* entry, std::string prefix, const char* user, const char* password);
  static void WINAPI RasDialFunc(UINT message, RASCONNSTATE state, DWORD error);
  int IsConnected();
  void CancelDial() { cancelFlag_ = 1; }
  int HangUp();
  int HangUpConnection(HRASCONN connection);

  int EnumDevices();
  int GetDeviceCount();
  int GetDevice(RASDEVINFOA* out, int index);
  int EnumConnections();
  int GetConnectionCount();
  int GetConnection(RASCONNA* out, int index);
  int EnumEntries();
  int GetEntryCount();
  int GetEntryName(RASENTRYNAMEA* out, int index);

  int SetEntryProperties(const char* entry, RASENTRYA* record, DWORD size);
  int GetEntryProperties(const char* entry, RASENTRYA* record, DWORD* size);
  bool IsEntryMissing(const char* entry);
  int SetEntryDialParams(const char* entry, RASDIALPARAMSA* params, BOOL removePassword);
  int GetEntryDialParams(const char* entry, RASDIALPARAMSA* params, BOOL* passwordSaved = nullptr);
  int GetEntryPhoneNumber(const char* entry, char* number, int numberSize, char* areaCode, int areaSize);
  int GetEntryUserName(const char* entry, char* buffer, int size);
  int GetEntryPassword(const char* entry, char* buffer, int size, BOOL* saved);
  int ValidateEntryName(const char* entry);
  int DeleteEntry(const char* entry);
  int EditEntry(HWND parent, const char* entry);

  DWORD GetLastResult() const { return lastResult_; }
  // The RAS error number that ended the last dial without a connection (676 busy, 691 refused
  // login, ...); 0 after a connection or when RAS named none.
  DWORD GetDialError() const { return dialError_; }
  static const char* GetRasErrorText(unsigned code);

  HRASCONN GetHandle() const { return handle_; }
  int GetProgress() const { return progress_; }
  bool IsLoaded() const { return loaded_; }
  void SetHangUpOnDestroy(bool on) { hangUpOnDestroy_ = on; }
  // The pause of the waits (hang-up, dial pump); tests put a clock of their own here.
  void SetSleepFunction(void (*sleep)(DWORD ms)) { sleep_ = sleep ? sleep : &DefaultSleep; }

 protected:
  template <typename F>
  F Fn(Slot slot) const { return reinterpret_cast<F>(reinterpret_cast<void*>(fn_[slot])); }
  static void DefaultSleep(DWORD ms) { ::Sleep(ms); }
  void FreeModules();

  HMODULE rasapi_ = nullptr;
  HMODULE rnaph_ = nullptr;
  FARPROC fn_[kSlotCount] = {};
  RASDEVINFOA* devices_ = nullptr;
  int deviceCount_ = 0;
  RASCONNA* connections_ = nullptr;
  int connectionCount_ = 0;
  RASENTRYNAMEA* entries_ = nullptr;
  int entryCount_ = 0;
  HRASCONN handle_ = nullptr;
  bool loaded_ = false;
  HWND notifyWindow_ = nullptr;
  UINT notifyMessage_ = 0;
  // Written by the dial callback's thread and by CancelDial, polled by Dial.
  std::atomic<int> cancelFlag_{0};
  std::atomic<int> finishedFlag_{0};
  std::atomic<int> connectedFlag_{0};
  std::atomic<int> progress_{0};
  DWORD lastResult_ = 0;
  DWORD dialError_ = 0;
  bool hangUpOnDestroy_ = true;
  void (*sleep_)(DWORD) = &DefaultSleep;
};
