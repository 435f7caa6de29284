#include "RasAccess.h"

#include <cstring>
#include <vector>

#include "DialNumber.h"
#include "RasErrorText.h"

namespace {

const char* const kSlotNames[CRasAccess::kSlotCount] = {
    "RasDialA", "RasHangUpA", "RasGetConnectStatusA", "RasEnumConnectionsA", "RasEnumEntriesA",
    "RasEnumDevicesA", "RasCreatePhonebookEntryA", "RasEditPhonebookEntryA", "RasSetEntryDialParamsA",
    "RasGetEntryDialParamsA", "RasGetCountryInfoA", "RasGetEntryPropertiesA", "RasSetEntryPropertiesA",
    "RasRenameEntryA", "RasDeleteEntryA", "RasValidateEntryNameA",
};

// The object that is dialling now: the RAS notifier has no context argument, so one dial runs at
// a time in the process.
std::atomic<CRasAccess*> g_dialTarget{nullptr};

// The system's text for the last error is fetched (as the loader always did) and dropped.
void DropLastErrorText() {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  if (text) LocalFree(text);
}

const char* StateText(RASCONNSTATE state) {
  switch (state) {
    case 0: return "Opening Dialup Device";
    case 1: return "Dialup Device Opened";
    case 2: return "Dialing";
    case 3: return "Dial Complete";
    case 5: return "Authorizing";
    case 14: return "Authorized";
    case 0x2000: return "Connection Complete";
    default: return ".....";
  }
}

}  // namespace

CRasAccess::CRasAccess() = default;

CRasAccess::~CRasAccess() {
  cancelFlag_ = 1;
  if (hangUpOnDestroy_ && handle_) HangUp();
  CRasAccess* self = this;
  g_dialTarget.compare_exchange_strong(self, nullptr);
  FreeModules();
  delete[] devices_;
  delete[] connections_;
  delete[] entries_;
}

void CRasAccess::FreeModules() {
  if (rnaph_) FreeLibrary(rnaph_);
  if (rasapi_) FreeLibrary(rasapi_);
  rnaph_ = rasapi_ = nullptr;
  for (FARPROC& f : fn_) f = nullptr;
  loaded_ = false;
}

int CRasAccess::Load() {
  if (loaded_) return 0;
  FreeModules();  // a failed earlier load is retried from the start
  rasapi_ = LoadLibraryA("RASAPI32.DLL");
  if (!rasapi_) {
    DropLastErrorText();
    return kErrRasNotLoaded;
  }
  for (int i = 0; i < kSlotCount; ++i) fn_[i] = GetProcAddress(rasapi_, kSlotNames[i]);
  if (!fn_[kRasEnumDevices]) {
    // The first dial-up networking keeps the entry functions in RNAPH.DLL; dialling, hang-up,
    // status and the other two enumerations are never taken from there.
    rnaph_ = LoadLibraryA("RNAPH.DLL");
    if (!rnaph_) {
      DropLastErrorText();
      return kErrRasNotLoaded;
    }
    static const struct { Slot slot; const char* name; } kFallback[] = {
        {kRasEnumDevices, "RasEnumDevicesA"}, {kRasCreatePhonebookEntry, "RasCreatePhonebookEntryFuncA"},
        {kRasEditPhonebookEntry, "RasEditPhonebookEntryA"}, {kRasSetEntryDialParams, "RasSetEntryDialParamsA"},
        {kRasGetEntryDialParams, "RasGetEntryDialParamsA"}, {kRasGetCountryInfo, "RasGetCountryInfoA"},
        {kRasGetEntryProperties, "RasGetEntryPropertiesA"}, {kRasSetEntryProperties, "RasSetEntryPropertiesA"},
        {kRasRenameEntry, "RasRenameEntryA"}, {kRasDeleteEntry, "RasDeleteEntryA"},
        {kRasValidateEntryName, "RasValidateEntryNameA"}};
    for (const auto& f : kFallback)
      if (!fn_[f.slot]) fn_[f.slot] = GetProcAddress(rnaph_, f.name);
    if (!fn_[kRasEnumDevices]) return kErrRasNotLoaded;
  }
  for (FARPROC f : fn_)
    if (!f) return kErrRasNotLoaded;
  // Probe: a RAS whose manager did not start answers the status query with 711.
  RASCONNSTATUSA status = {};
  status.dwSize = sizeof status;
  DWORD rc;
  try {
    rc = Fn<PFN_RasGetConnectStatusA>(kRasGetConnectStatus)(handle_, &status);
  } catch (...) {
    rc = RAS_ERROR_RASMAN_CANNOT_INITIALIZE;
  }
  loaded_ = rc != RAS_ERROR_RASMAN_CANNOT_INITIALIZE;
  return loaded_ ? 0 : kErrRasNotLoaded;
}

