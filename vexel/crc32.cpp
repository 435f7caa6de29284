// Table-driven CRC-32, eight bytes per step ("slicing by eight"): table k holds the CRC of a byte
// followed by k zero bytes, so eight lookups advance the running value over eight input bytes at
// once. Only table 0 is the classic byte-at-a-time table; the other seven are derived from it.
// The tables live in zero-initialised storage and cost the program file nothing.

#include "crc32.h"

namespace vexel {
namespace {

const uint32_t kPolynomial = 0xEDB88320u;  // x^32 + x^26 + ... + 1, bit-reversed
uint32_t g_table[8][256];
bool g_built = false;

inline uint32_t Load32(const unsigned char* p) {
  // Assembled byte by byte so that it is little-endian everywhere; compilers make it one load.
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

}  // namespace

void BuildCrcTable() {
  for (uint32_t n = 0; n < 256; n++) {
    uint32_t c = n;
    for (int k = 0; k < 8; k++) c = (c & 1) ? kPolynomial ^ (c >> 1) : c >> 1;
    g_table[0][n] = c;
  }
  for (uint32_t n = 0; n < 256; n++) {
    uint32_t c = g_table[0][n];
    for (int k = 1; k < 8; k++) {
      c = g_table[0][c & 0xFF] ^ (c >> 8);
      g_table[k][n] = c;
    }
  }
  g_built = true;
}

uint32_t UpdateCrc(const unsigned char* buf, size_t len, uint32_t running) {
  if (!g_built) BuildCrcTable();
  uint32_t c = running;
  const uint32_t(*t)[256] = g_table;
  while (len >= 16) {
    uint32_t a = Load32(buf) ^ c, b = Load32(buf + 4);
    c = t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^
        t[3][b & 0xFF] ^ t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
    a = Load32(buf + 8) ^ c;
    b = Load32(buf + 12);
    c = t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^
        t[3][b & 0xFF] ^ t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
    buf += 16;
    len -= 16;
  }
  while (len--) c = t[0][(c ^ *buf++) & 0xFF] ^ (c >> 8);
  return c;
}

}  // namespace vexel
