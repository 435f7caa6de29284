// The frame of the picture readers' fuzz targets: the input as a stream, read by one reader, the
// last row of what it made touched so that the sanitizers see its whole pixel store. The readers'
// one way to refuse a picture is EInvalidGraphic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "bitmap.h"
#include "streams.h"

// `read(stream)` returns a new bitmap or throws EInvalidGraphic.
template <class Read>
void FuzzPictureReader(const uint8_t* data, size_t size, Read read) {
  TMemoryStream s;
  s.WriteBuffer(data, int64_t(size));
  s.SetPosition(0);
  try {
    std::unique_ptr<TBitmap> b(read(s));
    if (b && b->Height() > 0) (void)b->ScanLine(b->Height() - 1)[0];
  } catch (const EInvalidGraphic&) {
  }
}
