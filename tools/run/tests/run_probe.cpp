// Works the program that `make run` or `make run-corvalen` started, from inside the same Wine
// prefix and on the same display: finds its windows by title and class, reads what the screen
// shows, presses its buttons with messages. tests/run_test.sh starts the script and this probe.
//   run_probe.exe --gtest_filter=Quillet.*    the empty page of `make run`
//   run_probe.exe --gtest_filter=Corvalen.*   the first start of `make run-corvalen`, up to the bill
// The probe ends the program it worked, so that the script's clean-up runs.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace {

bool WaitFor(const std::function<bool()>& cond, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
  return true;
}

std::string Title(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

std::string Text(HWND dialog, int id) {
  char buf[512] = {};
  GetDlgItemTextA(dialog, id, buf, sizeof buf);
  return buf;
}

// The first visible top-level window whose title starts with (or equals) the text.
HWND FindTop(const std::string& title, bool prefix) {
  struct Ctx {
    const std::string& title;
    bool prefix;
    HWND found;
  } ctx{title, prefix, nullptr};
  EnumWindows(
      [](HWND w, LPARAM lp) WINAPI -> BOOL {
        Ctx* c = reinterpret_cast<Ctx*>(lp);
        if (!IsWindowVisible(w)) return TRUE;
        const std::string t = Title(w);
        if (c->prefix ? t.compare(0, c->title.size(), c->title) != 0 : t != c->title) return TRUE;
        c->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

HWND WaitTop(const std::string& title, bool prefix = false, DWORD ms = 30000) {
  HWND w = nullptr;
  WaitFor([&] { return (w = FindTop(title, prefix)) != nullptr; }, ms);
  return w;
}

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The colours the screen shows along one row of a window's client area.
std::set<COLORREF> ScreenColoursOfRow(HWND w, int y) {
  RECT r;
  GetClientRect(w, &r);
  POINT origin = {0, 0};
  ClientToScreen(w, &origin);
  const int width = r.right;
  std::set<COLORREF> colours;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, 1);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width, 1, screen, origin.x, origin.y + y, SRCCOPY);
  for (int x = 0; x < width; ++x) colours.insert(GetPixel(mem, x, 0));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return colours;
}

// --- make run ----------------------------------------------------------------------------------

TEST(Quillet, StartsWithAnEmptyPagePaintedWithoutAClick) {
  HWND main = WaitTop("Quillet 1.6", true, 60000);
  ASSERT_NE(nullptr, main) << "no Quillet main window";
  HWND client = FindWindowExA(main, nullptr, "MDICLIENT", nullptr);
  ASSERT_NE(nullptr, client);
  HWND child = nullptr, editor = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        child = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
        editor = child ? FindWindowExA(child, nullptr, "TCodeHLEditor", nullptr) : nullptr;
        return editor != nullptr && IsWindowVisible(editor);
      },
      10000))
      << "no page is open";
  // The page is empty and unchanged.
  EXPECT_EQ(0, GetWindowTextLengthA(editor));
  // Painted at once: the editor's white text area beside its gutter, along a row below the first
  // line, within a second and a half (no dialog had to close first).
  std::set<COLORREF> colours;
  EXPECT_TRUE(WaitFor(
      [&] {
        colours = ScreenColoursOfRow(editor, 40);
        return colours.count(RGB(255, 255, 255)) && colours.size() >= 2;
      },
      1500))
      << "the page is not painted: " << colours.size() << " colour(s)";
  PostMessageA(main, WM_CLOSE, 0, 0);
}

// --- make run-corvalen -------------------------------------------------------------------------

enum { kProvider = 1015, kVerbinden = 1050, kTrennen = 1052, kStatus = 1051, kGroup = 1071, kOnlineZeit = 1128, kAccept = 5534 };

