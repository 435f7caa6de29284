// The TIFF reader on arbitrary bytes: the first and the second image.
#include "picture_fuzz.h"
#include "tiff_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int index : {0, 1}) {
    FuzzPictureReader(data, size, [index](TMemoryStream& s) {
      int count = 0, x = 0, y = 0;
      return ReadTIFF(s, index, count, x, y);
    });
  }
  return 0;
}
