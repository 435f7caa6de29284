// The RAS stand-in as a RAS client sees it: record sizes are checked, the phone book keeps entries
// and credentials in its file, dials run their states on a thread of their own, and every call is
// logged. Runs under Wine with rasapi32.dll beside the program.
#include "../RasSimRecords.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace rassim;

namespace {

struct Ras {
  HMODULE dll = LoadLibraryA("RASAPI32.DLL");
  template <typename F>
  F Get(const char* name) { return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name))); }
  DWORD(WINAPI* Dial)(void*, LPCSTR, DialParams*, DWORD, void*, HANDLE*) = Get<decltype(Dial)>("RasDialA");
  DWORD(WINAPI* HangUp)(HANDLE) = Get<decltype(HangUp)>("RasHangUpA");
  DWORD(WINAPI* Status)(HANDLE, ConnStatus*) = Get<decltype(Status)>("RasGetConnectStatusA");
  DWORD(WINAPI* EnumConns)(Conn*, DWORD*, DWORD*) = Get<decltype(EnumConns)>("RasEnumConnectionsA");
  DWORD(WINAPI* EnumEntries)(LPCSTR, LPCSTR, EntryName*, DWORD*, DWORD*) =
      Get<decltype(EnumEntries)>("RasEnumEntriesA");
  DWORD(WINAPI* EnumDevices)(DevInfo*, DWORD*, DWORD*) = Get<decltype(EnumDevices)>("RasEnumDevicesA");
  DWORD(WINAPI* SetParams)(LPCSTR, DialParams*, BOOL) = Get<decltype(SetParams)>("RasSetEntryDialParamsA");
  DWORD(WINAPI* GetParams)(LPCSTR, DialParams*, BOOL*) = Get<decltype(GetParams)>("RasGetEntryDialParamsA");
  DWORD(WINAPI* GetProps)(LPCSTR, LPCSTR, Entry*, DWORD*, BYTE*, DWORD*) =
      Get<decltype(GetProps)>("RasGetEntryPropertiesA");
  DWORD(WINAPI* SetProps)(LPCSTR, LPCSTR, Entry*, DWORD, BYTE*, DWORD) =
      Get<decltype(SetProps)>("RasSetEntryPropertiesA");
  DWORD(WINAPI* Rename)(LPCSTR, LPCSTR, LPCSTR) = Get<decltype(Rename)>("RasRenameEntryA");
  DWORD(WINAPI* Delete)(LPCSTR, LPCSTR) = Get<decltype(Delete)>("RasDeleteEntryA");
  DWORD(WINAPI* Validate)(LPCSTR, LPCSTR) = Get<decltype(Validate)>("RasValidateEntryNameA");
};

std::string g_dir;

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class RasSim : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int n = 0;
    g_dir = std::string(tmp) + "rassim-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++n) + "\\";
    CreateDirectoryA(g_dir.c_str(), nullptr);
    SetEnvironmentVariableA("RASSIM_CONFIG", (g_dir + "rassim.ini").c_str());
    Configure("StepMs", "1");
    ASSERT_NE(ras.dll, nullptr);
  }
  void Configure(const char* key, const char* value) {
    WritePrivateProfileStringA("rassim", key, value, (g_dir + "rassim.ini").c_str());
  }
  std::string Log() { return Slurp(g_dir + "rassim.log"); }
  void MakeEntry(const char* name, const char* device = "Standardmodem") {
    Entry e = {};
    e.dwSize = sizeof e;
    strcpy(e.szLocalPhoneNumber, "0192658");
    strcpy(e.szDeviceType, "modem");
    strcpy(e.szDeviceName, device);
    strcpy(e.szAutodialDll, "C:\\Corvalen\\corvai.dll");
    strcpy(e.szAutodialFunc, "AutoDialFunc");
    e.dwfOptions = 0x118;
    ASSERT_EQ(ras.SetProps(nullptr, name, &e, sizeof e, nullptr, 0), 0u);
  }
  Ras ras;
};