// The group caption names the provider once the connect has succeeded, and is reset last of all
// after a hang-up.
const char kGroupOnline[] = "Aktuelle Verbindung : ";
bool Online(HWND main) {
  return Text(main, kGroup).compare(0, sizeof kGroupOnline - 1, kGroupOnline) == 0 && Text(main, kTrennen) == "&Trennen" &&
         IsWindowEnabled(GetDlgItem(main, kTrennen));
}
bool Offline(HWND main) {
  return Text(main, kGroup) == "Aktuelle Verbindung" && IsWindowEnabled(GetDlgItem(main, kVerbinden)) &&
         !IsWindowEnabled(GetDlgItem(main, kTrennen));
}

std::string Slurp(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  std::string s;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) s.append(buf, got);
  CloseHandle(f);
  return s;
}

// A value of the installation's machine key ("" when missing).
std::string MachineValue(const char* name) {
  char buf[MAX_PATH] = {};
  DWORD size = sizeof buf - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return buf;
}
std::string ProgramFolder() { return MachineValue("PATH"); }

TEST(Corvalen, FirstStartConnectsOnTheSimulatedLineAndBillsTheCall) {
  const std::string dir = ProgramFolder();
  ASSERT_FALSE(dir.empty()) << "the script did not set PATH";
  // The server messages are asked for by the name of their file, not as the folder "/msg/".
  EXPECT_EQ("corva.xml", MachineValue("MessageUrl"));
  // The terms first: accepting them enables OK.
  HWND terms = WaitTop("Astrel Corvalen: Allgemeine Gesch\xE4" "ftsbedingungen", false, 60000);
  ASSERT_NE(nullptr, terms);
  SendMessageA(GetDlgItem(terms, kAccept), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(terms, IDOK)) != FALSE; }, 5000));
  Press(terms, IDOK);
  // The set-up wizard lists the simulated devices, not Wine's own.
  HWND wizard = WaitTop("Astrel Corvalen Einstellungen - Modem");
  ASSERT_NE(nullptr, wizard);
  PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
  ASSERT_NE(nullptr, WaitTop("Astrel Corvalen Einstellungen - Amtsholung"));
  PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
  ASSERT_NE(nullptr, WaitTop("Astrel Corvalen Einstellungen - \xDC" "bernahme von DF\xDC-Eintr\xE4gen"));
  PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  HWND main = WaitTop("Astrel Corvalen");
  ASSERT_NE(nullptr, main);
  EXPECT_NE(std::string::npos, Slurp(dir + "rassim.log").find("RasEnumDevicesA")) << "the stand-in was not loaded";

  // "Verbinden": the cheapest provider; one with free minutes asks for them first.
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(main, kVerbinden)) != FALSE; }, 30000));
  Press(main, kVerbinden);
  ASSERT_TRUE(WaitFor(
      [&] {
        if (HWND free = FindTop("Freiminutenverwaltung", false)) {
          SetDlgItemTextA(free, 1010, "30");
          Press(free, IDOK);
        }
        return Online(main);
      },
      60000))
      << "not connected; status: " << Text(main, kStatus);
  const std::string provider = Text(main, kGroup).substr(sizeof kGroupOnline - 1);
  EXPECT_NE(std::string::npos, Slurp(dir + "rassim.log").find("RasDialA"));
  // A few seconds online, then "Trennen" hangs up and writes the cost record.
  ASSERT_TRUE(WaitFor([&] { return Text(main, kOnlineZeit) >= "0:00:03"; }, 30000)) << Text(main, kOnlineZeit);
  Press(main, kTrennen);
  ASSERT_TRUE(WaitFor([&] { return Offline(main); }, 30000));
  EXPECT_NE(std::string::npos, Slurp(dir + "rassim.log").find("RasHangUpA"));
  const std::string log = Slurp(dir + "rechnung.log");
  EXPECT_NE(std::string::npos, log.find(provider)) << "no cost record of " << provider << ": " << log;
  Press(main, IDCANCEL);
}

}  // namespace
