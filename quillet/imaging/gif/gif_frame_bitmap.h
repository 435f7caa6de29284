// A frame as a component-library bitmap and back: the frame's 8-bit picture with its palette
// (dithered onto the 216-colour palette when asked), its monochrome transparency mask, and a
// bitmap turned into a frame (true-colour pictures reduced first).
#pragma once

#include <memory>
#include <vector>

#include "bitmap.h"
#include "gif_model.h"

// The colours a frame is shown with: the 216-colour palette when Dither is set, else the frame's
// active colour table.
std::vector<TRGBQuad> FramePalette(TGIFSubImage& Frame, bool Dither);
// The frame's picture: 8 bits per pixel of the frame's size with FramePalette's colours; with
// Dither every pixel's colour is dithered (Floyd-Steinberg) onto the 216 colours. Progress
// "Rendering..." goes to the owning picture every 32 rows unless Quiet (an animation's thread
// renders quietly: notifications belong to the user-interface thread). An empty frame gives an
// empty picture of the frame's size.
std::unique_ptr<TBitmap> RenderFrameBitmap(TGIFSubImage& Frame, bool Dither, bool Quiet = false);
// The transparency mask: 1 bit per pixel, a set bit (index 1) for every pixel holding the
// transparent index; none when the frame is not transparent or no pixel holds the index.
std::unique_ptr<TBitmap> RenderFrameMask(TGIFSubImage& Frame);
// The frame becomes the bitmap's picture: 1-, 4- and 8-bit bitmaps keep their indices and colour
// table, others are reduced to 256 colours or fewer with the owner's reduction settings.
void AssignBitmapToFrame(TGIFSubImage& Frame, const TBitmap& Bitmap);
