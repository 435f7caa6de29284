// CRasAccess against the RAS stand-in: dial outcomes with their progress messages, cancel, hang-up,
// enumerations and the entry operations, checked against what the stand-in logged and stored.
#include "RasAccess.h"
#include "rassim_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT kProgress = WM_USER + 1;

struct Progress {
  unsigned word;
  std::string text;
  bool operator==(const Progress& o) const { return word == o.word && text == o.text; }
};
std::ostream& operator<<(std::ostream& os, const Progress& p) { return os << std::hex << p.word << " " << p.text; }

std::vector<Progress> g_progress;
DWORD g_progressThread = 0;
CRasAccess* g_cancelTarget = nullptr;
unsigned g_cancelAtState = 0xFFFF;

LRESULT CALLBACK ProgressProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProgress) {
    g_progress.push_back({static_cast<unsigned>(wp), reinterpret_cast<const char*>(lp)});
    g_progressThread = GetCurrentThreadId();
    if (g_cancelTarget && (wp & 0xFFFF) == g_cancelAtState) g_cancelTarget->CancelDial();
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

HWND ProgressWindow() {
  static HWND wnd = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProgressProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DialupProgressProbe";
    RegisterClassA(&wc);
    return CreateWindowA("DialupProgressProbe", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                         nullptr);
  }();
  return wnd;
}

int g_sleeps = 0;
DWORD g_slept = 0;
void CountingSleep(DWORD ms) {
  ++g_sleeps;
  g_slept += ms;
}

class RasAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_progress.clear();
    g_cancelTarget = nullptr;
    g_cancelAtState = 0xFFFF;
    ASSERT_EQ(ras.Load(), 0);
    ras.SetNotifyWindow(ProgressWindow(), kProgress);
    MakeEntry("Corvalen2000", "30", "1234567");
  }
  void MakeEntry(const char* name, const char* area, const char* local, const char* device = "Standardmodem") {
    RASENTRYA e = {};
    e.dwSize = sizeof e;
    strcpy(e.szAreaCode, area);
    strcpy(e.szLocalPhoneNumber, local);
    strcpy(e.szDeviceType, "modem");
    strcpy(e.szDeviceName, device);
    ASSERT_EQ(ras.SetEntryProperties(name, &e, sizeof e), 0);
    RASDIALPARAMSA p = {};
    p.dwSize = sizeof p;
    strcpy(p.szUserName, "gespeichert");
    strcpy(p.szPassword, "alt");
    ASSERT_EQ(ras.SetEntryDialParams(name, &p, FALSE), 0);
  }
  RasSimFixture sim;
  CRasAccess ras;
};

TEST_F(RasAccessTest, ConnectReportsEveryStateToTheWindowAndDialsTheAssembledNumber) {
  EXPECT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), 0);
  std::vector<Progress> expected = {
      {0, "Opening Dialup Device"}, {1, "Dialup Device Opened"}, {2, "Dialing"}, {3, "Dial Complete"},
      {4, "....."}, {5, "Authorizing"}, {14, "Authorized"}, {0x2000, "Connection Complete"}};
  EXPECT_EQ(g_progress, expected);
  EXPECT_EQ(g_progressThread, GetCurrentThreadId());  // sent to the window's own thread
  EXPECT_NE(ras.GetHandle(), nullptr);
  EXPECT_EQ(ras.IsConnected(), 1);
  EXPECT_NE(sim.Log().find("RasDialA size=1052 entry=\"Corvalen2000\" phone=\"00301234567\" user=\"QZJ\" "
                           "password=\"QZJ\" domain=\"\" notifier=0"),
            std::string::npos)
      << sim.Log();
  EXPECT_EQ(ras.HangUp(), 0);
  EXPECT_EQ(ras.GetHandle(), nullptr);
  EXPECT_EQ(ras.IsConnected(), 0);
  EXPECT_EQ(ras.HangUp(), kErrRasHandle);
}

TEST_F(RasAccessTest, StoredCredentialsAreUsedWhenNoneAreGiven) {
  EXPECT_EQ(ras.Dial(nullptr, "Corvalen2000", "", nullptr, nullptr), 0);
  EXPECT_NE(sim.Log().find("phone=\"0301234567\" user=\"gespeichert\" password=\"alt\""), std::string::npos);
}

TEST_F(RasAccessTest, FailedDialsEndWithTheirErrorInTheProgressWordAndAreHungUp) {
  struct Case { const char* outcome; unsigned lastWord; } cases[] = {
      {"busy", (676u << 16) | 2}, {"noanswer", (678u << 16) | 2}, {"nodialtone", (680u << 16) | 2},
      {"badpassword", (691u << 16) | 5}, {"nodevice", (633u << 16) | 0}};
  for (const Case& c : cases) {
    sim.Set("Outcome", c.outcome);
    g_progress.clear();
    sim.ClearLog();
    EXPECT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), kErrDialProcess) << c.outcome;
    ASSERT_FALSE(g_progress.empty());
    EXPECT_EQ(g_progress.back().word, c.lastWord) << c.outcome;
    EXPECT_EQ(static_cast<unsigned>(ras.GetProgress()), c.lastWord);
    EXPECT_EQ(sim.Count("RasHangUpA handle="), 1) << c.outcome;
    EXPECT_EQ(ras.GetHandle(), nullptr);
  }
  sim.Set("Outcome", "connect");
  sim.Set("DialResult", "633");
  EXPECT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), kErrDialAttempt);
  EXPECT_EQ(ras.GetLastResult(), 633u);
}

