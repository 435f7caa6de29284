// The GIF reader on arbitrary bytes: the first frame and the second, each from a fresh stream.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "gif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int frame : {0, 1}) {
    TMemoryStream s;
    s.WriteBuffer(data, int64_t(size));
    s.SetPosition(0);
    TGIFScreenInfo screen;
    TGIFFrameInfo info;
    int count = 0;
    try {
      std::unique_ptr<TBitmap> b(ReadGIFStream(s, frame, screen, info, count, 1 << 20));
      if (b && b->Height() > 0) (void)b->ScanLine(b->Height() - 1)[0];
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
