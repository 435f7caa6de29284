// The picture budget on the loader's BMP road. The component library's BMP reader limits the bytes
// of a picture at its own depth, so a 1-bit picture of 50 megapixels loads and fails only when the
// view turns it to 24 bits, and a 24-bit one fails inside the reader: both would say that the file
// is broken. The loader asks first whether the file declares more pixels than the budget holds.
#pragma once

#include "picture_budget.h"
#include "streams.h"

// Raises EPictureTooLarge (with the declared width and height) for a BMP at the stream's position
// (with or without the 14-byte file header) whose header the BMP reader accepts, whose pixels do
// not fit the picture budget at 24 bits, and whose data can fill them (BMPDataCanFill, the BMP
// reader's own test: uncompressed rows a quarter of the picture's rows, run-length data two bytes
// for 255 pixels). Returns for every other stream, which the BMP reader then reads or refuses
// (a declaration its data cannot fill) as before; the stream is back at its position either way.
void RefuseBMPBeyondBudget(TStream& Stream);
