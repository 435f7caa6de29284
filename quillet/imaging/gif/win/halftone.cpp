#include "halftone.h"

#include <windows.h>

TLogPalette ScreenHalftonePalette() {
  TLogPalette result;
  HDC dc = GetDC(nullptr);
  if (!dc) return result;
  HPALETTE pal = CreateHalftonePalette(dc);
  ReleaseDC(nullptr, dc);
  if (!pal) return result;
  PALETTEENTRY entries[256];
  const UINT n = GetPaletteEntries(pal, 0, 256, entries);
  DeleteObject(pal);
  for (UINT i = 0; i < n && i < 256; ++i) {
    TPaletteEntry e;
    e.peRed = entries[i].peRed;
    e.peGreen = entries[i].peGreen;
    e.peBlue = entries[i].peBlue;
    e.peFlags = entries[i].peFlags;
    result.push_back(e);
  }
  return result;
}

void UseScreenHalftonePalette() { SetHalftonePaletteSource(&ScreenHalftonePalette); }