bool CRasAccess::IsAvailable(Slot slot) {
  if (!loaded_) Load();
  return loaded_ && fn_[slot];
}

int CRasAccess::SetNotifyWindow(HWND window, UINT message) {
  notifyWindow_ = window;
  notifyMessage_ = message;
  return 0;
}

int CRasAccess::Dial(HWND, const char* entry, std::string prefix, const char* user, const char* password) {
  dialError_ = 0;
  if (!IsAvailable(kRasDial)) return OnError(kErrRasNotLoaded);
  RasDialFunc(static_cast<UINT>(-1), static_cast<RASCONNSTATE>(-1), static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(this)));
  HangUp();
  finishedFlag_ = 0;
  connectedFlag_ = 0;
  cancelFlag_ = 0;
  progress_ = 0;

  RASDIALPARAMSA params = {};
  params.dwSize = sizeof params;
  if (entry) {
    GetEntryDialParams(entry, &params);
    char local[128] = {}, area[10] = {};
    GetEntryPhoneNumber(entry, local, sizeof local, area, sizeof area);
    // The number replaces the entry's own numbers; one that does not fit the record is not dialled
    // cut short but refused as RAS refuses it.
    if (!AssembleDialNumber(params.szPhoneNumber, sizeof params.szPhoneNumber, prefix.c_str(), area, local)) {
      lastResult_ = dialError_ = RAS_ERROR_PHONE_NUMBER_TOO_LONG;
      return OnError(kErrDialAttempt);
    }
  }
  if (user) CopyLimited(params.szUserName, RAS_UserNameLength, user);
  if (password) CopyLimited(params.szPassword, RAS_PasswordLength, password);
  params.szDomain[0] = 0;

  DWORD rc = Fn<PFN_RasDialA>(kRasDial)(nullptr, nullptr, &params, 0, reinterpret_cast<void*>(&RasDialFunc),
                                       &handle_);
  lastResult_ = rc;
  SecureZeroMemory(params.szPassword, sizeof params.szPassword);
  if (rc == 0) {
    while (!finishedFlag_ && !cancelFlag_) {
      MSG msg;
      if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT || msg.message == WM_CLOSE) break;
        if (GetMessageA(&msg, nullptr, 0, 0) > 0) {
          TranslateMessage(&msg);
          DispatchMessageA(&msg);
        }
      } else if (sleep_ == &DefaultSleep) {
        // A sleep of 50 ms that ends early when the callback sends its progress message.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      } else {
        sleep_(50);
      }
    }
  }
  if (connectedFlag_) return 0;
  // The RAS error that ended the dial: RasDialA's own, else the one the last state came with.
  dialError_ = rc != 0 ? rc : static_cast<DWORD>(static_cast<unsigned>(progress_.load()) >> 16);
  HangUp();
  return OnError(rc != 0 ? kErrDialAttempt : kErrDialProcess);
}

void WINAPI CRasAccess::RasDialFunc(UINT message, RASCONNSTATE state, DWORD error) {
  if (message == static_cast<UINT>(-1) && state == static_cast<RASCONNSTATE>(-1)) {
    g_dialTarget = reinterpret_cast<CRasAccess*>(static_cast<ULONG_PTR>(error));
    return;
  }
  CRasAccess* target = g_dialTarget;
  if (!target) return;
  int progress = static_cast<int>((error << 16) | (state & 0xFFFF));
  target->progress_ = progress;
  if (target->notifyWindow_)
    SendMessageA(target->notifyWindow_, target->notifyMessage_, static_cast<WPARAM>(static_cast<unsigned>(progress)),
                 reinterpret_cast<LPARAM>(StateText(state)));
  if (error != 0 || state == RASCS_Connected) {
    target->connectedFlag_ = state == RASCS_Connected && error == 0;
    target->finishedFlag_ = 1;
  }
}

int CRasAccess::IsConnected() {
  if (!IsAvailable(kRasGetConnectStatus)) return 0;
  RASCONNSTATUSA status = {};
  status.dwSize = sizeof status;
  DWORD rc = Fn<PFN_RasGetConnectStatusA>(kRasGetConnectStatus)(handle_, &status);
  lastResult_ = rc;
  return rc == 0 && status.rasconnstate == RASCS_Connected ? 1 : 0;
}

