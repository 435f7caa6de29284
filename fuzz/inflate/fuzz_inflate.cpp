// Arbitrary bytes as a deflated entry's data. The decoder must end, stay within its buffers and
// agree with zlib: both finish the stream or both refuse it, and a finished stream decodes to the
// same bytes with the CRC-32 of exactly what was written.
//
// Two runs per input: the whole input as the entry, and the input behind a four-byte header that
// gives a compressed size (which may be larger than what follows) and the largest piece the read
// function hands out, so that short reads and sizes that do not fit the data are tried too.

#include <stddef.h>
#include <stdint.h>

#include "inflate_test_support.h"

namespace {

using vexel_test::Bytes;

void Check(const uint8_t* data, size_t available, uint32_t compressedSize, size_t piece) {
  vexel_test::DecodeOptions options;
  options.piece = piece;
  const vexel_test::Decoded d = vexel_test::Decode(Bytes(data, data + available), compressedSize, options);

  size_t used = compressedSize < available ? compressedSize : available;
  if (d.consumed > used) __builtin_trap();  // read more than the entry has
  const vexel_test::ZlibDecoded z = vexel_test::ZlibInflate(Bytes(data, data + used));
  if (d.ok != z.ok) __builtin_trap();
  if (d.ok && d.out != z.out) __builtin_trap();
  if (d.crc != vexel_test::ZlibCrc(d.out)) __builtin_trap();
  // Deflate expands at most 1032 to 1, plus what the all-ones bytes after the end may add.
  if (d.out.size() > 1032 * (used + 16) + 32768) __builtin_trap();
  for (size_t i = 0; i + 1 < d.writes.size(); i++)
    if (d.writes[i] != vexel::kInflatePiece) __builtin_trap();
}

}  // namespace
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  vexel::BuildCrcTable();
  Check(data, size, (uint32_t)size, (size_t)-1);
  if (size >= 4) {
    uint32_t claimed = (uint32_t)data[0] | ((uint32_t)data[1] << 8) | ((uint32_t)(data[2] & 0x7F) << 16);
    size_t piece = 1 + data[3];
    Check(data + 4, size - 4, claimed, piece);
  }
  return 0;
}
