// A stand-in for the Remote Access Service on machines without dial-up networking.
//
// Built three times from this one file: as rasapi32.dll (the sixteen functions), as the older
// rasapi32.dll of the first dial-up networking (only dialling, hang-up, status and the two
// enumerations of connections and entries) and as rnaph.dll (the entry functions that such an
// installation keeps there). Which functions a DLL exports is decided by its .def file; the module
// name in every log line by RASSIM_MODULE.
//
// What it simulates, as its configuration file says (an INI file named by the environment variable
// RASSIM_CONFIG, else rassim.ini beside the DLL; section [rassim]):
//   Phonebook=  file of the phone book (entries, their properties, stored dial parameters);
//               default rassim.pbk beside the configuration
//   Log=        file every call is appended to, one line each; default rassim.log
//   State=      file of the connections, so another process sees them; default rassim.state
//   Devices=    "type,name;type,name" (default a modem and an ISDN controller); "none" for none
//   Outcome=    per dial attempt, comma-separated, the last one repeating: connect, busy, noanswer,
//               nodialtone, badpassword, nodevice, or a RAS error number
//   Password=   the password the remote side accepts (any when empty)
//   StepMs=     pause before each state of a dial (default 5 ms)
//   DropAfterMs= the line drops this long after the connection is made (0: never)
//   DialResult= RasDialA itself fails with this code
//   Probe=      "fail": RasGetConnectStatusA answers 711 (RAS manager not started)
//   HangUpStatus= what status reports for a hung-up handle: "invalid" (default, code 6),
//               "disconnected", or a RAS error number that it keeps answering
//   Connected=  name of an entry that another program has connected already
//   EntryDlg=   "save" or "cancel": what the user does in the entry dialog (rasdlg.dll)
#include "RasSimRecords.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef RASSIM_MODULE
#define RASSIM_MODULE "rasapi32"
#endif

using namespace rassim;

// The dial notifier of type 0: message, connection state, error.
typedef void(WINAPI* DialNotifier)(UINT, DWORD, DWORD);

namespace {

HMODULE g_module = nullptr;
CRITICAL_SECTION g_lock;

struct Lock {
  Lock() { EnterCriticalSection(&g_lock); }
  ~Lock() { LeaveCriticalSection(&g_lock); }
};

// ---- configuration and files -------------------------------------------------------------------

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(g_module, path, MAX_PATH);
  char* slash = strrchr(path, '\\');
  if (slash) slash[1] = 0;
  return path;
}

std::string ConfigPath() {
  char buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("RASSIM_CONFIG", buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return buf;
  return ModuleFolder() + "rassim.ini";
}

std::string Setting(const char* key, const char* fallback = "") {
  char buf[2048] = {};
  GetPrivateProfileStringA("rassim", key, fallback, buf, sizeof buf, ConfigPath().c_str());
  return buf;
}

int SettingInt(const char* key, int fallback) {
  std::string s = Setting(key);
  return s.empty() ? fallback : atoi(s.c_str());
}

std::string FileSetting(const char* key, const char* defaultName) {
  std::string s = Setting(key);
  if (!s.empty()) return s;
  std::string cfg = ConfigPath();
  size_t slash = cfg.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : cfg.substr(0, slash + 1)) + defaultName;
}

std::string PhonebookPath() { return FileSetting("Phonebook", "rassim.pbk"); }
std::string StatePath() { return FileSetting("State", "rassim.state"); }

void Log(const std::string& line) {
  std::string text = std::string(RASSIM_MODULE) + " " + line + "\r\n";
  HANDLE f = CreateFileA(FileSetting("Log", "rassim.log").c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, text.data(), (DWORD)text.size(), &written, nullptr);
  CloseHandle(f);
}

std::string Q(const char* s) { return std::string("\"") + (s ? s : "(null)") + "\""; }
std::string N(unsigned long v) { return std::to_string(v); }

DWORD Result(std::string line, DWORD rc) {
  Log(line + " -> " + N(rc));
  return rc;
}

// ---- devices -----------------------------------------------------------------------------------

struct Device { std::string type, name; };

