// The real Corvalen.exe under Wine as a new user meets it: why a dial failed, in German and in
// the status line; entering refused credentials again; the free-minutes record a dial starts
// with; the tray icon after hanging up and restoring from the tray, and a line that drops while
// the window is there; the main dialog's labels.
#include <gtest/gtest.h>

#include "program_driver.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace {

enum {
  kProvider = 1015, kVerbinden = 1050, kTrennen = 1052, kGroup = 1071, kStatus = 1051, kInfo = 1053,
  kPreis = 1062, kOnlinePreis = 1130, kOnlineZeit = 1128, kStunden = 1131,
};
const char kTitle[] = "Astrel Corvalen 2.0";
const char kTitleShort[] = "Corvalen 2.0";
const char kDialFailed[] = "Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler - ";

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

void Select(HWND main, const std::string& name) {
  std::vector<std::string> items = CorvalenRun::ComboItems(main, kProvider);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].find(name) != std::string::npos) {
      SendDlgItemMessageA(main, kProvider, CB_SETCURSEL, i, 0);
      SendMessageA(main, WM_COMMAND, MAKEWPARAM(kProvider, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(GetDlgItem(main, kProvider)));
    }
}

// A busy line: the status line says so during the pause before the next attempt and after the
// last one, and the failure names the reason in German.
TEST(CorvalenDialFailure, ABusyLineIsToldInTheStatusLineAndTheMessage) {
  CorvalenRun run;
  run.Ras("Outcome", "busy");
  CorvalenRun::User("MaxDialAttempts", "2");
  CorvalenRun::User("WaitingTimeForDialAttempts", "60");  // 1 s at the test's clock
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.RasCount("RasDialA") == 1; }));
  // In the pause: the first attempt's reason, not "Wähle - ...".
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kStatus) == "Leitung besetzt ..."; }, 5000))
      << CorvalenRun::Text(main, kStatus);
  std::string text;
  HWND box = run.WaitBox(kTitleShort, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(2, run.RasCount("RasDialA"));
  EXPECT_EQ(std::string(kDialFailed) + "Leitung besetzt.", text);
  // After the last attempt, while the message stands.
  EXPECT_EQ("Leitung besetzt ...", CorvalenRun::Text(main, kStatus));
  CorvalenRun::Press(box, IDOK);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kStatus).empty() && CorvalenRun::Offline(main); }));
}

// Each reason of a failed dial in German.
TEST(CorvalenDialFailure, EveryReasonIsGivenInGerman) {
  struct Case { const char* outcome; const char* reason; } cases[] = {
      {"badpassword", "Benutzername oder Kennwort falsch."},
      {"nodialtone", "Kein Freizeichen."},
      {"nodevice", "Das DFÜ-Gerät ist belegt oder nicht für ausgehende Verbindungen eingerichtet."},
      {"797", "Das Modem wurde nicht gefunden oder ist belegt."},
  };
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outcome);
    run.Ras("Outcome", c.outcome);
    CorvalenRun::Press(main, kVerbinden);
    std::string text;
    HWND box = run.WaitBox(kTitleShort, &text);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(std::string(kDialFailed) + c.reason, text);
    CorvalenRun::Press(box, IDOK);
    ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop(kTitleShort, true) == nullptr && CorvalenRun::Offline(main); }));
  }
}

// A login the provider refuses through the user's own entry: the program offers to enter the
// credentials again and dials with them.
TEST(CorvalenDialFailure, ARefusedPasswordCanBeEnteredAgain) {
  CorvalenRun run;
  CorvalenRun::User("DefaultConnection", "bw-400");
  run.Ras("Password", "richtig");
  const std::string book = run.Dir() + "rassim.pbk";
  WritePrivateProfileStringA("Mein Blitz", "PhoneNumber", "0192400", book.c_str());
  WritePrivateProfileStringA("Mein Blitz", "DeviceType", "modem", book.c_str());
  WritePrivateProfileStringA("Mein Blitz", "DeviceName", "Standardmodem", book.c_str());
  WritePrivateProfileStringA("Mein Blitz", "User", "blitzkunde", book.c_str());
  WritePrivateProfileStringA("Mein Blitz", "Password", "falsch", book.c_str());
  WritePrivateProfileStringA("Mein Blitz", "PasswordSaved", "1", book.c_str());
  ASSERT_TRUE(testsupport::WriteFileBytes(run.Dir() + "Corva.dat", "bw-400=Mein Blitz|1/1/2020 0:0:0;"));
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  std::string question;
  HWND box = run.WaitBox(kTitle, &question);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Benutzername oder Kennwort falsch: der Zugang 'Mein Blitz' wurde abgelehnt.\n"
            "Möchten Sie Benutzername und Kennwort neu eingeben?",
            question);
  CorvalenRun::Press(box, IDYES);
  HWND dlg = run.WaitBox("Anmeldungsdaten 'Blitzwahl'", nullptr);
  ASSERT_NE(nullptr, dlg);
  EXPECT_EQ("blitzkunde", CorvalenRun::Text(dlg, 1057));
  SetDlgItemTextA(dlg, 1069, "richtig");
  CorvalenRun::Press(dlg, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  EXPECT_EQ(2, run.RasCount("RasDialA"));
  EXPECT_EQ("richtig", run.PhonebookValue("Mein Blitz", "Password"));
}

