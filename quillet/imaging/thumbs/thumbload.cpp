#include "thumbload.h"

#include <vector>

#include "gif_reader.h"
#include "jpeg_reader.h"
#include "picture.h"
#include "pixio.h"
#include "pixproc.h"
#include "streams.h"

namespace {
std::unique_ptr<TBitmap> At24Bits(TBitmap* Read) {
  std::unique_ptr<TBitmap> b(Read);
  TPixProc::To24Bits(*b);
  return b;
}

// The JPEG scale (1, 2, 4, 8) whose picture still covers the fit of W x H into the box.
int JPEGScaleFor(int W, int H, int BoxW, int BoxH) {
  if (BoxW <= 0 || BoxH <= 0 || W <= 0 || H <= 0) return 1;
  const TPixSize fit = FitSizePercent(W, H, BoxW, BoxH);
  int scale = 1;
  while (scale < 8 && (W + 2 * scale - 1) / (2 * scale) >= fit.Width && (H + 2 * scale - 1) / (2 * scale) >= fit.Height)
    scale *= 2;
  return scale;
}
}  // namespace

namespace {
TThumbPicture ReadThumbPicture(const String& FileName, int BoxWidth, int BoxHeight) {
  TThumbPicture p;
  const String ext = LowerCase(ExtractFileExt(FileName));
  if (std::unique_ptr<TBitmap> png = LoadPNGPicture(FileName)) {
    p.Width = png->Width();
    p.Height = png->Height();
    p.Graphic = std::move(png);
  } else if (ext == ".jpg" || ext == ".jpeg") {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    int x = 0, y = 0;
    const TJPEGScaleChooser scale = [&](int W, int H) { return JPEGScaleFor(W, H, BoxWidth, BoxHeight); };
    p.Graphic = At24Bits(ReadJPEGStreamScaled(f, x, y, scale, p.Width, p.Height));
  } else if (ext == ".gif") {
    TGIFScreenInfo screen;
    TGIFFrameInfo frame;
    int frames = 0;
    p.Graphic = At24Bits(ReadGIFFile(FileName, 0, screen, frame, frames));
    p.Width = p.Graphic->Width();
    p.Height = p.Graphic->Height();
  } else if (ext == ".bmp") {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromFile(FileName);
    p.Graphic = At24Bits(b.release());
    p.Width = p.Graphic->Width();
    p.Height = p.Graphic->Height();
  } else {
    TPicture pic;
    pic.LoadFromFile(FileName);
    TGraphicClass cls = TPicture::FileFormatClass(ext);
    p.Graphic.reset(cls());
    p.Graphic->Assign(pic.Graphic());
    p.Width = p.Graphic->Width();
    p.Height = p.Graphic->Height();
  }
  return p;
}
}  // namespace

TThumbPicture LoadThumbPicture(const String& FileName, int BoxWidth, int BoxHeight, const TProgressEvent& Progress) {
  FireEvent(Progress, nullptr, psStarting, uint8_t(0), false, nullptr, String());
  TThumbPicture p = ReadThumbPicture(FileName, BoxWidth, BoxHeight);
  FireEvent(Progress, nullptr, psEnding, uint8_t(100), true, nullptr, String());
  return p;
}

std::unique_ptr<TBitmap> ShrinkBitmap(const TBitmap& Source, int Width, int Height) {
  const int sw = Source.Width(), sh = Source.Height();
  if (Width > sw) Width = sw;
  if (Height > sh) Height = sh;
  if (Width < 1) Width = 1;
  if (Height < 1) Height = 1;
  auto out = std::make_unique<TBitmap>();
  out->SetPixelFormat(pf24bit);
  out->SetSize(Width, Height);
  if (sw == 0 || sh == 0) return out;
  // Target column of every source column, and the source columns each target column takes.
  std::vector<int> column(static_cast<size_t>(sw)), span(static_cast<size_t>(Width), 0);
  for (int x = 0; x < sw; ++x) {
    column[size_t(x)] = int(int64_t(x) * Width / sw);
    ++span[size_t(column[size_t(x)])];
  }
  std::vector<uint32_t> sum(size_t(Width) * 3);
  int sy = 0;
  for (int y = 0; y < Height; ++y) {
    const int end = int(int64_t(y + 1) * sh / Height);
    std::fill(sum.begin(), sum.end(), 0u);
    const int rows = end - sy;
    for (; sy < end; ++sy) {
      const uint8_t* s = Source.ScanLine(sy);
      for (int x = 0; x < sw; ++x, s += 3) {
        uint32_t* d = &sum[size_t(column[size_t(x)]) * 3];
        d[0] += s[0];
        d[1] += s[1];
        d[2] += s[2];
      }
    }
    uint8_t* d = out->ScanLine(y);
    for (int x = 0; x < Width; ++x) {
      const uint32_t n = uint32_t(span[size_t(x)]) * uint32_t(rows);
      for (int c = 0; c < 3; ++c) d[x * 3 + c] = n ? uint8_t((sum[size_t(x) * 3 + c] + n / 2) / n) : 0;
    }
  }
  return out;
}

std::unique_ptr<TBitmap> ShrinkToBox(TGraphic& Picture, int BoxWidth, int BoxHeight, int FileWidth, int FileHeight) {
  const int w = FileWidth > 0 ? FileWidth : Picture.Width(), h = FileHeight > 0 ? FileHeight : Picture.Height();
  if (w <= 0 || h <= 0 || BoxWidth <= 0 || BoxHeight <= 0) return nullptr;
  const TPixSize fit = FitSizePercent(w, h, BoxWidth, BoxHeight);
  if (w < fit.Width && h < fit.Height) return nullptr;
  if (auto* b = dynamic_cast<TBitmap*>(&Picture)) {
    if (b->PixelFormat() == pf24bit) return ShrinkBitmap(*b, fit.Width, fit.Height);
    TBitmap copy;
    copy.Assign(b);
    copy.SetPixelFormat(pf24bit);
    return ShrinkBitmap(copy, fit.Width, fit.Height);
  }
  try {
    TBitmap whole;
    whole.SetPixelFormat(pf24bit);
    whole.SetSize(Picture.Width(), Picture.Height());
    whole.Fill(clWhite);
    DrawGraphicOnBitmap(Picture, whole, 0, 0);
    return ShrinkBitmap(whole, fit.Width, fit.Height);
  } catch (const EInvalidOperation&) {
    return nullptr;  // drawing needs the window system
  }
}
