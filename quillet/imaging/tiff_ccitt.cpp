#include "tiff_ccitt.h"

#include <algorithm>
#include <cstring>

namespace {

// One code of a table: its bits as written in T.4 / T.6 and the run length (or mode) it stands for.
struct CodeRow {
  const char* bits;
  int value;
};

// Values above the run lengths in the run tables.
constexpr int kEOL = -1;
// Modes of the two-dimensional code table.
enum Mode { mPass = 100, mHorizontal, mV0, mVR1, mVR2, mVR3, mVL1, mVL2, mVL3, mExtension, mEOL };

// Extended make-up codes, shared by both colours (T.4 table 3).
#define EXTENDED_MAKEUP                                                                             \
  {"00000001000", 1792}, {"00000001100", 1856}, {"00000001101", 1920}, {"000000010010", 1984},       \
      {"000000010011", 2048}, {"000000010100", 2112}, {"000000010101", 2176}, {"000000010110", 2240}, \
      {"000000010111", 2304}, {"000000011100", 2368}, {"000000011101", 2432}, {"000000011110", 2496}, \
      {"000000011111", 2560}, {"000000000001", kEOL}

// White run lengths: terminating codes 0 - 63, then make-up codes 64 - 1728 (T.4 tables 2 and 3).
const CodeRow kWhite[] = {
    {"00110101", 0},   {"000111", 1},     {"0111", 2},       {"1000", 3},       {"1011", 4},
    {"1100", 5},       {"1110", 6},       {"1111", 7},       {"10011", 8},      {"10100", 9},
    {"00111", 10},     {"01000", 11},     {"001000", 12},    {"000011", 13},    {"110100", 14},
    {"110101", 15},    {"101010", 16},    {"101011", 17},    {"0100111", 18},   {"0001100", 19},
    {"0001000", 20},   {"0010111", 21},   {"0000011", 22},   {"0000100", 23},   {"0101000", 24},
    {"0101011", 25},   {"0010011", 26},   {"0100100", 27},   {"0011000", 28},   {"00000010", 29},
    {"00000011", 30},  {"00011010", 31},  {"00011011", 32},  {"00010010", 33},  {"00010011", 34},
    {"00010100", 35},  {"00010101", 36},  {"00010110", 37},  {"00010111", 38},  {"00101000", 39},
    {"00101001", 40},  {"00101010", 41},  {"00101011", 42},  {"00101100", 43},  {"00101101", 44},
    {"00000100", 45},  {"00000101", 46},  {"00001010", 47},  {"00001011", 48},  {"01010010", 49},
    {"01010011", 50},  {"01010100", 51},  {"01010101", 52},  {"00100100", 53},  {"00100101", 54},
    {"01011000", 55},  {"01011001", 56},  {"01011010", 57},  {"01011011", 58},  {"01001010", 59},
    {"01001011", 60},  {"00110010", 61},  {"00110011", 62},  {"00110100", 63},  {"11011", 64},
    {"10010", 128},    {"010111", 192},   {"0110111", 256},  {"00110110", 320}, {"00110111", 384},
    {"01100100", 448}, {"01100101", 512}, {"01101000", 576}, {"01100111", 640}, {"011001100", 704},
    {"011001101", 768},   {"011010010", 832},  {"011010011", 896},  {"011010100", 960},
    {"011010101", 1024},  {"011010110", 1088}, {"011010111", 1152}, {"011011000", 1216},
    {"011011001", 1280},  {"011011010", 1344}, {"011011011", 1408}, {"010011000", 1472},
    {"010011001", 1536},  {"010011010", 1600}, {"011000", 1664},    {"010011011", 1728},
    EXTENDED_MAKEUP};

// Black run lengths (T.4 tables 2 and 3).
const CodeRow kBlack[] = {
    {"0000110111", 0},     {"010", 1},            {"11", 2},             {"10", 3},
    {"011", 4},            {"0011", 5},           {"0010", 6},           {"00011", 7},
    {"000101", 8},         {"000100", 9},         {"0000100", 10},       {"0000101", 11},
    {"0000111", 12},       {"00000100", 13},      {"00000111", 14},      {"000011000", 15},
    {"0000010111", 16},    {"0000011000", 17},    {"0000001000", 18},    {"00001100111", 19},
    {"00001101000", 20},   {"00001101100", 21},   {"00000110111", 22},   {"00000101000", 23},
    {"00000010111", 24},   {"00000011000", 25},   {"000011001010", 26},  {"000011001011", 27},
    {"000011001100", 28},  {"000011001101", 29},  {"000001101000", 30},  {"000001101001", 31},
    {"000001101010", 32},  {"000001101011", 33},  {"000011010010", 34},  {"000011010011", 35},
    {"000011010100", 36},  {"000011010101", 37},  {"000011010110", 38},  {"000011010111", 39},
    {"000001101100", 40},  {"000001101101", 41},  {"000011011010", 42},  {"000011011011", 43},
    {"000001010100", 44},  {"000001010101", 45},  {"000001010110", 46},  {"000001010111", 47},
    {"000001100100", 48},  {"000001100101", 49},  {"000001010010", 50},  {"000001010011", 51},
    {"000000100100", 52},  {"000000110111", 53},  {"000000111000", 54},  {"000000100111", 55},
    {"000000101000", 56},  {"000001011000", 57},  {"000001011001", 58},  {"000000101011", 59},
    {"000000101100", 60},  {"000001011010", 61},  {"000001100110", 62},  {"000001100111", 63},
    {"0000001111", 64},    {"000011001000", 128}, {"000011001001", 192}, {"000001011011", 256},
    {"000000110011", 320}, {"000000110100", 384}, {"000000110101", 448}, {"0000001101100", 512},
    {"0000001101101", 576},  {"0000001001010", 640},  {"0000001001011", 704},  {"0000001001100", 768},
    {"0000001001101", 832},  {"0000001110010", 896},  {"0000001110011", 960},  {"0000001110100", 1024},
    {"0000001110101", 1088}, {"0000001110110", 1152}, {"0000001110111", 1216}, {"0000001010010", 1280},
    {"0000001010011", 1344}, {"0000001010100", 1408}, {"0000001010101", 1472}, {"0000001011010", 1536},
    {"0000001011011", 1600}, {"0000001100100", 1664}, {"0000001100101", 1728},
    EXTENDED_MAKEUP};

// Two-dimensional mode codes (T.4 table 4, T.6 table 1).
const CodeRow kModes[] = {{"0001", mPass},       {"001", mHorizontal},    {"1", mV0},
                          {"011", mVR1},         {"000011", mVR2},        {"0000011", mVR3},
                          {"010", mVL1},         {"000010", mVL2},        {"0000010", mVL3},
                          {"0000001", mExtension}, {"000000000001", mEOL}};

// Tables are searched through a direct index of the next 13 bits: each slot holds the row whose
// code is a prefix of those bits (the codes of one table are prefix-free), built once. The codes
// met most are short, so a small index of the first 9 bits (which stays in the processor's
// nearest cache) answers first; only codes longer than that are looked up in the whole index.
constexpr int kPeekBits = 13, kShortBits = 9;
struct Code {
  int16_t value;
  uint8_t length;  // 0: no code (in the short index: a longer code or none, see the whole index)
};
struct Index {
  Code whole[1 << kPeekBits];
  Code first[1 << kShortBits];
  template <size_t N>
  explicit Index(const CodeRow (&rows)[N]) {
    std::memset(whole, 0, sizeof whole);
    std::memset(first, 0, sizeof first);
    for (const CodeRow& r : rows) {
      int len = int(std::strlen(r.bits)), code = 0;
      for (int i = 0; i < len; ++i) code = code * 2 + (r.bits[i] - '0');
      int start = code << (kPeekBits - len), count = 1 << (kPeekBits - len);
      for (int i = 0; i < count; ++i) whole[start + i] = Code{int16_t(r.value), uint8_t(len)};
      if (len <= kShortBits) {
        start = code << (kShortBits - len), count = 1 << (kShortBits - len);
        for (int i = 0; i < count; ++i) first[start + i] = Code{int16_t(r.value), uint8_t(len)};
      }
    }
  }
  // The code at the start of the next 13 bits.
  const Code& Find(int bits) const {
    const Code& c = first[bits >> (kPeekBits - kShortBits)];
    return c.length ? c : whole[bits];
  }
};

// Built when the program starts (the code tables above need no building), so that a lookup does
// not ask each time whether they are built yet.
const Index kWhiteIndex(kWhite), kBlackIndex(kBlack), kModeIndex(kModes);

// Changes at the width that end every reference row: the search for b1 stops at the first (every
// change lies at or left of the width), a parity step may take it to the second, b2 is the third.
constexpr size_t kEndMarks = 3;

uint8_t Reverse(uint8_t b) {
  b = uint8_t((b & 0xF0) >> 4 | (b & 0x0F) << 4);
  b = uint8_t((b & 0xCC) >> 2 | (b & 0x33) << 2);
  return uint8_t((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

}  // namespace

TCCITTDecoder::TCCITTDecoder(const uint8_t* Data, size_t Size, int Width, int FillOrder)
    : FData(Data), FSize(Size), FBits(Size * 8), FWidth(std::max(0, Width)) {
  if (FillOrder == 2) {
    FReversed.assign(Data, Data + Size);
    for (uint8_t& b : FReversed) b = Reverse(b);
    FData = FReversed.data();
  }
  // Each change of a two-dimensional row takes at least one pixel but for a bounded number of modes
  // (the check in Decode2D); the room covers those, the closing change and the end marks.
  const size_t room = size_t(FWidth) * 2 + 32;
  FRef.assign(room, FWidth);  // an all-white reference line before the first row
  FCur.assign(room, 0);
}

int* TCCITTDecoder::Room(size_t n) {
  if (n + 8 > FCur.size()) FCur.resize(FCur.size() * 2 + 8);
  return FCur.data();
}

__attribute__((always_inline)) inline int TCCITTDecoder::Peek(int n) const {
  // Bits beyond the end of the data read as zeros.
  size_t byte = FPos >> 3;
  uint32_t v;
  if (byte + 4 <= FSize) {
    std::memcpy(&v, FData + byte, 4);  // one load; the bytes are most significant first
    v = __builtin_bswap32(v);
  } else {
    v = PeekAtEnd(byte);
  }
  v <<= (FPos & 7);
  return int(v >> (32 - n));
}

uint32_t TCCITTDecoder::PeekAtEnd(size_t byte) const {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | (byte + i < FSize ? FData[byte + i] : 0u);
  return v;
}

__attribute__((always_inline)) inline bool TCCITTDecoder::SkipEOL() {
  // Eleven or more zeros and a one: an EOL, possibly after fill bits.
  return Peek(11) == 0 && SkipZerosAndEOL();
}

bool TCCITTDecoder::SkipZerosAndEOL() {
  size_t p = FPos;
  int zeros = 0;
  while (p < FBits) {
    size_t byte = p >> 3;
    if ((FData[byte] >> (7 - (p & 7))) & 1) break;
    ++zeros;
    ++p;
  }
  if (zeros < 11 || p >= FBits) return false;
  FPos = p + 1;
  return true;
}

__attribute__((always_inline)) inline int TCCITTDecoder::ReadRun(int color) {
  return AtEnd() ? -1 : ReadRun(color, Peek(kPeekBits));
}

__attribute__((always_inline)) inline int TCCITTDecoder::ReadRun(int color, int bits) {
  const Index& idx = color ? kBlackIndex : kWhiteIndex;
  int total = 0;
  for (;;) {
    const Code& c = idx.Find(bits);
    if (c.length == 0 || c.value == kEOL) return -1;
    FPos += c.length;
    int run = c.value;
    total += run;
    if (total > (1 << 24)) return -1;  // no row is that wide: broken data
    if (run < 64) return total;
    if (AtEnd()) return -1;
    bits = Peek(kPeekBits);
  }
}

// Adds a changing element; runs are clipped at the width and never go backwards.
static inline void AddChange(int* cur, size_t& n, int& a0, int a1, int width) {
  a1 = std::min(std::max(a1, std::max(a0, 0)), width);
  cur[n++] = a1;
  a0 = a1;
}

bool TCCITTDecoder::Decode1D(bool& sawEOL) {
  int* cur = FCur.data();
  size_t n = 0;
  int a0 = 0, color = 0;
  while (a0 < FWidth) {
    if (AtEnd()) break;
    size_t save = FPos;
    // One peek serves the end-of-line test (eleven zeros) and the run's first code.
    const int bits = Peek(kPeekBits);
    if ((bits >> (kPeekBits - 11)) == 0 && SkipZerosAndEOL()) {
      if (n == 0) continue;  // an EOL at the very start of the row is skipped
      // An EOL inside a row: the rest of the row is white; the EOL starts the next row.
      FPos = save;
      sawEOL = true;
      if (color) cur[n - 1] = FWidth;
      break;
    }
    int run = ReadRun(color, bits);
    if (run < 0) break;
    cur = Room(n);  // runs of length 0 take no pixel: broken data may repeat them
    AddChange(cur, n, a0, a0 + run, FWidth);
    color ^= 1;
  }
  const bool ok = a0 >= FWidth || sawEOL;
  if (ok && color) cur[n++] = FWidth;  // the row ends black: close the run
  FCurCount = n;
  return ok;
}

bool TCCITTDecoder::Decode2D(bool& sawEOL) {
  const Index& modes = kModeIndex;
  const int width = FWidth;
  int* cur = FCur.data();
  size_t n = 0;
  int a0 = -1, color = 0;
  // i: b1's index on the reference row, the first changing element right of a0 whose colour is
  // the opposite of a0's (even indices change white to black); b2 is the one after it. The
  // reference row ends in kEndMarks changes at the width (a0 is left of it here), so neither the
  // search nor b2 runs past its end. a0 only moves right, so each search goes on from the last b1:
  // of the changes before it, only the one just before (of the other colour, right of the old a0)
  // can lie right of the new a0.
  size_t i = 0;
  const int* const ref = FRef.data();
  const size_t most = size_t(width) * 2 + 8;
  bool ok = true;
  while (a0 < width) {
    if (AtEnd()) { ok = false; break; }
    // Each change takes at least one pixel but for modes that broken data repeats at one place.
    if (n > most) { ok = false; break; }
    if ((int(i) & 1) != color) i = i > 0 ? i - 1 : i + 1;
    while (ref[i] <= a0) i += 2;
    const int b1 = ref[i];
    const int bits = Peek(kPeekBits);
    if (bits >> (kPeekBits - 1)) {
      // Vertical 0, the code "1" and most of the codes of a page: a1 is b1, right of a0 and at most
      // the width, without the table.
      ++FPos;
      cur[n++] = b1;
      a0 = b1;
      color ^= 1;
      continue;
    }
    const Code& c = modes.Find(bits);
    const int len = c.length;
    if (len == 0) { ok = false; break; }
    const int mode = c.value;
    if (mode == mEOL) {
      // An EOL inside a row: the rest keeps the current colour; the EOL is read again by the next row.
      sawEOL = true;
      break;
    }
    FPos += size_t(len);
    int start = std::max(a0, 0);
    switch (mode) {
      case mPass:
        // The run goes on in the same colour; nothing changes on this row up to b2.
        a0 = std::max(ref[i + 1], start);
        if (a0 >= width) a0 = width;
        break;
      case mHorizontal: {
        int r1 = ReadRun(color);
        if (r1 < 0) { ok = false; break; }
        int r2 = ReadRun(color ^ 1);
        if (r2 < 0) { ok = false; break; }
        a0 = start;
        AddChange(cur, n, a0, start + r1, width);
        AddChange(cur, n, a0, start + r1 + r2, width);
        break;
      }
      case mExtension:
        FPos += 3;
        a0 = start;
        ok = Uncompressed(cur, n, a0, color);
        break;
      default: {
        static const int offset[] = {0, 1, 2, 3, -1, -2, -3};
        int a1 = b1 + offset[mode - mV0];
        a0 = start;
        AddChange(cur, n, a0, a1, width);
        color ^= 1;
        break;
      }
    }
    if (!ok) break;
  }
  if (ok && (n & 1)) cur[n++] = width;
  FCurCount = n;
  return ok;
}

bool TCCITTDecoder::Uncompressed(int*& cur, size_t& n, int& a0, int& color) {
  // Uncompressed mode (T.4 annex): patterns of zeros (white) and ones (black) until an exit code.
  for (;;) {
    if (AtEnd()) return false;
    int zeros = 0;
    while (zeros < 11 && !AtEnd() && Peek(1) == 0) {
      ++zeros;
      ++FPos;
    }
    if (AtEnd() || zeros >= 11) return false;
    ++FPos;  // the one that ends the pattern
    cur = Room(n);  // at the width, patterns add changes without taking pixels
    if (zeros <= 4) {
      int from = a0;
      if (color) { AddChange(cur, n, a0, from, FWidth); color = 0; }
      AddChange(cur, n, a0, from + zeros, FWidth);   // whites end, a black pixel begins
      AddChange(cur, n, a0, from + zeros + 1, FWidth);  // and ends
    } else if (zeros == 5) {
      if (color) { AddChange(cur, n, a0, a0, FWidth); color = 0; }
      a0 = std::min(a0 + 5, FWidth);
    } else {
      if (color) { AddChange(cur, n, a0, a0, FWidth); color = 0; }
      a0 = std::min(a0 + zeros - 6, FWidth);
      int next = Peek(1);
      ++FPos;
      if (next) { AddChange(cur, n, a0, a0, FWidth); color = 1; }
      return true;
    }
  }
}

// Sets bits from..to-1 of a row (most significant bit first), whole bytes at a time.
static void SetRun(uint8_t* Row, int from, int to) {
  if (from >= to) return;
  int fb = from >> 3, lb = (to - 1) >> 3;
  uint8_t first = uint8_t(0xFF >> (from & 7)), last = uint8_t(0xFF << (7 - ((to - 1) & 7)));
  if (fb == lb) {
    Row[fb] |= uint8_t(first & last);
    return;
  }
  Row[fb] |= first;
  if (lb > fb + 1) std::memset(Row + fb + 1, 0xFF, size_t(lb - fb - 1));
  Row[lb] |= last;
}

void TCCITTDecoder::Emit(uint8_t* Row) {
  // Runs alternate white (1 bits) and black (0 bits), starting white.
  std::memset(Row, 0, size_t(FWidth + 7) / 8);
  const int* cur = FCur.data();
  const size_t n = FCurCount;
  int x = 0;
  for (size_t k = 0;; k += 2) {
    int end = k < n ? std::min(cur[k], FWidth) : FWidth;
    SetRun(Row, x, end);
    if (k + 1 >= n) break;
    x = std::max(end, std::min(cur[k + 1], FWidth));
  }
  // The row becomes the reference line, padded so that b1 and b2 always exist.
  FRef.swap(FCur);
  FRefCount = n;
  for (size_t k = 0; k < kEndMarks; ++k) FRef[n + k] = FWidth;
}

bool TCCITTDecoder::DecodeModifiedHuffman(uint8_t* Row) {
  bool eol = false;
  bool ok = Decode1D(eol);
  Emit(Row);
  FPos = (FPos + 7) & ~size_t(7);
  return ok;
}

bool TCCITTDecoder::DecodeT4(uint8_t* Row, bool TwoDimensional) {
  bool oneD = true;
  if (SkipEOL()) {
    if (TwoDimensional) {
      oneD = Peek(1) == 1;
      ++FPos;
    }
  } else if (TwoDimensional) {
    oneD = false;
  }
  bool eol = false;
  bool ok = oneD ? Decode1D(eol) : Decode2D(eol);
  Emit(Row);
  return ok;
}

bool TCCITTDecoder::DecodeT6(uint8_t* Row) {
  bool eol = false;
  bool ok = Decode2D(eol);
  Emit(Row);
  // EOL in Group 4 data is the end-of-block mark.
  return ok && !eol;
}