TEST_F(RasSim, RefusesRecordsOfAnotherSize) {
  MakeEntry("Probe");
  DialParams p = {};
  p.dwSize = 1060;  // the newer layout
  strcpy(p.szEntryName, "Probe");
  HANDLE h;
  EXPECT_EQ(ras.Dial(nullptr, nullptr, &p, 0, nullptr, &h), kErrInvalidSize);
  EXPECT_EQ(ras.SetParams(nullptr, &p, FALSE), kErrInvalidSize);
  EXPECT_EQ(ras.GetParams(nullptr, &p, nullptr), kErrInvalidSize);
  ConnStatus st = {};
  st.dwSize = 288;
  EXPECT_EQ(ras.Status(nullptr, &st), kErrInvalidSize);
  Conn c = {};
  c.dwSize = 704;
  DWORD cb = sizeof c, count = 0;
  EXPECT_EQ(ras.EnumConns(&c, &cb, &count), kErrInvalidSize);
  EntryName en = {};
  en.dwSize = 532;
  cb = sizeof en;
  EXPECT_EQ(ras.EnumEntries(nullptr, nullptr, &en, &cb, &count), kErrInvalidSize);
  Entry e = {};
  e.dwSize = 2884;
  cb = sizeof e;
  EXPECT_EQ(ras.GetProps(nullptr, "Probe", &e, &cb, nullptr, nullptr), kErrInvalidSize);
  EXPECT_EQ(ras.SetProps(nullptr, "Probe", &e, sizeof e, nullptr, 0), kErrInvalidSize);
  DevInfo d = {};
  d.dwSize = 100;
  cb = sizeof d;
  EXPECT_EQ(ras.EnumDevices(&d, &cb, &count), kErrInvalidSize);
  EXPECT_NE(Log().find("RasDialA size=1060 -> 632"), std::string::npos);
}

TEST_F(RasSim, PhonebookKeepsEntriesAndCredentialsInItsFile) {
  MakeEntry("Corvalen2000");
  std::string pbk = Slurp(g_dir + "rassim.pbk");
  EXPECT_NE(pbk.find("[Corvalen2000]"), std::string::npos);
  EXPECT_NE(pbk.find("PhoneNumber=0192658"), std::string::npos);
  EXPECT_NE(pbk.find("AutodialDll=C:\\Corvalen\\corvai.dll"), std::string::npos);
  EXPECT_NE(pbk.find("Options=280"), std::string::npos);

  Entry e = {};
  e.dwSize = sizeof e;
  DWORD cb = 0;
  EXPECT_EQ(ras.GetProps(nullptr, "Corvalen2000", nullptr, &cb, nullptr, nullptr), kErrBufferTooSmall);
  EXPECT_EQ(cb, 1768u);
  EXPECT_EQ(ras.GetProps(nullptr, "Corvalen2000", &e, &cb, nullptr, nullptr), 0u);
  EXPECT_STREQ(e.szAutodialFunc, "AutoDialFunc");
  EXPECT_EQ(ras.GetProps(nullptr, "Fehlt", nullptr, &cb, nullptr, nullptr), kErrEntryNotFound);

  DialParams p = {};
  p.dwSize = sizeof p;
  strcpy(p.szEntryName, "Corvalen2000");
  strcpy(p.szUserName, "QZJ");
  strcpy(p.szPassword, "geheim");
  EXPECT_EQ(ras.SetParams(nullptr, &p, FALSE), 0u);
  DialParams q = {};
  q.dwSize = sizeof q;
  strcpy(q.szEntryName, "Corvalen2000");
  BOOL saved = FALSE;
  EXPECT_EQ(ras.GetParams(nullptr, &q, &saved), 0u);
  EXPECT_STREQ(q.szUserName, "QZJ");
  EXPECT_STREQ(q.szPassword, "geheim");
  EXPECT_TRUE(saved);
  EXPECT_EQ(ras.SetParams(nullptr, &p, TRUE), 0u);  // remove the password
  EXPECT_EQ(ras.GetParams(nullptr, &q, &saved), 0u);
  EXPECT_STREQ(q.szPassword, "");
  EXPECT_FALSE(saved);
  EXPECT_EQ(Slurp(g_dir + "rassim.pbk").find("geheim"), std::string::npos);
}