std::vector<Device> Devices() {
  std::string list = Setting("Devices", "modem,Standardmodem;isdn,AVM ISDN-Controller");
  std::vector<Device> out;
  if (list == "none") return out;
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t end = list.find(';', pos);
    if (end == std::string::npos) end = list.size();
    std::string item = list.substr(pos, end - pos);
    size_t comma = item.find(',');
    if (comma != std::string::npos) out.push_back({item.substr(0, comma), item.substr(comma + 1)});
    pos = end + 1;
  }
  return out;
}

bool DeviceExists(const char* name) {
  for (const Device& d : Devices())
    if (lstrcmpiA(d.name.c_str(), name) == 0) return true;
  return false;
}

// ---- the phone book: one INI section per entry ------------------------------------------------

void CopyField(char* dst, size_t size, const std::string& src) {
  size_t n = src.size() < size - 1 ? src.size() : size - 1;
  memcpy(dst, src.data(), n);
  dst[n] = 0;
}

// Every field of the entry record with the name it has in the phone-book file.
struct Field { const char* key; size_t offset; size_t size; bool text; };
const Field kEntryFields[] = {
#define DW(k, f) {k, offsetof(Entry, f), sizeof(DWORD), false}
#define TX(k, f) {k, offsetof(Entry, f), sizeof(Entry::f), true}
    DW("Options", dwfOptions), DW("CountryID", dwCountryID), DW("CountryCode", dwCountryCode),
    TX("AreaCode", szAreaCode), TX("PhoneNumber", szLocalPhoneNumber), DW("AlternateOffset", dwAlternateOffset),
    DW("IpAddress", ipaddr), DW("IpDns", ipaddrDns), DW("IpDnsAlt", ipaddrDnsAlt), DW("IpWins", ipaddrWins),
    DW("IpWinsAlt", ipaddrWinsAlt), DW("FrameSize", dwFrameSize), DW("NetProtocols", dwfNetProtocols),
    DW("FramingProtocol", dwFramingProtocol), TX("Script", szScript), TX("AutodialDll", szAutodialDll),
    TX("AutodialFunc", szAutodialFunc), TX("DeviceType", szDeviceType), TX("DeviceName", szDeviceName),
    TX("X25PadType", szX25PadType), TX("X25Address", szX25Address), TX("X25Facilities", szX25Facilities),
    TX("X25UserData", szX25UserData), DW("Channels", dwChannels),
#undef DW
#undef TX
};

std::string PbGet(const char* entry, const char* key) {
  char buf[1024] = {};
  GetPrivateProfileStringA(entry, key, "", buf, sizeof buf, PhonebookPath().c_str());
  return buf;
}

void PbSet(const char* entry, const char* key, const std::string& value) {
  WritePrivateProfileStringA(entry, key, value.c_str(), PhonebookPath().c_str());
}

std::vector<std::string> EntryNames() {
  std::vector<char> buf(65536);
  DWORD n = GetPrivateProfileSectionNamesA(buf.data(), (DWORD)buf.size(), PhonebookPath().c_str());
  std::vector<std::string> out;
  for (DWORD i = 0; i < n && buf[i];) {
    std::string name = buf.data() + i;
    i += (DWORD)name.size() + 1;
    out.push_back(name);
  }
  return out;
}

bool EntryExists(const char* name) {
  if (!name || !*name) return false;
  for (const std::string& e : EntryNames())
    if (lstrcmpiA(e.c_str(), name) == 0) return true;
  return false;
}

void ReadEntry(const char* name, Entry* e) {
  for (const Field& f : kEntryFields) {
    std::string v = PbGet(name, f.key);
    char* at = reinterpret_cast<char*>(e) + f.offset;
    if (f.text) {
      CopyField(at, f.size, v);
    } else {
      DWORD d = strtoul(v.c_str(), nullptr, 10);
      memcpy(at, &d, sizeof d);
    }
  }
}

void WriteEntry(const char* name, const Entry* e) {
  for (const Field& f : kEntryFields) {
    const char* at = reinterpret_cast<const char*>(e) + f.offset;
    if (f.text) {
      PbSet(name, f.key, std::string(at, strnlen(at, f.size)));
    } else {
      DWORD d;
      memcpy(&d, at, sizeof d);
      PbSet(name, f.key, N(d));
    }
  }
}

