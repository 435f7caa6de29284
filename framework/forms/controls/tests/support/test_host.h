// The top-level window the window tests and benchmarks put their controls into: visible at once,
// its children clipped, with a frame and caption or as a bare popup (nothing drawn around the
// client area, so that screen positions match the client's).
#pragma once

#include "controls.h"

class TTestHost : public TWinControl {
public:
  enum TFrame { Framed, Popup };
  TTestHost(int ALeft, int ATop, int AWidth, int AHeight, TFrame AFrame = Framed)
      : TWinControl(nullptr), FFrame(AFrame) {
    SetBounds(ALeft, ATop, AWidth, AHeight);
  }
  const char* ClassName() const override { return "TTestHost"; }

protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    p.Style = (FFrame == Framed ? WS_OVERLAPPEDWINDOW : WS_POPUP) | WS_CLIPCHILDREN | WS_VISIBLE;
  }

private:
  TFrame FFrame;
};
