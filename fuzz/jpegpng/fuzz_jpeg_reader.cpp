// The JPEG reader on arbitrary bytes, with the program's own picture budget: whole, and at the
// reduced scale the thumbnails decode at (1/2, 1/4 or 1/8, chosen by the input's length).
#include "jpeg_reader.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPictureReader(data, size, [](TMemoryStream& s) {
    int x = 0, y = 0;
    return ReadJPEGStream(s, x, y);
  });
  const int denominator = 2 << (size % 3);
  FuzzPictureReader(data, size, [denominator](TMemoryStream& s) {
    int x = 0, y = 0, w = 0, h = 0;
    return ReadJPEGStreamScaled(s, x, y, [denominator](int, int) { return denominator; }, w, h);
  });
  return 0;
}