bool ValidName(const char* name) {
  if (!name || !*name || strlen(name) > (size_t)kMaxEntryName) return false;
  if (name[0] == '.' || strpbrk(name, "[]\\/=;")) return false;  // the file format's own marks
  return true;
}

// ---- connections -------------------------------------------------------------------------------

struct Connection {
  DWORD id = 0;
  std::string entry, deviceType, deviceName, phone, user, password;
  DialNotifier notifier = nullptr;
  volatile LONG state = kOpenPort;
  volatile LONG error = 0;
  volatile LONG hungUp = 0;
  bool failed = false;
  DWORD connectedAt = 0;
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  std::vector<std::pair<DWORD, DWORD>> script;  // (state, error) in order
  DWORD stepMs = 5;
};

std::vector<Connection*> g_connections;  // owned; kept after hang-up so status can answer for them
DWORD g_nextId = 1;
int g_attempt = 0;           // dial attempts since the configured outcome list last changed
std::string g_attemptList;

HANDLE ToHandle(DWORD id) { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x5A000000u + id * 4)); }

Connection* Find(HANDLE h) {
  for (Connection* c : g_connections)
    if (ToHandle(c->id) == h) return c;
  return nullptr;
}

std::string ConnKey(DWORD id) {
  return N(GetCurrentProcessId()) + "." + N(id);
}

// Connections of other processes as the state file lists them: "pid.id=entry|type|name".
struct Foreign { std::string key, entry, type, name; };

std::vector<Foreign> ForeignConnections() {
  std::vector<Foreign> out;
  std::vector<char> buf(65536);
  DWORD n = GetPrivateProfileSectionA("connections", buf.data(), (DWORD)buf.size(), StatePath().c_str());
  std::string mine = N(GetCurrentProcessId()) + ".";
  for (DWORD i = 0; i < n && buf[i];) {
    std::string line = buf.data() + i;
    i += (DWORD)line.size() + 1;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    Foreign f;
    f.key = line.substr(0, eq);
    if (f.key.compare(0, mine.size(), mine) == 0) continue;
    std::string v = line.substr(eq + 1);
    size_t a = v.find('|'), b = a == std::string::npos ? a : v.find('|', a + 1);
    f.entry = v.substr(0, a);
    if (a != std::string::npos) f.type = v.substr(a + 1, b == std::string::npos ? b : b - a - 1);
    if (b != std::string::npos) f.name = v.substr(b + 1);
    out.push_back(f);
  }
  std::string pre = Setting("Connected");
  if (!pre.empty()) out.push_back({"preset", pre, "modem", "Standardmodem"});
  return out;
}

HANDLE ForeignHandle(size_t index) { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x6B000000u + index * 4)); }

bool Dropped(const Connection* c) {
  int drop = SettingInt("DropAfterMs", 0);
  return c->state == (LONG)kConnected && drop > 0 && GetTickCount() - c->connectedAt >= (DWORD)drop;
}

void Notify(Connection* c, DWORD state, DWORD error) {
  c->state = state;
  c->error = error;
  if (c->notifier) c->notifier(0xCCCD /* WM_RASDIALEVENT */, state, error);
}

void RunDial(Connection* c) {
  for (const auto& step : c->script) {
    Sleep(c->stepMs);
    if (c->hungUp) return;
    if (step.first == kConnected) {
      c->connectedAt = GetTickCount();
      WritePrivateProfileStringA("connections", ConnKey(c->id).c_str(),
                                 (c->entry + "|" + c->deviceType + "|" + c->deviceName).c_str(),
                                 StatePath().c_str());
    }
    if (step.second) c->failed = true;
    Notify(c, step.first, step.second);
  }
}

DWORD WINAPI DialThread(void* arg) {
  try {
    RunDial(static_cast<Connection*>(arg));
  } catch (...) {
    // Out of memory while logging: the dial just stops, as a line that went silent.
  }
  return 0;
}

