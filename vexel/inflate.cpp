// Inflate decoder for deflated zip entries (RFC 1951).
//
// Layout of the work:
//   - Input comes through InflateIo::read into a 32 KB buffer, refilled only when it is used up,
//     never with more than the entry's remaining compressed bytes.
//   - Bits are held in a machine word, least significant bit first. While at least kInMargin
//     buffered bytes remain, the fast loop tops the word up with one unaligned load; otherwise
//     bytes are taken one at a time, and past the end of the input they read as 0xFF.
//   - Output goes into a 160 KB buffer: the first 32 KB are the history (the previous 32 KB, zero
//     at the start of every entry), the 128 KB behind them collect new bytes. When they are full
//     they are added to the CRC and written, and their last 32 KB are moved down to become the
//     history. A back-reference (at most 32768 back) therefore never wraps and never leaves the
//     buffer, and only a quarter of the output is copied a second time.
//   - Huffman codes are decoded with one table lookup: a first-level table of a fixed width
//     indexed by the next bits of the input, and for longer codes a sub-table reached from its
//     first-level entry. The fixed widths let the fast loop mask with constants.
//   - Where the processor has BMI2 (asked through cpuid), the fast loop runs as a second copy
//     compiled for it, whose variable shifts and masks are single instructions.
//
// Everything lives in one allocation per entry; no table survives the entry.

#include "inflate.h"

#include <stdlib.h>
#include <string.h>

#include "cpu_features.h"
#include "crc32.h"

