// Helpers of the window tests: the test program's application object, a closer for message
// boxes, and the collector of reported exceptions.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "AfxWin.h"

// Waits on a thread of its own for a message box of this process (a dialog window without an
// object of the library), records its title and text and answers it with `answer`.
class MessageBoxCloser {
 public:
  explicit MessageBoxCloser(int answer = IDOK, int timeoutMs = 10000);
  ~MessageBoxCloser();
  // Waits for the thread; TRUE when a box was seen and answered.
  bool Wait();
  std::string title;
  std::string text;

 private:
  std::thread thread_;
  std::atomic<bool> seen_{false};
  bool joined_ = false;
};

// Reports of exceptions that escaped a handler, collected while the object lives.
class ReportCollector {
 public:
  ReportCollector();
  ~ReportCollector();
  static std::vector<std::string> reports;

 private:
  AfxExceptionReporter old_;
};

// Dispatches the messages waiting for this thread.
void PumpMessages();
std::string WindowClass(HWND wnd);
