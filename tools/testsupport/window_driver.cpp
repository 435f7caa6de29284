#include "window_driver.h"

#include <cstdlib>

namespace testsupport {

namespace {

struct Search {
  const std::function<bool(HWND, DWORD)>* match;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
  Search& s = *reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (!(*s.match)(window, pid)) return TRUE;
  s.found = window;
  return FALSE;
}

BOOL CALLBACK Visit(HWND window, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  (*reinterpret_cast<const std::function<void(HWND, DWORD)>*>(param))(window, pid);
  return TRUE;
}

}  // namespace

void ForEachTopWindow(const std::function<void(HWND, DWORD)>& visit) {
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&visit));
}

HWND FindTopWindow(const std::function<bool(HWND, DWORD)>& match) {
  Search s{&match, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindCaption(DWORD pid, const std::string& caption) {
  return FindTopWindow([&](HWND w, DWORD owner) {
    return owner == pid && IsWindowVisible(w) && WindowText(w) == caption;
  });
}

DWORD TimeScale() {
  static const DWORD scale = [] {
    char value[16] = "";
    DWORD n = GetEnvironmentVariableA("ASTREL_TIME_SCALE", value, sizeof value);
    long v = n > 0 && n < sizeof value ? strtol(value, nullptr, 10) : 1;
    return DWORD(v >= 1 && v <= 10 ? v : 1);
  }();
  return scale;
}

bool WaitFor(const std::function<bool()>& cond, DWORD ms, DWORD pollMs) {
  ms *= TimeScale();
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(pollMs);
  }
  return true;
}

std::string WindowText(HWND window) {
  char buf[4096] = "";
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
  return buf;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace testsupport
