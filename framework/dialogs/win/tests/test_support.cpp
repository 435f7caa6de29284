#include "test_support.h"

#include <chrono>

#ifndef ASTREL_OWN_APP
// The test program's application object, as every program of the library has one.
CWinApp theApp("Prüfprogramm");
#endif

namespace {

struct FindBox {
  HWND found = nullptr;
};

BOOL CALLBACK FindBoxProc(HWND wnd, LPARAM lp) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(wnd, &pid);
  if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(wnd)) return TRUE;
  if (WindowClass(wnd) != "#32770" || CWnd::FromHandlePermanent(wnd)) return TRUE;
  reinterpret_cast<FindBox*>(lp)->found = wnd;
  return FALSE;
}

BOOL CALLBACK LongestStatic(HWND wnd, LPARAM lp) {
  if (WindowClass(wnd) == "Static") {
    char buf[2048] = {};
    ::GetWindowTextA(wnd, buf, sizeof buf);
    std::string* best = reinterpret_cast<std::string*>(lp);
    if (std::string(buf).size() > best->size()) *best = buf;
  }
  return TRUE;
}

}  // namespace

std::string WindowClass(HWND wnd) {
  char name[64] = {};
  ::GetClassNameA(wnd, name, sizeof name);
  return name;
}

MessageBoxCloser::MessageBoxCloser(int answer, int timeoutMs) {
  thread_ = std::thread([this, answer, timeoutMs] {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      FindBox f;
      ::EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&f));
      if (f.found) {
        char buf[512] = {};
        ::GetWindowTextA(f.found, buf, sizeof buf);
        title = buf;
        ::EnumChildWindows(f.found, LongestStatic, reinterpret_cast<LPARAM>(&text));
        ::PostMessageA(f.found, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        seen_ = true;
        return;
      }
      ::Sleep(10);
    }
  });
}

bool MessageBoxCloser::Wait() {
  if (!joined_) {
    thread_.join();
    joined_ = true;
  }
  return seen_;
}

MessageBoxCloser::~MessageBoxCloser() { Wait(); }

std::vector<std::string> ReportCollector::reports;

ReportCollector::ReportCollector() {
  reports.clear();
  old_ = AfxSetExceptionReporter([](const char* text) { reports.push_back(text); });
}

ReportCollector::~ReportCollector() { AfxSetExceptionReporter(old_); }

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}
