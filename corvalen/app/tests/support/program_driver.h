// Runs the real Corvalen.exe for a test: a folder of its own with the program, its libraries, the
// demo data and the RAS stand-in (with its configuration, phone book and call log), the registry
// seeded as the installation and the user's settings leave it, and the program's clock made faster
// (the program is the one with the test switches, tests/test_switches.cpp).
// Windows of the program are found by title and driven by messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "test_files.h"
#include "window_driver.h"

class CorvalenRun {
 public:
  // The main dialog's "Verbinden" and "Trennen" buttons and its connection group.
  static constexpr int kMainVerbinden = 1050, kMainTrennen = 1052, kMainGroup = 1071;
  CorvalenRun() {
    dir_ = testsupport::NewTempFolder("corv") + "\\";
    // The program with the test switches, installed under the delivered program's name.
    CopyFileA((std::string(CORVALEN_EXE_DIR) + "\\" + CORVALEN_TEST_EXE).c_str(), (dir_ + "Corvalen.exe").c_str(), FALSE);
    const char* files[] = {"xmlparse.dll", "corvai.dll", "tarif.dat", "Feiertags.dat", "rasapi32.dll", "rasdlg.dll"};
    for (const char* f : files)
      CopyFileA((std::string(CORVALEN_EXE_DIR) + "\\" + f).c_str(), (dir_ + f).c_str(), FALSE);
    SetEnvironmentVariableA("RASSIM_CONFIG", (dir_ + "rassim.ini").c_str());
    SetEnvironmentVariableA("CORVALEN_TIMESCALE", "60");
    SetEnvironmentVariableA("CORVALEN_START", nullptr);
    SetEnvironmentVariableA("CORVALEN_CLOCK", nullptr);
    Ras("StepMs", "1");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen");
    Machine("PATH", dir_);
    // The state a finished set-up leaves; tests of the first start remove these.
    User("AGB", "1");
    User("DefaultDFUDeviceName", "Standardmodem");
    User("DefaultDFUDeviceTyp", "modem");
    User("UpdateFrequence", "1");
    // The pages the program opens (the URL of the day after a connect) go to Wine's browser
    // launcher; it starts nothing on this machine, so no test reaches for a server outside.
    SetValue(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", "true");
    // Funkelnetz: a provider without free minutes, so no question comes before dialling.
    User("DefaultConnection", "fk-100");
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "RemoteAccess", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
      RegCloseKey(key);
  }
  ~CorvalenRun() {
    for (PROCESS_INFORMATION& pi : processes_) {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        Quit(pi);
        if (WaitForSingleObject(pi.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
      }
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }

  // The program's clock stands at the universal time `utc` ("YYYYMMDDHHMMSS") until the next
  // call; the local time is the machine's time zone's, as on the system clock. The first call
  // (before Start) makes the program read its clock from the file.
  void ClockAt(const std::string& utc) const {
    std::string file = dir_ + "clock.txt", temp = dir_ + "clock.tmp";
    HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, utc.data(), static_cast<DWORD>(utc.size()), &written, nullptr);
    CloseHandle(f);
    // The program may be reading the file at this moment, which keeps it from being replaced.
    for (int i = 0; i < 200 && !MoveFileExA(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING); ++i) Sleep(10);
    SetEnvironmentVariableA("CORVALEN_CLOCK", file.c_str());
  }
  // The clock at a local time of this machine's time zone.
  void ClockAtLocal(const std::string& local) const { ClockAt(Universal(local)); }
  static std::string Universal(const std::string& local) {
    SYSTEMTIME l = {}, u = {};
    if (sscanf(local.c_str(), "%4hu%2hu%2hu%2hu%2hu%2hu", &l.wYear, &l.wMonth, &l.wDay, &l.wHour, &l.wMinute,
               &l.wSecond) != 6 ||
        !TzSpecificLocalTimeToSystemTime(nullptr, &l, &u))
      return local;
    char buf[32];
    snprintf(buf, sizeof buf, "%04u%02u%02u%02u%02u%02u", u.wYear, u.wMonth, u.wDay, u.wHour, u.wMinute, u.wSecond);
    return buf;
  }

  void Ras(const char* key, const char* value) const {
    WritePrivateProfileStringA("rassim", key, value, (dir_ + "rassim.ini").c_str());
  }
  static void User(const char* name, const std::string& value) { SetValue(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen", name, value); }
  static void Machine(const char* name, const std::string& value) {
    SetValue(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", name, value);
  }
  static std::string GetUser(const char* name) {
    char buf[512] = {};
    DWORD size = sizeof buf - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen", 0, KEY_READ, &key) != ERROR_SUCCESS)
      return "<missing>";
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buf) : std::string("<missing>");
  }
  static void DeleteUser(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, name);
      RegCloseKey(key);
    }
  }

  // Starts the program; returns its index.
  int Start(const std::string& args = "") {
    PROCESS_INFORMATION pi;
    if (!testsupport::StartProcess(dir_ + "Corvalen.exe", args, dir_, pi)) return -1;
    processes_.push_back(pi);
    return static_cast<int>(processes_.size()) - 1;
  }
  const PROCESS_INFORMATION& Process(int i) const { return processes_[static_cast<size_t>(i)]; }
  bool Exited(int i, DWORD ms) const {
    return WaitForSingleObject(processes_[static_cast<size_t>(i)].hProcess, ms * testsupport::TimeScale()) == WAIT_OBJECT_0;
  }

  // The first top-level window of the program's processes with that title (and visible, if asked).
  HWND FindTop(const char* title, bool visible, DWORD pid = 0) const {
    return testsupport::FindTopWindow([&](HWND w, DWORD owner) {
      if (!IsOurs(owner) || (pid && owner != pid)) return false;
      if (visible && !IsWindowVisible(w)) return false;
      char text[256] = {};
      GetWindowTextA(w, text, sizeof text);
      return std::string(text) == title;
    });
  }
  // A visible top-level window of the program of exactly that size (the splash picture).
  HWND FindSized(int width, int height) const {
    return testsupport::FindTopWindow([&](HWND w, DWORD owner) {
      RECT r;
      if (!IsOurs(owner) || !IsWindowVisible(w) || !GetWindowRect(w, &r)) return false;
      return r.right - r.left == width && r.bottom - r.top == height;
    });
  }
  // The tray icon's own window: hidden, 10 x 10, without title, of the program's class family.
  HWND FindHiddenTrayWindow(int* count = nullptr) const {
    HWND found = nullptr;
    int n = 0;
    testsupport::ForEachTopWindow([&](HWND w, DWORD owner) {
      RECT r;
      char cls[64] = {}, text[8] = {};
      GetClassNameA(w, cls, sizeof cls);
      GetWindowTextA(w, text, sizeof text);
      if (!IsOurs(owner) || IsWindowVisible(w) || !GetWindowRect(w, &r) || text[0]) return;
      if (r.right - r.left != 10 || r.bottom - r.top != 10 || strncmp(cls, "Afx:", 4) != 0) return;
      found = w;
      ++n;
    });
    if (count) *count = n;
    return found;
  }
  static void SetRemoteAccess(const char* name, const std::string& value) { SetValue(HKEY_CURRENT_USER, "RemoteAccess", name, value); }
  // Runs the AutoDial stand-in with the hook's function; its exit code (the hook's result), or
  // 9999 when it did not end in time. A router the hook starts is added to the programs.
  DWORD RunAutoDial(const char* function, DWORD ms) {
    DWORD code = testsupport::RunProcess(CORVALEN_AUTODIAL, function, dir_, ms * testsupport::TimeScale(), 9999, 9998);
    AdoptRouters();
    return code;
  }
  // Routers started by someone else (the hook): found by their main window's title.
  void AdoptRouters() {
    testsupport::ForEachTopWindow([this](HWND w, DWORD pid) {
      char text[64] = {};
      GetWindowTextA(w, text, sizeof text);
      if (std::string(text) != "Astrel Corvalen" || IsOurs(pid)) return;
      PROCESS_INFORMATION pi = {};
      pi.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
      pi.hThread = OpenThread(THREAD_ALL_ACCESS, FALSE, GetWindowThreadProcessId(w, nullptr));
      pi.dwProcessId = pid;
      if (pi.hProcess) processes_.push_back(pi);
    });
  }
  bool IsOurs(DWORD pid) const {
    for (const PROCESS_INFORMATION& pi : processes_)
      if (pi.dwProcessId == pid) return true;
    return false;
  }

  // Waits until the condition holds (polling every 20 ms); false after the limit.
  static bool WaitFor(const std::function<bool()>& cond, DWORD ms = 15000) { return testsupport::WaitFor(cond, ms); }

  HWND WaitMain(DWORD ms = 15000) const {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindTop("Astrel Corvalen", true)) != nullptr; }, ms);
    return w;
  }
  // Starts the program (its index in *index) and waits for its main dialog; null when either fails.
  HWND StartMain(int* index = nullptr, const std::string& args = "") {
    const int p = Start(args);
    if (index) *index = p;
    return p < 0 ? nullptr : WaitMain();
  }
  // The main dialog online: the group caption names the provider only once the connect has
  // succeeded; read first, it makes the other two reads see the finished state.
  static bool Online(HWND main) {
    return Text(main, kMainGroup).rfind("Aktuelle Verbindung : ", 0) == 0 && Text(main, kMainTrennen) == "&Trennen" &&
           Enabled(main, kMainTrennen);
  }
  // The main dialog offline after a hang-up (the caption is reset last of all, after the connected
  // mutex is released).
  static bool Offline(HWND main) {
    return Text(main, kMainGroup) == "Aktuelle Verbindung" && Enabled(main, kMainVerbinden) &&
           !Enabled(main, kMainTrennen);
  }
  // A message box of the program with that title; its text in *text.
  HWND WaitBox(const char* title, std::string* text, DWORD ms = 15000) const {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindTop(title, true)) != nullptr; }, ms);
    if (w && text) *text = BoxText(w);
    return w;
  }
  static std::string BoxText(HWND box) {
    char buf[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
    return buf;
  }
  static void Press(HWND dialog, int id) { testsupport::Click(dialog, id); }
  static std::string Text(HWND dialog, int id) {
    char buf[512] = {};
    GetDlgItemTextA(dialog, id, buf, sizeof buf);
    return buf;
  }
  static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
  static bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
  static std::vector<std::string> ComboItems(HWND dialog, int id) {
    std::vector<std::string> items;
    HWND combo = GetDlgItem(dialog, id);
    int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    // Item texts are read through the selection: Wine passes CB_GETLBTEXT to another process
    // without the text.
    int sel = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < n; ++i) {
      char buf[512] = {};
      SendMessageA(combo, CB_SETCURSEL, i, 0);
      SendMessageA(combo, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
      items.push_back(buf);
    }
    SendMessageA(combo, CB_SETCURSEL, sel, 0);
    return items;
  }
  static int ComboSel(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

  void Quit(const PROCESS_INFORMATION& pi) const {
    HWND w = FindTop("Astrel Corvalen", false, pi.dwProcessId);
    if (w) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
  }

  // TRUE when some process owns the connected mutex (it cannot be taken within 50 ms).
  static bool ConnectedMutexOwned() {
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, "CORVALENCONNECTED");
    if (!m) return false;
    DWORD w = WaitForSingleObject(m, 50);
    if (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED) ReleaseMutex(m);
    CloseHandle(m);
    return w == WAIT_TIMEOUT;
  }

  std::string File(const char* name) const { return Slurp(dir_ + name); }
  std::string RasLog() const { return File("rassim.log"); }
  int RasCount(const std::string& what) const {
    std::string log = RasLog();
    int n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  }
  std::string PhonebookValue(const char* entry, const char* key) const {
    char buf[1024] = {};
    GetPrivateProfileStringA(entry, key, "<missing>", buf, sizeof buf, (dir_ + "rassim.pbk").c_str());
    return buf;
  }
  const std::string& Dir() const { return dir_; }
  static std::string Slurp(const std::string& path) { return testsupport::ReadFileBytes(path); }

 private:
  static void SetValue(HKEY root, const char* path, const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }

  std::string dir_;
  std::vector<PROCESS_INFORMATION> processes_;
};
