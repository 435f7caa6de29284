#include "dialog_script.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <cstring>

namespace {
DialogScript* g_running = nullptr;
const DWORD kScriptTimeoutMs = 15000;

struct Search {
  std::string title;
  bool dialogClassOnly;
  HWND found;
};

BOOL CALLBACK FindProc(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (!::IsWindowVisible(wnd)) return TRUE;
  if (WindowText(wnd) != s->title) return TRUE;
  if (s->dialogClassOnly && ClassOf(wnd) != "#32770") return TRUE;
  s->found = wnd;
  return FALSE;
}

BOOL CALLBACK TipProc(HWND w, LPARAM lp) {
  if (ClassOf(w) == TOOLTIPS_CLASSA) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}

BOOL CALLBACK OtherProc(HWND w, LPARAM lp) {
  auto* o = reinterpret_cast<HWND*>(lp);  // {except, found}
  if (w == o[0] || !::IsWindowVisible(w) || ClassOf(w) != "#32770") return TRUE;
  o[1] = w;
  return FALSE;
}

// With CORVDLG_SHOTS set to a folder, every visible window of the thread is saved there as a
// bitmap before each step (to look at the dialogs as a user sees them).
BOOL CALLBACK ShotProc(HWND w, LPARAM) {
  char dir[MAX_PATH] = {};
  if (!::IsWindowVisible(w) || !::GetEnvironmentVariableA("CORVDLG_SHOTS", dir, sizeof dir)) return TRUE;
  static int n = 0;
  RECT rc;
  ::GetWindowRect(w, &rc);
  int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  if (cx <= 0 || cy <= 0) return TRUE;
  HDC src = ::GetWindowDC(w), mem = ::CreateCompatibleDC(src);
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, cx, cy, src, 0, 0, SRCCOPY);
  ::GdiFlush();
  DWORD size = static_cast<DWORD>(((cx * 3 + 3) & ~3) * cy);
  BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                         static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
  std::string path = std::string(dir) + "\\shot" + std::to_string(++n) + ".bmp";
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  ::WriteFile(f, &fh, sizeof fh, &written, nullptr);
  ::WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &written, nullptr);
  ::WriteFile(f, bits, size, &written, nullptr);
  ::CloseHandle(f);
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(w, src);
  return TRUE;
}

BOOL CALLBACK CloseProc(HWND wnd, LPARAM) {
  if (::IsWindowVisible(wnd)) ::PostMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}
}  // namespace

DialogScript::DialogScript() = default;

DialogScript::~DialogScript() {
  if (timer_) ::KillTimer(nullptr, timer_);
  if (g_running == this) g_running = nullptr;
}

void DialogScript::Start() {
  g_running = this;
  started_ = ::GetTickCount();
  timer_ = ::SetTimer(nullptr, 0, 20, &DialogScript::Tick);
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  DialogScript* s = g_running;
  if (!s || s->inStep_) return;
  if (s->Finished()) {
    ::KillTimer(nullptr, s->timer_);
    s->timer_ = 0;
    return;
  }
  if (::GetTickCount() - s->started_ > kScriptTimeoutMs) {
    s->timedOut_ = true;
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseProc, 0);
    return;
  }
  s->inStep_ = true;
  if (::GetEnvironmentVariableA("CORVDLG_SHOTS", nullptr, 0)) ::EnumThreadWindows(::GetCurrentThreadId(), ShotProc, 0);
  bool done = s->steps_[s->next_]();
  s->inStep_ = false;
  if (done) ++s->next_;
}

HWND FindThreadWindow(const std::string& title) {
  Search s{title, false, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindMessageBox(const std::string& title) {
  Search s{title, true, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindOtherDialog(HWND except) {
  struct Other {
    HWND except, found;
  } o{except, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), OtherProc, reinterpret_cast<LPARAM>(&o));
  return o.found;
}

std::string ItemText(HWND dlg, int id) { return WindowText(::GetDlgItem(dlg, id)); }

std::vector<std::string> ListItems(HWND dlg, int id) {
  std::vector<std::string> out;
  HWND list = ::GetDlgItem(dlg, id);
  int n = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    std::string line(static_cast<size_t>(::SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    line.resize(static_cast<size_t>(::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]))));
    out.push_back(line);
  }
  return out;
}

ModalRun RunModal(const std::string& title, const std::function<void(HWND)>& read,
                  const std::function<INT_PTR()>& show, int button) {
  DialogScript script;
  script.Then([&] {
    HWND dlg = FindThreadWindow(title);
    if (!dlg) return false;
    read(dlg);
    PostClick(dlg, button);
    return true;
  });
  script.Start();
  INT_PTR result = show();
  return {result, script.Finished()};
}

std::string MessageBoxText(HWND box) { return ItemText(box, 0xFFFF); }

std::string ToolTipText(HWND dlg, int id) {
  // The dialog's tool tip is a top-level window of this thread owned by the dialog.
  struct Tips {
    std::vector<HWND> found;
  } tips;
  ::EnumThreadWindows(::GetCurrentThreadId(), TipProc, reinterpret_cast<LPARAM>(&tips.found));
  for (HWND tip : tips.found) {
    char text[1024] = {};
    TOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = dlg;
    ti.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(dlg, id));
    ti.lpszText = text;
    if (::SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) {
      ::SendMessageA(tip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
      return text;
    }
  }
  return "";
}

std::string MakeRouterFolder(const std::string& name) {
  char tmp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, tmp);
  std::string dir = std::string(tmp) + name;
  ::CreateDirectoryA(dir.c_str(), nullptr);
  HKEY key;
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", &key);
  ::RegSetValueExA(key, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                   static_cast<DWORD>(dir.size() + 1));
  ::RegCloseKey(key);
  return dir;
}

DialogScript::Step AnswerBox(const std::string& title, std::string* text, int button) {
  return [=] {
    HWND box = FindMessageBox(title);
    if (!box) return false;
    if (text) *text = MessageBoxText(box);
    ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return true;
  };
}

DialogScript::Step ClickWhenAlone(HWND* wnd, int id) {
  return [=] {
    if (FindOtherDialog(*wnd)) return false;
    PostClick(*wnd, id);
    return true;
  };
}

namespace {
const char kUserKey[] = "Software\\ASTREL\\Corvalen";
}

std::string UserSetting(const char* name) {
  char buf[512] = {};
  DWORD len = sizeof buf;
  if (::SHGetValueA(HKEY_CURRENT_USER, kUserKey, name, nullptr, buf, &len) != ERROR_SUCCESS) return "<missing>";
  return buf;
}

void SetUserSetting(const char* name, const char* value) {
  ::SHSetValueA(HKEY_CURRENT_USER, kUserKey, name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1));
}
