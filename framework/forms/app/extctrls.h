// More controls: TShape (a frame or filled figure), TImage (a picture, stretched or in its own
// size) and TScrollBox (a window whose children can lie beyond its client area, with scroll
// bars over them).
#pragma once

#include <memory>

#include "controls.h"
#include "picture.h"

enum TShapeType { stRectangle };

// A figure drawn with a pen and a brush over its whole bounds (TGraphicControl: no window).
class TShape : public TGraphicControl {
public:
  explicit TShape(TComponent* AOwner);
  const char* ClassName() const override { return "TShape"; }
  TPen* Pen() { return &FPen; }
  TBrush* Brush() { return &FBrush; }
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType v) { FShape = v; Invalidate(); }
  void Paint(TCanvas& Canvas) override;

private:
  TPen FPen;
  TBrush FBrush;
  TShapeType FShape = stRectangle;
};

// A picture control (TGraphicControl). With Stretch the picture fills the bounds; otherwise it is
// drawn in its own size at the top-left corner (centred with Center). With AutoSize the control
// takes the picture's size whenever the picture changes.
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  const char* ClassName() const override { return "TImage"; }
  TPicture* Picture() { return FPicture.get(); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool v) { FStretch = v; Invalidate(); }
  bool Center() const { return FCenter; }
  void SetCenter(bool v) { FCenter = v; Invalidate(); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  void Paint(TCanvas& Canvas) override;

protected:
  // The picture changed: repaint, and the size follows it with AutoSize.
  virtual void PictureChanged();

private:
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false, FCenter = false, FAutoSize = false;
};

// A scroll bar of a scroll box: its position (the content's offset in pixels), the content's
// extent (Range) and whether the thumb moves the content while it is dragged (Tracking).
struct TControlScrollBar {
  int Position = 0;
  int Range = 0;
  bool Tracking = false;
  int Increment = 8;
};

// A window whose child windows are placed in its content, which may be larger than the client
// area: the children's positions are relative to the visible part (a child at content x lies at
// x - HorzScrollBar.Position). Scrolling moves the child windows with the window system's scroll
// and lets their stored positions follow. With AutoScroll the ranges follow the children's extent
// (UpdateRange); otherwise the owner sets them.
class TScrollBox : public TCustomControl {
public:
  explicit TScrollBox(TComponent* AOwner);
  const char* ClassName() const override { return "TScrollBox"; }

  TControlScrollBar& HorzScrollBar() { return FHorz; }
  TControlScrollBar& VertScrollBar() { return FVert; }
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool v) { FAutoScroll = v; UpdateRange(); }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v) { if (v != FBorderStyle) { FBorderStyle = v; RecreateWnd(); } }

  // Moves the content so that its point (X, Y) is at the client area's top-left (clamped).
  void ScrollTo(int X, int Y);
  void ScrollBy(int DX, int DY) { ScrollTo(FHorz.Position + DX, FVert.Position + DY); }
  // The content's extent from the children (with AutoScroll), then the scroll bars.
  void UpdateRange();
  // Sets the ranges directly (without AutoScroll) and shows the scroll bars for them.
  void SetRange(int Width, int Height);
  // Scrolls a child into view when it lies partly outside the client area.
  void ScrollInView(TControl* AControl);

protected:
  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override { UpdateScrollBars(); }
  void OnSize() override { UpdateScrollBars(); }
  void HScroll(int Code, int Pos) override;
  void VScroll(int Code, int Pos) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void UpdateScrollBars();

private:
  int Scrolled(const TControlScrollBar& Bar, int Code, int Page, int Track) const;
  TControlScrollBar FHorz, FVert;
  bool FAutoScroll = true;
  TBorderStyle FBorderStyle = bsSingle;
  bool FUpdating = false;
};
