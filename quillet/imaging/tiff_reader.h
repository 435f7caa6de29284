// The TIFF reader: reads one image of a TIFF stream (strips; uncompressed, modified Huffman, CCITT Group 3
// and 4, LZW, PackBits; bilevel, grey, palette and RGB pictures) into a new bitmap: 1 bit per pixel
// for bilevel pictures (1 bits white), 24 bits per pixel otherwise.
#pragma once

#include <cstdint>

#include "bitmap.h"
#include "picture_budget.h"
#include "streams.h"

// Reads image ImageIndex (0 = the first) from the stream's position. ImageCount gets the number of
// images in the file; XResolution and YResolution the resolution in dots per inch (0 when the file
// gives none). Returns the new bitmap, owned by the caller, or nullptr when the file has fewer images.
// Raises EInvalidGraphic "unrecognized TIFF" for a stream that is no TIFF, "Invalid TIFF stream" for
// a broken one (no readable directory, differing bits per sample, or more than its strips can fill
// at their compression's largest expansion; uncompressed strips need to hold a quarter of the
// picture, and the rows they lack stay black), and EPictureTooLarge for more than MaxPixels pixels
// (by default the picture budget).
// Pictures the reader has no decoder for (tiled ones, compressions other than none, fax, LZW and
// PackBits, sample layouts other than 1-bit, 4- and 8-bit grey and palette and 8-bit RGB) come back
// black in their size; Decoded, when given, tells whether the pixels were decoded.
TBitmap* ReadTIFF(TStream& Stream, int ImageIndex, int& ImageCount, int& XResolution, int& YResolution,
                  int64_t MaxPixels = kMaxPicturePixels, bool* Decoded = nullptr);
