// The PNG reader on arbitrary bytes. It reads files, so each input is written to a file of this
// process first; the picture is painted over a bitmap that already holds pixels.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "png_reader.h"

namespace {
// The file of this process, removed when the process ends.
struct InputFile {
  std::string path = "/tmp/fuzz_png_reader." + std::to_string(getpid()) + ".png";
  ~InputFile() { std::remove(path.c_str()); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const InputFile input;
  const std::string& path = input.path;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
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
