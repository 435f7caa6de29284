// Table-driven CRC-32, eight bytes per step ("slicing by eight"): table k holds the CRC of a byte
// followed by k zero bytes, so eight lookups advance the running value over eight input bytes at
// once. Long buffers are cut into four lanes that are computed side by side, which keeps the
// processor busy while each lane waits for its lookups, and the four values are joined at the
// end: the CRC register is linear, so the value of A followed by B is the value of A moved on
// over as many zero bytes as B has, XOR the value of B started from zero; moving on over a fixed
// number of zero bytes is a multiplication by a constant modulo the polynomial.
// The tables live in zero-initialised storage and cost the program file nothing.

#include "crc32.h"

namespace vexel {
namespace {

const uint32_t kPolynomial = 0xEDB88320u;  // x^32 + x^26 + ... + 1, bit-reversed
const size_t kLane = 2048;                  // bytes per lane; four lanes make one 8 KB group
uint32_t g_table[8][256];
uint32_t g_laneShift;                       // x^(8 * kLane) modulo the polynomial
bool g_built = false;

inline uint32_t Load32(const unsigned char* p) {
  // Assembled byte by byte so that it is little-endian everywhere; compilers make it one load.
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

inline uint32_t Step8(const uint32_t (*t)[256], uint32_t c, const unsigned char* p) {
  uint32_t a = Load32(p) ^ c, b = Load32(p + 4);
  return t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^
         t[3][b & 0xFF] ^ t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
}

// Product of a and b modulo the polynomial, both in the reflected form (bit 31 is x^0).
uint32_t MultiplyMod(uint32_t a, uint32_t b) {
  uint32_t product = 0;
  for (uint32_t m = 0x80000000u; m != 0; m >>= 1) {
    if (a & m) product ^= b;
    b = (b & 1) ? (b >> 1) ^ kPolynomial : b >> 1;
  }
  return product;
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
  // The register holding 1 (x^0), moved on over one lane of zero bytes.
  uint32_t c = 0x80000000u;
  for (size_t i = 0; i < kLane; i++) c = g_table[0][c & 0xFF] ^ (c >> 8);
  g_laneShift = c;
  g_built = true;
}

uint32_t UpdateCrc(const unsigned char* buf, size_t len, uint32_t running) {
  if (!g_built) BuildCrcTable();
  const uint32_t(*t)[256] = g_table;
  uint32_t c = running;
  while (len >= 4 * kLane) {
    uint32_t c1 = 0, c2 = 0, c3 = 0;
    const unsigned char* p = buf;
    for (size_t i = 0; i < kLane; i += 8, p += 8) {
      c = Step8(t, c, p);
      c1 = Step8(t, c1, p + kLane);
      c2 = Step8(t, c2, p + 2 * kLane);
      c3 = Step8(t, c3, p + 3 * kLane);
    }
    c = MultiplyMod(c, g_laneShift) ^ c1;
    c = MultiplyMod(c, g_laneShift) ^ c2;
    c = MultiplyMod(c, g_laneShift) ^ c3;
    buf += 4 * kLane;
    len -= 4 * kLane;
  }
  for (; len >= 8; buf += 8, len -= 8) c = Step8(t, c, buf);
  while (len--) c = t[0][(c ^ *buf++) & 0xFF] ^ (c >> 8);
  return c;
}

}  // namespace vexel
