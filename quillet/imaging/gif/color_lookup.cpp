#include "color_lookup.h"

TFastColorLookup::TFastColorLookup(const TLogPalette* Palette) : TColorLookup(Palette), FCache(32768, 0xFFFF) {
  if (Palette) {
    FColors = Palette->size() > 256 ? 256 : static_cast<int>(Palette->size());
    for (int i = 0; i < FColors; ++i) FPalette[i] = (*Palette)[size_t(i)];
  }
  // Each entry answers for its own key; of two entries with one key the first one stays.
  for (int i = FColors - 1; i >= 0; --i)
    FCache[size_t(Key(FPalette[i].peRed, FPalette[i].peGreen, FPalette[i].peBlue))] = uint16_t(i);
}

int TFastColorLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  uint16_t& slot = FCache[size_t(Key(Red, Green, Blue))];
  if (slot == 0xFFFF) {
    ++FSearches;
    int best = 0;
    int bestSum = 196608;  // above any sum of three differences
    for (int i = 0; i < FColors; ++i) {
      const TPaletteEntry& e = FPalette[i];
      int dr = Red - e.peRed, dg = Green - e.peGreen, db = Blue - e.peBlue;
      const int sum = (dr < 0 ? -dr : dr) + (dg < 0 ? -dg : dg) + (db < 0 ? -db : db);
      if (sum < bestSum) {
        bestSum = sum;
        best = i;
      }
    }
    slot = uint16_t(best);
  }
  const TPaletteEntry& e = FPalette[slot];
  R = e.peRed;
  G = e.peGreen;
  B = e.peBlue;
  return slot;
}

TNetscapeColorLookup::TNetscapeColorLookup(const TLogPalette* Palette) : TColorLookup(Palette) { FColors = 216; }

int TNetscapeColorLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int r = (Red + 3) / 51, g = (Green + 3) / 51, b = (Blue + 3) / 51;
  R = r * 51;
  G = g * 51;
  B = b * 51;
  return r * 36 + g * 6 + b;
}

TGrayScaleLookup::TGrayScaleLookup(const TLogPalette* Palette) : TColorLookup(Palette) { FColors = 256; }

int TGrayScaleLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int grey = (Red * 77 + Green * 150 + Blue * 29) >> 8;
  R = G = B = grey;
  return grey;
}

TMonochromeLookup::TMonochromeLookup(const TLogPalette* Palette) : TColorLookup(Palette) { FColors = 2; }

int TMonochromeLookup::Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) {
  // 32512 is half of 255 x 256 (77 + 150 + 29 = 256), rounded down.
  if (Red * 77 + Green * 150 + Blue * 29 < 32513) {
    R = G = B = 0;
    return 0;
  }
  R = G = B = 255;
  return 1;
}