int CRasAccess::HangUp() {
  int rc = HangUpConnection(handle_);
  if (rc == 0) handle_ = nullptr;
  return rc;
}

int CRasAccess::HangUpConnection(HRASCONN connection) {
  if (!IsAvailable(kRasHangUp)) return OnError(kErrRasNotLoaded);
  if (!connection) return kErrRasHandle;
  DWORD rc = Fn<PFN_RasHangUpA>(kRasHangUp)(connection);
  lastResult_ = rc;
  auto status = Fn<PFN_RasGetConnectStatusA>(kRasGetConnectStatus);
  if (status) {
    RASCONNSTATUSA st = {};
    st.dwSize = sizeof st;
    if (status(connection, &st) != RAS_ERROR_INVALID_HANDLE) {
      // Wait for the line to go down; a RAS that keeps failing otherwise is not waited for forever.
      for (int poll = 0; poll < kHangUpPolls; ++poll) {
        sleep_(500);
        st.dwSize = sizeof st;
        DWORD s = status(connection, &st);
        if (s == RAS_ERROR_INVALID_HANDLE || (s == 0 && st.rasconnstate == RASCS_Disconnected)) break;
      }
      sleep_(500);
    }
  } else {
    sleep_(4000);
  }
  OnError(static_cast<int>(rc));
  return 0;
}

int CRasAccess::EnumDevices() {
  if (!IsAvailable(kRasEnumDevices)) return OnError(kErrRasNotLoaded);
  auto fn = Fn<PFN_RasEnumDevicesA>(kRasEnumDevices);
  DWORD size = 0, count = 0;
  lastResult_ = fn(nullptr, &size, &count);
  size_t records = EnumTableRecords(size, sizeof(RASDEVINFOA));
  RASDEVINFOA* table = new RASDEVINFOA[records]();
  table[0].dwSize = sizeof(RASDEVINFOA);
  size = static_cast<DWORD>(records * sizeof(RASDEVINFOA));
  DWORD rc = fn(table, &size, &count);
  lastResult_ = rc;
  if (rc != 0) {
    delete[] table;
    return OnError(kErrRasEnum);
  }
  delete[] devices_;
  devices_ = table;
  deviceCount_ = static_cast<int>(count < records ? count : records);
  return 0;
}

int CRasAccess::GetDeviceCount() {
  if (!IsAvailable(kRasEnumDevices) || !devices_) return -1;
  return deviceCount_;
}

int CRasAccess::GetDevice(RASDEVINFOA* out, int index) {
  if (!IsAvailable(kRasEnumDevices)) return OnError(kErrRasNotLoaded);
  if (!devices_) return OnError(kErrFailed);
  if (index < 0 || index >= deviceCount_) return OnError(kErrIndexRange);
  if (!out) return OnError(kErrNullBuffer);
  *out = devices_[index];
  return 0;
}

int CRasAccess::EnumConnections() {
  if (!IsAvailable(kRasEnumConnections)) return OnError(kErrRasNotLoaded);
  auto fn = Fn<PFN_RasEnumConnectionsA>(kRasEnumConnections);
  RASCONNA* table = new RASCONNA[1]();
  table[0].dwSize = sizeof(RASCONNA);
  DWORD size = sizeof(RASCONNA), count = 0;
  DWORD rc = fn(table, &size, &count);
  lastResult_ = rc;
  if (count == 0) {
    delete[] table;
    delete[] connections_;
    connections_ = nullptr;
    connectionCount_ = 0;
    return 0;
  }
  if (rc != 0) {
    delete[] table;
    table = new RASCONNA[count]();
    table[0].dwSize = sizeof(RASCONNA);
    size = static_cast<DWORD>(count * sizeof(RASCONNA));
    rc = fn(table, &size, &count);
    lastResult_ = rc;
    if (rc != 0) {
      delete[] table;
      return OnError(kErrRasEnum);
    }
  }
  delete[] connections_;
  connections_ = table;
  connectionCount_ = static_cast<int>(count);
  return 0;
}

int CRasAccess::GetConnectionCount() {
  if (!IsAvailable(kRasEnumConnections)) return -1;
  return connectionCount_;
}

int CRasAccess::GetConnection(RASCONNA* out, int index) {
  if (!IsAvailable(kRasEnumConnections)) return OnError(kErrRasNotLoaded);
  if (!connections_) return OnError(kErrFailed);
  if (index < 0 || index >= connectionCount_) return OnError(kErrIndexRange);
  if (!out) return OnError(kErrNullBuffer);
  *out = connections_[index];
  return 0;
}

