// LoadPNGFile: reads a PNG file with libpng and paints it, alpha-blended, into a bitmap that the
// caller supplies (the thumbnail cell, the image browser's full view and the image dialog use it
// for names ending in ".png").
#pragma once

#include <memory>

#include "bitmap.h"
#include "picture_budget.h"
#include "sysutils.h"

// Sizes Bitmap to the picture and paints the picture into it at (0, 0): opaque pixels replace
// what Bitmap held there, transparent ones leave it, partly transparent ones are mixed with it.
// Every PNG layout is shown: palette and low-depth grey are expanded, grey is shown grey, 16-bit
// samples by their upper eight bits.
// A file that cannot be opened raises Exception "Error Opening File <FileName>!"; any failure while
// reading (not a PNG, damaged or truncated data, or a picture larger than the whole file could fill
// at deflate's largest expansion) raises Exception "Error Reading File!"; a picture of more than
// MaxPixels pixels (by default the picture budget) raises EPictureTooLarge. Bitmap is untouched in
// all these cases; the file is closed always.
void LoadPNGFile(const String& FileName, TBitmap& Bitmap, int64_t MaxPixels = kMaxPicturePixels);

// The picture as a picture view shows it: a new 24-bit bitmap, painted over Beneath (the colour
// the view shows behind the picture). A picture whose pixels do not fit the budget is shrunk while
// it is read, each block of k x k pixels (the smallest k that fits) becoming their average, so
// that it can be shown at all; an interlaced one, which libpng puts together whole, raises
// EPictureTooLarge. Width and Height receive the picture's own size. Errors as LoadPNGFile's.
std::unique_ptr<TBitmap> ReadPNGPicture(const String& FileName, TColor Beneath, int& Width, int& Height);

// The picture's width and height from its header (signature and header chunk checked, no pixel
// decoded); a size the file's data cannot fill is refused as LoadPNGFile refuses it. Errors as
// LoadPNGFile's.
void PNGPictureSize(const String& FileName, int& Width, int& Height);
