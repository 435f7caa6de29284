// Colour reduction: a true-colour picture turned into an 8-bit palette picture, with the palette of
// a reduction mode and one of the ditherers. Scan-line access to the component library's bitmaps
// goes through TDIB (gif_dib.h).
#pragma once

#include <memory>

#include "bitmap.h"
#include "color_lookup.h"
#include "gif_dib.h"
#include "dither_engine.h"
#include "gif_exception.h"

// Numbered as the GIF picture class stores them.
enum TColorReduction {
  rmNone = 0,            // a 24-bit copy
  rmWindows20 = 1,       // the system's 20 static colours
  rmWindows256 = 2,      // the halftone palette
  rmWindowsGray = 3,     // 4 grey levels
  rmMonochrome = 4,      // black and white
  rmGrayScale = 5,       // 256 grey levels
  rmNetscape = 6,        // the 216-colour web palette
  rmQuantize = 7,        // octree palette of the picture, 256 entries
  rmQuantizeWindows = 8, // octree palette of 236 colours within the 20 static colours
  rmPalette = 9,         // the caller's palette
};

enum TDitherMode {
  dmNearest = 0,
  dmFloydSteinberg = 1,
  dmStucki = 2,
  dmSierra = 3,
  dmJaJuNi = 4,
  dmSteveArche = 5,
  dmBurkes = 6,
};

// Palettes of the reduction modes.
TLogPalette SystemPalette20();        // the default palette: 10 first and 10 last static colours
// The halftone palette of rmWindows256: by default 256 entries made here (the 20 static colours,
// a 6x6x6 cube and 20 more greys); the Windows build replaces it by the screen's own halftone palette
// (win/halftone.h).
TLogPalette HalftonePalette();
using THalftonePaletteSource = TLogPalette (*)();
void SetHalftonePaletteSource(THalftonePaletteSource Source);  // nullptr: the palette made here
TLogPalette GrayPalette(int Levels);  // 2, 4 or 256 grey levels, PC_NOCOLLAPSE
TLogPalette WebPalette();             // 216 entries, red outermost, levels 0, 51, ... 255

// An octree palette of the picture: ColorCount entries (from index 0), or, with ReserveSystemColors,
// 256 entries with the 20 static colours at 0 - 9 and 246 - 255 and 236 quantised colours between.
TLogPalette BuildOctreePalette(TDIB& Reader, int ColorCount, int ColorBits, bool ReserveSystemColors);

std::unique_ptr<TColorLookup> CreateColorLookup(TColorReduction Reduction, const TLogPalette& Palette);
std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMode Mode, int Width, TColorLookup* Lookup);

// A new bitmap (owned by the caller): a 24-bit copy for rmNone, otherwise an 8-bit picture with the
// mode's palette, each pixel chosen by the ditherer. ColorBits is the octree depth of rmQuantize
// and rmQuantizeWindows; CustomPalette the palette of rmPalette (none: an empty result).
// Modes outside the lists raise "Invalid reduction method".
std::unique_ptr<TBitmap> ReduceBitmapColors(TBitmap& Bitmap, int Reduction, int DitherMode, int ColorBits,
                                            const TLogPalette* CustomPalette);
