// The AutoDial hook: the worker's two phases with an injected clock (so that giving up after 21 s
// costs no time), and the library end to end with a router stand-in on a short schedule, called
// directly and through the AutoDial service stand-in.
#include "AutoDialHook.h"
#include "rassim_fixture.h"
#include "child_process.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// ---- the worker with a clock of its own ----------------------------------------------------------

DWORD g_now = 0;
int g_sleeps = 0;
std::string g_path;
std::vector<std::string> g_started;
void (*g_onSleep)() = nullptr;

DWORD FakeNow() { return g_now; }
void FakeSleep(DWORD ms) {
  g_now += ms;
  ++g_sleeps;
  if (g_onSleep) g_onSleep();
}
std::string FakePath() { return g_path; }
void FakeStart(const std::string& file, const std::string& parameters) { g_started.push_back(file + "|" + parameters); }

std::string g_mutexName;

AutoDialEnvironment FakeEnvironment() {
  static int n = 0;
  g_mutexName = "CorvaiTest" + std::to_string(++n);
  return {&FakeNow, &FakeSleep, &FakePath, &FakeStart, g_mutexName.c_str()};
}

// A thread that owns a mutex until told to end (or ends while owning it).
struct Owner {
  Owner(const std::string& name, bool abandon) : name(name), abandon(abandon) {
    ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
    WaitForSingleObject(ready, 5000);
    if (abandon) WaitForSingleObject(thread, 5000);
  }
  ~Owner() {
    SetEvent(stop);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
    CloseHandle(stop);
    if (mutex) CloseHandle(mutex);
  }
  static DWORD WINAPI Run(void* arg) {
    Owner* self = static_cast<Owner*>(arg);
    self->mutex = CreateMutexA(nullptr, TRUE, self->name.c_str());
    SetEvent(self->ready);
    if (self->abandon) return 0;
    WaitForSingleObject(self->stop, INFINITE);
    ReleaseMutex(self->mutex);
    return 0;
  }
  std::string name;
  bool abandon;
  HANDLE ready, stop, thread, mutex = nullptr;
};

class Worker : public ::testing::Test {
 protected:
  void SetUp() override {
    g_now = 1000000;
    g_sleeps = 0;
    g_path.clear();
    g_started.clear();
    g_onSleep = nullptr;
    env = FakeEnvironment();
  }
  AutoDialEnvironment env;
};

TEST_F(Worker, StartsTheRouterWithItsCommandLine) {
  CAutoDialHook hook(env);
  EXPECT_EQ(hook.CommandLine(), "AfterDll0;0");
  Owner online(g_mutexName, false);
  DWORD result = 99;
  for (const char* path : {"C:\\Corvalen", "C:\\Corvalen\\"}) {
    g_path = path;
    EXPECT_TRUE(hook.StartRouterAndWait(nullptr, "Corvalen2000", nullptr, &result));
    EXPECT_EQ(result, 0u);
  }
  EXPECT_EQ(g_started, (std::vector<std::string>{"C:\\Corvalen\\Corvalen.exe|AfterDll0;0",
                                                 "C:\\Corvalen\\Corvalen.exe|AfterDll0;0"}));
}

TEST_F(Worker, WithoutPathNothingIsStartedAndPhaseOneGivesUpAfter21SecondsSleepingBetweenLooks) {
  CAutoDialHook hook(env);
  DWORD result = 0;
  DWORD start = g_now;
  EXPECT_TRUE(hook.StartRouterAndWait(nullptr, nullptr, nullptr, &result));
  EXPECT_EQ(result, CAutoDialHook::kGaveUp);
  EXPECT_TRUE(g_started.empty());
  EXPECT_GE(g_now - start, 21000u);
  EXPECT_LT(g_now - start, 21000u + CAutoDialHook::kPollMs);
  EXPECT_EQ(g_sleeps, static_cast<int>(21000 / CAutoDialHook::kPollMs));
}

TEST_F(Worker, AMutexNobodyOwnsMakesPhaseTwoGiveUpAfter21Seconds) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, g_mutexName.c_str());
  CAutoDialHook hook(env);
  DWORD result = 0, start = g_now;
  EXPECT_TRUE(hook.StartRouterAndWait(nullptr, nullptr, nullptr, &result));
  EXPECT_EQ(result, CAutoDialHook::kGaveUp);
  EXPECT_GE(g_now - start, 21000u);
  EXPECT_LT(g_now - start, 21000u + CAutoDialHook::kPollMs);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // the worker left it free
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

TEST_F(Worker, AnOwnerThatEndedWhileOnlineMeansGivingUpAtOnce) {
  Owner gone(g_mutexName, true);
  CAutoDialHook hook(env);
  DWORD result = 0, start = g_now;
  EXPECT_TRUE(hook.StartRouterAndWait(nullptr, nullptr, nullptr, &result));
  EXPECT_EQ(result, CAutoDialHook::kGaveUp);
  EXPECT_EQ(g_now, start);
}

Owner* g_late = nullptr;
void OwnAfterThreeSeconds() {
  if (!g_late && g_now >= 1003000) g_late = new Owner(g_mutexName, false);
}

