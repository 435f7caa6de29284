// TPixView: a windowed control that shows one 24-bit bitmap scaled by a zoom percentage, with
// optional window scroll bars, a background colour around the picture and an optional selection
// frame of moving dashes. It paints the picture's DIB as DrawDib would (with StretchDIBits, which
// spares the copy of the whole picture that Wine's DrawDib makes on every call) and realises the
// palette through its DrawDib context. The loader and the processing component attach to it
// (TPixHost) and write into its very Bitmap.
#pragma once

#include <functional>
#include <memory>

#include "controls.h"
#include "drawdib_win.h"
#include "pixhost.h"
#include "timer.h"

using TViewChangeEvent = std::function<void(TObject* Sender, int Change)>;

// The program's cursors of the view, by number (their resources are named in pixview.cpp).
enum : int { crZoomOut = 1778, crZoomIn, crCross, crEraser, crHand, crPen, crCross1, crCross2 };

class TPixView : public TCustomControl, public TPixHost {
public:
  explicit TPixView(TComponent* AOwner);
  ~TPixView() override;
  const char* ClassName() const override { return "TPixView"; }

  TBitmap* Bitmap() { return FBitmap.get(); }
  TBitmap& PixBitmap() override { return *FBitmap; }

  TColor Background() const override { return FBackground; }
  void SetBackground(TColor Value) override;  // store, re-layout, image-changed notification
  bool ScrollBars() const { return FScrollBars; }
  void SetScrollBars(bool Value);
  bool AnimatedSel() const { return FAnimatedSel; }
  void SetAnimatedSel(bool Value);

  // Scroll offsets in zoomed (screen) pixels, 0 .. MaxViewX / MaxViewY.
  int ViewX() const { return FViewX; }
  int ViewY() const { return FViewY; }
  void SetViewX(int Value);
  void SetViewY(int Value);
  int MaxViewX() const;
  int MaxViewY() const;
  int Zoom() const { return FZoom; }
  void SetZoom(int Percent);  // then re-layout

  int DpiX() const { return FDpiX; }
  int DpiY() const { return FDpiY; }
  int DpcmX() const { return FDpcmX; }
  int DpcmY() const { return FDpcmY; }
  void SetDPI(int X, int Y) override;

  // The selection frame, in zoomed picture pixels; shown at (X - ViewX, Y - ViewY).
  void SetSelection(int X1, int Y1, int X2, int Y2);
  void ClearSelection();
  bool SelectionShown() const { return FSelShown; }
  int AntsPhase() const { return FPhase; }
  // The frame's timer (tests step it instead of waiting).
  TTimer* SelectionTimer() { return FTimer.get(); }
  static int DashPeriod();

  // nullptr: the picture filled with Background (its size kept); a TPixView: its picture,
  // background and resolution; a TBitmap: its picture at 24 bits (1-bit ones with 1 bits white);
  // anything else: nothing.
  void Assign(TPersistent* Source) override;

  // Re-layout: offsets clamped, scroll bars set, repaint.
  void Update() override;
  virtual void ImageChange() override { FireEvent(OnImageChange, this); }

  TViewChangeEvent OnViewChange;
  TNotifyEvent OnImageChange;

protected:
  void Paint() override;
  void OnSize() override { Update(); }
  void HScroll(int Code, int Pos) override { SetViewX(ScrollTo(Code, Pos, FViewX, MaxViewX())); }
  void VScroll(int Code, int Pos) override { SetViewY(ScrollTo(Code, Pos, FViewY, MaxViewY())); }
  LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L) override;
  bool SetCursorMessage(int X, int Y) override;

private:
  static int ScrollTo(int Code, int Pos, int Current, int Max);
  void MaxOffsets(int& MX, int& MY) const;
  void PaintInto(HDC DC);
  void ViewChanged() { FireEvent(OnViewChange, this, 0); }
  void StartFrame(bool StepNow);
  void StopFrame(bool Restore);
  void StepFrame();
  void SaveStrips(TCanvas& Screen, int x1, int y1, int x2, int y2);
  void RestoreStrips(TCanvas& Screen, int x1, int y1, int x2, int y2);
  void DrawFrame(TCanvas& Screen, int x1, int y1, int x2, int y2);
  template <typename Work>
  void OnScreen(Work work);

  TColor FBackground = clBlack;
  bool FSelShown = false, FScrollBars = false, FAnimatedSel = true;
  int FPhase = 0;
  std::unique_ptr<TBitmap> FStrips[4];  // top, bottom, left, right
  int FViewX = 0, FViewY = 0, FZoom = 100;
  int FSelX1 = 0, FSelY1 = 0, FSelX2 = 0, FSelY2 = 0;
  int FDpiX = 0, FDpiY = 0, FDpcmX = 0, FDpcmY = 0;
  std::unique_ptr<TTimer> FTimer;
  TDrawDib FDrawDib;
  std::unique_ptr<TBitmap> FBitmap;
  int FUpdateDepth = 0;
};
