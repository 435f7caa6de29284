#include "timer.h"

#include <map>

#include "controls.h"

namespace {

std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> m;
  return m;
}
UINT_PTR gNextId = 1;

}  // namespace

LRESULT CALLBACK TimerWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    auto it = Timers().find(UINT_PTR(wp));
    if (it != Timers().end()) {
      try {
        it->second->Tick();
      } catch (...) {
        HandleException();
      }
    }
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

static HWND TimerWindow() {
  static HWND w = nullptr;
  if (!w) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &TimerWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AstrelTimerWindow";
    RegisterClassA(&wc);
    w = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                        wc.hInstance, nullptr);
  }
  return w;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  FEnabled = false;
  Update();
}

void TTimer::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  Update();
}

void TTimer::SetInterval(unsigned v) {
  if (v == FInterval) return;
  FInterval = v;
  Update();
}

void TTimer::Update() {
  if (FRunning) {
    KillTimer(TimerWindow(), FId);
    Timers().erase(FId);
    FRunning = false;
  }
  if (FEnabled && FInterval > 0) {
    FId = gNextId++;
    Timers()[FId] = this;
    if (SetTimer(TimerWindow(), FId, FInterval, nullptr)) FRunning = true;
    else Timers().erase(FId);
  }
}

void TTimer::Tick() {
  if (OnTimer) OnTimer(this);
}
