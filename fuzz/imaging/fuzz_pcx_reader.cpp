// The PCX reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "pcx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream s;
  s.WriteBuffer(data, int64_t(size));
  s.SetPosition(0);
  int h = 0, v = 0;
  try {
    std::unique_ptr<TBitmap> b(ReadPCXStream(s, h, v, s.Size(), TScreenResolution(), 1 << 20));
    if (b && b->Height() > 0) (void)b->ScanLine(b->Height() - 1)[0];
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
