#include "tiff_lzw.h"

#include <cstring>

namespace {
// Longest string of the table, and the bytes a copy may write past its string (it copies eight at
// a time).
constexpr size_t kLongest = 4096, kOvercopy = 8;
}  // namespace

TTIFLZWDec::TTIFLZWDec(size_t RowLength, const uint8_t* Data, size_t Size)
    : FData(Data), FSize(Size), FRowLength(RowLength) {
  // Up to three times the history before the row (it is moved down once it is that long), the row,
  // and the longest string that can overhang it.
  FBuffer.resize(3 * kHistory + RowLength + kLongest + kOvercopy);
  std::memset(FPrefix, 0, sizeof FPrefix);
  std::memset(FSuffix, 0, sizeof FSuffix);
  std::memset(FFirst, 0, sizeof FFirst);
  std::memset(FLength, 0, sizeof FLength);
  std::memset(FAt, 0, sizeof FAt);
  for (int i = 0; i < 256; ++i) {
    FPrefix[i] = 0;
    FSuffix[i] = FFirst[i] = uint8_t(i);
    FLength[i] = 1;
  }
  Reset();
}

void TTIFLZWDec::Reset() {
  FNextFree = 258;
  FWidth = 9;
}

const uint8_t* TTIFLZWDec::GetRow() {
  if (FTake > 3 * kHistory) {
    // Keep the last kHistory bytes before the row and what was decoded beyond it.
    const size_t drop = FTake - kHistory;
    std::memmove(FBuffer.data(), FBuffer.data() + drop, FFill - drop);
    FBase += drop;
    FTake -= drop;
    FFill -= drop;
  }
  const size_t want = FTake + FRowLength;
  uint8_t* const buf = FBuffer.data();

  // The decoder's state in locals while the row is decoded (the output's stores could otherwise
  // alias it), written back at the end.
  size_t nextByte = FNextByte, fill = FFill, lastAt = FPrevAt;
  const size_t base = FBase;
  uint64_t heldBits = FHeldBits;
  int held = FHeld, width = FWidth, nextFree = FNextFree, prev = FPrev;
  bool ended = FEnded;
  uint32_t mask = (1u << width) - 1;

  // A string of the table: its prefix's string and one byte, defined where that string stands.
  auto add = [&](int prefix, uint8_t first, size_t at) {
    // Data that adds strings beyond the 4096 of the table without a clear code: the table stays full.
    if (nextFree >= 4096) return;
    FPrefix[nextFree] = uint16_t(prefix);
    FSuffix[nextFree] = first;
    FFirst[nextFree] = FFirst[prefix];
    FLength[nextFree] = uint16_t(FLength[prefix] + 1);
    FAt[nextFree] = at;
    // The width grows one code early: at 511, 1023 and 2047 entries.
    if (++nextFree == int(mask) && width < 12) {
      ++width;
      mask = (1u << width) - 1;
    }
  };

  // The next code, or -1 where the data has too few bits left for one. Four bytes are taken at a
  // time while four remain; only the last ones are counted out.
  auto readCode = [&]() -> int {
    if (held < width) {
      if (nextByte + 4 <= FSize) {
        const uint8_t* p = FData + nextByte;
        heldBits = heldBits << 32 | uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        held += 32;
        nextByte += 4;
      } else {
        if (size_t(held) + 8 * (FSize - nextByte) < size_t(width)) return -1;
        while (held < width) {
          heldBits = heldBits << 8 | FData[nextByte++];
          held += 8;
        }
      }
    }
    held -= width;
    return int((heldBits >> held) & mask);
  };

  // Writes the string of code at the end of the output.
  auto output = [&](int code) {
    uint8_t* out = buf + fill;
    lastAt = base + fill;
    if (code < 256) {
      *out = uint8_t(code);
      ++fill;
      return;
    }
    const size_t len = FLength[code];
    fill += len;
    if (FAt[code] >= base) {
      // The string stands in the output kept: copied from there. The string being defined starts
      // where the previous one does and overlaps its own copy by less than eight bytes when the
      // previous one is that short: such a copy goes a byte at a time.
      const uint8_t* from = buf + (FAt[code] - base);
      if (size_t(out - from) >= kOvercopy) {
        std::memcpy(out, from, 8);
        for (size_t k = 8; k < len; k += 8) std::memcpy(out + k, from + k, 8);
      } else {
        for (size_t k = 0; k < len; ++k) out[k] = from[k];
      }
      return;
    }
    // Defined longer ago than the output kept: walked from its last byte back along the prefixes.
    for (size_t k = len; k-- > 0;) {
      out[k] = FSuffix[code];
      code = FPrefix[code];
    }
  };

  while (fill < want && !ended) {
    int code = readCode();
    if (code < 0 || code == 257) {
      ended = true;
      break;
    }
    if (code == 256) {
      nextFree = 258;
      width = 9;
      mask = 511;
      code = readCode();
      if (code < 0 || code == 257) {
        ended = true;
        break;
      }
      if (code > 255) code &= 255;  // only a root string can follow a clear code
      output(code);
      prev = code;
      continue;
    }
    if (prev < 0) {
      // The first code of a strip without a clear code.
      if (code > 255) { ended = true; break; }
      output(code);
      prev = code;
      continue;
    }
    if (code >= nextFree) {
      // The string being defined: the previous string plus its own first byte.
      if (nextFree >= 4096) { ended = true; break; }
      int added = nextFree;
      add(prev, FFirst[prev], lastAt);
      output(added);
      prev = added;
    } else {
      // The new string is the previous one and this one's first byte, which follows it.
      const size_t prevAt = lastAt;
      output(code);
      add(prev, FFirst[code], prevAt);
      prev = code;
    }
  }
  FNextByte = nextByte;
  FFill = fill;
  FPrevAt = lastAt;
  FHeldBits = heldBits;
  FHeld = held;
  FWidth = width;
  FNextFree = nextFree;
  FPrev = prev;
  FEnded = ended;
  // After the end of the data the rest of the row is zeros; nothing is decoded after it.
  if (FFill < want) {
    std::memset(buf + FFill, 0, want - FFill);
    FFill = want;
  }
  const uint8_t* row = buf + FTake;
  FTake = want;
  return row;
}
