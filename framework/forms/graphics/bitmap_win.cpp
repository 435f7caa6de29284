#include "bitmap_win.h"


#include <cstring>
#include <memory>

namespace {

// Pixel memory of a DIB section: freed with the section.
class TDIBStorage : public TBitmapStorage {
public:
  explicit TDIBStorage(HBITMAP h) : Handle(h) {}
  ~TDIBStorage() override { DeleteObject(Handle); }
  HBITMAP Handle;
};

// The memory DC and canvas beside the pixels; Changing takes the DIB section out of the DC before
// the bitmap replaces or frees it.
class TBitmapWin : public TBitmapExtension {
public:
  ~TBitmapWin() override {
    Changing();
    if (PaletteHandle) DeleteObject(PaletteHandle);
  }
  void Changing() override {
    Canvas.SetHandle(nullptr);
    if (DC) {
      SelectObject(DC, OldBitmap);
      DeleteDC(DC);
    }
    DC = nullptr;
    OldBitmap = nullptr;
  }
  TCanvas Canvas;
  HDC DC = nullptr;
  HGDIOBJ OldBitmap = nullptr;
  unsigned ChangeCount = 0;
  std::vector<TRGBQuad> Palette;  // the colour table the DIB section holds
  HPALETTE PaletteHandle = nullptr;
  std::vector<TRGBQuad> PaletteOfHandle;  // the colour table PaletteHandle was made from
};

bool SamePalette(const std::vector<TRGBQuad>& a, const std::vector<TRGBQuad>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(TRGBQuad)) == 0);
}

TBitmapWin* Ext(TBitmap& b) {
  auto* e = dynamic_cast<TBitmapWin*>(b.Extension());
  if (!e) {
    b.SetExtension(std::unique_ptr<TBitmapExtension>(new TBitmapWin));
    e = static_cast<TBitmapWin*>(b.Extension());
  }
  return e;
}

}  // namespace

std::vector<uint8_t> BitmapInfo(const TBitmap& b) {
  const auto& pal = b.Palette();
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + pal.size() * sizeof(RGBQUAD) + sizeof(RGBQUAD), 0);
  auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = b.Width();
  h->biHeight = b.Height();  // positive: rows from the bottom up, as the bitmap keeps them
  h->biPlanes = 1;
  h->biBitCount = WORD(b.BitsPerPixel());
  h->biCompression = BI_RGB;
  h->biSizeImage = DWORD(b.ImageSize());
  h->biClrUsed = DWORD(pal.size());
  if (!pal.empty()) std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), pal.data(), pal.size() * sizeof(RGBQUAD));
  return info;
}

HBITMAP BitmapHandle(TBitmap& b) {
  if (b.Empty()) return nullptr;
  TBitmapWin* e = Ext(b);
  auto* dib = dynamic_cast<TDIBStorage*>(b.Storage());
  if (dib && e->ChangeCount == b.ChangeCount()) {
    // Colour table entries edited in place since: the DIB section takes them over.
    if (!SamePalette(e->Palette, b.Palette())) {
      HDC dc = e->DC ? e->DC : CreateCompatibleDC(nullptr);
      HGDIOBJ old = e->DC ? nullptr : SelectObject(dc, dib->Handle);
      SetDIBColorTable(dc, 0, UINT(b.Palette().size()), reinterpret_cast<const RGBQUAD*>(b.Palette().data()));
      if (!e->DC) {
        SelectObject(dc, old);
        DeleteDC(dc);
      }
      e->Palette = b.Palette();
    }
    return dib->Handle;
  }
  e->Changing();
  std::vector<uint8_t> info = BitmapInfo(b);
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h || !bits) throw EInvalidGraphic("Bitmap kann nicht angelegt werden");
  b.AdoptStorage(static_cast<uint8_t*>(bits), std::unique_ptr<TBitmapStorage>(new TDIBStorage(h)));
  e->ChangeCount = b.ChangeCount();
  e->Palette = b.Palette();
  return h;
}

TCanvas* BitmapCanvas(TBitmap& b) {
  HBITMAP h = BitmapHandle(b);
  if (!h) return nullptr;
  TBitmapWin* e = Ext(b);
  if (!e->DC) {
    e->DC = CreateCompatibleDC(nullptr);
    e->OldBitmap = SelectObject(e->DC, h);
    e->Canvas.SetHandle(e->DC);
  }
  return &e->Canvas;
}

void StretchDrawBitmap(TCanvas& Dest, const TRect& R, const TBitmap& b) {
  if (b.Empty() || !Dest.HandleAllocated()) return;
  GdiFlush();
  std::vector<uint8_t> info = BitmapInfo(b);
  SetStretchBltMode(Dest.Handle(), COLORONCOLOR);
  StretchDIBits(Dest.Handle(), R.left, R.top, R.Width(), R.Height(), 0, 0, b.Width(), b.Height(), b.Bits(),
                reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
}

void DrawBitmap(TCanvas& Dest, int X, int Y, const TBitmap& b) {
  StretchDrawBitmap(Dest, TRect(X, Y, X + b.Width(), Y + b.Height()), b);
}

HPALETTE BitmapPalette(TBitmap& b) {
  const std::vector<TRGBQuad>& pal = b.Palette();
  if (pal.empty()) return nullptr;
  TBitmapWin* e = Ext(b);
  if (e->PaletteHandle && SamePalette(e->PaletteOfHandle, pal)) return e->PaletteHandle;
  if (e->PaletteHandle) DeleteObject(e->PaletteHandle);
  std::vector<uint8_t> log(sizeof(LOGPALETTE) + pal.size() * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(log.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = WORD(pal.size());
  for (size_t i = 0; i < pal.size(); ++i)
    lp->palPalEntry[i] = PALETTEENTRY{pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue, 0};
  e->PaletteHandle = CreatePalette(lp);
  e->PaletteOfHandle = pal;
  return e->PaletteHandle;
}
