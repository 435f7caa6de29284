#include "thumbload.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gif_reader.h"
#include "jpeg_reader.h"
#include "picture.h"
#include "pixio.h"
#include "pixproc.h"
#include "png_reader.h"
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

// A GIF as its picture shows it when drawn once: the whole picture (the logical screen, grown to
// hold the first frame), the first frame at its place, and the Background colour wherever the
// frame leaves the picture or its pixels are transparent.
std::unique_ptr<TBitmap> ReadGIFPicture(const String& FileName, TColor Background) {
  TGIFScreenInfo screen;
  TGIFFrameInfo frame;
  int frames = 0;
  std::vector<bool> clear;
  std::unique_ptr<TBitmap> read(ReadGIFFile(FileName, 0, screen, frame, frames, &clear));
  if (!read) throw EInvalidGraphic("unrecognized GIF");
  const TColor rgb = ColorToRGB(Background);
  const uint8_t bg[3] = {uint8_t(BlueOf(rgb)), uint8_t(GreenOf(rgb)), uint8_t(RedOf(rgb))};
  const int fw = read->Width(), fh = read->Height();
  // The screen, grown to hold the frame and bounded by it where it is far larger (BoundCanvas).
  const TCanvasSize bounded = BoundCanvas(screen.Width, screen.Height, frame.Left + fw, frame.Top + fh);
  const int w = std::max(bounded.Width, frame.Left + fw), h = std::max(bounded.Height, frame.Top + fh);
  if (frame.Left == 0 && frame.Top == 0 && fw == w && fh == h) {
    // The frame is the whole picture: only its transparent pixels change.
    if (!clear.empty())
      for (int y = 0; y < fh; ++y) {
        uint8_t* row = read->ScanLine(y);
        for (int x = 0; x < fw; ++x)
          if (clear[size_t(y) * size_t(fw) + size_t(x)]) std::memcpy(row + 3 * x, bg, 3);
      }
    read->PixelsChanged();
    return read;
  }
  // The frame and the picture around it exist at once: together they keep to one picture's budget.
  if (int64_t(w) * h + int64_t(fw) * fh > kMaxPicturePixels) throw EInvalidGraphic("unrecognized GIF");
  auto whole = std::make_unique<TBitmap>();
  whole->SetPixelFormat(pf24bit);
  whole->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = whole->ScanLine(y);
    for (int x = 0; x < w; ++x) std::memcpy(row + 3 * x, bg, 3);
  }
  for (int y = 0; y < fh; ++y) {
    const uint8_t* in = read->ScanLine(y);
    uint8_t* out = whole->ScanLine(frame.Top + y) + 3 * frame.Left;
    for (int x = 0; x < fw; ++x)
      if (clear.empty() || !clear[size_t(y) * size_t(fw) + size_t(x)]) std::memcpy(out + 3 * x, in + 3 * x, 3);
  }
  whole->PixelsChanged();
  return whole;
}

TThumbPicture ReadThumbPicture(const String& FileName, int BoxWidth, int BoxHeight, TColor Background) {
  TThumbPicture p;
  const String ext = LowerCase(ExtractFileExt(FileName));
  if (ext == ".png") {
    // Transparent parts over the cell's colour; a picture beyond the budget comes shrunk to fit.
    p.Graphic = ReadPNGPicture(FileName, Background, p.Width, p.Height);
  } else if (ext == ".jpg" || ext == ".jpeg") {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    int x = 0, y = 0;
    const TJPEGScaleChooser scale = [&](int W, int H) { return JPEGScaleFor(W, H, BoxWidth, BoxHeight); };
    p.Graphic = At24Bits(ReadJPEGStreamScaled(f, x, y, scale, p.Width, p.Height));
  } else if (ext == ".gif") {
    p.Graphic = ReadGIFPicture(FileName, Background);
    p.Width = p.Graphic->Width();
    p.Height = p.Graphic->Height();
  } else if (ext == ".bmp") {
    // Every depth through the bitmap's own colour table, two-colour pictures too.
    auto b = std::make_unique<TBitmap>();
    b->LoadFromFile(FileName);
    b->SetPixelFormat(pf24bit);
    p.Graphic = std::move(b);
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

TThumbPicture LoadThumbPicture(const String& FileName, int BoxWidth, int BoxHeight, const TProgressEvent& Progress,
                               TColor Background) {
  FireEvent(Progress, nullptr, psStarting, uint8_t(0), false, nullptr, String());
  TThumbPicture p = ReadThumbPicture(FileName, BoxWidth, BoxHeight, Background);
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