TEST_F(Worker, TheRouterComingOnlineLaterIsSeen) {
  g_onSleep = &OwnAfterThreeSeconds;
  CAutoDialHook hook(env);
  DWORD result = 99;
  EXPECT_TRUE(hook.StartRouterAndWait(nullptr, nullptr, nullptr, &result));
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(g_now, 1003000u);
  delete g_late;
  g_late = nullptr;
}

TEST_F(Worker, KeepsNoHandleOpen) {
  Owner online(g_mutexName, false);
  CAutoDialHook hook(env);
  DWORD result = 0, before = 0, after = 0;
  hook.StartRouterAndWait(nullptr, nullptr, nullptr, &result);
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
  for (int i = 0; i < 50; ++i) hook.StartRouterAndWait(nullptr, nullptr, nullptr, &result);
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
  EXPECT_EQ(after, before);
}

// ---- the library end to end ------------------------------------------------------------------------

class Library : public ::testing::Test {
 protected:
  void SetUp() override {
    router = sim.Dir() + "router\\";
    CreateDirectoryA(router.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(CORVAI_FAKE_ROUTER, (router + "Corvalen.exe").c_str(), FALSE));
    Schedule("CreateAfterMs", "100");
    Schedule("OwnAfterMs", "300");
    Schedule("HoldMs", "1500");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string path = sim.Dir() + "router";  // without the trailing backslash
    RegSetValueExA(key, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()), static_cast<DWORD>(path.size()));
    RegCloseKey(key);
  }
  void TearDown() override {
    // The router stand-in may still hold its mutexes; wait until it has ended.
    for (int i = 0; i < 100; ++i) {
      HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, "CORVALEN");
      if (!m) break;
      CloseHandle(m);
      Sleep(100);
    }
  }
  void Schedule(const char* key, const char* value) {
    WritePrivateProfileStringA("schedule", key, value, (router + "fake-router.ini").c_str());
  }
  std::string Started() { return RasSimFixture::Slurp(router + "started.txt"); }
  RasSimFixture sim;
  std::string router;
};

TEST_F(Library, ExportsAtTheirOrdinals) {
  HMODULE dll = LoadLibraryA("corvai.dll");
  ASSERT_NE(dll, nullptr);
  EXPECT_EQ(GetProcAddress(dll, "AutoDialFunc"), GetProcAddress(dll, reinterpret_cast<LPCSTR>(1)));
  EXPECT_EQ(GetProcAddress(dll, "AutoDialFuncA"), GetProcAddress(dll, reinterpret_cast<LPCSTR>(2)));
  EXPECT_EQ(GetProcAddress(dll, "AutoDialFuncW"), GetProcAddress(dll, reinterpret_cast<LPCSTR>(3)));
  EXPECT_NE(GetProcAddress(dll, "AutoDialFuncW"), nullptr);
  FreeLibrary(dll);
}

TEST_F(Library, AnsiAndWideHooksReportTheRouterOnline) {
  HMODULE dll = LoadLibraryA("corvai.dll");
  ASSERT_NE(dll, nullptr);
  auto a = reinterpret_cast<BOOL(WINAPI*)(LPSTR, LPSTR, void*, LPDWORD)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "AutoDialFuncA")));
  auto w = reinterpret_cast<BOOL(WINAPI*)(LPWSTR, LPWSTR, void*, LPDWORD)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "AutoDialFuncW")));
  DWORD code = 99;
  char entry[] = "Corvalen2000";
  EXPECT_TRUE(a(nullptr, entry, nullptr, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_NE(Started().find(" AfterDll0;0"), std::string::npos) << Started();
  // The router is online now: a second start hands over to it and the hook sees the owned mutex.
  wchar_t wentry[] = L"Corvalen2000";
  code = 99;
  EXPECT_TRUE(w(nullptr, wentry, nullptr, &code));
  EXPECT_EQ(code, 0u);
  FreeLibrary(dll);
}

// The AutoDial service stand-in's exit code (STILL_ACTIVE when it did not end within a minute).
DWORD RunAutoDial(const std::string& function = "") {
  return testsupport::RunProcess(CORVAI_AUTODIAL, function, "", 60000, STILL_ACTIVE, 9999);
}

TEST_F(Library, TheAutoDialServiceCallsTheFunctionTheDefaultEntryNames) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "RemoteAccess", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "InternetProfile", 0, REG_SZ, reinterpret_cast<const BYTE*>("Corvalen2000"), 12);
  RegCloseKey(key);
  std::string pbk = sim.Dir() + "rassim.pbk";
  WritePrivateProfileStringA("Corvalen2000", "AutodialDll", CORVAI_DLL, pbk.c_str());
  WritePrivateProfileStringA("Corvalen2000", "AutodialFunc", "AutoDialFunc", pbk.c_str());
  WritePrivateProfileStringA("Corvalen2000", "DeviceName", "Standardmodem", pbk.c_str());

  // AutoDialFunc answers from the RAS connections, whatever the router reported.
  EXPECT_EQ(RunAutoDial(), 631u);
  EXPECT_NE(Started().find("AfterDll0;0"), std::string::npos);
  TearDown();
  sim.Set("Connected", "Corvalen2000");
  EXPECT_EQ(RunAutoDial(), 0u);
  TearDown();
  EXPECT_EQ(RunAutoDial("AutoDialFuncW"), 0u);  // the worker's own answer: the router got online
}

}  // namespace
