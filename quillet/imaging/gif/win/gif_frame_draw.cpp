#include "gif_frame_draw.h"

#include <vector>

#include "bitmap_win.h"

HANDLE GDICheckHandle(HANDLE Value) {
  if (Value) return Value;
  const DWORD code = GetLastError();
  char text[256] = {};
  if (code != 0 &&
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr) != 0) {
    String msg(text);
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == '\r' || msg.back() == ' ')) msg.pop_back();
    throw EOutOfResources(msg);
  }
  throw EOutOfResources("Zu wenig Systemressourcen");
}

namespace {
bool IsNTFamily() {
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  return GetVersionExA(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Selects an object into a DC for the lifetime of the guard (also when an error passes).
struct TSelect {
  HDC DC;
  HGDIOBJ Old;
  TSelect(HDC Dc, HGDIOBJ Obj) : DC(Dc), Old(SelectObject(Dc, Obj)) {}
  ~TSelect() {
    if (Old) SelectObject(DC, Old);
  }
};
}  // namespace

HBITMAP CreateMaskBitmap(const TBitmap& Mask) {
  const int w = Mask.Width(), h = Mask.Height();
  const int stride = ((w + 15) / 16) * 2;
  std::vector<uint8_t> bits(size_t(stride) * size_t(h));
  // A DIB colour table may say that index 1 is black; a set bit here always means index 1.
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = Mask.ScanLine(y);
    std::copy(row, row + (w + 7) / 8, &bits[size_t(y) * size_t(stride)]);
  }
  return GDICheck(CreateBitmap(w, h, 1, 1, bits.data()));
}

bool MaskedStretchBlit(HDC Dst, int DstX, int DstY, int DstW, int DstH, HDC Src, int SrcX, int SrcY, int SrcW,
                       int SrcH, HDC MaskDC, int MaskX, int MaskY) {
  if (IsNTFamily() && DstW == SrcW && DstH == SrcH) {
    // MaskBlt wants the mask as a bitmap handle: a 1 x 1 stand-in takes its place in MaskDC.
    HBITMAP stand = GDICheck(CreateCompatibleBitmap(Src, 1, 1));
    HBITMAP mask = static_cast<HBITMAP>(SelectObject(MaskDC, stand));
    MaskBlt(Dst, DstX, DstY, DstW, DstH, Src, SrcX, SrcY, mask, MaskX, MaskY, MAKEROP4(0x00AA0029, SRCCOPY));
    DeleteObject(SelectObject(MaskDC, mask));
    return true;
  }
  HDC memDC = GDICheck(CreateCompatibleDC(Dst));
  HBITMAP memBmp = nullptr;
  HGDIOBJ memOld = nullptr;
  HPALETTE memOldPal = nullptr;
  try {
    memBmp = GDICheck(CreateCompatibleBitmap(Dst, SrcW, SrcH));
    memOld = SelectObject(memDC, memBmp);
    {
      HDC invDC = GDICheck(CreateCompatibleDC(Dst));
      HBITMAP invBmp = nullptr;
      HGDIOBJ invOld = nullptr;
      try {
        invBmp = GDICheck(CreateBitmap(SrcW, SrcH, 1, 1, nullptr));
        invOld = SelectObject(invDC, invBmp);
        // Set bits now mark the opaque pixels.
        BitBlt(invDC, SrcX, SrcY, SrcW, SrcH, MaskDC, SrcX, SrcY, NOTSRCCOPY);
        // The source's palette, found by swapping the default palette in and out.
        HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
        HPALETTE srcPal = SelectPalette(Src, stock, FALSE);
        SelectPalette(Src, srcPal ? srcPal : stock, FALSE);
        memOldPal = SelectPalette(memDC, srcPal ? srcPal : stock, TRUE);
        RealizePalette(memDC);
        // Opaque pixels white, transparent black; then the source ANDed in: transparent pixels
        // of the source become black.
        BitBlt(memDC, SrcX, SrcY, SrcW, SrcH, invDC, SrcX, SrcY, SRCCOPY);
        BitBlt(memDC, SrcX, SrcY, SrcW, SrcH, Src, SrcX, SrcY, SRCAND);
      } catch (...) {
        if (invOld) SelectObject(invDC, invOld);
        if (invBmp) DeleteObject(invBmp);
        DeleteDC(invDC);
        throw;
      }
      if (invOld) SelectObject(invDC, invOld);
      DeleteObject(invBmp);
      DeleteDC(invDC);
    }
    const COLORREF text = SetTextColor(Dst, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(Dst, RGB(255, 255, 255));
    // The mask as colour: white (kept) where transparent, black under the opaque pixels; then the
    // blackened source ORed in.
    StretchBlt(Dst, DstX, DstY, DstW, DstH, MaskDC, SrcX, SrcY, SrcW, SrcH, SRCAND);
    StretchBlt(Dst, DstX, DstY, DstW, DstH, memDC, SrcX, SrcY, SrcW, SrcH, SRCPAINT);
    SetTextColor(Dst, text);
    SetBkColor(Dst, back);
  } catch (...) {
    if (memOld) SelectObject(memDC, memOld);
    if (memBmp) DeleteObject(memBmp);
    if (memOldPal) SelectPalette(memDC, memOldPal, FALSE);
    DeleteDC(memDC);
    throw;
  }
  if (memOld) SelectObject(memDC, memOld);
  DeleteObject(memBmp);
  if (memOldPal) SelectPalette(memDC, memOldPal, FALSE);
  DeleteDC(memDC);
  return true;
}

void DrawGIFFrame(TGIFSubImage& Frame, TBitmap& FrameBitmap, const TBitmap* Mask, TCanvas& Canvas, const TRect& Rect,
                  bool DoTransparent, bool DoTile) {
  TRect target = Rect;
  if (!DoTile) {
    const TGIFRect r = Frame.ScaleRect({int(Rect.left), int(Rect.top), int(Rect.right), int(Rect.bottom)});
    target = TRect(r.Left, r.Top, r.Right, r.Bottom);
  }
  const int w = Frame.Width(), h = Frame.Height();
  const int iw = Frame.Image() ? Frame.Image()->Width() : w, ih = Frame.Image() ? Frame.Image()->Height() : h;
  if (w <= 0 || h <= 0 || FrameBitmap.Empty()) return;
  // Tiles start at the frame's offset in every picture-sized cell, columns outermost.
  auto eachTile = [&](auto&& Blit) {
    if (iw <= 0 || ih <= 0) return;
    for (int x = Rect.left + Frame.Left(); x < Rect.right; x += iw)
      for (int y = Rect.top + Frame.Top(); y < Rect.bottom; y += ih) Blit(x, y);
  };
  if (DoTransparent && Frame.Transparent() && Mask) {
    TCanvas* src = BitmapCanvas(FrameBitmap);
    if (!src) return;
    HDC maskDC = GDICheck(CreateCompatibleDC(nullptr));
    HBITMAP maskBmp = nullptr;
    HGDIOBJ old = nullptr;
    try {
      maskBmp = CreateMaskBitmap(*Mask);
      old = SelectObject(maskDC, maskBmp);
      if (!DoTile)
        MaskedStretchBlit(Canvas.Handle(), target.left, target.top, target.Width(), target.Height(), src->Handle(), 0,
                          0, w, h, maskDC, 0, 0);
      else
        eachTile([&](int x, int y) {
          MaskedStretchBlit(Canvas.Handle(), x, y, w, h, src->Handle(), 0, 0, w, h, maskDC, 0, 0);
        });
    } catch (...) {
      if (old) SelectObject(maskDC, old);
      if (maskBmp) DeleteObject(maskBmp);
      DeleteDC(maskDC);
      throw;
    }
    if (old) SelectObject(maskDC, old);
    DeleteObject(maskBmp);
    DeleteDC(maskDC);
    return;
  }
  if (!DoTile)
    StretchDrawBitmap(Canvas, target, FrameBitmap);
  else
    eachTile([&](int x, int y) { StretchDrawBitmap(Canvas, TRect(x, y, x + w, y + h), FrameBitmap); });
}
