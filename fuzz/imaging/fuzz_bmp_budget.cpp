// The loader's question on the BMP road, on arbitrary bytes: whether the picture is beyond the
// budget ends with an answer or EPictureTooLarge, and leaves the stream where it was for the BMP
// reader (which fuzz_pictures fuzzes on its own).
#include <cstdlib>

#include "bmp_budget.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPictureReader(data, size, [](TMemoryStream& s) -> TBitmap* {
    RefuseBMPBeyondBudget(s);
    if (s.Position() != 0) std::abort();
    return nullptr;
  });
  return 0;
}
