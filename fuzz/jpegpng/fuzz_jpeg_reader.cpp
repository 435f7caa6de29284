// The JPEG reader on arbitrary bytes, with a pixel limit that keeps each run small.
#include "jpeg_reader.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPictureReader(data, size, [](TMemoryStream& s) {
    int x = 0, y = 0;
    return ReadJPEGStream(s, x, y, 1 << 20);
  });
  return 0;
}
