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

std::string WholeText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
  std::wstring wide(length + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, wide.size(), LPARAM(&wide[0]), SMTO_ABORTIFHUNG, 5000, &got)) return "";
  wide.resize(got);
  std::string text(wide.size() * 2 + 1, '\0');
  const int n = WideCharToMultiByte(1252, 0, wide.c_str(), int(wide.size()), &text[0], int(text.size()), nullptr, nullptr);
  text.resize(n > 0 ? n : 0);
  return text;
}

HWND FindVisibleChild(HWND top, const char* classPrefix) {
  struct Search {
    const char* prefix;
    HWND found;
  } search = {classPrefix, nullptr};
  EnumChildWindows(
      top,
      [](HWND w, LPARAM l) __attribute__((stdcall)) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (_strnicmp(cls, s->prefix, lstrlenA(s->prefix)) != 0 || !IsWindowVisible(w)) return TRUE;
        s->found = w;
        return FALSE;
      },
      LPARAM(&search));
  return search.found;
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace testsupport
