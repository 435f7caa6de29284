// Arbitrary bytes as a GIF frame's pixel data. The decoder must end, stay within its buffers,
// leave the stream within the data, and either finish or raise its own error. What it decoded is
// then encoded by both encoders and must decode back to the very same pixels.
//
// Input: width - 1, height - 1 (one byte each, so frames stay small), a flag byte (bit 0
// interlaced, bits 1-7 the fill index), then the data from the minimum code size byte on.

#include <stddef.h>
#include <stdint.h>

#include <cstdlib>
#include <vector>

#include "gif_encoder.h"
#include "gif_lzw_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int w = data[0] + 1, h = data[1] + 1;
  const bool interlaced = (data[2] & 1) != 0;
  const uint8_t fill = data[2] >> 1;
  TMemoryStream s;
  s.WriteBuffer(data + 3, int64_t(size - 3));
  s.SetPosition(0);
  std::vector<uint8_t> px;
  int warnings = 0;
  TGIFWarning hook = [&](int, const String&) { ++warnings; };
  try {
    Decode(s, w, h, interlaced, fill, px, hook);
  } catch (const GIFException&) {
    return 0;
  }
  if (px.size() != size_t(w) * size_t(h)) std::abort();
  if (s.Position() > s.Size()) std::abort();

  for (int kind : {geLZW, geRLE}) {
    TMemoryStream e;
    Encode(kind, e, 8, 256, px.data(), interlaced, h, w);
    e.SetPosition(0);
    std::vector<uint8_t> back;
    warnings = 0;
    Decode(e, w, h, interlaced, 0, back, hook);
    if (back != px || warnings != 0 || e.Position() != e.Size()) std::abort();
  }
  return 0;
}
