#include "gif_lzw_decoder.h"

#include <cstring>

namespace {

// Codes are at most 12 bits wide, so the string table has 4096 entries. A chain through the table
// is never longer than the table; the pixel stack therefore holds 4096 values, and a chain that
// would need more can only be a loop in hostile data.
constexpr int kTableSize = 4096;
constexpr int kMaxCodeSize = 12;

// Returned by NextValue instead of a colour index.
constexpr int kExhausted = -1;   // no bits left
constexpr int kEndCode = -2;     // the end code was read
constexpr int kBroken = -3;      // a code the table cannot resolve right after a clear

class TLZWDecoder {
public:
  TLZWDecoder(TStream& Stream, const TGIFWarning& Warning) : FStream(Stream), FWarning(Warning) {
    int64_t pos = Stream.Position();
    FRemaining = Stream.Size() - pos;
    if (FRemaining < 0) FRemaining = 0;
  }

  // Reads the minimum code size byte. False when there is none (nothing more is read) or when it
  // is outside 1 .. 11 (warning; the data sub-blocks are skipped).
  bool Start() {
    uint8_t size;
    if (!ReadRaw(&size, 1)) return false;
    if (size < 1 || size >= kMaxCodeSize) {
      GIFWarn(FWarning, gifmsg::BadCodeSize);
      SkipBlocks();
      return false;
    }
    FMinCodeSize = size;
    FClearCode = 1 << size;
    FEOICode = FClearCode + 1;
    ResetTable();
    FFirstAfterClear = true;
    return true;
  }

  // The next colour index, or a negative value when decoding ends.
  inline int NextValue() {
    if (FStackTop > 0) return FStack[--FStackTop];
    return DecodeCode();
  }

  // Moves the stream after the sub-block terminator unless it was read already.
  void SkipBlocks() {
    if (FDone) return;
    for (;;) {
      uint8_t len;
      if (!ReadRaw(&len, 1)) break;
      if (len == 0) { FZeroBlock = true; break; }
      int64_t n = len <= FRemaining ? len : FRemaining;
      FStream.Seek(n, soFromCurrent);
      FRemaining -= n;
    }
    FDone = true;
  }

private:
  bool ReadRaw(void* Buffer, int64_t Count) {
    if (Count > FRemaining) return false;
    if (FStream.Read(Buffer, Count) != Count) throw GIFException(gifmsg::PrematureEOF);
    FRemaining -= Count;
    return true;
  }

  void ResetTable() {
    for (int i = 0; i < FClearCode; ++i) {
      FPrefix[i] = 0;
      FSuffix[i] = static_cast<uint16_t>(i);
    }
    std::memset(FPrefix + FClearCode, 0, sizeof(FPrefix[0]) * (kTableSize - FClearCode));
    std::memset(FSuffix + FClearCode, 0, sizeof(FSuffix[0]) * (kTableSize - FClearCode));
    FCodeSize = FMinCodeSize + 1;
    FMaxCode = 2 * FClearCode;
    FFreeCode = FClearCode + 2;
    FStackTop = 0;
  }

  inline void Push(int Value) {
    if (FStackTop >= kTableSize) throw GIFException(gifmsg::CircularTable);
    FStack[FStackTop++] = static_cast<uint16_t>(Value);
  }

  int DecodeCode() {
    int code;
    for (;;) {
      code = ReadCode();
      if (code < 0) return code;
      if (code == FClearCode) {
        ResetTable();
        FFirstAfterClear = true;
        continue;
      }
      if (code == FEOICode) {
        SkipBlocks();
        return kEndCode;
      }
      if (FFirstAfterClear) {
        // The first code after a clear must be a single colour: there is no string yet to build on.
        if (code >= FFreeCode) return kBroken;
        FFirstAfterClear = false;
        FFirstCode = FOldCode = code;
        return code;
      }
      break;
    }
    const int inCode = code;
    if (code >= FFreeCode) {
      // The code the encoder is just defining: the previous string plus its own first value.
      Push(FFirstCode);
      code = FOldCode;
    }
    while (code >= FClearCode) {
      Push(FSuffix[code]);
      if (FPrefix[code] == code) throw GIFException(gifmsg::CircularTable);
      code = FPrefix[code];
    }
    FFirstCode = FSuffix[code];
    Push(FFirstCode);
    if (FFreeCode < kTableSize) {
      FPrefix[FFreeCode] = static_cast<uint16_t>(FOldCode);
      FSuffix[FFreeCode] = static_cast<uint16_t>(FFirstCode);
      ++FFreeCode;
      if (FFreeCode >= FMaxCode && FMaxCode < kTableSize) {
        FMaxCode *= 2;
        ++FCodeSize;
      }
    }
    FOldCode = inCode;
    return FStack[--FStackTop];
  }

