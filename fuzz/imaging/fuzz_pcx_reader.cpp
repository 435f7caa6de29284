// The PCX reader on arbitrary bytes.
#include "pcx_reader.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPictureReader(data, size, [](TMemoryStream& s) {
    int h = 0, v = 0;
    return ReadPCXStream(s, h, v, s.Size(), TScreenResolution());
  });
  return 0;
}