namespace vexel {
namespace {

// The bit buffer is one register wide: 64 bits natively, 32 bits in the Windows build.
typedef size_t BitWord;
const unsigned kWordBits = sizeof(BitWord) * 8;

const size_t kWindow = 32768;     // the format's largest distance
const size_t kPiece = kInflatePiece;  // output collected before it is written (4 windows)
const size_t kOutEnd = kWindow + kPiece;  // the output buffer: history, then the piece
const size_t kInChunk = 0x8000;   // largest single read
const unsigned kMaxMatch = 258;   // longest copy of the format
// Copies by 8 or 16 bytes may write up to 15 bytes past a copy's end, which may be the end of the
// piece; the 48 bytes a copy writes without a test stay within the piece (see outLimit).
const unsigned kCopySlack = 16;
const unsigned kInMargin = 16;    // the fast loop's three refills read at most this far ahead
// All-ones bytes handed out after the input is used up before decoding stops. A valid stream's
// last code may need a look-ahead of two bytes; anything far beyond that is a truncated entry.
const unsigned kFakeLimit = 16;

// Decoding table entry (32 bits):
//   bits 0..7    bits the entry uses up: the code's bits (in a sub-table those beyond the first
//                level) and the extra bits that follow a length or distance code, so that one
//                shift steps over both; for a sub-table link the first-level width
//   bits 8..11   the code's bits alone (the extra bits' value is the used-up bits shifted down
//                by this); for a link the sub-table width
//   bit 12..15   kind flags below (none set: a length or distance base)
//   bits 16..31  literal byte, code-length symbol, base value, or the sub-table's start index
const uint32_t kLink = 0x1000;
const uint32_t kEnd = 0x2000;
const uint32_t kInvalid = 0x4000;
const uint32_t kLiteral = 0x8000;  // also marks the symbols of the code-length code

// Table sizes. A first-level table has 2^width entries, also when every code is shorter (its
// entries are then repeated). Each sub-table holds at least one code and spans at most
// 2^(15 - width) entries, so n codes need at most n sub-tables of that size past the first level.
// The distance table's first level is 10 bits wide with a 64-bit buffer (fewer distances through a
// sub-table); a 32-bit buffer keeps it at 8, so that a distance code with its extra bits (at most
// 8 + 13 bits at the first level) leaves the 11 bits of the next literal/length lookup.
const unsigned kLitBits = 11;
const unsigned kDistBits = kWordBits == 64 ? 10 : 8;
const unsigned kLenCodeBits = 7;
const BitWord kLitMask = (1u << kLitBits) - 1, kDistMask = (1u << kDistBits) - 1;
const unsigned kLitCap = (1u << kLitBits) + 288 * (1u << (15 - kLitBits));
const unsigned kDistCap = (1u << kDistBits) + 32 * (1u << (15 - kDistBits));
const unsigned kFixedLitCap = 1u << kLitBits;    // fixed code: no code longer than 9 bits
const unsigned kFixedDistCap = 1u << kDistBits;  // fixed code: 32 distance codes of 5 bits
const unsigned kLenCodeCap = 1u << kLenCodeBits;

// Length codes 257..287: base lengths and extra bits; 99 marks the two codes that do not exist.
const uint16_t kLengthBase[31] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27, 31,
                                  35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0};
const uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                                  3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
// Distance codes 0..29; codes 30 and 31 can be sent in a block but mean nothing.
const uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// Order in which a dynamic block sends the lengths of the code-length code.
const uint8_t kLenCodeOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

enum CodeKind { kLitLenCode, kDistCode, kLenCode };

// What a block routine reports.
enum BlockResult {
  kBlockDone,     // the block's end code (or its stored bytes) reached
  kBlockInvalid,  // an invalid code ended the block; decoding may go on with the next one
  kBlockStop,     // decoding cannot go on: write failed, input long gone, or no usable table
  kBlockDrop      // stored block with bad lengths: the unwritten output is dropped, entry ends
};

struct State {
  const InflateIo* io;
  uint32_t remaining;           // compressed bytes not yet asked for
  const unsigned char* inNext;  // next unread byte of the input buffer
  const unsigned char* inEnd;
  unsigned fake;                // all-ones bytes handed out after the input was used up
  BitWord bits;                 // bit buffer; bits above `count` are zero in the slow path
  unsigned count;
  unsigned char* out;           // next output position, in [win + kWindow, win + kWindow + kPiece]
  unsigned char* valid;         // first byte of the window this entry wrote
  uint32_t crc;
  bool writeFailed;
  bool damaged;                 // anything a valid stream cannot contain was seen
  bool fixedBuilt;
  bool bmi2;                    // the fast loop compiled for BMI2 runs
  uint32_t lit[kLitCap];
  uint32_t dist[kDistCap];
  uint32_t fixedLit[kFixedLitCap];
  uint32_t fixedDist[kFixedDistCap];
  uint32_t lenCode[kLenCodeCap];
  uint8_t lens[320];            // HLIT + HDIST is at most 288 + 32
  unsigned char in[kInChunk];
  unsigned char win[kOutEnd + kCopySlack];
};

inline BitWord Mask(unsigned n) { return ((BitWord)1 << n) - 1; }

// The value of a length or distance entry's extra bits, from the bit buffer as it stood before the
// entry was stepped over: the entry's n = code + extra bits (1 to 28) are kept by shifting the
// rest out above and back, then the code's own bits go below. Two shifts by a register cost less
// than building a mask of n bits. A base entry has no kind flag, so its bits 8..13 are the code's
// bits alone (masking with 63 instead of 15 is what the processor's shift does anyway).
inline unsigned ExtraValue(BitWord bb, uint32_t e) {
  const unsigned above = (0u - e) & (kWordBits - 1);  // kWordBits - n
  return (unsigned)(((bb << above) >> above) >> ((e >> 8) & 63));
}

inline BitWord LoadWord(const unsigned char* p) {
  BitWord w;
  memcpy(&w, p, sizeof w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  w = sizeof w == 8 ? (BitWord)__builtin_bswap64(w) : (BitWord)__builtin_bswap32((uint32_t)w);
#endif
  return w;
}

inline void Copy8(unsigned char* dst, const unsigned char* src) {
  uint64_t v;
  memcpy(&v, src, 8);
  memcpy(dst, &v, 8);
}

inline void Copy16(unsigned char* dst, const unsigned char* src) {
  unsigned char v[16];
  memcpy(v, src, 16);
  memcpy(dst, v, 16);
}

// ---- input -------------------------------------------------------------------------------------

bool Refill(State& s) {
  if (s.remaining == 0) return false;
  size_t want = s.remaining < kInChunk ? s.remaining : kInChunk;
  size_t got = s.io->read(s.io->context, s.in, want);
  if (got > want) got = want;
  if (got == 0) {  // reading failed: what is missing reads as all ones
    s.remaining = 0;
    return false;
  }
  s.remaining -= (uint32_t)got;
  s.inNext = s.in;
  s.inEnd = s.in + got;
  return true;
}

// Makes sure the bit buffer holds at least n bits (n <= 25), one byte at a time. False once the
// input has been used up for longer than any valid stream could need.
bool Need(State& s, unsigned n) {
  while (s.count < n) {
    unsigned byte;
    if (s.inNext == s.inEnd && !Refill(s)) {
      if (++s.fake > kFakeLimit) return false;
      byte = 0xFF;
    } else {
      byte = *s.inNext++;
    }
    s.bits |= (BitWord)byte << s.count;
    s.count += 8;
  }
  return true;
}

inline void Drop(State& s, unsigned n) {
  s.bits >>= n;
  s.count -= n;
}

// ---- output ------------------------------------------------------------------------------------

bool WriteOut(State& s, const unsigned char* p, size_t n) {
  s.crc = UpdateCrc(p, n, s.crc);
  if (!s.io->write(s.io->context, p, n)) {
    s.writeFailed = true;
    return false;
  }
  return true;
}

// The piece is full: write it and make its last 32 KB the history.
bool FlushFull(State& s) {
  unsigned char* fresh = s.win + kWindow;
  if (!WriteOut(s, fresh, kPiece)) return false;
  memcpy(s.win, fresh + kPiece - kWindow, kWindow);
  s.out = fresh;
  s.valid = s.win;
  return true;
}

inline bool PutByte(State& s, unsigned char b) {
  *s.out++ = b;
  return s.out != s.win + kOutEnd || FlushFull(s);
}

// ---- tables ------------------------------------------------------------------------------------

// The symbol's entry without its code length; a base value's extra bits are in the low byte, to
// which the code length is added.
uint32_t SymbolEntry(CodeKind kind, unsigned sym) {
  if (kind == kLenCode) return (sym << 16) | kLiteral;
  if (kind == kDistCode) {
    if (sym >= 30) return kInvalid;
    return ((uint32_t)kDistBase[sym] << 16) | kDistExtra[sym];
  }
  if (sym < 256) return (sym << 16) | kLiteral;
  if (sym == 256) return kEnd;
  unsigned i = sym - 257;
  if (kLengthExtra[i] == 99) return kInvalid;
  return ((uint32_t)kLengthBase[i] << 16) | kLengthExtra[i];
}

enum TableResult { kTableComplete, kTableIncomplete, kTableOversubscribed };

// The low len bits of code in reverse order: a code as it arrives, first bit lowest.
inline unsigned Reversed(unsigned code, unsigned len) {
  code = ((code >> 1) & 0x5555) | ((code & 0x5555) << 1);
  code = ((code >> 2) & 0x3333) | ((code & 0x3333) << 2);
  code = ((code >> 4) & 0x0F0F) | ((code & 0x0F0F) << 4);
  code = ((code >> 8) & 0x00FF) | ((code & 0x00FF) << 8);
  return code >> (16 - len);
}

// Builds the decoding table of the canonical code given by n code lengths (0 = symbol unused).
// Slots that no code reaches (an incomplete code) hold invalid entries that use up the slot's
// index bits: the whole first-level width, even where every code is shorter, so a damaged block's
// invalid code may step over a few more bits before the next block than the code's own length.
// The first level is `wanted` bits wide.
TableResult BuildTable(uint32_t* table, unsigned cap, const uint8_t* lens, unsigned n, CodeKind kind,
                       unsigned wanted, unsigned* longest) {
  unsigned count[16] = {0};
  for (unsigned i = 0; i < n; i++) count[lens[i]]++;
  count[0] = 0;
  unsigned maxLen = 15;
  while (maxLen > 0 && count[maxLen] == 0) maxLen--;
  *longest = maxLen;
  unsigned w = wanted, size = 1u << w;
  if (maxLen == 0) {  // no codes at all: every lookup is invalid
    for (unsigned i = 0; i < size; i++) table[i] = kInvalid | w;
    return kTableIncomplete;
  }
  // Code space check: what is left after each length, doubled for the next.
  int left = 1;
  for (unsigned len = 1; len <= 15; len++) {
    left = (left << 1) - (int)count[len];
    if (left < 0) return kTableOversubscribed;
  }
  bool incomplete = left > 0;

  // Symbols ordered by code length, equal lengths by symbol number (canonical order).
  uint16_t offset[17];
  uint16_t sorted[320];
  offset[1] = 0;
  for (unsigned len = 1; len < 16; len++) offset[len + 1] = (uint16_t)(offset[len] + count[len]);
  for (unsigned i = 0; i < n; i++)
    if (lens[i]) sorted[offset[lens[i]]++] = (uint16_t)i;

  // The first level grows with the code length: before the codes of length len (up to w) are
  // placed, the 2^(len-1) entries made so far are copied behind themselves, which repeats every
  // shorter code over the bits that follow it; the codes of length len then take their own slots,
  // which no shorter code holds. A slot that no code reaches keeps the invalid entry it started
  // from. After the last length the table is doubled on to its full width.
  unsigned filled = 1;
  table[0] = kInvalid | w;
  unsigned next = size;  // where the next sub-table goes
  unsigned code = 0;     // canonical code, most significant bit first
  unsigned k = 0;        // index into sorted
  unsigned subPrefix = ~0u, subStart = 0;
  for (unsigned len = 1; len <= maxLen; len++, code <<= 1) {
    if (len <= w) {
      memcpy(table + filled, table, filled * sizeof *table);
      filled <<= 1;
    }
    for (unsigned c = 0; c < count[len]; c++, code++) {
      unsigned sym = sorted[k++];
      unsigned rev = Reversed(code, len);
      uint32_t entry = SymbolEntry(kind, sym);
      if (len <= w) {
        table[rev] = entry + (len | (len << 8));
        continue;
      }
      unsigned prefix = rev & (size - 1);
      if (prefix != subPrefix) {
        // A new sub-table: wide enough for the codes that share this prefix.
        unsigned sw = len - w;
        int room = 1 << sw;
        for (unsigned l = len; l < maxLen; l++) {
          room -= (int)count[l] - (l == len ? (int)c : 0);
          if (room <= 0) break;
          sw++;
          room <<= 1;
        }
        if (next + (1u << sw) > cap) return kTableOversubscribed;  // cannot happen (see the caps)
        subPrefix = prefix;
        subStart = next;
        if (incomplete)
          for (unsigned i = 0; i < (1u << sw); i++) table[next + i] = kInvalid | sw;
        table[prefix] = ((uint32_t)next << 16) | kLink | (sw << 8) | w;
        next += 1u << sw;
      }
      unsigned sw = (table[prefix] >> 8) & 15;
      unsigned rest = len - w;
      entry += rest | (rest << 8);
      for (unsigned i = rev >> w; i < (1u << sw); i += 1u << rest) table[subStart + i] = entry;
    }
  }
  for (; filled < size; filled <<= 1) memcpy(table + filled, table, filled * sizeof *table);
  return incomplete ? kTableIncomplete : kTableComplete;
}

// ---- codes -------------------------------------------------------------------------------------

// Decodes one literal/length code and, for a length, its distance, copying through the window.
// Returns kBlockDone for the end code, kBlockInvalid, kBlockStop, or -1 to go on.
int SlowStep(State& s, const uint32_t* lit, const uint32_t* dist) {
  if (!Need(s, kLitBits)) return kBlockStop;
  uint32_t e = lit[s.bits & kLitMask];
  if (e & kLink) {
    Drop(s, e & 0xFF);
    unsigned sw = (e >> 8) & 15;
    if (!Need(s, sw)) return kBlockStop;
    e = lit[(e >> 16) + (s.bits & Mask(sw))];
  }
  if (e & (kLiteral | kEnd | kInvalid)) {
    Drop(s, e & 0xFF);
    if (e & kLiteral) return PutByte(s, (unsigned char)(e >> 16)) ? -1 : kBlockStop;
    return (e & kEnd) ? kBlockDone : kBlockInvalid;
  }
  if (!Need(s, e & 0xFF)) return kBlockStop;
  unsigned len = (e >> 16) + (unsigned)((s.bits & Mask(e & 0xFF)) >> ((e >> 8) & 15));
  Drop(s, e & 0xFF);

  if (!Need(s, kDistBits)) return kBlockStop;
  e = dist[s.bits & kDistMask];
  if (e & kLink) {
    Drop(s, e & 0xFF);
    unsigned sw = (e >> 8) & 15;
    if (!Need(s, sw)) return kBlockStop;
    e = dist[(e >> 16) + (s.bits & Mask(sw))];
  }
  if (e & kInvalid) {
    Drop(s, e & 0xFF);
    return kBlockInvalid;
  }
  if (!Need(s, e & 0xFF)) return kBlockStop;
  size_t d = (e >> 16) + (unsigned)((s.bits & Mask(e & 0xFF)) >> ((e >> 8) & 15));
  Drop(s, e & 0xFF);
  if (d > (size_t)(s.out - s.valid)) s.damaged = true;  // reaches before the entry: zeros

  const unsigned char* src = s.out - d;
  while (len--) {
    *s.out++ = *src++;
    if (s.out == s.win + kOutEnd) {
      if (!FlushFull(s)) return kBlockStop;
      src -= kPiece;
    }
  }
  return -1;
}

// Tops the bit buffer up to at least kWordBits - 7 bits with one unaligned load. Bits loaded
// beyond the new count are the true following bits and are simply loaded again next time. So after
// a refill the whole word holds true bits, and after one literal/length/distance step at least
// 11 remain (64 bits: 64 - 48; 32 bits: 32 - 21 after the last refill): the next first-level
// lookup is made before the refill, which then no longer lies on its path.
#define VEXEL_REFILL()                            \
  do {                                            \
    bb |= LoadWord(in) << (cnt & (kWordBits - 1)); \
    in += (~cnt >> 3) & (kWordBits / 8 - 1);      \
    cnt |= kWordBits - 8;                         \
  } while (0)

// The fast loop: runs while a whole literal/length/distance step can neither run out of buffered
// input nor reach the end of the output piece; the caller enters it only within those limits.
// Returns a BlockResult, or -1 when it left because of them. It is compiled twice (see FastLoop
// and FastLoopBmi2).
//
// `cnt` is only ever lowered by whole entries (`cnt -= e`): the bits of the entry above its low
// byte run into the upper bits of `cnt`, which nothing reads; its low byte stays the true count,
// and the refill uses only its low bits.
inline __attribute__((always_inline)) int FastLoopBody(State& s, const uint32_t* lit, const uint32_t* dist) {
  BitWord bb = s.bits;
  unsigned cnt = s.count;
  const unsigned char* in = s.inNext;
  unsigned char* out = s.out;
  const unsigned char* const inLimit = s.inEnd - kInMargin;
  // Below the limit even the longest copy ends before the piece is full, so the slow path,
  // which writes a full piece at once, always finds room behind `out`.
  unsigned char* const outLimit = s.win + kOutEnd - kMaxMatch - 1;
  int result = -1;
  const unsigned char* const valid = s.valid;

  // The next literal/length entry is looked up as soon as its bits are known, before the
  // current copy, so that the table load and the copy overlap. The limits are tested once per
  // step, after its last refill: a step that starts within them has room for all its refills
  // (kInMargin) and its copy.
  VEXEL_REFILL();
  uint32_t e = lit[bb & kLitMask];
  for (;;) {
    if (e & kLiteral) {
      bb >>= e & 0xFF;
      cnt -= e;
      *out++ = (unsigned char)(e >> 16);
      // Often a second literal follows; take it while the buffer surely holds its bits.
      if (kWordBits == 64) {
        e = lit[bb & kLitMask];
        if (e & kLiteral) {
          bb >>= e & 0xFF;
          cnt -= e;
          *out++ = (unsigned char)(e >> 16);
        }
      }
      e = lit[bb & kLitMask];  // enough bits left; see the refill
      VEXEL_REFILL();
      if (in > inLimit || out > outLimit) break;
      continue;
    }
    if (e & (kLink | kEnd | kInvalid)) {
      if (e & kLink) {  // a long code: its sub-table holds a literal, a length, the end or nothing
        bb >>= kLitBits;
        cnt -= kLitBits;
        e = lit[(e >> 16) + (bb & Mask((e >> 8) & 15))];
        if (e & kLiteral) {
          bb >>= e & 0xFF;
          cnt -= e;
          *out++ = (unsigned char)(e >> 16);
          e = lit[bb & kLitMask];
          VEXEL_REFILL();
          if (in > inLimit || out > outLimit) break;
          continue;
        }
      }
      if (e & (kEnd | kInvalid)) {
        bb >>= e & 0xFF;
        cnt -= e;
        result = (e & kEnd) ? kBlockDone : kBlockInvalid;
        break;
      }
    }
    // Code and extra bits in one step; the length is taken from the bits before the shift.
    unsigned len = (e >> 16) + ExtraValue(bb, e);
    bb >>= e & 0xFF;
    cnt -= e;

    if (kWordBits == 32) VEXEL_REFILL();
    e = dist[bb & kDistMask];
    if (e & kLink) {
      bb >>= kDistBits;
      cnt -= kDistBits;
      e = dist[(e >> 16) + (bb & Mask((e >> 8) & 15))];
      // A 32-bit buffer may lack the long code's extra bits (up to 7 + 13).
      if (kWordBits == 32) VEXEL_REFILL();
    }
    if (e & kInvalid) {
      bb >>= e & 0xFF;
      cnt -= e;
      result = kBlockInvalid;
      break;
    }
    size_t d = (e >> 16) + ExtraValue(bb, e);
    bb >>= e & 0xFF;
    cnt -= e;
    const unsigned char* src = out - d;
    if (src < valid) s.damaged = true;  // reaches before the entry: zeros
    unsigned char* end = out + len;
    e = lit[bb & kLitMask];
    VEXEL_REFILL();
    // Most copies are short: the first 48 bytes (16 below a distance of 16) go without a test
    // (the buffer's slack takes what runs past the end), so that a short copy costs no
    // mispredicted loop exit. A 16-byte step needs a distance of 16 or more, an 8-byte step one
    // of 8, so that each load reads only bytes already written.
    if (d >= 16) {
      Copy16(out, src);
      Copy16(out + 16, src + 16);
      Copy16(out + 32, src + 32);
      if (out + 48 < end) {
        out += 48;
        src += 48;
        do {
          Copy16(out, src);
          out += 16;
          src += 16;
        } while (out < end);
      }
    } else if (d >= 8) {
      Copy8(out, src);
      Copy8(out + 8, src + 8);
      while (out + 16 < end) {
        out += 16;
        src += 16;
        Copy8(out, src);
        Copy8(out + 8, src + 8);
      }
    } else if (d == 1) {
      uint64_t v = 0x0101010101010101ull * *src;
      memcpy(out, &v, 8);
      memcpy(out + 8, &v, 8);
      while (out + 16 < end) {
        out += 16;
        memcpy(out, &v, 8);
        memcpy(out + 8, &v, 8);
      }
    } else {
      do *out++ = *src++;
      while (out < end);
    }
    out = end;
    if (in > inLimit || out > outLimit) break;
  }
  cnt &= 0xFF;
  s.bits = bb & Mask(cnt);  // the slow path wants nothing above the count
  s.count = cnt;
  s.inNext = in;
  s.out = out;
  return result;
}

#undef VEXEL_REFILL

__attribute__((noinline)) int FastLoop(State& s, const uint32_t* lit, const uint32_t* dist) {
  return FastLoopBody(s, lit, dist);
}

#ifdef VEXEL_HAVE_CPUID
__attribute__((noinline, target("bmi2"))) int FastLoopBmi2(State& s, const uint32_t* lit, const uint32_t* dist) {
  return FastLoopBody(s, lit, dist);
}
#endif

// Whether the processor has BMI2: 0 not yet asked, 1 no, 2 yes. Asked on the first entry, not by
// a constructor (the installer runs without the C run-time's start-up).
int g_cpuBmi2 = 0;
bool g_bmi2Allowed = true;

int DecodeCodes(State& s, const uint32_t* lit, const uint32_t* dist) {
  for (;;) {
    if (s.inEnd - s.inNext >= (ptrdiff_t)kInMargin && s.out < s.win + kOutEnd - kMaxMatch) {
#ifdef VEXEL_HAVE_CPUID
      int r = s.bmi2 ? FastLoopBmi2(s, lit, dist) : FastLoop(s, lit, dist);
#else
      int r = FastLoop(s, lit, dist);
#endif
      if (r >= 0) return r;
    }
    int r = SlowStep(s, lit, dist);
    if (r >= 0) return r;
  }
}

// ---- blocks ------------------------------------------------------------------------------------

int StoredBlock(State& s) {
  Drop(s, s.count & 7);
  if (!Need(s, 16)) return kBlockStop;
  unsigned len = (unsigned)(s.bits & 0xFFFF);
  Drop(s, 16);
  if (!Need(s, 16)) return kBlockStop;
  unsigned nlen = (unsigned)(s.bits & 0xFFFF);
  Drop(s, 16);
  if (s.fake) {  // the input ended before the block's lengths: truncated, not a bad block
    s.damaged = true;
    return kBlockStop;
  }
  if (len != (~nlen & 0xFFFF)) {
    s.damaged = true;
    s.out = s.win + kWindow;
    return kBlockDrop;
  }
  // Whole bytes still in the bit buffer come first, then the input buffer.
  while (len > 0 && s.count >= 8) {
    if (!PutByte(s, (unsigned char)s.bits)) return kBlockStop;
    Drop(s, 8);
    len--;
  }
  if (s.count >= 8) return kBlockDone;  // the block was shorter than the look-ahead
  s.bits = 0;
  s.count = 0;
  while (len > 0) {
    if (s.inNext == s.inEnd && !Refill(s)) {  // input ends inside the block
      s.damaged = true;
      return kBlockStop;
    }
    size_t n = len;
    if (n > (size_t)(s.inEnd - s.inNext)) n = (size_t)(s.inEnd - s.inNext);
    size_t room = (size_t)(s.win + kOutEnd - s.out);
    if (n > room) n = room;
    memcpy(s.out, s.inNext, n);
    s.out += n;
    s.inNext += n;
    len -= (unsigned)n;
    if (s.out == s.win + kOutEnd && !FlushFull(s)) return kBlockStop;
  }
  return kBlockDone;
}

int FixedBlock(State& s) {
  if (!s.fixedBuilt) {
    uint8_t lens[288];
    unsigned i = 0, longest;
    for (; i < 144; i++) lens[i] = 8;
    for (; i < 256; i++) lens[i] = 9;
    for (; i < 280; i++) lens[i] = 7;
    for (; i < 288; i++) lens[i] = 8;
    BuildTable(s.fixedLit, kFixedLitCap, lens, 288, kLitLenCode, kLitBits, &longest);
    for (i = 0; i < 32; i++) lens[i] = 5;  // codes 30 and 31 decode as invalid
    BuildTable(s.fixedDist, kFixedDistCap, lens, 32, kDistCode, kDistBits, &longest);
    s.fixedBuilt = true;
  }
  return DecodeCodes(s, s.fixedLit, s.fixedDist);
}

int DynamicBlock(State& s) {
  if (!Need(s, 14)) return kBlockStop;
  unsigned nlit = 257 + (unsigned)(s.bits & 31);
  unsigned ndist = 1 + (unsigned)((s.bits >> 5) & 31);
  unsigned nlen = 4 + (unsigned)((s.bits >> 10) & 15);
  Drop(s, 14);
  if (nlit > 286 || ndist > 30) s.damaged = true;  // the extra codes decode as invalid

  uint8_t lenLens[19];
  memset(lenLens, 0, sizeof lenLens);
  for (unsigned i = 0; i < nlen; i++) {
    if (!Need(s, 3)) return kBlockStop;
    lenLens[kLenCodeOrder[i]] = (uint8_t)(s.bits & 7);
    Drop(s, 3);
  }
  unsigned longest;
  TableResult r = BuildTable(s.lenCode, kLenCodeCap, lenLens, 19, kLenCode, kLenCodeBits, &longest);
  if (r == kTableOversubscribed) {
    s.damaged = true;
    return kBlockStop;
  }
  if (r == kTableIncomplete) s.damaged = true;

  // The code lengths of both codes, in one run; repeats may cross from one code into the other.
  unsigned total = nlit + ndist, i = 0, prev = 0;
  while (i < total) {
    if (!Need(s, kLenCodeBits)) return kBlockStop;
    uint32_t e = s.lenCode[s.bits & Mask(kLenCodeBits)];
    Drop(s, e & 0xFF);
    if (e & kInvalid) {
      s.damaged = true;
      return kBlockStop;
    }
    unsigned sym = e >> 16, repeat, value;
    if (sym < 16) {
      s.lens[i++] = (uint8_t)sym;
      prev = sym;
      continue;
    }
    if (sym == 16) {
      if (i == 0) s.damaged = true;  // nothing to repeat: repeats the starting length 0
      if (!Need(s, 2)) return kBlockStop;
      repeat = 3 + (unsigned)(s.bits & 3);
      Drop(s, 2);
      value = prev;
    } else if (sym == 17) {
      if (!Need(s, 3)) return kBlockStop;
      repeat = 3 + (unsigned)(s.bits & 7);
      Drop(s, 3);
      value = prev = 0;
    } else {
      if (!Need(s, 7)) return kBlockStop;
      repeat = 11 + (unsigned)(s.bits & 127);
      Drop(s, 7);
      value = prev = 0;
    }
    if (repeat > total - i) {  // would run past the last length
      s.damaged = true;
      return kBlockStop;
    }
    while (repeat--) s.lens[i++] = (uint8_t)value;
  }
  if (s.lens[256] == 0) s.damaged = true;  // no end code: the block can only end invalid

  r = BuildTable(s.lit, kLitCap, s.lens, nlit, kLitLenCode, kLitBits, &longest);
  if (r == kTableOversubscribed) {
    s.damaged = true;
    return kBlockStop;
  }
  if (r == kTableIncomplete && longest != 1) s.damaged = true;
  r = BuildTable(s.dist, kDistCap, s.lens + nlit, ndist, kDistCode, kDistBits, &longest);
  if (r == kTableOversubscribed) {
    s.damaged = true;
    return kBlockStop;
  }
  // An incomplete distance code is valid when it has no codes or a single one-bit code.
  if (r == kTableIncomplete && longest > 1) s.damaged = true;
  return DecodeCodes(s, s.lit, s.dist);
}

}  // namespace

void UseBmi2Inflate(bool allowed) { g_bmi2Allowed = allowed; }

bool InflateEntry(const InflateIo& io, uint32_t compressedSize, uint32_t& runningCrc) {
  if (g_cpuBmi2 == 0) g_cpuBmi2 = CpuHasBmi2() ? 2 : 1;
  State* sp = (State*)malloc(sizeof(State));
  if (!sp) return false;
  State& s = *sp;
  s.io = &io;
  s.remaining = compressedSize;
  s.inNext = s.inEnd = s.in;
  s.fake = 0;
  s.bits = 0;
  s.count = 0;
  memset(s.win, 0, kWindow);  // history before the entry's first byte reads as zeros
  s.out = s.valid = s.win + kWindow;
  s.crc = runningCrc;
  s.writeFailed = false;
  s.damaged = false;
  s.fixedBuilt = false;
  s.bmi2 = g_cpuBmi2 == 2 && g_bmi2Allowed;

  bool finished = false, dropped = false;
  for (;;) {
    if (!Need(s, 3)) break;
    bool last = s.bits & 1;
    unsigned type = (unsigned)(s.bits >> 1) & 3;
    Drop(s, 3);
    int r;
    if (type == 0) {
      r = StoredBlock(s);
    } else if (type == 1) {
      r = FixedBlock(s);
    } else if (type == 2) {
      r = DynamicBlock(s);
    } else {
      s.damaged = true;
      r = kBlockDone;
    }
    if (r == kBlockDrop) {
      dropped = true;
      break;
    }
    if (r == kBlockStop) break;
    if (r == kBlockInvalid) s.damaged = true;
    if (last) {
      finished = true;
      break;
    }
  }
  if (!dropped && !s.writeFailed && s.out > s.win + kWindow)
    WriteOut(s, s.win + kWindow, (size_t)(s.out - (s.win + kWindow)));
  // The stream must have ended within the real input, not in the all-ones bytes behind it.
  if (s.fake * 8 > s.count) finished = false;
  bool ok = finished && !s.damaged && !s.writeFailed;
  runningCrc = s.crc;
  free(sp);
  return ok;
}

}  // namespace vexel