  // One code of FCodeSize bits, least significant bit first, across sub-block boundaries. The
  // last two bytes of a block are carried in front of the next one, so a code that starts in one
  // block and ends in the next (or, with blocks of one byte, two further on) is whole.
  inline int ReadCode() {
    while (FCurBit + FCodeSize > FLastBit) {
      if (FDone) {
        if (FCurBit >= FLastBit) GIFWarn(FWarning, gifmsg::BitBufferUnderrun);
        return kExhausted;
      }
      NextBlock();
    }
    const int byte = FCurBit >> 3;
    const uint32_t window = uint32_t(FBuffer[byte]) | (uint32_t(FBuffer[byte + 1]) << 8) |
                            (uint32_t(FBuffer[byte + 2]) << 16);
    const int code = (window >> (FCurBit & 7)) & ((1u << FCodeSize) - 1);
    FCurBit += FCodeSize;
    return code;
  }

  void NextBlock() {
    FBuffer[0] = FBuffer[FLastByte - 2];
    FBuffer[1] = FBuffer[FLastByte - 1];
    uint8_t len = 0;
    if (!ReadRaw(&len, 1)) {
      // The data ends without a terminator (said once: a cut block has said it already).
      if (!FWarnedShort) GIFWarn(FWarning, gifmsg::PrematureEOF);
      FDone = true;
    } else if (len == 0) {
      FDone = true;
      FZeroBlock = true;
    } else if (len > FRemaining) {
      GIFWarn(FWarning, gifmsg::PrematureEOF);
      FWarnedShort = true;
      len = static_cast<uint8_t>(FRemaining);
    }
    if (len > 0 && !ReadRaw(FBuffer + 2, len)) throw GIFException(gifmsg::PrematureEOF);
    FLastByte = 2 + len;
    FCurBit = FCurBit - FLastBit + 16;
    FLastBit = (2 + len) * 8;
  }

  TStream& FStream;
  const TGIFWarning& FWarning;
  int64_t FRemaining = 0;

  int FMinCodeSize = 0, FClearCode = 0, FEOICode = 0;
  int FCodeSize = 0, FMaxCode = 0, FFreeCode = 0;
  int FFirstCode = 0, FOldCode = 0;
  bool FFirstAfterClear = true;
  uint16_t FPrefix[kTableSize];
  uint16_t FSuffix[kTableSize];
  uint16_t FStack[kTableSize];
  int FStackTop = 0;

  // Two carried bytes, a block of up to 255 bytes, and two spare bytes so that assembling a code
  // from three bytes never reads beyond the array (bits past LastBit are masked off).
  uint8_t FBuffer[2 + 255 + 2] = {};
  int FCurBit = 0, FLastBit = 0, FLastByte = 2;
  bool FDone = false, FZeroBlock = false, FWarnedShort = false;
};

}  // namespace

void Decode(TStream& Stream, int Width, int Height, bool Interlaced, uint8_t FillIndex,
            std::vector<uint8_t>& Pixels, const TGIFWarning& Warning) {
  if (Width < 0 || Height < 0 || int64_t(Width) * Height > GIFMaxFramePixels)
    throw GIFException(gifmsg::ImageDimensions);
  Pixels.assign(size_t(Width) * size_t(Height), FillIndex);

  TLZWDecoder decoder(Stream, Warning);
  if (!decoder.Start()) return;

  bool ended = false;
  if (Width > 0 && Height > 0) {
    // Interlaced rows come in four passes: every 8th row from 0, every 8th from 4, every 4th from
    // 2, every 2nd from 1.
    static const int kPassStart[4] = {0, 4, 2, 1};
    static const int kPassStep[4] = {8, 8, 4, 2};
    int pass = 0, row = 0;
    for (int n = 0; n < Height && !ended; ++n) {
      uint8_t* out = Pixels.data() + size_t(row) * size_t(Width);
      for (int x = 0; x < Width; ++x) {
        const int v = decoder.NextValue();
        if (v < 0) {
          ended = true;
          break;
        }
        out[x] = static_cast<uint8_t>(v);
      }
      if (!Interlaced) {
        ++row;
      } else {
        row += kPassStep[pass];
        while (row >= Height && pass < 3) row = kPassStart[++pass];
      }
    }
  }
  // One more value takes the end code, which also skips what is left of the data; when the data
  // holds more than the frame needs, the remaining blocks are skipped all the same.
  if (!ended) decoder.NextValue();
  decoder.SkipBlocks();
}
