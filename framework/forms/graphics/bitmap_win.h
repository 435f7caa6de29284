// The window-system half of TBitmap: a DIB section behind the bitmap's own pixels, a canvas that
// draws on them, and drawing the bitmap onto another canvas.
//
// The DIB section is made when first asked for (BitmapHandle or BitmapCanvas) and holds the very
// pixels that ScanLine reads and writes; after drawing with GDI call GdiFlush before reading scan
// lines. A change of size or pixel format replaces it: ask for the handle or the canvas again
// afterwards. Colour table entries changed through Palette() reach the DIB section the next time
// the handle or the canvas is asked for.
#pragma once

#include <windows.h>

#include <vector>

#include "bitmap.h"
#include "graphics.h"

// The bitmap's DIB section; nullptr for an empty bitmap.
HBITMAP BitmapHandle(TBitmap& Bitmap);
// A canvas on a memory DC holding the DIB section; nullptr for an empty bitmap.
TCanvas* BitmapCanvas(TBitmap& Bitmap);
// The header and colour table that describe the pixels as a bottom-up DIB.
std::vector<uint8_t> BitmapInfo(const TBitmap& Bitmap);
// The bitmap's palette (made from its colour table, owned by the bitmap); nullptr for 16 bits
// and more.
HPALETTE BitmapPalette(TBitmap& Bitmap);
// Draws the bitmap at (X, Y) in its own size, or stretched into Dest rectangle R.
void DrawBitmap(TCanvas& Dest, int X, int Y, const TBitmap& Bitmap);
void StretchDrawBitmap(TCanvas& Dest, const TRect& R, const TBitmap& Bitmap);
