// Table-driven CRC-32, eight bytes per step ("slicing by eight"): table k holds the CRC of a byte
// followed by k zero bytes, so eight lookups advance the running value over eight input bytes at
// once. Long buffers are cut into four lanes that are computed side by side, which keeps the
// processor busy while each lane waits for its lookups, and the four values are joined at the
// end: the CRC register is linear, so the value of A followed by B is the value of A moved on
// over as many zero bytes as B has, XOR the value of B started from zero; moving on over a fixed
// number of zero bytes is a multiplication by a constant modulo the polynomial.
// The tables live in zero-initialised storage and cost the program file nothing.
//
// Where the processor has the carry-less multiply (PCLMULQDQ, asked through cpuid when the tables
// are built), buffers of 64 bytes or more are folded instead: four 16-byte accumulators each
// move 64 bytes ahead per step by multiplying their two 64-bit halves with x^(512+32) and
// x^(512-32) modulo the polynomial and adding the next input block; at the end they fold into one
// block, whose CRC from zero (by the tables) is the CRC of all that was folded. The program runs on
// any 32-bit x86, so the table path stays the fallback.

#include "crc32.h"

#include "cpu_features.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#include <wmmintrin.h>
#define VEXEL_CRC_CLMUL 1
#endif

namespace vexel {
namespace {

const uint32_t kPolynomial = 0xEDB88320u;  // x^32 + x^26 + ... + 1, bit-reversed
const size_t kLane = 2048;                  // bytes per lane; four lanes make one 8 KB group
uint32_t g_table[8][256];
uint32_t g_laneShift;                       // x^(8 * kLane) modulo the polynomial
bool g_built = false;
bool g_clmul = false;                       // the processor has the carry-less multiply
bool g_clmulAllowed = true;

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

uint32_t TableCrc(const unsigned char* buf, size_t len, uint32_t c) {
  const uint32_t(*t)[256] = g_table;
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

#ifdef VEXEL_CRC_CLMUL
// Constants x^n modulo the polynomial, reflected over 33 bits; the low 64-bit half of a block
// (its first eight bytes) is multiplied by the first of a pair, the high half by the second.
#define VEXEL_FOLD_PAIR(lo, hi) \
  _mm_set_epi32((int)((hi) >> 32), (int)(uint32_t)(hi), (int)((lo) >> 32), (int)(uint32_t)(lo))

__attribute__((target("sse2,pclmul"))) inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Folds len >= 64 bytes; the bytes of len beyond a multiple of 16 are left to the tables.
__attribute__((target("sse2,pclmul"))) __attribute__((force_align_arg_pointer)) uint32_t
ClmulCrc(const unsigned char* p, size_t len, uint32_t c) {
  const __m128i k4 = VEXEL_FOLD_PAIR(0x154442bd4ull, 0x1c6e41596ull);  // x^544, x^480: 64 bytes on
  const __m128i k1 = VEXEL_FOLD_PAIR(0x1751997d0ull, 0x0ccaa009eull);  // x^160, x^96: 16 bytes on
  const __m128i* q = (const __m128i*)p;
  __m128i x0 = _mm_xor_si128(_mm_loadu_si128(q), _mm_cvtsi32_si128((int)c));
  __m128i x1 = _mm_loadu_si128(q + 1), x2 = _mm_loadu_si128(q + 2), x3 = _mm_loadu_si128(q + 3);
  q += 4;
  len -= 64;
  for (; len >= 64; len -= 64, q += 4) {
    x0 = Fold(x0, k4, _mm_loadu_si128(q));
    x1 = Fold(x1, k4, _mm_loadu_si128(q + 1));
    x2 = Fold(x2, k4, _mm_loadu_si128(q + 2));
    x3 = Fold(x3, k4, _mm_loadu_si128(q + 3));
  }
  x0 = Fold(x0, k1, x1);
  x0 = Fold(x0, k1, x2);
  x0 = Fold(x0, k1, x3);
  for (; len >= 16; len -= 16, q++) x0 = Fold(x0, k1, _mm_loadu_si128(q));
  unsigned char last[16];
  _mm_storeu_si128((__m128i*)last, x0);
  c = TableCrc(last, 16, 0);
  return TableCrc((const unsigned char*)q, len, c);
}
#undef VEXEL_FOLD_PAIR

#endif

}  // namespace

void UseCarrylessCrc(bool allowed) { g_clmulAllowed = allowed; }

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
#ifdef VEXEL_CRC_CLMUL
  g_clmul = CpuHasClmul();
#endif
  g_built = true;
}

uint32_t UpdateCrc(const unsigned char* buf, size_t len, uint32_t running) {
  if (!g_built) BuildCrcTable();
#ifdef VEXEL_CRC_CLMUL
  if (len >= 64 && g_clmul && g_clmulAllowed) return ClmulCrc(buf, len, running);
#endif
  return TableCrc(buf, len, running);
}

}  // namespace vexel
