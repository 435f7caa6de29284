// The JPEG header read of the image dialog's measuring on arbitrary bytes. It ends with a size or
// EInvalidGraphic, and the size it gives is the size of the picture the reader decodes from the
// same bytes (checked for small pictures, whose decoding is cheap).
#include <cstdlib>

#include "jpeg_reader.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int w = 0, h = 0;
  bool measured = false;
  FuzzPictureReader(data, size, [&](TMemoryStream& s) -> TBitmap* {
    ReadJPEGSize(s, w, h);
    measured = true;
    if (w <= 0 || h <= 0) std::abort();
    return nullptr;
  });
  if (measured && int64_t(w) * h > 65536) return 0;
  FuzzPictureReader(data, size, [&](TMemoryStream& s) {
    int x = 0, y = 0;
    TBitmap* b = ReadJPEGStream(s, x, y);
    // A picture decoded was measured, with its own size.
    if (!measured || b->Width() != w || b->Height() != h) std::abort();
    return b;
  });
  return 0;
}