std::vector<std::pair<DWORD, DWORD>> Script(const std::string& outcome, bool deviceOk, bool passwordOk) {
  std::vector<std::pair<DWORD, DWORD>> s;
  if (!deviceOk) return {{kOpenPort, 0}, {kOpenPort, kErrPortNotAvailable}};
  s = {{kOpenPort, 0}, {kPortOpened, 0}, {kConnectDevice, 0}};
  if (outcome == "busy") { s.push_back({kConnectDevice, kErrLineBusy}); return s; }
  if (outcome == "noanswer") { s.push_back({kConnectDevice, kErrNoAnswer}); return s; }
  if (outcome == "nodialtone") { s.push_back({kConnectDevice, kErrNoDialtone}); return s; }
  if (outcome == "nodevice") return {{kOpenPort, 0}, {kOpenPort, kErrPortNotAvailable}};
  if (!outcome.empty() && outcome[0] >= '0' && outcome[0] <= '9') {
    s.push_back({kConnectDevice, (DWORD)atoi(outcome.c_str())});
    return s;
  }
  s.push_back({kDeviceConnected, 0});
  s.push_back({kAllDevicesConnected, 0});
  s.push_back({kAuthenticate, 0});
  if (outcome == "badpassword" || !passwordOk) { s.push_back({kAuthenticate, kErrAuthFailure}); return s; }
  s.push_back({kAuthenticated, 0});
  s.push_back({kConnected, 0});
  return s;
}

std::string OutcomeForAttempt() {
  std::string list = Setting("Outcome", "connect");
  if (list != g_attemptList) {
    g_attemptList = list;
    g_attempt = 0;
  }
  int attempt = g_attempt++;
  std::string last = "connect";
  int i = 0;
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t end = list.find(',', pos);
    if (end == std::string::npos) end = list.size();
    last = list.substr(pos, end - pos);
    if (i == attempt) return last;
    ++i;
    pos = end + 1;
  }
  return last;
}

