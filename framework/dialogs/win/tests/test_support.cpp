#include "test_support.h"

#include "window_driver.h"

#ifndef ASTREL_OWN_APP
// The test program's application object, as every program of the library has one.
CWinApp theApp("Prüfprogramm");
#endif

namespace {

// A message box of this process: a visible dialog window without an object of the library.
HWND FindBox() {
  return testsupport::FindTopWindow([](HWND wnd, DWORD pid) {
    return pid == ::GetCurrentProcessId() && ::IsWindowVisible(wnd) && WindowClass(wnd) == "#32770" &&
           !CWnd::FromHandlePermanent(wnd);
  });
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
    HWND box = nullptr;
    if (!testsupport::WaitFor([&] { return (box = FindBox()) != nullptr; }, static_cast<DWORD>(timeoutMs), 10)) return;
    char buf[512] = {};
    ::GetWindowTextA(box, buf, sizeof buf);
    title = buf;
    ::EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    seen_ = true;
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
