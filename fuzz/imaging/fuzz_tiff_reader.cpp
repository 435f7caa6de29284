// The TIFF reader on arbitrary bytes: the first and the second image.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "tiff_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int index : {0, 1}) {
    TMemoryStream s;
    s.WriteBuffer(data, int64_t(size));
    s.SetPosition(0);
    int count = 0, x = 0, y = 0;
    try {
      std::unique_ptr<TBitmap> b(ReadTIFF(s, index, count, x, y, 1 << 20));
      if (b && b->Height() > 0) (void)b->ScanLine(b->Height() - 1)[0];
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