TEST_F(RasSim, NamesRenameDeleteAndDevices) {
  MakeEntry("Alpha");
  EXPECT_EQ(ras.Validate(nullptr, "Alpha"), kErrAlreadyExists);
  EXPECT_EQ(ras.Validate(nullptr, "ALPHA"), kErrAlreadyExists);
  EXPECT_EQ(ras.Validate(nullptr, "Beta"), 0u);
  EXPECT_EQ(ras.Validate(nullptr, ""), kErrInvalidName);
  EXPECT_EQ(ras.Rename(nullptr, "Alpha", "Beta"), 0u);
  EXPECT_EQ(ras.Validate(nullptr, "Alpha"), 0u);
  EntryName names[2] = {};
  names[0].dwSize = sizeof names[0];
  DWORD cb = sizeof names[0], count = 0;
  EXPECT_EQ(ras.EnumEntries(nullptr, nullptr, names, &cb, &count), 0u);
  EXPECT_EQ(count, 1u);
  EXPECT_STREQ(names[0].szEntryName, "Beta");
  EXPECT_EQ(ras.Delete(nullptr, "Beta"), 0u);
  EXPECT_EQ(ras.Delete(nullptr, "Beta"), kErrEntryNotFound);

  // Devices: a table too small is reported with the size needed; an unknown device is refused with 87.
  DevInfo d[3] = {};
  d[0].dwSize = sizeof d[0];
  cb = sizeof d[0];
  EXPECT_EQ(ras.EnumDevices(d, &cb, &count), kErrBufferTooSmall);
  EXPECT_EQ(cb, 2 * 152u);
  EXPECT_EQ(ras.EnumDevices(d, &cb, &count), 0u);
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(d[1].szDeviceType, "isdn");
  Entry e = {};
  e.dwSize = sizeof e;
  strcpy(e.szDeviceName, "Kein Modem");
  EXPECT_EQ(ras.SetProps(nullptr, "Gamma", &e, sizeof e, nullptr, 0), kErrInvalidParameter);
  Configure("Devices", "none");
  cb = sizeof d;
  EXPECT_EQ(ras.EnumDevices(d, &cb, &count), 0u);
  EXPECT_EQ(count, 0u);
}

std::vector<std::pair<DWORD, DWORD>> g_events;
CRITICAL_SECTION g_eventsLock;
const bool g_lockReady = (InitializeCriticalSection(&g_eventsLock), true);
std::atomic<DWORD> g_callbackThread{0};

void WINAPI Notifier(UINT msg, DWORD state, DWORD error) {
  EnterCriticalSection(&g_eventsLock);
  g_events.push_back({state, error});
  g_callbackThread = GetCurrentThreadId();
  LeaveCriticalSection(&g_eventsLock);
}

std::vector<std::pair<DWORD, DWORD>> WaitForEnd(size_t minimum = 1) {
  for (int i = 0; i < 400; ++i) {
    EnterCriticalSection(&g_eventsLock);
    bool done = !g_events.empty() && (g_events.back().second != 0 || g_events.back().first == kConnected);
    auto copy = g_events;
    LeaveCriticalSection(&g_eventsLock);
    if (done && copy.size() >= minimum) return copy;
    Sleep(5);
  }
  return g_events;
}

HANDLE StartDial(Ras& ras, const char* password = "pw") {
  EnterCriticalSection(&g_eventsLock);
  g_events.clear();
  LeaveCriticalSection(&g_eventsLock);
  DialParams p = {};
  p.dwSize = sizeof p;
  strcpy(p.szEntryName, "Corvalen2000");
  strcpy(p.szPhoneNumber, "00301234567");
  strcpy(p.szUserName, "QZJ");
  strcpy(p.szPassword, password);
  HANDLE h = nullptr;
  EXPECT_EQ(ras.Dial(nullptr, nullptr, &p, 0, reinterpret_cast<void*>(Notifier), &h), 0u);
  EXPECT_NE(h, nullptr);
  return h;
}

TEST_F(RasSim, DialRunsItsStatesOnAThreadOfItsOwn) {
  MakeEntry("Corvalen2000");
  HANDLE h = StartDial(ras);
  auto events = WaitForEnd();
  std::vector<std::pair<DWORD, DWORD>> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0},
                                                   {5, 0}, {14, 0}, {0x2000, 0}};
  EXPECT_EQ(events, expected);
  EXPECT_NE(g_callbackThread.load(), GetCurrentThreadId());
  ConnStatus st = {};
  st.dwSize = sizeof st;
  EXPECT_EQ(ras.Status(h, &st), 0u);
  EXPECT_EQ(st.rasconnstate, kConnected);
  EXPECT_STREQ(st.szDeviceName, "Standardmodem");
  Conn conns[2] = {};
  conns[0].dwSize = sizeof conns[0];
  DWORD cb = sizeof conns, count = 0;
  EXPECT_EQ(ras.EnumConns(conns, &cb, &count), 0u);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(conns[0].hrasconn, h);
  EXPECT_STREQ(conns[0].szEntryName, "Corvalen2000");
  EXPECT_EQ(ras.HangUp(h), 0u);
  EXPECT_EQ(ras.Status(h, &st), kErrInvalidHandle);
  EXPECT_EQ(ras.EnumConns(conns, &cb, &count), 0u);
  EXPECT_EQ(count, 0u);
  std::string log = Log();
  EXPECT_NE(log.find("rasapi32 RasDialA size=1052 entry=\"Corvalen2000\" phone=\"00301234567\" user=\"QZJ\" "
                     "password=\"pw\" domain=\"\" notifier=0 outcome=connect handle=1 -> 0"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("RasHangUpA handle=1 entry=\"Corvalen2000\" -> 0"), std::string::npos);
}

