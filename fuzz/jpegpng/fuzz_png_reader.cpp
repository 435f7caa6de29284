// The PNG reader on arbitrary bytes, each input written to a file first; the picture is painted
// over a bitmap that already holds pixels.
#include "fuzz_input_file.h"
#include "png_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TFuzzInputFile input("fuzz_png_reader");
  const std::string path = input.Write(data, size);
  if (path.empty()) return 0;
  TBitmap b;
  b.SetSize(5, 5);
  b.Fill(RGBColor(1, 2, 3));
  try {
    LoadPNGFile(path, b);
    if (b.Height() > 0) (void)b.ScanLine(b.Height() - 1)[0];
  } catch (const Exception&) {
  }
  return 0;
}
