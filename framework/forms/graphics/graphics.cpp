#include "graphics.h"

#include <vector>

#include "graphic.h"

namespace {

TColor SystemColorFromWindows(int index) { return TColor(GetSysColor(index)); }

}  // namespace

void InstallSystemColors() {
  static bool installed = false;
  if (!installed) {
    SetSystemColorLookup(&SystemColorFromWindows);
    installed = true;
  }
}

COLORREF ColorRef(TColor color) {
  InstallSystemColors();
  return COLORREF(ColorToRGB(color));
}

// ---- TGraphicsObject ------------------------------------------------------------------------

void TGraphicsObject::FreeHandle() {
  if (FHandle) {
    DeleteObject(FHandle);
    FHandle = nullptr;
  }
}

void TGraphicsObject::Changed() {
  if (OnChanging) OnChanging(this);
  FreeHandle();
  if (OnChange) OnChange(this);
}

// ---- TFont ----------------------------------------------------------------------------------

TFont::TFont() { InstallSystemColors(); }

TFont::~TFont() { FreeStyled(); }

void TFont::FontChanged() {
  if (OnChanging) OnChanging(this);
  FreeStyled();
  if (OnChange) OnChange(this);
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FPitch = f->FPitch;
    FontChanged();
    return;
  }
  TPersistent::Assign(Source);
}

static int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

int TFont::Size() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }

HFONT TFont::Make(TFontStyles style) const {
  LOGFONTA lf = {};
  lf.lfHeight = FHeight;
  lf.lfWeight = style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style.Contains(fsItalic);
  lf.lfUnderline = style.Contains(fsUnderline);
  lf.lfStrikeOut = style.Contains(fsStrikeOut);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  // A fixed-pitch font asks for the modern family too, so that a missing face falls back to a
  // fixed-pitch one.
  lf.lfPitchAndFamily = FPitch == fpFixed      ? BYTE(FIXED_PITCH | FF_MODERN)
                        : FPitch == fpVariable ? BYTE(VARIABLE_PITCH)
                                               : BYTE(DEFAULT_PITCH);
  lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

void TFont::FreeStyled() {
  for (HFONT& f : FStyled)
    if (f) {
      DeleteObject(f);
      f = nullptr;
    }
}

HFONT TFont::Handle() {
  HFONT& f = FStyled[FStyle.Bits() & 15];
  if (!f) f = Make(FStyle);
  return f;
}

// ---- TPen, TBrush ---------------------------------------------------------------------------

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HPEN TPen::Handle() {
  if (!FHandle) {
    const int style = FStyle == psDash ? PS_DASH : FStyle == psDot ? PS_DOT
                      : FStyle == psClear ? PS_NULL : PS_SOLID;
    FHandle = CreatePen(style, FWidth, ColorRef(FColor));
  }
  return HPEN(FHandle);
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    FColor = b->FColor;
    FStyle = b->FStyle;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

HBRUSH TBrush::Handle() {
  if (!FHandle)
    FHandle = FStyle == bsClear ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(ColorRef(FColor));
  return HBRUSH(FHandle);
}

// ---- TCanvas --------------------------------------------------------------------------------

TCanvas::TCanvas() {
  InstallSystemColors();
  InstallPicturePlatform();
  // A handle about to be dropped must not stay selected into the DC.
  auto deselect = [this](TObject*) { Deselect(); };
  FFont.OnChanging = deselect;
  FPen.OnChanging = deselect;
  FBrush.OnChanging = deselect;
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == FDC) return;
  Deselect();
  FDC = dc;
}

void TCanvas::Select() {
  if (!FDC) throw EInvalidOperation("Leinwand gestattet kein Zeichnen");
  HGDIOBJ f = SelectObject(FDC, FFont.Handle());
  HGDIOBJ p = SelectObject(FDC, FPen.Handle());
  HGDIOBJ b = SelectObject(FDC, FBrush.Handle());
  if (!FOldFont) FOldFont = f;
  if (!FOldPen) FOldPen = p;
  if (!FOldBrush) FOldBrush = b;
  SetTextColor(FDC, ColorRef(FFont.Color()));
  SetBkColor(FDC, ColorRef(FBrush.Color()));
  SetBkMode(FDC, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
  // The pen modes in the order of TPenMode.
  static const int kROP2[16] = {R2_BLACK,       R2_WHITE,       R2_NOP,     R2_NOT,        R2_COPYPEN,    R2_NOTCOPYPEN,
                                R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                                R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,  R2_NOTXORPEN};
  SetROP2(FDC, kROP2[FPen.Mode()]);
}

void TCanvas::Deselect() {
  if (!FDC) return;
  if (FOldFont) SelectObject(FDC, FOldFont);
  if (FOldPen) SelectObject(FDC, FOldPen);
  if (FOldBrush) SelectObject(FDC, FOldBrush);
  FOldFont = FOldPen = FOldBrush = nullptr;
}

void TCanvas::FillRect(const TRect& r) {
  Select();
  if (FBrush.Style() != bsClear) ::FillRect(FDC, &r, FBrush.Handle());
}

void TCanvas::FrameRect(const TRect& r) {
  Select();
  ::FrameRect(FDC, &r, FBrush.Handle());
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
  Select();
  ::Rectangle(FDC, l, t, r, b);
}

void TCanvas::MoveTo(int x, int y) {
  Select();
  MoveToEx(FDC, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Select();
  ::LineTo(FDC, x, y);
}

void TCanvas::TextOut(int x, int y, const String& text) {
  Select();
  ExtTextOutA(FDC, x, y, 0, nullptr, text.data(), UINT(text.size()), nullptr);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const String& text) {
  Select();
  ExtTextOutA(FDC, x, y, ETO_CLIPPED | (FBrush.Style() == bsClear ? 0 : ETO_OPAQUE), &r,
              text.data(), UINT(text.size()), nullptr);
}

void TCanvas::TextCells(const TRect& r, int x, int y, const String& text, int cellWidth) {
  Select();
  SetBkColor(FDC, ColorRef(FBrush.Color()));
  std::vector<INT> dx(text.size(), cellWidth);
  ExtTextOutA(FDC, x, y, ETO_CLIPPED | ETO_OPAQUE, &r, text.data(), UINT(text.size()),
              dx.empty() ? nullptr : dx.data());
}

SIZE TCanvas::TextExtent(const String& text) {
  Select();
  SIZE s = {0, 0};
  GetTextExtentPoint32A(FDC, text.data(), int(text.size()), &s);
  return s;
}

int TCanvas::TextWidth(const String& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const String& text) { return TextExtent(text).cy; }

TRect TCanvas::ClipRect() const {
  RECT r = {0, 0, 0, 0};
  if (FDC) GetClipBox(FDC, &r);
  return TRect(r);
}

TColor TCanvas::Pixel(int x, int y) const { return FDC ? TColor(GetPixel(FDC, x, y)) : clBlack; }

void TCanvas::SetPixel(int x, int y, TColor c) {
  if (FDC) ::SetPixel(FDC, x, y, ColorRef(c));
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source) {
  Select();
  if (!Canvas.FDC) throw EInvalidOperation("Leinwand gestattet kein Zeichnen");
  SetStretchBltMode(FDC, COLORONCOLOR);
  StretchBlt(FDC, Dest.left, Dest.top, Dest.Width(), Dest.Height(), Canvas.FDC, Source.left, Source.top,
             Source.Width(), Source.Height(), FCopyMode);
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (Graphic && !Graphic->Empty()) StretchDraw(TRect(X, Y, X + Graphic->Width(), Y + Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (Graphic && !Graphic->Empty()) Graphic->Draw(*this, Rect);
}
