// Colour lookups: map a colour to the index of a palette entry (and give that entry's colour).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif_dib.h"

class TColorLookup {
public:
  explicit TColorLookup(const TLogPalette* Palette) {}
  virtual ~TColorLookup() = default;
  TColorLookup(const TColorLookup&) = delete;
  TColorLookup& operator=(const TColorLookup&) = delete;

  // The index of the entry chosen for (Red, Green, Blue); R, G, B receive its colour.
  virtual int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) = 0;
  int Colors() const { return FColors; }

protected:
  int FColors = 0;
};

// The entries of a given palette (at most 256), nearest by the sum of the channel differences.
// Every colour is reduced to a 15-bit key (5 bits per channel); the first full search for a key
// is cached, so each key costs at most one search over the palette.
class TFastColorLookup : public TColorLookup {
public:
  explicit TFastColorLookup(const TLogPalette* Palette);
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;

  static int Key(int Red, int Green, int Blue) {
    return (Red >> 3) | ((Green & 0xF8) << 2) | ((Blue & 0xF8) << 7);
  }
  // Full searches so far (for the tests of the cache).
  int Searches() const { return FSearches; }

private:
  TPaletteEntry FPalette[256];
  std::vector<uint16_t> FCache;  // 32768 slots, 0xFFFF while unknown
  int FSearches = 0;
};

// The 216-colour web palette: 6 levels (0, 51, ... 255) per channel, red outermost.
class TNetscapeColorLookup : public TColorLookup {
public:
  explicit TNetscapeColorLookup(const TLogPalette* Palette = nullptr);
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;
};

// 256 grey levels, index = luminance.
class TGrayScaleLookup : public TColorLookup {
public:
  explicit TGrayScaleLookup(const TLogPalette* Palette = nullptr);
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;
};

// Black (0) and white (1) by luminance.
class TMonochromeLookup : public TColorLookup {
public:
  explicit TMonochromeLookup(const TLogPalette* Palette = nullptr);
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override;
};