TEST_F(RasSim, ConfiguredFailuresEndTheDialWithTheirCodes) {
  MakeEntry("Corvalen2000");
  Configure("Outcome", "busy,noanswer,badpassword,nodialtone,connect");
  struct Case { DWORD state, error; } cases[] = {
      {kConnectDevice, kErrLineBusy}, {kConnectDevice, kErrNoAnswer}, {kAuthenticate, kErrAuthFailure},
      {kConnectDevice, kErrNoDialtone}, {kConnected, 0}};
  for (const Case& c : cases) {
    HANDLE h = StartDial(ras);
    auto events = WaitForEnd();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().first, c.state);
    EXPECT_EQ(events.back().second, c.error);
    EXPECT_EQ(ras.HangUp(h), 0u);
  }
  // A password the remote side does not accept, and a device that is gone.
  Configure("Outcome", "connect");
  Configure("Password", "richtig");
  StartDial(ras, "falsch");
  EXPECT_EQ(WaitForEnd().back(), std::make_pair(DWORD(kAuthenticate), DWORD(kErrAuthFailure)));
  Configure("Devices", "isdn,AVM ISDN-Controller");
  StartDial(ras, "richtig");
  EXPECT_EQ(WaitForEnd().back(), std::make_pair(DWORD(kOpenPort), DWORD(kErrPortNotAvailable)));
  Configure("DialResult", "633");
  DialParams p = {};
  p.dwSize = sizeof p;
  HANDLE h;
  EXPECT_EQ(ras.Dial(nullptr, nullptr, &p, 0, reinterpret_cast<void*>(Notifier), &h), 633u);
}

TEST_F(RasSim, LineDropsProbeFailsAndHungUpHandlesAnswerAsConfigured) {
  MakeEntry("Corvalen2000");
  Configure("DropAfterMs", "50");
  HANDLE h = StartDial(ras);
  WaitForEnd();
  ConnStatus st = {};
  st.dwSize = sizeof st;
  EXPECT_EQ(ras.Status(h, &st), 0u);
  EXPECT_EQ(st.rasconnstate, kConnected);
  Sleep(80);
  EXPECT_EQ(ras.Status(h, &st), 0u);
  EXPECT_EQ(st.rasconnstate, kDisconnected);
  EXPECT_EQ(st.dwError, kErrRemoteDisconnect);
  Configure("HangUpStatus", "668");
  EXPECT_EQ(ras.HangUp(h), 0u);
  EXPECT_EQ(ras.Status(h, &st), 668u);
  EXPECT_EQ(ras.Status(nullptr, &st), kErrInvalidHandle);
  Configure("Probe", "fail");
  EXPECT_EQ(ras.Status(nullptr, &st), kErrRasmanInit);
}

TEST_F(RasSim, ConnectionsAreSeenByOtherProcesses) {
  // Another program's connection as the state file lists it, and one the configuration presets.
  WritePrivateProfileStringA("connections", "1.7", "Fremd|isdn|AVM ISDN-Controller", (g_dir + "rassim.state").c_str());
  Configure("Connected", "Vorher");
  Conn conns[3] = {};
  conns[0].dwSize = sizeof conns[0];
  DWORD cb = sizeof conns[0], count = 0;
  EXPECT_EQ(ras.EnumConns(conns, &cb, &count), kErrBufferTooSmall);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(cb, 2 * 412u);
  EXPECT_EQ(ras.EnumConns(conns, &cb, &count), 0u);
  EXPECT_STREQ(conns[0].szEntryName, "Fremd");
  EXPECT_STREQ(conns[1].szEntryName, "Vorher");
  EXPECT_EQ(ras.HangUp(conns[0].hrasconn), 0u);
  EXPECT_EQ(Slurp(g_dir + "rassim.state").find("Fremd"), std::string::npos);
}

}  // namespace
