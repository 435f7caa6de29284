// The PNG header read of the image dialog's measuring on arbitrary bytes, each input written to a
// file first. It ends with a size or the reader's one exception, and the size it gives is the
// size of the picture the reader makes of the same file (checked for small pictures, whose whole
// read is cheap).
#include <cstdlib>

#include "fuzz_input_file.h"
#include "png_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TFuzzInputFile input("fuzz_png_size");
  const std::string path = input.Write(data, size);
  if (path.empty()) return 0;
  int w = 0, h = 0;
  bool measured = false;
  try {
    PNGPictureSize(path, w, h);
    measured = true;
    if (w <= 0 || h <= 0) std::abort();
  } catch (const Exception&) {
  }
  if (measured && int64_t(w) * h > 65536) return 0;
  TBitmap b;
  try {
    LoadPNGFile(path, b);
  } catch (const Exception&) {
    return 0;
  }
  // A picture read whole was measured, with its own size.
  if (!measured || b.Width() != w || b.Height() != h) std::abort();
  return 0;
}
