// Arbitrary bytes as a deflated entry's data. The decoder must end, stay within its buffers and
// agree with zlib: both finish the stream or both refuse it, and a finished stream decodes to the
// same bytes with the CRC-32 of exactly what was written.
//
// Two runs per input: the whole input as the entry, and the input behind a four-byte header that
// gives a compressed size (which may be larger than what follows) and the largest piece the read
// function hands out, so that short reads and sizes that do not fit the data are tried too.

#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <zlib.h>

#include <vector>

#include "crc32.h"
#include "inflate.h"

namespace {

struct Run {
  const uint8_t* data;
  size_t size;
  size_t pos;
  size_t piece;
  std::vector<unsigned char> out;
  std::vector<size_t> writes;
};

size_t Read(void* c, unsigned char* buf, size_t max) {
  Run& r = *static_cast<Run*>(c);
  size_t n = max;
  if (n > r.size - r.pos) n = r.size - r.pos;
  if (n > r.piece) n = r.piece;
  memcpy(buf, r.data + r.pos, n);
  r.pos += n;
  return n;
}

int Write(void* c, const unsigned char* buf, size_t n) {
  Run& r = *static_cast<Run*>(c);
  r.out.insert(r.out.end(), buf, buf + n);
  r.writes.push_back(n);
  return 1;
}

// zlib's verdict on the first `size` bytes.
bool ZlibInflate(const uint8_t* data, size_t size, std::vector<unsigned char>& out) {
  z_stream z = {};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  z.next_in = const_cast<uint8_t*>(data);
  z.avail_in = (uInt)size;
  unsigned char buf[32768];
  int rc;
  do {
    z.next_out = buf;
    z.avail_out = sizeof buf;
    rc = inflate(&z, Z_NO_FLUSH);
    out.insert(out.end(), buf, buf + (sizeof buf - z.avail_out));
  } while (rc == Z_OK && (z.avail_out == 0 || z.avail_in > 0));
  inflateEnd(&z);
  return rc == Z_STREAM_END;
}

void Check(const uint8_t* data, size_t available, uint32_t compressedSize, size_t piece) {
  Run r = {data, available, 0, piece, {}, {}};
  vexel::InflateIo io = {&r, Read, Write};
  uint32_t running = 0xFFFFFFFFu;
  bool ok = vexel::InflateEntry(io, compressedSize, running);

  size_t used = compressedSize < available ? compressedSize : available;
  if (r.pos > used) __builtin_trap();  // read more than the entry has
  std::vector<unsigned char> ref;
  bool zok = ZlibInflate(data, used, ref);
  if (ok != zok) __builtin_trap();
  if (ok && r.out != ref) __builtin_trap();
  if (~running != (uint32_t)crc32(0, r.out.data(), (uInt)r.out.size())) __builtin_trap();
  // Deflate expands at most 1032 to 1, plus what the all-ones bytes after the end may add.
  if (r.out.size() > 1032 * (used + 16) + 32768) __builtin_trap();
  for (size_t i = 0; i + 1 < r.writes.size(); i++)
    if (r.writes[i] != 32768) __builtin_trap();
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
