#include "tiff_lzw.h"

#include <cstring>

TTIFLZWDec::TTIFLZWDec(size_t RowLength, const uint8_t* Data, size_t Size)
    : FData(Data), FSize(Size), FRowLength(RowLength) {
  // A row plus the longest string that can overhang it.
  FBuffer.resize(RowLength * 2 + 4096);
  std::memset(FPrefix, 0, sizeof FPrefix);
  std::memset(FSuffix, 0, sizeof FSuffix);
  std::memset(FFirst, 0, sizeof FFirst);
  std::memset(FLength, 0, sizeof FLength);
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

int TTIFLZWDec::ReadCode() {
  if (FBitPos + size_t(FWidth) > FSize * 8) return -1;
  size_t i = FBitPos >> 3;
  uint32_t v = uint32_t(FData[i]) << 16;
  if (i + 1 < FSize) v |= uint32_t(FData[i + 1]) << 8;
  if (i + 2 < FSize) v |= FData[i + 2];
  int code = int((v >> (24 - int(FBitPos & 7) - FWidth)) & ((1u << FWidth) - 1));
  FBitPos += size_t(FWidth);
  return code;
}

void TTIFLZWDec::Output(int code) {
  size_t len = FLength[code];
  uint8_t* out = FBuffer.data() + FFill;
  for (size_t k = len; k-- > 0;) {
    out[k] = FSuffix[code];
    code = FPrefix[code];
  }
  FFill += len;
}

void TTIFLZWDec::Add(int prefix, uint8_t first) {
  // Data that adds strings beyond the 4096 of the table without a clear code: the table stays full.
  if (FNextFree >= 4096) return;
  FPrefix[FNextFree] = uint16_t(prefix);
  FSuffix[FNextFree] = first;
  FFirst[FNextFree] = FFirst[prefix];
  FLength[FNextFree] = uint16_t(FLength[prefix] + 1);
  ++FNextFree;
  if (FNextFree == 511) FWidth = 10;
  else if (FNextFree == 1023) FWidth = 11;
  else if (FNextFree == 2047) FWidth = 12;
}

const uint8_t* TTIFLZWDec::GetRow() {
  uint8_t* buf = FBuffer.data();
  if (FFill > FRowLength) {
    std::memmove(buf, buf + FRowLength, FFill - FRowLength);
    FFill -= FRowLength;
  } else {
    FFill = 0;
  }
  while (FFill < FRowLength && !FEnded) {
    int code = ReadCode();
    if (code < 0 || code == 257) {
      FEnded = true;
      break;
    }
    if (code == 256) {
      Reset();
      code = ReadCode();
      if (code < 0 || code == 257) {
        FEnded = true;
        break;
      }
      if (code > 255) code &= 255;  // only a root string can follow a clear code
      Output(code);
      FPrev = code;
      continue;
    }
    if (FPrev < 0) {
      // The first code of a strip without a clear code.
      if (code > 255) { FEnded = true; break; }
      Output(code);
      FPrev = code;
      continue;
    }
    if (code >= FNextFree) {
      // The string being defined: the previous string plus its own first byte.
      if (FNextFree >= 4096) { FEnded = true; break; }
      int added = FNextFree;
      Add(FPrev, FFirst[FPrev]);
      Output(added);
      FPrev = added;
    } else {
      Output(code);
      Add(FPrev, FFirst[code]);
      FPrev = code;
    }
  }
  if (FFill < FRowLength) std::memset(buf + FFill, 0, FRowLength - FFill);
  return buf;
}
