// The GIF reader on arbitrary bytes: the first frame and the second, each from a fresh stream.
#include "gif_reader.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int frame : {0, 1}) {
    FuzzPictureReader(data, size, [frame](TMemoryStream& s) {
      TGIFScreenInfo screen;
      TGIFFrameInfo info;
      int count = 0;
      return ReadGIFStream(s, frame, screen, info, count);
    });
  }
  return 0;
}
