// TBitmap: the picture store of the component library. The pixels are kept as a device-independent
// bitmap (rows from the bottom up, each padded to 4 bytes, 24-bit pixels in blue-green-red order,
// indexed pixels with their colour table), so the window system can draw them as they stand and
// code that works on scan lines reads and writes them in place. ScanLine(y) is row y counted from
// the top.
//
// The pixel memory comes from heap storage; the window-system half (bitmap_win.h) can put the same
// pixels into a DIB section, which it then owns and releases through the storage hooks below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "classes.h"
#include "colors.h"
#include "graphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit };

// One colour table entry in the order of a DIB colour table.
struct TRGBQuad {
  uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

// Bits per pixel of a pixel format (pfDevice counts as 24 bits).
int PixelFormatBits(TPixelFormat pf);

class TBitmap;

// What the window-system half keeps beside the pixels (its DIB section, a memory DC, a canvas).
// Changing() is called before the pixel memory is replaced or freed.
class TBitmapExtension {
public:
  virtual ~TBitmapExtension() = default;
  virtual void Changing() = 0;
};

// Pixel memory that someone other than the bitmap owns (a DIB section): Release frees it.
class TBitmapStorage {
public:
  virtual ~TBitmapStorage() = default;
};

class TBitmap : public TGraphic {
public:
  // Larger pictures are refused with EInvalidGraphic "Bild zu groß": 2^27 bytes of pixels (128 MB,
  // a 6500 x 6500 picture at 24 bits), the memory budget of one picture in a 32-bit program, so a
  // hostile size cannot exhaust memory.
  static constexpr int64_t MaxPixelBytes = int64_t(1) << 27;

  TBitmap() = default;
  ~TBitmap() override;
  const char* ClassName() const override { return "TBitmap"; }

  // Copies another bitmap: size, pixel format, colour table and pixels. nullptr empties it.
  void Assign(TPersistent* Source) override;
  // As Assign, but takes Source's pixel memory instead of copying it; Source is left empty.
  void MoveFrom(TBitmap& Source);

  // BMP files (bmp_format.cpp). Loading reads what users meet: 1, 4, 8 and 24 bits per pixel,
  // RLE4 and RLE8, the OS/2 headers (12 and 64 bytes), 16 and 32 bits with or without bit-field
  // masks, rows bottom-up or top-down. 1, 4 and 8 bits stay indexed with the file's colour
  // table, RLE pictures become 4 or 8 bits, 16 and 32 bits become 24 bits. The stream may start
  // with the 14-byte file header ("BM") or directly with the info header (the clipboard's DIB).
  // Anything else raises EInvalidGraphic "Ungültiges Bitmap" and leaves the bitmap unchanged.
  // Saving writes a BMP file with a 40-byte info header in the bitmap's own pixel format.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // A device-independent bitmap in memory (info header, colour table, pixels), as LoadFromStream.
  void LoadFromDIB(const uint8_t* Data, size_t Size);

  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Size changes keep the pixels of the overlapping area; new pixels are black (index 0).
  void SetWidth(int w) override { SetSize(w, FHeight); }
  void SetHeight(int h) override { SetSize(FWidth, h); }
  void SetSize(int w, int h);
  // As SetSize for a bitmap whose every pixel the caller is about to write (a picture reader): the
  // old pixels are dropped and the new rows are not cleared first, only the padding at the end of
  // each row is. Bits of the last byte of an indexed row beyond the width are the caller's to write.
  void SetSizeUncleared(int w, int h);
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the pixels: to a deeper format through the colour table; to an indexed format each
  // pixel takes the nearest entry of that format's default colour table.
  void SetPixelFormat(TPixelFormat pf);
  int BitsPerPixel() const { return PixelFormatBits(FPixelFormat); }