int CRasAccess::EnumEntries() {
  if (!IsAvailable(kRasEnumEntries)) return OnError(kErrRasNotLoaded);
  auto fn = Fn<PFN_RasEnumEntriesA>(kRasEnumEntries);
  RASENTRYNAMEA probe = {};
  probe.dwSize = sizeof probe;
  DWORD size = sizeof probe, count = 0;
  lastResult_ = fn(nullptr, nullptr, &probe, &size, &count);
  size_t records = EnumTableRecords(size, sizeof(RASENTRYNAMEA));
  RASENTRYNAMEA* table = new RASENTRYNAMEA[records]();
  table[0].dwSize = sizeof(RASENTRYNAMEA);
  size = static_cast<DWORD>(records * sizeof(RASENTRYNAMEA));
  DWORD rc = fn(nullptr, nullptr, table, &size, &count);
  lastResult_ = rc;
  if (rc != 0) {
    delete[] table;
    return OnError(kErrRasEnum);
  }
  delete[] entries_;
  entries_ = table;
  entryCount_ = static_cast<int>(count < records ? count : records);
  return 0;
}

int CRasAccess::GetEntryCount() {
  if (!IsAvailable(kRasEnumEntries) || !entries_) return -1;
  return entryCount_;
}

int CRasAccess::GetEntryName(RASENTRYNAMEA* out, int index) {
  if (!IsAvailable(kRasEnumEntries)) return OnError(kErrRasNotLoaded);
  if (!entries_) return OnError(kErrFailed);
  if (index < 0 || index >= entryCount_) return OnError(kErrIndexRange);
  if (!out) return OnError(kErrNullBuffer);
  *out = entries_[index];
  return 0;
}

int CRasAccess::SetEntryProperties(const char* entry, RASENTRYA* record, DWORD size) {
  if (!IsAvailable(kRasSetEntryProperties)) return OnError(kErrRasNotLoaded);
  DWORD rc = Fn<PFN_RasSetEntryPropertiesA>(kRasSetEntryProperties)(nullptr, entry, record, size, nullptr, 0);
  lastResult_ = rc;
  return rc == 0 ? 0 : OnError(kErrFailed);
}

int CRasAccess::GetEntryProperties(const char* entry, RASENTRYA* record, DWORD* size) {
  if (!IsAvailable(kRasGetEntryProperties)) return OnError(kErrRasNotLoaded);
  DWORD rc = Fn<PFN_RasGetEntryPropertiesA>(kRasGetEntryProperties)(nullptr, entry, record, size, nullptr, nullptr);
  lastResult_ = rc;
  if (rc == 0) return 0;
  return OnError(rc == RAS_ERROR_BUFFER_TOO_SMALL ? kErrBufferShort : kErrFailed);
}

bool CRasAccess::IsEntryMissing(const char* entry) {
  if (!IsAvailable(kRasGetEntryProperties)) return OnError(kErrRasNotLoaded) != 0;
  DWORD size = 0;
  DWORD rc = Fn<PFN_RasGetEntryPropertiesA>(kRasGetEntryProperties)(nullptr, entry, nullptr, &size, nullptr, nullptr);
  lastResult_ = rc;
  return rc != 0 && rc != RAS_ERROR_BUFFER_TOO_SMALL;
}

int CRasAccess::SetEntryDialParams(const char* entry, RASDIALPARAMSA* params, BOOL removePassword) {
  if (!IsAvailable(kRasSetEntryDialParams)) return OnError(kErrRasNotLoaded);
  if (!params) return OnError(kErrNullBuffer);
  CopyLimited(params->szEntryName, RAS_MaxEntryName, entry);
  DWORD rc = Fn<PFN_RasSetEntryDialParamsA>(kRasSetEntryDialParams)(nullptr, params, removePassword);
  lastResult_ = rc;
  return rc == 0 ? 0 : OnError(kErrFailed);
}

int CRasAccess::GetEntryDialParams(const char* entry, RASDIALPARAMSA* params, BOOL* passwordSaved) {
  if (!IsAvailable(kRasGetEntryDialParams)) return OnError(kErrRasNotLoaded);
  if (!params) return OnError(kErrNullBuffer);
  CopyLimited(params->szEntryName, RAS_MaxEntryName, entry);
  BOOL saved = FALSE;
  DWORD rc = Fn<PFN_RasGetEntryDialParamsA>(kRasGetEntryDialParams)(nullptr, params, &saved);
  lastResult_ = rc;
  if (rc != 0) return OnError(kErrFailed);
  if (passwordSaved) *passwordSaved = saved;
  return 0;
}

