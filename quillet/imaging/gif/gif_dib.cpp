#include "gif_dib.h"

#include <new>

#include "gif_exception.h"

TDIBReader::TDIBReader(TBitmap& Bitmap, TPixelFormat PixelFormat) : FBitmap(&Bitmap) {
  FPixelFormat = PixelFormat;
  if (Bitmap.PixelFormat() != PixelFormat) {
    FCopy.Assign(&Bitmap);
    FCopy.SetPixelFormat(PixelFormat);
    FBitmap = &FCopy;
  }
  FWidth = FBitmap->Width();
  FHeight = FBitmap->Height();
}

TDIBWriter::TDIBWriter(TBitmap& Target, TPixelFormat PixelFormat, int Width, int Height, const TLogPalette& Palette)
    : FTarget(Target) {
  if (PixelFormat != pf8bit && PixelFormat != pf24bit) throw GIFException(gifmsg::PixelFormat);
  if (Width <= 0 || Height <= 0) throw GIFException(gifmsg::ImageDimensions);
  FPixelFormat = PixelFormat;
  FWidth = Width;
  FHeight = Height;
  try {
    FDIB.SetPixelFormat(PixelFormat);
    FDIB.SetSize(Width, Height);
  } catch (const std::bad_alloc&) {
    throw GIFException(gifmsg::DIBMemory);
  }
  if (PixelFormat == pf8bit) {
    std::vector<TRGBQuad> quads(Palette.size() > 256 ? 256 : Palette.size());
    for (size_t i = 0; i < quads.size(); ++i) {
      quads[i].rgbRed = Palette[i].peRed;
      quads[i].rgbGreen = Palette[i].peGreen;
      quads[i].rgbBlue = Palette[i].peBlue;
    }
    FDIB.SetPalette(quads);
  }
}

TDIBWriter::~TDIBWriter() {
  if (!FCommitted) {
    try {
      Commit();
    } catch (...) {
    }
  }
}

void TDIBWriter::Commit() {
  FCommitted = true;
  FTarget.Assign(&FDIB);
}
