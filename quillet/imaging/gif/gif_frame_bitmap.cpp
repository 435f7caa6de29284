#include "gif_frame_bitmap.h"

#include <algorithm>

#include "color_reduction.h"

namespace {
constexpr const char* kRendering = "Rendering...";
constexpr const char* kConverting = "Converting...";

void Report(TGIFSubImage& Frame, TGIFProgressStage Stage, int Percent, const char* Caption) {
  if (Frame.Image()) Frame.Image()->Progress(&Frame, Stage, Percent, false, Caption);
}
}  // namespace

std::vector<TRGBQuad> FramePalette(TGIFSubImage& Frame, bool Dither) {
  std::vector<TRGBQuad> pal;
  if (Dither) {
    for (const TPaletteEntry& e : GIFImage::CreateWebPalette()) pal.push_back({e.peBlue, e.peGreen, e.peRed, 0});
    return pal;
  }
  TGIFColorMap& map = Frame.ActiveColorMap();
  const uint8_t* c = map.Data();
  for (int i = 0; i < map.Count(); ++i) pal.push_back({c[3 * i + 2], c[3 * i + 1], c[3 * i], 0});
  return pal;
}

std::unique_ptr<TBitmap> RenderFrameBitmap(TGIFSubImage& Frame, bool Dither, bool Quiet) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf8bit);
  std::vector<TRGBQuad> pal = FramePalette(Frame, Dither);
  if (pal.empty()) pal.resize(2);
  bmp->SetPalette(pal);
  bmp->SetSize(Frame.Width(), Frame.Height());
  if (Frame.Empty()) return bmp;
  const int w = Frame.Width(), h = Frame.Height();
  TGIFColorMap& map = Frame.ActiveColorMap();
  TNetscapeColorLookup web;
  TFloydSteinbergDitherer ditherer(w, &web);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = Frame.ScanLine(y);
    uint8_t* dst = bmp->ScanLine(y);
    if (!Dither) {
      for (int x = 0; x < w; ++x) dst[x] = src[x];
    } else {
      for (int x = ditherer.Column(); x >= 0 && x < w; x = ditherer.Column()) {
        const int i = src[x];
        const uint8_t* c = i < map.Count() ? map.Data() + 3 * i : nullptr;
        int r, g, b;
        dst[x] = uint8_t(ditherer.Dither(c ? c[0] : 0, c ? c[1] : 0, c ? c[2] : 0, r, g, b));
      }
      ditherer.NextLine();
    }
    if (!Quiet && y % 32 == 31) Report(Frame, gpsRunning, (y + 1) * 100 / h, kRendering);
  }
  if (!Quiet) Report(Frame, gpsRunning, 100, kRendering);
  return bmp;
}

std::unique_ptr<TBitmap> RenderFrameMask(TGIFSubImage& Frame) {
  TGIFGraphicControlExtension* g = Frame.GraphicControlExtension();
  if (Frame.Empty() || !Frame.Transparent() || !g) return nullptr;
  const uint8_t t = g->TransparentColorIndex();
  auto mask = std::make_unique<TBitmap>();
  mask->SetPixelFormat(pf1bit);
  mask->SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
  mask->SetSize(Frame.Width(), Frame.Height());
  bool any = false;
  for (int y = 0; y < Frame.Height(); ++y) {
    const uint8_t* src = Frame.ScanLine(y);
    uint8_t* dst = mask->ScanLine(y);
    for (int x = 0; x < Frame.Width(); ++x) {
      const bool set = src[x] == t;
      any |= set;
      if (set)
        dst[x >> 3] = uint8_t(dst[x >> 3] | (0x80 >> (x & 7)));
      else
        dst[x >> 3] = uint8_t(dst[x >> 3] & ~(0x80 >> (x & 7)));
    }
  }
  if (!any) return nullptr;
  return mask;
}

void AssignBitmapToFrame(TGIFSubImage& Frame, const TBitmap& Bitmap) {
  Frame.Clear();
  if (Bitmap.Empty()) return;
  TGIFImageOwner* owner = Frame.Image();
  // Indexed pictures keep their indices; the others are reduced first.
  std::unique_ptr<TBitmap> reduced;
  const TBitmap* src = &Bitmap;
  const TPixelFormat pf = Bitmap.PixelFormat();
  if (pf != pf1bit && pf != pf4bit && pf != pf8bit) {
    int reduction = rmNetscape, bits = 8, dither = dmNearest;
    if (owner) owner->ReductionSettings(reduction, bits, dither);
    TBitmap copy;
    copy.Assign(const_cast<TBitmap*>(&Bitmap));
    reduced = ReduceBitmapColors(copy, reduction, dither, bits, nullptr);
    src = reduced.get();
  }
  const int w = src->Width(), h = src->Height();
  Frame.SetWidth(w);
  Frame.SetHeight(h);
  TGIFColorMap& map = Frame.ColorMap();
  const TPixelFormat spf = src->PixelFormat();

  // 24-bit rows (a reduction to none): colours added as they come, the last 8 kept at hand.
  TBitmap rows24;
  if (spf != pf1bit && spf != pf4bit && spf != pf8bit) {
    rows24.Assign(const_cast<TBitmap*>(src));
    rows24.SetPixelFormat(pf24bit);
  }
  TColor cache[8];
  int cacheIndex[8], cacheNext = 0, cacheCount = 0;
  for (int y = 0; y < h; ++y) {
    uint8_t* dst = Frame.ScanLine(y);
    if (spf == pf1bit || spf == pf4bit || spf == pf8bit) {
      const uint8_t* row = src->ScanLine(y);
      for (int x = 0; x < w; ++x) {
        if (spf == pf1bit)
          dst[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        else if (spf == pf4bit)
          dst[x] = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        else
          dst[x] = row[x];
      }
    } else {
      const uint8_t* row = rows24.ScanLine(y);
      for (int x = 0; x < w; ++x, row += 3) {
        const TColor c = TColor(row[2] | (row[1] << 8) | (row[0] << 16));
        int idx = -1;
        for (int k = 0; k < cacheCount; ++k)
          if (cache[k] == c) idx = cacheIndex[k];
        if (idx < 0) {
          idx = map.AddUnique(c);
          cache[cacheNext] = c;
          cacheIndex[cacheNext] = idx;
          cacheNext = (cacheNext + 1) % 8;
          if (cacheCount < 8) ++cacheCount;
        }
        dst[x] = uint8_t(idx);
      }
    }
    if (y % 32 == 31) Report(Frame, gpsRunning, (y + 1) * 100 / h, kConverting);
  }
  if (spf == pf1bit || spf == pf4bit || spf == pf8bit) {
    // The colour table up to the highest index in use (a bitmap's table is padded to its format's
    // size; trailing entries nobody uses would only leave no room for a transparent colour).
    int used = 0;
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = Frame.ScanLine(y);
      for (int x = 0; x < w; ++x) used = std::max(used, int(row[x]) + 1);
    }
    const auto& pal = src->Palette();
    std::vector<uint8_t> quads;
    for (const TRGBQuad& q : pal) quads.insert(quads.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    map.ImportRGB(quads.data(), std::max(2, std::min(used, int(pal.size()))));
  }
  Frame.Changed();
}