int CRasAccess::GetEntryPhoneNumber(const char* entry, char* number, int numberSize, char* areaCode, int areaSize) {
  if (!IsAvailable(kRasGetEntryProperties)) return OnError(kErrRasNotLoaded);
  auto fn = Fn<PFN_RasGetEntryPropertiesA>(kRasGetEntryProperties);
  DWORD size = 0;
  lastResult_ = fn(nullptr, entry, nullptr, &size, nullptr, nullptr);
  if (size < sizeof(RASENTRYA)) size = sizeof(RASENTRYA);
  std::vector<char> buffer(size);
  RASENTRYA* record = reinterpret_cast<RASENTRYA*>(buffer.data());
  record->dwSize = sizeof(RASENTRYA);
  DWORD rc = fn(nullptr, entry, record, &size, nullptr, nullptr);
  lastResult_ = rc;
  if (rc != 0) return OnError(kErrFailed);
  if (number && numberSize > 0) CopyToField(number, static_cast<size_t>(numberSize), record->szLocalPhoneNumber);
  if (areaCode && areaSize > 0) CopyToField(areaCode, static_cast<size_t>(areaSize), record->szAreaCode);
  return 0;
}

int CRasAccess::GetEntryUserName(const char* entry, char* buffer, int size) {
  if (!IsAvailable(kRasGetEntryDialParams)) return OnError(kErrRasNotLoaded);
  RASDIALPARAMSA params = {};
  params.dwSize = sizeof params;
  CopyLimited(params.szEntryName, RAS_MaxEntryName, entry);
  BOOL saved = FALSE;
  DWORD rc = Fn<PFN_RasGetEntryDialParamsA>(kRasGetEntryDialParams)(nullptr, &params, &saved);
  lastResult_ = rc;
  if (rc != 0) return OnError(static_cast<int>(rc));
  if (!buffer) return OnError(kErrNullBuffer);
  // The name needs its terminator inside the buffer as well.
  if (size <= 0 || !CopyToField(buffer, static_cast<size_t>(size), params.szUserName)) return OnError(kErrBufferShort);
  return 0;
}

int CRasAccess::GetEntryPassword(const char* entry, char* buffer, int size, BOOL* saved) {
  if (!IsAvailable(kRasGetEntryDialParams)) return OnError(kErrRasNotLoaded);
  RASDIALPARAMSA params = {};
  params.dwSize = sizeof params;
  CopyLimited(params.szEntryName, RAS_MaxEntryName, entry);
  BOOL flag = FALSE;
  DWORD rc = Fn<PFN_RasGetEntryDialParamsA>(kRasGetEntryDialParams)(nullptr, &params, &flag);
  lastResult_ = rc;
  if (saved) *saved = flag == 1;
  int result = 0;
  if (rc != 0) {
    result = OnError(static_cast<int>(rc));
  } else if (!buffer) {
    result = OnError(kErrNullBuffer);
  } else if (size <= 0 || !CopyToField(buffer, static_cast<size_t>(size), params.szPassword)) {
    result = OnError(kErrBufferShort);
  }
  SecureZeroMemory(params.szPassword, sizeof params.szPassword);
  return result;
}

int CRasAccess::ValidateEntryName(const char* entry) {
  if (!IsAvailable(kRasValidateEntryName)) return OnError(kErrRasNotLoaded);
  DWORD rc = Fn<PFN_RasValidateEntryNameA>(kRasValidateEntryName)(nullptr, entry);
  lastResult_ = rc;
  return rc == 0 ? 0 : OnError(kErrFailed);
}

int CRasAccess::DeleteEntry(const char* entry) {
  if (!IsAvailable(kRasDeleteEntry)) return OnError(kErrRasNotLoaded);
  DWORD rc = Fn<PFN_RasDeleteEntryA>(kRasDeleteEntry)(nullptr, entry);
  lastResult_ = rc;
  return rc == 0 ? 0 : OnError(kErrFailed);
}

int CRasAccess::EditEntry(HWND parent, const char* entry) {
  if (!IsAvailable(kRasEditPhonebookEntry)) return OnError(kErrRasNotLoaded);
  DWORD rc = Fn<PFN_RasEditPhonebookEntryA>(kRasEditPhonebookEntry)(parent, nullptr, entry);
  lastResult_ = rc;
  return rc == 0 ? 0 : OnError(kErrFailed);
}

const char* CRasAccess::GetRasErrorText(unsigned code) { return RasErrorText(code); }
