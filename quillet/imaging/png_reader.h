// LoadPNGFile: reads a PNG file with libpng and paints it, alpha-blended, into a bitmap that the
// caller supplies (the thumbnail cell, the image browser's full view and the image dialog use it
// for names ending in ".png").
#pragma once

#include "bitmap.h"
#include "picture_budget.h"
#include "sysutils.h"

// Sizes Bitmap to the picture and paints the picture into it at (0, 0): opaque pixels replace
// what Bitmap held there, transparent ones leave it, partly transparent ones are mixed with it.
// Every PNG layout is shown: palette and low-depth grey are expanded, grey is shown grey, 16-bit
// samples by their upper eight bits.
// A file that cannot be opened raises Exception "Error Opening File <FileName>!"; any failure while
// reading (not a PNG, damaged or truncated data, a picture of more than MaxPixels pixels, by default
// the picture budget, or larger than the whole file could fill at deflate's largest expansion) raises
// Exception "Error Reading File!". Bitmap is untouched in both
// cases; the file is closed always.
void LoadPNGFile(const String& FileName, TBitmap& Bitmap, int64_t MaxPixels = kMaxPicturePixels);