// The free-minutes dialog before the first call: the minutes entered as used count for the dial
// that follows at once. Nachtfalke Net's 60 free minutes are all used: it is dialled at 1.80 Pf,
// not at 0.00 Pf until the next ranking finds the minutes gone.
TEST(CorvalenFreeMinutes, TheMinutesEnteredBeforeTheFirstCallSetItsPrice) {
  CorvalenRun run;
  run.ClockAtLocal("20261211100000");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  Select(main, "Nachtfalke Net");
  ASSERT_EQ("0.00 Pfg", CorvalenRun::Text(main, kPreis));
  CorvalenRun::Press(main, kVerbinden);
  HWND dlg = run.WaitBox("Freiminutenverwaltung", nullptr);
  ASSERT_NE(nullptr, dlg);
  // 75 minutes are refused (the hours field takes the hours).
  SetDlgItemTextA(dlg, 1010, "75");
  CorvalenRun::Press(dlg, IDOK);
  std::string text;
  HWND box = run.WaitBox(kTitleShort, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Bereits verbrauchte Minuten zu groß (max. 59)", text);
  CorvalenRun::Press(box, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop(kTitleShort, true) == nullptr; }));
  SetDlgItemTextA(dlg, 1013, "1");
  SetDlgItemTextA(dlg, 1010, "0");
  CorvalenRun::Press(dlg, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlinePreis) == "1.80 Pfg"; }, 5000))
      << CorvalenRun::Text(main, kOnlinePreis);
  run.ClockAtLocal("20261211100200");
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlineZeit) == "0:02:00"; }, 5000));
  Sleep(300);
  EXPECT_EQ(nullptr, run.FindTop(kTitle, true));  // no "Ihre Freiminuten sind verbraucht!"
  PostMessageA(main, WM_COMMAND, 40002, 0);
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Offline(main); }));
  EXPECT_EQ("default;12/11/2026 10:0:0;00:02:00;Nachtfalke Net;60;1.80;0.00;0.036;;;0192500;", run.File("rechnung.log"));
}

// A shell notification area of the test's own: the program's Shell_NotifyIcon calls reach the
// first window of the class "Shell_TrayWnd" as WM_COPYDATA (Wine's shell keeps a record whose
// head is the owner window, the icon's id, its flags, its callback message and its tip). It
// keeps the icons by owner and id as a shell does and answers whether one was there.
class TestTray {
 public:
  TestTray() {
    thread_ = std::thread([this] { Run(); });
    testsupport::WaitFor([this] { return window_ != nullptr; }, 5000);
  }
  ~TestTray() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  // The icons there now, by id; and the last tip given to an icon of that id.
  std::vector<UINT> Icons() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<UINT> ids;
    for (const Icon& i : icons_) ids.push_back(i.id);
    return ids;
  }
  std::string Tip(UINT id) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Icon& i : icons_)
      if (i.id == id) return i.tip;
    return "<none>";
  }

 private:
  struct Record {  // the head of Wine's record
    LONG hWnd;
    UINT uID, uFlags, uCallbackMessage;
    WCHAR szTip[128];
  };
  struct Icon {
    LONG owner;
    UINT id;
    std::string tip;
  };
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestTray*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (msg == WM_COPYDATA && self) return self->Notify(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    if (msg == WM_CLOSE) {
      DestroyWindow(w);
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
  }
  BOOL Notify(const COPYDATASTRUCT* cds) {
    if (!cds || cds->cbData < sizeof(Record)) return FALSE;
    Record r;
    memcpy(&r, cds->lpData, sizeof r);
    char tip[129] = {};
    WideCharToMultiByte(1252, 0, r.szTip, -1, tip, sizeof tip - 1, nullptr, nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = icons_.end();
    for (auto it = icons_.begin(); it != icons_.end(); ++it)
      if (it->owner == r.hWnd && it->id == r.uID) found = it;
    switch (cds->dwData) {
      case NIM_ADD:
        if (found != icons_.end()) return FALSE;
        icons_.push_back({r.hWnd, r.uID, (r.uFlags & NIF_TIP) ? tip : ""});
        return TRUE;
      case NIM_MODIFY:
        if (found == icons_.end()) return FALSE;
        if (r.uFlags & NIF_TIP) found->tip = tip;
        return TRUE;
      case NIM_DELETE:
        if (found == icons_.end()) return FALSE;
        icons_.erase(found);
        return TRUE;
      default:
        return FALSE;
    }
  }
  void Run() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                             nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = w;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  }

  std::thread thread_;
  std::atomic<HWND> window_{nullptr};
  std::mutex mutex_;
  std::vector<Icon> icons_;
};

