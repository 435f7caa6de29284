// The JPEG reader on arbitrary bytes, with the program's own picture budget.
#include "jpeg_reader.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPictureReader(data, size, [](TMemoryStream& s) {
    int x = 0, y = 0;
    return ReadJPEGStream(s, x, y);
  });
  return 0;
}
