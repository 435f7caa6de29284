// The GIF reader on arbitrary bytes: the first frame with its transparent pixels and the second
// without, each from a fresh stream.
#include <cstdlib>
#include <vector>

#include "gif_reader.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int frame : {0, 1}) {
    FuzzPictureReader(data, size, [frame](TMemoryStream& s) {
      TGIFScreenInfo screen;
      TGIFFrameInfo info;
      int count = 0;
      std::vector<bool> clear;
      TBitmap* b = ReadGIFStream(s, frame, screen, info, count, kMaxPicturePixels, frame == 0 ? &clear : nullptr);
      // One flag for every pixel of a transparent frame, none otherwise (and none when not asked).
      const size_t want = frame == 0 && b && info.Transparent ? size_t(info.Width) * info.Height : 0;
      if (clear.size() != want) std::abort();
      return b;
    });
  }
  return 0;
}
