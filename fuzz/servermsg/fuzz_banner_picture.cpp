// A banner download as the check that it is a whole GIF picture sees it.
#include <cstddef>
#include <cstdint>

#include "BannerPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IsGifPicture(data, size);
  return 0;
}
