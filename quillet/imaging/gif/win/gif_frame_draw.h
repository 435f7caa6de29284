// Drawing one GIF frame on a canvas: scaled into the picture's rectangle or tiled at natural size,
// through its transparency mask so that the target shows through transparent pixels.
#pragma once

#include <windows.h>

#include "bitmap.h"
#include "gif_model.h"
#include "graphics.h"

// Value when it is not 0; otherwise the out-of-resources error with the system's text for the last
// error (EOutOfResources "Zu wenig Systemressourcen" when there is none).
FORMS_EXCEPTION(EOutOfResources, Exception);
HANDLE GDICheckHandle(HANDLE Value);
template <typename T>
T GDICheck(T Value) {
  return static_cast<T>(GDICheckHandle(static_cast<HANDLE>(Value)));
}

// Copies the SrcW x SrcH area of Src at (SrcX, SrcY) into the DstW x DstH area of Dst at (DstX,
// DstY) through the monochrome mask selected into MaskDC: a set mask bit keeps the target's pixel,
// a clear one takes the source's. Unstretched on the Windows NT family through MaskBlt, otherwise
// emulated with two stretched blits; the target's text and background colours stay as they were.
bool MaskedStretchBlit(HDC Dst, int DstX, int DstY, int DstW, int DstH, HDC Src, int SrcX, int SrcY, int SrcW,
                       int SrcH, HDC MaskDC, int MaskX, int MaskY);

// A monochrome bitmap (rows padded to 16 bits) of a 1-bit mask picture; its set bits are set bits.
HBITMAP CreateMaskBitmap(const TBitmap& Mask);

// Draws Frame (its picture FrameBitmap and its mask Mask, none for an opaque frame) on Canvas:
// Rect is where the whole picture goes. Without DoTile the frame lands at its scaled place, with
// it the frame repeats at the picture's width and height from its offset in every cell.
void DrawGIFFrame(TGIFSubImage& Frame, TBitmap& FrameBitmap, const TBitmap* Mask, TCanvas& Canvas, const TRect& Rect,
                  bool DoTransparent, bool DoTile);
