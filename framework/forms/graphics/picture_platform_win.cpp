#include "picture_platform_win.h"

#include <memory>

#include "bitmap_win.h"
#include "graphics.h"
#include "icon.h"
#include "metafile.h"

namespace {

// ---- TBitmap ----

void DrawBitmapGraphic(TGraphic& g, TCanvas& c, const TRect& r) { StretchDrawBitmap(c, r, static_cast<TBitmap&>(g)); }

TPaletteHandle BitmapGraphicPalette(TGraphic& g) { return BitmapPalette(static_cast<TBitmap&>(g)); }

// The clipboard's bitmap handle: its pixels read at 24 bits (or the bitmap's own depth when it is
// a DIB section of 1, 4 or 8 bits, so the colour table stays).
void LoadBitmapClipboard(TGraphic& g, uint16_t Format, THandle Data, TPaletteHandle) {
  if (Format != cfBitmap || !Data) throw EInvalidGraphic("Ung\xFCltiges Bitmap");
  HBITMAP h = HBITMAP(Data);
  BITMAP info = {};
  if (!GetObjectA(h, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
    throw EInvalidGraphic("Ung\xFCltiges Bitmap");
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(info.bmWidth, info.bmHeight);
  std::vector<uint8_t> header = BitmapInfo(b);
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, h, 0, UINT(info.bmHeight), b.Bits(), reinterpret_cast<BITMAPINFO*>(header.data()),
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != info.bmHeight) throw EInvalidGraphic("Ung\xFCltiges Bitmap");
  g.Assign(&b);
}

// A new bitmap handle with the pixels (the clipboard owns it afterwards) and a copy of the palette.
void SaveBitmapClipboard(TGraphic& g, uint16_t& Format, THandle& Data, TPaletteHandle& Palette) {
  TBitmap& b = static_cast<TBitmap&>(g);
  Format = cfBitmap;
  Data = 0;
  Palette = nullptr;
  if (b.Empty()) return;
  std::vector<uint8_t> header = BitmapInfo(b);
  HDC dc = GetDC(nullptr);
  HBITMAP h = CreateDIBitmap(dc, reinterpret_cast<BITMAPINFOHEADER*>(header.data()), CBM_INIT, b.Bits(),
                             reinterpret_cast<BITMAPINFO*>(header.data()), DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  Data = THandle(h);
  if (HPALETTE own = BitmapPalette(b)) {
    // The clipboard owns what it is given: a copy of the bitmap's palette.
    PALETTEENTRY entries[256];
    const UINT n = GetPaletteEntries(own, 0, 256, entries);
    std::vector<uint8_t> log(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(log.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(n);
    std::copy(entries, entries + n, lp->palPalEntry);
    Palette = CreatePalette(lp);
  }
}

// ---- TIcon ----

void DrawIconGraphic(TGraphic& g, TCanvas& c, const TRect& r) {
  TIcon& i = static_cast<TIcon&>(g);
  if (i.Empty() || !c.HandleAllocated()) return;
  HICON h = CreateIconFromResourceEx(const_cast<PBYTE>(i.Data().data() + i.ImageOffset()), DWORD(i.ImageSize()),
                                     TRUE, 0x00030000, i.Width(), i.Height(), LR_DEFAULTCOLOR);
  if (!h) return;
  DrawIconEx(c.Handle(), r.left, r.top, h, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  DestroyIcon(h);
}

// ---- TMetafile ----

// An enhanced metafile of the records: an EMF as it is, a WMF converted with its extent (in
// hundredths of a millimetre at the screen resolution of the sizes) so that it fills the frame.
HENHMETAFILE EnhancedOf(TMetafile& m) {
  if (m.Enhanced()) return SetEnhMetaFileBits(UINT(m.RecordsSize()), m.Records());
  METAFILEPICT pict = {MM_ANISOTROPIC, MulDiv(m.Width(), 2540, TMetafile::ScreenDpi),
                       MulDiv(m.Height(), 2540, TMetafile::ScreenDpi), nullptr};
  const std::vector<uint8_t> records = m.PlayedRecords();
  return SetWinMetaFileBits(UINT(records.size()), records.data(), nullptr, &pict);
}

void DrawMetafileGraphic(TGraphic& g, TCanvas& c, const TRect& r) {
  TMetafile& m = static_cast<TMetafile&>(g);
  if (m.Empty() || !c.HandleAllocated()) return;
  HENHMETAFILE h = EnhancedOf(m);
  if (!h) throw EInvalidGraphic("Ung\xFCltige Metadatei");
  RECT rect = r;
  PlayEnhMetaFile(c.Handle(), h, &rect);
  DeleteEnhMetaFile(h);
}

// ---- drawing onto a bitmap ----

void PaintOnBitmap(TGraphic& g, TBitmap& b, int X, int Y) {
  TCanvas* c = BitmapCanvas(b);
  if (!c) return;
  g.Draw(*c, TRect(X, Y, X + g.Width(), Y + g.Height()));
  GdiFlush();
  b.PixelsChanged();
}

}  // namespace

void InstallPicturePlatform() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  TGraphicPlatform bitmap;
  bitmap.Draw = &DrawBitmapGraphic;
  bitmap.Palette = &BitmapGraphicPalette;
  bitmap.LoadClipboard = &LoadBitmapClipboard;
  bitmap.SaveClipboard = &SaveBitmapClipboard;
  RegisterGraphicPlatform("TBitmap", bitmap);
  TGraphicPlatform icon;
  icon.Draw = &DrawIconGraphic;
  RegisterGraphicPlatform("TIcon", icon);
  TGraphicPlatform metafile;
  metafile.Draw = &DrawMetafileGraphic;
  RegisterGraphicPlatform("TMetafile", metafile);
  SetBitmapPainter(&PaintOnBitmap);
}