TEST_F(RasAccessTest, ANumberTooLongForTheRecordIsNotDialled) {
  std::string local(125, '5');
  MakeEntry("Lang", "030", local.c_str());
  sim.ClearLog();
  EXPECT_EQ(ras.Dial(nullptr, "Lang", "0", "u", "p"), kErrDialAttempt);
  EXPECT_EQ(ras.GetLastResult(), RAS_ERROR_PHONE_NUMBER_TOO_LONG);
  EXPECT_EQ(sim.Count("RasDialA"), 0);
}

TEST_F(RasAccessTest, CancelEndsTheWaitAndHangsUp) {
  sim.Set("StepMs", "20");
  g_cancelTarget = &ras;
  g_cancelAtState = 2;
  EXPECT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), kErrDialProcess);
  // A state already on its way may still arrive while the line is hung up, but the dial goes no further.
  ASSERT_FALSE(g_progress.empty());
  EXPECT_LE(g_progress.back().word, 3u);
  size_t reported = g_progress.size();
  Sleep(100);
  EXPECT_EQ(g_progress.size(), reported);
  EXPECT_EQ(sim.Count("RasHangUpA handle=1"), 1);
  EXPECT_EQ(ras.EnumConnections(), 0);
  EXPECT_EQ(ras.GetConnectionCount(), 0);
}

TEST_F(RasAccessTest, AClosePostedDuringTheDialEndsTheWaitAndStaysQueued) {
  sim.Set("StepMs", "30");
  PostMessageA(ProgressWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), kErrDialProcess);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, ProgressWindow(), WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

TEST_F(RasAccessTest, HangUpWaitsForTheLineButNotForever) {
  ras.SetSleepFunction(CountingSleep);
  struct Case { const char* status; int sleeps; } cases[] = {
      {"invalid", 0},        // the handle is gone at once
      {"disconnected", 2},   // one poll that sees the line down, then the final pause
      {"668", CRasAccess::kHangUpPolls + 1},  // RAS keeps failing: bounded
  };
  for (const Case& c : cases) {
    sim.Set("HangUpStatus", c.status);
    ASSERT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), 0);
    g_sleeps = 0;
    EXPECT_EQ(ras.HangUp(), 0) << c.status;
    EXPECT_EQ(g_sleeps, c.sleeps) << c.status;
  }
}

TEST_F(RasAccessTest, TheLineDropsAfterTheConfiguredTime) {
  // Long enough that a loaded machine still sees the line up first; the drop is then awaited.
  sim.Set("DropAfterMs", "1000");
  ASSERT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), 0);
  EXPECT_EQ(ras.IsConnected(), 1);
  const DWORD start = GetTickCount();
  while (ras.IsConnected() == 1 && GetTickCount() - start < 10000) Sleep(50);
  EXPECT_EQ(ras.IsConnected(), 0);
}

TEST_F(RasAccessTest, Enumerations) {
  EXPECT_EQ(ras.GetDeviceCount(), -1);
  EXPECT_EQ(ras.GetEntryCount(), -1);
  EXPECT_EQ(ras.EnumDevices(), 0);
  ASSERT_EQ(ras.GetDeviceCount(), 2);
  RASDEVINFOA dev;
  EXPECT_EQ(ras.GetDevice(&dev, 1), 0);
  EXPECT_STREQ(dev.szDeviceType, "isdn");
  EXPECT_STREQ(dev.szDeviceName, "AVM ISDN-Controller");
  EXPECT_EQ(ras.GetDevice(&dev, 2), kErrIndexRange);
  EXPECT_NE(sim.Log().find("RasEnumDevicesA size=none cb=0 count=2 -> 603"), std::string::npos);
  EXPECT_NE(sim.Log().find("RasEnumDevicesA size=152 cb=456 count=2 -> 0"), std::string::npos);

  MakeEntry("Zweiter", "", "0192658");
  EXPECT_EQ(ras.EnumEntries(), 0);
  ASSERT_EQ(ras.GetEntryCount(), 2);
  RASENTRYNAMEA name;
  EXPECT_EQ(ras.GetEntryName(&name, 1), 0);
  EXPECT_STREQ(name.szEntryName, "Zweiter");

  EXPECT_EQ(ras.EnumConnections(), 0);
  EXPECT_EQ(ras.GetConnectionCount(), 0);
  sim.Set("Connected", "Fremd");
  EXPECT_EQ(ras.EnumConnections(), 0);
  ASSERT_EQ(ras.GetConnectionCount(), 1);
  ASSERT_EQ(ras.Dial(nullptr, "Corvalen2000", "0", "QZJ", "QZJ"), 0);
  EXPECT_EQ(ras.EnumConnections(), 0);
  ASSERT_EQ(ras.GetConnectionCount(), 2);
  RASCONNA conn;
  EXPECT_EQ(ras.GetConnection(&conn, 0), 0);
  EXPECT_EQ(conn.hrasconn, ras.GetHandle());
  EXPECT_STREQ(conn.szEntryName, "Corvalen2000");
}

