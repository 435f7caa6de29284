// What the tests of the mailbox check share: the check with its boxes recorded, and a message
// pump that runs until the check has ended.
#pragma once

#include "MailCheck.h"

#include <string>
#include <vector>

// The check with its boxes recorded instead of shown.
class TestMailCheck : public CMailCheck {
 public:
  using CMailCheck::CMailCheck;
  struct Box {
    std::string text;
    UINT flags;
  };
  std::vector<Box> boxes;

 protected:
  void ShowMessage(const CString& text, UINT flags) override { boxes.push_back({text.str(), flags}); }
};

// Pumps the thread's messages until the check has ended or the time is up; the milliseconds
// it took.
inline DWORD PumpUntilEnded(CMailCheck& check, DWORD limitMs = 10000) {
  DWORD start = GetTickCount();
  while (check.GetSocket() && GetTickCount() - start < limitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return GetTickCount() - start;
}