  // Bytes per row (padded to 4 bytes) and the start of the bottom-up pixel block (the last row).
  int RowBytes() const { return RowBytesFor(FWidth, BitsPerPixel()); }
  static int RowBytesFor(int width, int bits) { return ((width * bits + 31) / 32) * 4; }
  uint8_t* Bits() { return FBits; }
  const uint8_t* Bits() const { return FBits; }
  size_t ImageSize() const { return size_t(RowBytes()) * size_t(FHeight); }

  // Row y counted from the top; EInvalidOperation "Zeilenindex außerhalb des gültigen Bereichs"
  // outside 0 .. Height - 1.
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;

  // The colour table of an indexed format (2, 16 or 256 entries); empty for the others.
  std::vector<TRGBQuad>& Palette() { return FPalette; }
  const std::vector<TRGBQuad>& Palette() const { return FPalette; }
  void SetPalette(const std::vector<TRGBQuad>& pal);
  using TGraphic::SetPalette;
  static std::vector<TRGBQuad> DefaultPalette(TPixelFormat pf);

  // One pixel as an RGB colour; coordinates outside the picture give clBlack / are ignored.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);
  // Fills every pixel with one colour (index 0 .. for indexed formats: the nearest entry).
  void Fill(TColor c);

  // The window-system half.
  TBitmapExtension* Extension() const { return FExtension.get(); }
  void SetExtension(std::unique_ptr<TBitmapExtension> e) { FExtension = std::move(e); }
  // Puts the pixels into memory that Storage owns (Bits must hold ImageSize() bytes); the current
  // pixels are copied there. The storage is dropped again when the size or format changes.
  void AdoptStorage(uint8_t* bits, std::unique_ptr<TBitmapStorage> storage);
  TBitmapStorage* Storage() const { return FStorage.get(); }
  // Counts changes of size, format and colour table (the window-system half rebuilds on change).
  unsigned ChangeCount() const { return FChangeCount; }
  // Tells the bitmap's users (OnChange) that its pixels changed; size, format, colour table,
  // Assign and loading report themselves.
  void PixelsChanged() { Changed(this); }

private:
  // Leaves the bytes it makes unset, so that pixel memory is cleared only where that is asked for.
  template <class T>
  struct UnsetAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = UnsetAllocator<U>; };
    UnsetAllocator() = default;
    template <class U> UnsetAllocator(const UnsetAllocator<U>&) {}
    template <class U> void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <class U, class... A>
    void construct(U* p, A&&... a) {
      ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
    }
  };
  using PixelHeap = std::vector<uint8_t, UnsetAllocator<uint8_t>>;

  void Reallocate(int w, int h, TPixelFormat pf, bool keep, bool clear = true);
  void ReleasePixels();
  int Nearest(TColor c) const;

  int FWidth = 0, FHeight = 0;
  TPixelFormat FPixelFormat = pf24bit;
  std::vector<TRGBQuad> FPalette;
  PixelHeap FHeap;
  uint8_t* FBits = nullptr;
  std::unique_ptr<TBitmapStorage> FStorage;
  std::unique_ptr<TBitmapExtension> FExtension;
  unsigned FChangeCount = 0;
};

// What the headers of a BMP at the stream's position (with or without its 14-byte file header)
// declare, read as TBitmap reads them: EInvalidGraphic for headers it refuses. The stream is back
// at its position. DataBytes: what the stream holds after the info header and its masks, where the
// colour table and the pixels are.
struct TBMPHeader {
  int Width = 0, Height = 0;
  int Bits = 0;
  bool RunLength = false;
  int64_t DataBytes = 0;
};
TBMPHeader ReadBMPHeader(TStream& Stream);
// Whether the data can fill the picture the header declares, as TBitmap requires before it makes
// the picture: every picture of up to a megapixel; a larger one needs a quarter of its rows
// uncompressed, or its pixels at the densest run-length code (two bytes for 255 pixels).
// TBitmap refuses the others as broken (EInvalidGraphic) without allocating them.
bool BMPDataCanFill(const TBMPHeader& Header);
