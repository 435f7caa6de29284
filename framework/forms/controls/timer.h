// TTimer: OnTimer every Interval milliseconds while Enabled. All timers share one hidden
// message window of the thread; each tick is an exception firewall.
#pragma once

#include <windows.h>

#include "classes.h"

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner = nullptr);
  ~TTimer() override;
  const char* ClassName() const override { return "TTimer"; }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned v);
  TNotifyEvent OnTimer;

  // Runs OnTimer as a tick would (tests drive timers this way instead of waiting).
  void Tick();

private:
  void Update();
  bool FEnabled = true;
  unsigned FInterval = 1000;
  UINT_PTR FId = 0;
  bool FRunning = false;
  friend LRESULT CALLBACK TimerWindowProc(HWND, UINT, WPARAM, LPARAM);
};
