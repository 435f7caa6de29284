// JPEG stream reader of the image loader: decodes a JPEG (JFIF) picture with libjpeg into a new
// 24-bit bitmap and reports the picture's density in dots per inch.
#pragma once

#include <functional>

#include "bitmap.h"
#include "picture_budget.h"
#include "streams.h"

// Reads the picture from the stream's position. Returns the new bitmap, owned by the caller.
// XResolution / YResolution receive the JFIF density: as stored for density unit 0 (aspect ratio
// only) and 1 (dots per inch), converted to dots per inch (truncated) for unit 2 (dots per
// centimetre); for any other unit they keep the values they had.
// Colour, greyscale and CMYK pictures all give blue-green-red pixels.
// Every error of the decoder raises EInvalidGraphic "unrecognized JPeg - JPEG error #<code>" with
// libjpeg's message code; warnings (such as data ending before the end-of-image marker, where the
// rest of the picture stays grey) are dropped. A file of fewer bytes than the picture has blocks / 8
// (a Huffman-coded scan spends at least a bit on every block) cannot fill its picture and fails
// like a decoder error (JERR_INPUT_EOF) right after its header, before anything is allocated; so
// does the header read below. A picture of more than MaxPixels pixels (by default the picture
// budget) raises EInvalidGraphic "Bild zu groß" before anything is decoded. A picture of several
// scans (progressive) needs the coefficients of the whole picture, 2 bytes each at any output
// scale: they have a budget of their own beside the bitmap (three picture budgets), and a picture
// whose coefficients exceed it raises EPictureTooLarge.
// A progressive picture of more than 1000 scans fails like a decoder error (JERR_BAD_PROGRESSION).
// An exception of the stream passes unchanged.
TBitmap* ReadJPEGStream(TStream& Stream, int& XResolution, int& YResolution,
                        int64_t MaxPixels = kMaxPicturePixels);

// The same, decoded at a reduced scale: Scale gets the picture's width and height from its header
// and answers the denominator (2, 4 or 8 make the picture that much smaller through the
// decoder's scaled inverse transform, sides rounded up; anything else decodes it whole). Width
// and Height receive the picture's own size. The thumbnails use it to decode only what they show.
using TJPEGScaleChooser = std::function<int(int Width, int Height)>;
TBitmap* ReadJPEGStreamScaled(TStream& Stream, int& XResolution, int& YResolution, const TJPEGScaleChooser& Scale,
                              int& Width, int& Height, int64_t MaxPixels = kMaxPicturePixels);

// The picture's size from its header (the markers up to the first scan are read and checked, no
// pixel is decoded); errors as ReadJPEGStream's.
void ReadJPEGSize(TStream& Stream, int& Width, int& Height);

// The text of a decoder error: "unrecognized JPeg - JPEG error #<code>".
String JPEGErrorText(int MessageCode);
