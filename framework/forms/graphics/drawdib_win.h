// TDrawDib: a DrawDib context of Video for Windows, which draws device-independent bitmaps
// stretched and dithered to the screen's palette. Opened with the object, closed with it.
#pragma once

#include <windows.h>
#include <vfw.h>

class TDrawDib {
public:
  TDrawDib() : FHandle(DrawDibOpen()) {}
  ~TDrawDib() {
    if (FHandle) DrawDibClose(FHandle);
  }
  TDrawDib(const TDrawDib&) = delete;
  TDrawDib& operator=(const TDrawDib&) = delete;

  HDRAWDIB Handle() const { return FHandle; }
  // Source rectangle (in DIB pixels) of Bits described by Header into the destination rectangle.
  bool Draw(HDC DC, int X, int Y, int W, int H, BITMAPINFOHEADER* Header, void* Bits, int SrcX, int SrcY,
            int SrcW, int SrcH, UINT Flags = 0) {
    return FHandle && DrawDibDraw(FHandle, DC, X, Y, W, H, Header, Bits, SrcX, SrcY, SrcW, SrcH, Flags);
  }
  // Realises the context's palette in DC; the number of entries that changed.
  UINT Realize(HDC DC, bool Background) { return FHandle ? DrawDibRealize(FHandle, DC, Background) : 0; }

private:
  HDRAWDIB FHandle;
};
