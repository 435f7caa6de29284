// Graphics over a device context: TFont, TPen, TBrush and TCanvas. Each graphic object
// creates its GDI handle when first asked for it and drops it when a property changes; the
// canvas selects the current handles into its DC before it draws.
#pragma once

#include <windows.h>

#include <functional>

#include "classes.h"
#include "colors.h"
#include "fontstyles.h"

// A colour as the window system wants it: system colours through GetSysColor.
COLORREF ColorRef(TColor color);
// Makes ColorToRGB ask the window system for system colours (called by the graphic objects).
void InstallSystemColors();
// Gives the portable picture classes (bitmap, icon, metafile) their window-system routines:
// drawing, palette handles, the clipboard (picture_platform_win.cpp). Every canvas calls it
// before it draws, so those classes draw wherever a canvas exists.
void InstallPicturePlatform();

struct TRect : RECT {
  TRect() : RECT{0, 0, 0, 0} {}
  TRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  TRect(const RECT& r) : RECT(r) {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// The common part of font, pen and brush: a colour, a handle made on demand, a change event.
class TGraphicsObject : public TPersistent {
public:
  // OnChanging runs before a handle is dropped (the canvas takes it out of its DC first).
  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;
  ~TGraphicsObject() override { FreeHandle(); }

protected:
  void Changed();
  void FreeHandle();
  HGDIOBJ FHandle = nullptr;
};

enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
public:
  TFont();
  const char* ClassName() const override { return "TFont"; }
  void Assign(TPersistent* Source) override;

  const String& Name() const { return FName; }
  void SetName(const String& v) { if (v != FName) { FName = v; FontChanged(); } }
  // Height in pixels (negative: character height without internal leading); Size in points.
  int Height() const { return FHeight; }
  void SetHeight(int v) { if (v != FHeight) { FHeight = v; FontChanged(); } }
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { if (v != FColor) { FColor = v; if (OnChange) OnChange(this); } }
  TFontStyles Style() const { return FStyle; }
  // A style change keeps the handles: one is made and kept for each style in use.
  void SetStyle(TFontStyles v) { if (v != FStyle) { FStyle = v; if (OnChange) OnChange(this); } }
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch v) { if (v != FPitch) { FPitch = v; FontChanged(); } }

  // The handle for the current style.
  HFONT Handle();

private:
  String FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontPitch FPitch = fpDefault;
  HFONT FStyled[16] = {};
  void FreeStyled();
  void FontChanged();
  HFONT Make(TFontStyles style) const;

public:
  ~TFont() override;
};

enum TPenStyle { psSolid, psDash, psDot, psClear };
// How the pen's colour combines with the screen: the window system's sixteen mixes (SetROP2),
// pmCopy paints the colour, pmNot inverts the screen, pmXor mixes the two.
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
  const char* ClassName() const override { return "TPen"; }
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { if (v != FColor) { FColor = v; Changed(); } }
  int Width() const { return FWidth; }
  void SetWidth(int v) { if (v != FWidth) { FWidth = v; Changed(); } }
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle v) { if (v != FStyle) { FStyle = v; Changed(); } }
  // The mode needs no new handle: the canvas sets it on its DC when it draws.
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode v) { if (v != FMode) { FMode = v; if (OnChange) OnChange(this); } }
  HPEN Handle();

private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
  const char* ClassName() const override { return "TBrush"; }
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { if (v != FColor) { FColor = v; Changed(); } }
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle v) { if (v != FStyle) { FStyle = v; Changed(); } }
  HBRUSH Handle();

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

// Drawing on a DC. The DC is set by the owner (a paint call, a window DC, a memory DC);
// the canvas restores the DC's original objects when the DC is taken away.
class TCanvas : public TPersistent {
public:
  TCanvas();
  ~TCanvas() override;
  const char* ClassName() const override { return "TCanvas"; }

  HDC Handle() const { return FDC; }
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FDC != nullptr; }

  TFont* Font() { return &FFont; }
  TPen* Pen() { return &FPen; }
  TBrush* Brush() { return &FBrush; }

  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Rectangle(int l, int t, int r, int b);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, const String& text);
  // Text clipped to r, the rectangle filled with the brush colour first.
  void TextRect(const TRect& r, int x, int y, const String& text);
  // Text in a fixed grid: every character advances cellWidth pixels, clipped to r, which is
  // filled with the brush colour first.
  void TextCells(const TRect& r, int x, int y, const String& text, int cellWidth);
  int TextWidth(const String& text);
  int TextHeight(const String& text);
  SIZE TextExtent(const String& text);
  TRect ClipRect() const;
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);

  // The raster operation of CopyRect (SRCCOPY at first).
  DWORD CopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD v) { FCopyMode = v; }
  // Copies the Source rectangle of another canvas into Dest, stretched when the sizes differ.
  void CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source);
  // A picture of any class in its own size at (X, Y), or stretched into Rect.
  void Draw(int X, int Y, class TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, class TGraphic* Graphic);

private:
  void Select();
  void Deselect();
  HDC FDC = nullptr;
  DWORD FCopyMode = SRCCOPY;
  HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
};
