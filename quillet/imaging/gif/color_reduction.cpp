#include "color_reduction.h"

#include "color_quantizer.h"

// ---- palettes --------------------------------------------------------------------------------

namespace {
TPaletteEntry Entry(int r, int g, int b, uint8_t flags = 0) {
  TPaletteEntry e;
  e.peRed = uint8_t(r);
  e.peGreen = uint8_t(g);
  e.peBlue = uint8_t(b);
  e.peFlags = flags;
  return e;
}
}  // namespace

TLogPalette SystemPalette20() {
  static const uint8_t c[20][3] = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  TLogPalette p;
  for (auto& e : c) p.push_back(Entry(e[0], e[1], e[2]));
  return p;
}

namespace {
THalftonePaletteSource HalftoneSource = nullptr;

TLogPalette BuiltInHalftonePalette() {
  const TLogPalette sys = SystemPalette20();
  TLogPalette p(sys.begin(), sys.begin() + 10);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) p.push_back(Entry(r * 51, g * 51, b * 51));
  // Greys between the cube's six levels: four between each pair (51 / 5 apart).
  for (int step = 0; step < 5; ++step)
    for (int k = 1; k <= 4; ++k) {
      const int v = step * 51 + k * 51 / 5;
      p.push_back(Entry(v, v, v));
    }
  p.insert(p.end(), sys.begin() + 10, sys.end());
  return p;
}
}  // namespace

void SetHalftonePaletteSource(THalftonePaletteSource Source) { HalftoneSource = Source; }

TLogPalette HalftonePalette() {
  if (HalftoneSource) {
    TLogPalette p = HalftoneSource();
    if (!p.empty()) return p;
  }
  return BuiltInHalftonePalette();
}

TLogPalette GrayPalette(int Levels) {
  TLogPalette p;
  if (Levels == 2) {
    p = {Entry(0, 0, 0, PC_NOCOLLAPSE), Entry(255, 255, 255, PC_NOCOLLAPSE)};
  } else if (Levels == 4) {
    for (int v : {0, 128, 192, 255}) p.push_back(Entry(v, v, v, PC_NOCOLLAPSE));
  } else {
    for (int v = 0; v < 256; ++v) p.push_back(Entry(v, v, v, PC_NOCOLLAPSE));
  }
  return p;
}

TLogPalette WebPalette() {
  TLogPalette p;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) p.push_back(Entry(r * 51, g * 51, b * 51));
  return p;
}

TLogPalette BuildOctreePalette(TDIB& Reader, int ColorCount, int ColorBits, bool ReserveSystemColors) {
  if (ColorCount < 1) ColorCount = 1;
  if (ColorCount > 256) ColorCount = 256;
  TColorQuantizer q(ReserveSystemColors ? 236 : ColorCount, ColorBits);
  q.ProcessImage(Reader);
  const std::vector<TRGBQuad> table = q.GetColorTable();
  TLogPalette p;
  size_t first = 0;
  if (ReserveSystemColors) {
    const TLogPalette sys = SystemPalette20();
    p.assign(256, TPaletteEntry());
    for (int i = 0; i < 10; ++i) {
      p[size_t(i)] = sys[size_t(i)];
      p[size_t(246 + i)] = sys[size_t(10 + i)];
    }
    first = 10;
  } else {
    p.assign(size_t(ColorCount), TPaletteEntry());
  }
  const size_t room = ReserveSystemColors ? 236 : size_t(ColorCount);
  for (size_t i = 0; i < table.size() && i < room; ++i)
    p[first + i] = Entry(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
  return p;
}

std::unique_ptr<TColorLookup> CreateColorLookup(TColorReduction Reduction, const TLogPalette& Palette) {
  switch (Reduction) {
    case rmMonochrome: return std::make_unique<TMonochromeLookup>(&Palette);
    case rmGrayScale: return std::make_unique<TGrayScaleLookup>(&Palette);
    case rmNetscape: return std::make_unique<TNetscapeColorLookup>(&Palette);
    default: return std::make_unique<TFastColorLookup>(&Palette);
  }
}

std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMode Mode, int Width, TColorLookup* Lookup) {
  switch (Mode) {
    case dmFloydSteinberg: return std::make_unique<TFloydSteinbergDitherer>(Width, Lookup);
    case dmStucki: return std::make_unique<TStuckiDitherer>(Width, Lookup);
    case dmSierra: return std::make_unique<TSierraDitherer>(Width, Lookup);
    case dmJaJuNi: return std::make_unique<TJaJuNiDitherer>(Width, Lookup);
    case dmSteveArche: return std::make_unique<TSteveArcheDitherer>(Width, Lookup);
    case dmBurkes: return std::make_unique<TBurkesDitherer>(Width, Lookup);
    default: return std::make_unique<TDitherEngine>(Width, Lookup);
  }
}

std::unique_ptr<TBitmap> ReduceBitmapColors(TBitmap& Bitmap, int Reduction, int DitherMode, int ColorBits,
                                            const TLogPalette* CustomPalette) {
  if (Reduction < rmNone || Reduction > rmPalette || DitherMode < dmNearest || DitherMode > dmBurkes)
    throw GIFException(gifmsg::BadReduction);
  auto result = std::make_unique<TBitmap>();
  if (Reduction == rmNone) {
    result->Assign(&Bitmap);
    result->SetPixelFormat(pf24bit);
    return result;
  }
  if (Bitmap.Empty()) {
    result->SetPixelFormat(pf8bit);
    return result;
  }
  TDIBReader reader(Bitmap, pf24bit);
  TLogPalette palette;
  switch (static_cast<TColorReduction>(Reduction)) {
    case rmWindows20: palette = SystemPalette20(); break;
    case rmWindows256: palette = HalftonePalette(); break;
    case rmWindowsGray: palette = GrayPalette(4); break;
    case rmMonochrome: palette = GrayPalette(2); break;
    case rmGrayScale: palette = GrayPalette(256); break;
    case rmNetscape: palette = WebPalette(); break;
    case rmQuantize: palette = BuildOctreePalette(reader, 256, ColorBits, false); break;
    case rmQuantizeWindows: palette = BuildOctreePalette(reader, 256, ColorBits, true); break;
    case rmPalette: if (CustomPalette) palette = *CustomPalette; break;
    default: break;
  }
  if (palette.size() > 256) palette.resize(256);
  std::unique_ptr<TColorLookup> lookup = CreateColorLookup(static_cast<TColorReduction>(Reduction), palette);
  if (lookup->Colors() == 0) return result;
  const int width = reader.Width();
  std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(static_cast<TDitherMode>(DitherMode), width, lookup.get());
  TDIBWriter writer(*result, pf8bit, width, reader.Height(), palette);
  for (int y = 0; y < reader.Height(); ++y) {
    const uint8_t* src = reader.ScanLine(y);
    uint8_t* dst = writer.ScanLine(y);
    int R, G, B;
    for (int x = ditherer->Column(); x >= 0 && x < width; x = ditherer->Column()) {
      const uint8_t* p = src + 3 * x;
      dst[x] = static_cast<uint8_t>(ditherer->Dither(p[2], p[1], p[0], R, G, B));
    }
    ditherer->NextLine();
  }
  writer.Commit();
  return result;
}