const UINT kIconOffline = 172, kIconOnline = 173;

// "Verbindung trennen" and then "Wiederherstellen" from the tray's menu: the icon goes with the
// window's return, as after a double click.
TEST(CorvalenTray, HangingUpAndRestoringFromTheTrayRemovesTheIcon) {
  TestTray tray;
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main) && !IsWindowVisible(main); }));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return tray.Icons() == std::vector<UINT>{kIconOnline}; }, 5000));
  PostMessageA(main, WM_COMMAND, 40006, 0);  // "Verbindung trennen"
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Offline(main); }));
  EXPECT_EQ(kTitle, tray.Tip(kIconOnline));
  PostMessageA(main, WM_COMMAND, 40002, 0);  // "Wiederherstellen"
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return tray.Icons().empty(); }, 2000))
      << tray.Icons().size() << " icon(s) left";
  // Minimised again (offline): one icon, which a restore removes again.
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return tray.Icons() == std::vector<UINT>{kIconOffline}; }, 5000));
  PostMessageA(main, WM_COMMAND, 40002, 0);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return tray.Icons().empty(); }, 5000));
}

// A line that drops while the window is in the tray is told by the tray icon's tip.
TEST(CorvalenTray, ALineThatDropsInTheTrayIsTold) {
  TestTray tray;
  CorvalenRun run;
  run.Ras("DropAfterMs", std::to_string(1500 * testsupport::TimeScale()).c_str());
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return tray.Icons() == std::vector<UINT>{kIconOnline}; }));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return StartsWith(tray.Tip(kIconOnline), "Zeit(h):"); }, 5000));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Offline(main); }, 10000));
  EXPECT_EQ("Verbindung unterbrochen - Astrel Corvalen 2.0", tray.Tip(kIconOnline));
  EXPECT_FALSE(IsWindowVisible(main));
}

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Every label of the main dialog shows its whole text on its one line, and the online display
// (with its unit "Stunden") is hidden while offline. The labels are measured in the program's
// own dialog template, laid out with its font.
TEST(CorvalenMainDialog, EveryLabelShowsItsWholeText) {
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  for (int id : {1125, 1126, 1127, 1128, 1129, 1130, 1121, 1124, 1122, 1123, static_cast<int>(kStunden), 1132})
    EXPECT_FALSE(CorvalenRun::Visible(main, id)) << id;

  HMODULE program = LoadLibraryExA((run.Dir() + "Corvalen.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, program);
  HWND dlg = CreateDialogParamA(program, MAKEINTRESOURCEA(102), nullptr, NoHandling, 0);
  ASSERT_NE(nullptr, dlg);
  HDC dc = GetDC(dlg);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dlg, WM_GETFONT, 0, 0)));
  int labels = 0;
  for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {}, text[256] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(cls, "Static") != 0 || !text[0]) continue;
    ++labels;
    RECT box;
    GetClientRect(child, &box);
    RECT line = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &line, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
    EXPECT_LE(line.right, box.right) << "\"" << text << "\" needs " << line.right << " pixels, has " << box.right;
    EXPECT_LE(line.bottom, box.bottom) << "\"" << text << "\" needs " << line.bottom << " pixels high, has "
                                       << box.bottom;
  }
  EXPECT_GT(labels, 15);
  SelectObject(dc, old);
  ReleaseDC(dlg, dc);
  DestroyWindow(dlg);
  FreeLibrary(program);
}

}  // namespace
