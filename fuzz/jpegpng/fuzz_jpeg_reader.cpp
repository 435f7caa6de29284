// The JPEG reader on arbitrary bytes, with a pixel limit that keeps each run small.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "jpeg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream s;
  s.WriteBuffer(data, int64_t(size));
  s.SetPosition(0);
  int x = 0, y = 0;
  try {
    std::unique_ptr<TBitmap> b(ReadJPEGStream(s, x, y, 1 << 20));
    if (b && b->Height() > 0) (void)b->ScanLine(b->Height() - 1)[0];
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