TEST_F(RasAccessTest, EntryOperations) {
  EXPECT_FALSE(ras.IsEntryMissing("Corvalen2000"));  // although the probe is answered with 603
  EXPECT_TRUE(ras.IsEntryMissing("Fehlt"));
  EXPECT_EQ(ras.ValidateEntryName("Corvalen2000"), kErrFailed);
  EXPECT_EQ(ras.ValidateEntryName("Neu"), 0);

  char number[20], area[10];
  EXPECT_EQ(ras.GetEntryPhoneNumber("Corvalen2000", number, sizeof number, area, sizeof area), 0);
  EXPECT_STREQ(number, "1234567");
  EXPECT_STREQ(area, "30");
  EXPECT_EQ(ras.GetEntryPhoneNumber("Fehlt", number, sizeof number, area, sizeof area), kErrFailed);

  // A user name exactly as long as the buffer does not fit with its terminator: nothing is written.
  char user[12];
  memset(user, '#', sizeof user);
  EXPECT_EQ(ras.GetEntryUserName("Corvalen2000", user, 11), kErrBufferShort);
  EXPECT_EQ(user[0], '#');
  EXPECT_EQ(user[11], '#');
  EXPECT_EQ(ras.GetEntryUserName("Corvalen2000", user, 12), 0);
  EXPECT_STREQ(user, "gespeichert");
  EXPECT_EQ(ras.GetEntryUserName("Corvalen2000", nullptr, 12), kErrNullBuffer);
  EXPECT_EQ(ras.GetEntryUserName("Fehlt", user, 12), 623);  // the raw RAS code

  char password[4];
  BOOL saved = FALSE;
  memset(password, '#', sizeof password);
  EXPECT_EQ(ras.GetEntryPassword("Corvalen2000", password, 3, &saved), kErrBufferShort);
  EXPECT_EQ(password[0], '#');
  EXPECT_EQ(ras.GetEntryPassword("Corvalen2000", password, 4, &saved), 0);
  EXPECT_STREQ(password, "alt");
  EXPECT_TRUE(saved);

  RASDIALPARAMSA p = {};
  p.dwSize = sizeof p;
  EXPECT_EQ(ras.SetEntryDialParams("Corvalen2000", nullptr, FALSE), kErrNullBuffer);
  EXPECT_EQ(ras.GetEntryDialParams("Corvalen2000", &p, &saved), 0);
  EXPECT_STREQ(p.szEntryName, "Corvalen2000");
  EXPECT_EQ(ras.SetEntryDialParams("Corvalen2000", &p, TRUE), 0);
  EXPECT_EQ(sim.PhonebookValue("Corvalen2000", "Password"), "");
  EXPECT_EQ(ras.GetEntryPassword("Corvalen2000", password, 4, &saved), 0);
  EXPECT_FALSE(saved);

  RASENTRYA e = {};
  e.dwSize = sizeof e;
  DWORD size = 0;
  EXPECT_EQ(ras.GetEntryProperties("Corvalen2000", nullptr, &size), kErrBufferShort);
  EXPECT_EQ(size, 1768u);
  EXPECT_EQ(ras.GetEntryProperties("Corvalen2000", &e, &size), 0);
  EXPECT_STREQ(e.szDeviceName, "Standardmodem");
  EXPECT_EQ(ras.EditEntry(nullptr, "Corvalen2000"), 0);
  EXPECT_EQ(ras.DeleteEntry("Corvalen2000"), 0);
  EXPECT_EQ(ras.DeleteEntry("Corvalen2000"), kErrFailed);
  EXPECT_TRUE(ras.IsEntryMissing("Corvalen2000"));
}

class CountingAccess : public CRasAccess {
 public:
  int OnError(int code) override {
    errors.push_back(code);
    return code + 1000;
  }
  std::vector<int> errors;
};

TEST(RasAccessOnError, FailuresPassThroughOnError) {
  RasSimFixture sim;
  CountingAccess ras;
  EXPECT_EQ(ras.DeleteEntry("Fehlt"), 1001);
  EXPECT_EQ(ras.GetDevice(nullptr, 0), 1001);  // never enumerated
  EXPECT_EQ(ras.HangUpConnection(nullptr), kErrRasHandle);  // returned without OnError
  EXPECT_EQ(ras.errors, (std::vector<int>{1, 1}));
}

}  // namespace
