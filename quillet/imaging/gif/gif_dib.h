// Scan-line access to the component library's bitmaps and the logical palettes of the colour
// reduction. Both colour files (the lookups, the reduction with its quantiser) build on these, so
// they lie below them.
#pragma once

#include <cstdint>
#include <vector>

#include "bitmap.h"

// One entry of a logical palette (version 0x300).
struct TPaletteEntry {
  uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
using TLogPalette = std::vector<TPaletteEntry>;
// The entry's colour is used as it stands, never matched to another entry of the system palette
// (the window system's headers define the same value).
#ifndef PC_NOCOLLAPSE
constexpr uint8_t PC_NOCOLLAPSE = 0x04;
#endif

// A bitmap read or written row by row in one pixel format.
class TDIB {
public:
  virtual ~TDIB() = default;
  // Row n counted from the top.
  virtual uint8_t* ScanLine(int Row) = 0;
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TPixelFormat PixelFormat() const { return FPixelFormat; }

protected:
  int FWidth = 0, FHeight = 0;
  TPixelFormat FPixelFormat = pf24bit;
};

// Reads a bitmap at PixelFormat: in place when it already has that format, otherwise through a
// converted copy, so the caller's bitmap is left as it is.
class TDIBReader : public TDIB {
public:
  TDIBReader(TBitmap& Bitmap, TPixelFormat PixelFormat);
  uint8_t* ScanLine(int Row) override { return FBitmap->ScanLine(Row); }

private:
  TBitmap FCopy;
  TBitmap* FBitmap;
};

// Builds a picture of 8 or 24 bits per pixel ("Unsupported PixelFormat" otherwise; a width or
// height of 0 gives "Invalid image dimensions") with the given palette, and puts it into Target on
// Commit (or when destroyed without Commit).
class TDIBWriter : public TDIB {
public:
  TDIBWriter(TBitmap& Target, TPixelFormat PixelFormat, int Width, int Height, const TLogPalette& Palette);
  ~TDIBWriter() override;
  uint8_t* ScanLine(int Row) override { return FDIB.ScanLine(Row); }
  void Commit();

private:
  TBitmap& FTarget;
  TBitmap FDIB;
  bool FCommitted = false;
};