// Waits for a dial thread to end while still handling messages sent to this thread's windows
// (the thread may be inside a SendMessage to us).
void JoinPumping(Connection* c) {
  if (!c->thread || c->threadId == GetCurrentThreadId()) return;
  DWORD start = GetTickCount();
  while (WaitForSingleObject(c->thread, 0) == WAIT_TIMEOUT && GetTickCount() - start < 5000) {
    MsgWaitForMultipleObjects(1, &c->thread, FALSE, 50, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

// ---- the exports -------------------------------------------------------------------------------

extern "C" {

DWORD WINAPI RasDialA(void* extensions, LPCSTR phonebook, DialParams* params, DWORD notifierType,
                      void* notifier, HANDLE* out) {
  std::string line = "RasDialA";
  if (!params || !out) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + N(params->dwSize);
  if (params->dwSize != sizeof(DialParams)) return Result(line, kErrInvalidSize);
  line += " entry=" + Q(params->szEntryName) + " phone=" + Q(params->szPhoneNumber) + " user=" +
          Q(params->szUserName) + " password=" + Q(params->szPassword) + " domain=" + Q(params->szDomain) +
          " notifier=" + N(notifierType) + (extensions ? " extensions" : "");
  *out = nullptr;
  int dialResult = SettingInt("DialResult", 0);
  if (dialResult) return Result(line, dialResult);
  Entry e = {};
  if (params->szEntryName[0]) {
    if (!EntryExists(params->szEntryName)) return Result(line, kErrEntryNotFound);
    ReadEntry(params->szEntryName, &e);
  }
  Connection* c = new Connection;
  c->entry = params->szEntryName;
  c->deviceType = e.szDeviceType;
  c->deviceName = e.szDeviceName;
  c->phone = params->szPhoneNumber[0] ? params->szPhoneNumber : std::string(e.szAreaCode) + e.szLocalPhoneNumber;
  c->user = params->szUserName;
  c->password = params->szPassword;
  std::string expected = Setting("Password");
  bool passwordOk = expected.empty() || expected == c->password;
  bool deviceOk = DeviceExists(e.szDeviceName);
  std::string outcome;
  {
    Lock lock;
    outcome = OutcomeForAttempt();
  }
  c->script = Script(outcome, deviceOk, passwordOk);
  c->stepMs = SettingInt("StepMs", 5);
  c->notifier = notifierType == 0 ? reinterpret_cast<DialNotifier>(notifier) : nullptr;
  {
    Lock lock;
    c->id = g_nextId++;
    g_connections.push_back(c);
  }
  *out = ToHandle(c->id);
  line += " outcome=" + outcome + " handle=" + N(c->id);
  if (!notifier) {  // synchronous dial: runs the states here and answers with the final error
    DialThread(c);
    return Result(line + " sync", c->error);
  }
  c->thread = CreateThread(nullptr, 0, DialThread, c, 0, &c->threadId);
  return Result(line, 0);
}

DWORD WINAPI RasHangUpA(HANDLE h) {
  std::string line = "RasHangUpA handle=";
  Connection* c;
  {
    Lock lock;
    c = Find(h);
  }
  if (!c) {
    std::vector<Foreign> foreign = ForeignConnections();
    for (size_t i = 0; i < foreign.size(); ++i)
      if (ForeignHandle(i) == h && foreign[i].key != "preset") {
        WritePrivateProfileStringA("connections", foreign[i].key.c_str(), nullptr, StatePath().c_str());
        return Result(line + Q(foreign[i].entry.c_str()), 0);
      }
    return Result(line + "unknown", kErrInvalidHandle);
  }
  line += N(c->id) + " entry=" + Q(c->entry.c_str());
  if (c->hungUp) return Result(line + " again", 0);
  c->hungUp = 1;
  JoinPumping(c);
  if (c->thread && WaitForSingleObject(c->thread, 0) == WAIT_OBJECT_0) {
    CloseHandle(c->thread);
    c->thread = nullptr;
  }
  WritePrivateProfileStringA("connections", ConnKey(c->id).c_str(), nullptr, StatePath().c_str());
  c->state = kDisconnected;
  return Result(line, 0);
}

DWORD WINAPI RasGetConnectStatusA(HANDLE h, ConnStatus* status) {
  std::string line = "RasGetConnectStatusA";
  if (!status) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + N(status->dwSize);
  if (status->dwSize != sizeof(ConnStatus)) return Result(line, kErrInvalidSize);
  if (Setting("Probe") == "fail") return Result(line, kErrRasmanInit);
  Lock lock;
  Connection* c = Find(h);
  if (!c) {
    std::vector<Foreign> foreign = ForeignConnections();
    for (size_t i = 0; i < foreign.size(); ++i)
      if (ForeignHandle(i) == h) {
        status->rasconnstate = kConnected;
        status->dwError = 0;
        CopyField(status->szDeviceType, sizeof status->szDeviceType, foreign[i].type);
        CopyField(status->szDeviceName, sizeof status->szDeviceName, foreign[i].name);
        return Result(line + " foreign state=" + N(kConnected), 0);
      }
    return Result(line + " handle=unknown", kErrInvalidHandle);
  }
  line += " handle=" + N(c->id);
  if (c->hungUp) {
    std::string after = Setting("HangUpStatus", "invalid");
    if (after == "invalid") return Result(line + " hung-up", kErrInvalidHandle);
    if (after != "disconnected") return Result(line + " hung-up", atoi(after.c_str()));
  }
  status->rasconnstate = Dropped(c) ? kDisconnected : (DWORD)c->state;
  status->dwError = Dropped(c) ? kErrRemoteDisconnect : (DWORD)c->error;
  CopyField(status->szDeviceType, sizeof status->szDeviceType, c->deviceType);
  CopyField(status->szDeviceName, sizeof status->szDeviceName, c->deviceName);
  return Result(line + " state=" + N(status->rasconnstate) + " error=" + N(status->dwError), 0);
}

DWORD WINAPI RasEnumConnectionsA(Conn* buf, DWORD* cb, DWORD* count) {
  std::string line = "RasEnumConnectionsA";
  if (!cb || !count) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + (buf ? N(buf->dwSize) : std::string("none")) + " cb=" + N(*cb);
  if (buf && buf->dwSize != sizeof(Conn)) return Result(line, kErrInvalidSize);
  std::vector<Conn> list;
  {
    Lock lock;
    for (Connection* c : g_connections) {
      if (c->hungUp || c->failed) continue;
      Conn r = {sizeof(Conn), ToHandle(c->id), {}, {}, {}};
      CopyField(r.szEntryName, sizeof r.szEntryName, c->entry);
      CopyField(r.szDeviceType, sizeof r.szDeviceType, c->deviceType);
      CopyField(r.szDeviceName, sizeof r.szDeviceName, c->deviceName);
      list.push_back(r);
    }
  }
  std::vector<Foreign> foreign = ForeignConnections();
  for (size_t i = 0; i < foreign.size(); ++i) {
    Conn r = {sizeof(Conn), ForeignHandle(i), {}, {}, {}};
    CopyField(r.szEntryName, sizeof r.szEntryName, foreign[i].entry);
    CopyField(r.szDeviceType, sizeof r.szDeviceType, foreign[i].type);
    CopyField(r.szDeviceName, sizeof r.szDeviceName, foreign[i].name);
    list.push_back(r);
  }
  DWORD needed = (DWORD)(list.size() * sizeof(Conn));
  *count = (DWORD)list.size();
  line += " count=" + N(*count);
  if (*cb < needed || (!buf && needed)) {
    *cb = needed;
    return Result(line, kErrBufferTooSmall);
  }
  *cb = needed;
  for (size_t i = 0; i < list.size(); ++i) buf[i] = list[i];
  return Result(line, 0);
}

DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR phonebook, EntryName* buf, DWORD* cb, DWORD* count) {
  std::string line = "RasEnumEntriesA";
  if (!cb || !count) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + (buf ? N(buf->dwSize) : std::string("none")) + " cb=" + N(*cb);
  if (buf && buf->dwSize != sizeof(EntryName)) return Result(line, kErrInvalidSize);
  std::vector<std::string> names = EntryNames();
  DWORD needed = (DWORD)(names.size() * sizeof(EntryName));
  *count = (DWORD)names.size();
  line += " count=" + N(*count);
  if (*cb < needed || (!buf && needed)) {
    *cb = needed;
    return Result(line, kErrBufferTooSmall);
  }
  *cb = needed;
  for (size_t i = 0; i < names.size(); ++i) {
    buf[i].dwSize = sizeof(EntryName);
    CopyField(buf[i].szEntryName, sizeof buf[i].szEntryName, names[i]);
  }
  return Result(line, 0);
}

DWORD WINAPI RasEnumDevicesA(DevInfo* buf, DWORD* cb, DWORD* count) {
  std::string line = "RasEnumDevicesA";
  if (!cb || !count) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + (buf ? N(buf->dwSize) : std::string("none")) + " cb=" + N(*cb);
  if (buf && buf->dwSize != sizeof(DevInfo)) return Result(line, kErrInvalidSize);
  std::vector<Device> devices = Devices();
  DWORD needed = (DWORD)(devices.size() * sizeof(DevInfo));
  *count = (DWORD)devices.size();
  line += " count=" + N(*count);
  if (*cb < needed || !buf) {
    *cb = needed;
    return Result(line, kErrBufferTooSmall);
  }
  *cb = needed;
  for (size_t i = 0; i < devices.size(); ++i) {
    buf[i].dwSize = sizeof(DevInfo);
    CopyField(buf[i].szDeviceType, sizeof buf[i].szDeviceType, devices[i].type);
    CopyField(buf[i].szDeviceName, sizeof buf[i].szDeviceName, devices[i].name);
  }
  return Result(line, 0);
}

DWORD WINAPI RasCreatePhonebookEntryA(HWND owner, LPCSTR phonebook) {
  return Result("RasCreatePhonebookEntryA phonebook=" + Q(phonebook), 0);
}

DWORD WINAPI RasEditPhonebookEntryA(HWND owner, LPCSTR phonebook, LPCSTR entry) {
  std::string line = "RasEditPhonebookEntryA entry=" + Q(entry);
  if (!EntryExists(entry)) return Result(line, kErrEntryNotFound);
  return Result(line, 0);
}

DWORD WINAPI RasSetEntryDialParamsA(LPCSTR phonebook, DialParams* params, BOOL removePassword) {
  std::string line = "RasSetEntryDialParamsA";
  if (!params) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + N(params->dwSize);
  if (params->dwSize != sizeof(DialParams)) return Result(line, kErrInvalidSize);
  line += " entry=" + Q(params->szEntryName) + " user=" + Q(params->szUserName) + " password=" +
          Q(params->szPassword) + " domain=" + Q(params->szDomain) + " remove=" + N(removePassword);
  if (!EntryExists(params->szEntryName)) return Result(line, kErrEntryNotFound);
  PbSet(params->szEntryName, "User", params->szUserName);
  PbSet(params->szEntryName, "Domain", params->szDomain);
  PbSet(params->szEntryName, "CallbackNumber", params->szCallbackNumber);
  PbSet(params->szEntryName, "Password", removePassword ? "" : params->szPassword);
  PbSet(params->szEntryName, "PasswordSaved", removePassword ? "0" : "1");
  return Result(line, 0);
}

DWORD WINAPI RasGetEntryDialParamsA(LPCSTR phonebook, DialParams* params, BOOL* passwordSaved) {
  std::string line = "RasGetEntryDialParamsA";
  if (!params) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + N(params->dwSize);
  if (params->dwSize != sizeof(DialParams)) return Result(line, kErrInvalidSize);
  line += " entry=" + Q(params->szEntryName);
  if (!EntryExists(params->szEntryName)) return Result(line, kErrEntryNotFound);
  bool saved = PbGet(params->szEntryName, "PasswordSaved") == "1";
  CopyField(params->szUserName, sizeof params->szUserName, PbGet(params->szEntryName, "User"));
  CopyField(params->szPassword, sizeof params->szPassword, saved ? PbGet(params->szEntryName, "Password") : "");
  CopyField(params->szDomain, sizeof params->szDomain, PbGet(params->szEntryName, "Domain"));
  CopyField(params->szCallbackNumber, sizeof params->szCallbackNumber,
            PbGet(params->szEntryName, "CallbackNumber"));
  params->szPhoneNumber[0] = 0;
  if (passwordSaved) *passwordSaved = saved;
  return Result(line + " saved=" + N(saved), 0);
}

DWORD WINAPI RasGetCountryInfoA(CountryInfo* info, DWORD* cb) {
  std::string line = "RasGetCountryInfoA";
  if (!info || !cb) return Result(line + " null", kErrInvalidParameter);
  if (info->dwSize != sizeof(CountryInfo)) return Result(line + " size=" + N(info->dwSize), kErrInvalidSize);
  const char name[] = "Deutschland";
  DWORD needed = sizeof(CountryInfo) + sizeof name;
  if (*cb < needed) {
    *cb = needed;
    return Result(line, kErrBufferTooSmall);
  }
  DWORD id = info->dwCountryID;
  if (id != 0 && id != 49) return Result(line + " id=" + N(id), kErrInvalidParameter);
  info->dwCountryID = 49;
  info->dwNextCountryID = 0;
  info->dwCountryCode = 49;
  info->dwCountryNameOffset = sizeof(CountryInfo);
  memcpy(reinterpret_cast<char*>(info) + sizeof(CountryInfo), name, sizeof name);
  *cb = needed;
  return Result(line, 0);
}

DWORD WINAPI RasGetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, Entry* buf, DWORD* cb, BYTE* devinfo,
                                    DWORD* devinfoSize) {
  std::string line = "RasGetEntryPropertiesA entry=" + Q(entry);
  if (!cb) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + (buf ? N(buf->dwSize) : std::string("none")) + " cb=" + N(*cb);
  if (entry && *entry && !EntryExists(entry)) return Result(line, kErrEntryNotFound);
  if (devinfoSize) *devinfoSize = 0;
  if (!buf || *cb < sizeof(Entry)) {
    *cb = sizeof(Entry);
    return Result(line, kErrBufferTooSmall);
  }
  if (buf->dwSize != sizeof(Entry)) return Result(line, kErrInvalidSize);
  memset(buf, 0, sizeof(Entry));
  buf->dwSize = sizeof(Entry);
  if (entry && *entry) {
    ReadEntry(entry, buf);
  } else {  // the defaults of a new entry
    buf->dwCountryID = 49;
    buf->dwCountryCode = 49;
    buf->dwfNetProtocols = 4;
    buf->dwFramingProtocol = 1;
  }
  *cb = sizeof(Entry);
  return Result(line, 0);
}

DWORD WINAPI RasSetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, Entry* buf, DWORD cb, BYTE* devinfo,
                                    DWORD devinfoSize) {
  std::string line = "RasSetEntryPropertiesA entry=" + Q(entry);
  if (!buf) return Result(line + " null", kErrInvalidParameter);
  line += " size=" + N(buf->dwSize) + " cb=" + N(cb);
  if (buf->dwSize != sizeof(Entry)) return Result(line, kErrInvalidSize);
  if (cb < sizeof(Entry)) return Result(line, kErrBufferInvalid);
  line += " phone=" + Q(buf->szLocalPhoneNumber) + " device=" + Q(buf->szDeviceType) + "," +
          Q(buf->szDeviceName) + " autodial=" + Q(buf->szAutodialDll) + "," + Q(buf->szAutodialFunc);
  if (!ValidName(entry)) return Result(line, kErrInvalidName);
  if (buf->szDeviceName[0] && !DeviceExists(buf->szDeviceName)) return Result(line, kErrInvalidParameter);
  WriteEntry(entry, buf);
  return Result(line, 0);
}

DWORD WINAPI RasRenameEntryA(LPCSTR phonebook, LPCSTR oldName, LPCSTR newName) {
  std::string line = "RasRenameEntryA from=" + Q(oldName) + " to=" + Q(newName);
  if (!EntryExists(oldName)) return Result(line, kErrEntryNotFound);
  if (!ValidName(newName)) return Result(line, kErrInvalidName);
  if (EntryExists(newName) && lstrcmpiA(oldName, newName) != 0) return Result(line, kErrAlreadyExists);
  std::vector<char> buf(32768);
  DWORD n = GetPrivateProfileSectionA(oldName, buf.data(), (DWORD)buf.size(), PhonebookPath().c_str());
  WritePrivateProfileStringA(oldName, nullptr, nullptr, PhonebookPath().c_str());
  buf.resize(n + 2);
  buf[n] = buf[n + 1] = 0;
  WritePrivateProfileSectionA(newName, buf.data(), PhonebookPath().c_str());
  return Result(line, 0);
}

DWORD WINAPI RasDeleteEntryA(LPCSTR phonebook, LPCSTR entry) {
  std::string line = "RasDeleteEntryA entry=" + Q(entry);
  if (!EntryExists(entry)) return Result(line, kErrEntryNotFound);
  WritePrivateProfileStringA(entry, nullptr, nullptr, PhonebookPath().c_str());
  return Result(line, 0);
}

DWORD WINAPI RasValidateEntryNameA(LPCSTR phonebook, LPCSTR entry) {
  std::string line = "RasValidateEntryNameA entry=" + Q(entry);
  if (!ValidName(entry)) return Result(line, kErrInvalidName);
  if (EntryExists(entry)) return Result(line, kErrAlreadyExists);
  return Result(line, 0);
}

// The entry dialog of rasdlg.dll: the user looks at the entry and saves it or cancels.
BOOL WINAPI RasEntryDlgA(LPCSTR phonebook, LPCSTR entry, EntryDlg* info) {
  std::string line = "RasEntryDlgA entry=" + Q(entry);
  if (!info) return (BOOL)Result(line + " null", FALSE);
  line += " size=" + N(info->dwSize) + " flags=" + N(info->dwFlags) + " pos=" + N(info->xDlg) + "," +
          N(info->yDlg) + " owner=" + (info->hwndOwner ? "set" : "none");
  if (info->dwSize != sizeof(EntryDlg)) {
    info->dwError = kErrInvalidSize;
    return (BOOL)Result(line, FALSE);
  }
  if (entry && *entry && !EntryExists(entry)) {
    info->dwError = kErrEntryNotFound;
    return (BOOL)Result(line, FALSE);
  }
  info->dwError = 0;
  if (Setting("EntryDlg", "save") != "save") return (BOOL)Result(line + " cancelled", FALSE);
  CopyField(info->szEntry, sizeof info->szEntry, entry ? entry : "");
  return (BOOL)Result(line + " saved", TRUE);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    InitializeCriticalSection(&g_lock);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // Dial threads have ended or are ended with the process; the records go with it.
    DeleteCriticalSection(&g_lock);
  }
  return TRUE;
}

}  // extern "C"
