#include "gif_encoder.h"

namespace {
// Codes are at most 12 bits wide.
constexpr int kMaxBits = 12;
constexpr int kTableSize = 1 << kMaxBits;
}  // namespace

void TGIFEncoder::Encode(TStream& Stream, int BitsPerPixel, int Colors, const uint8_t* Data,
                         bool Interlaced, int Height, int Width) {
  // One byte per pixel: more than 8 bits cannot occur; fewer than 2 is not allowed by the format.
  if (BitsPerPixel < 2) BitsPerPixel = 2;
  if (BitsPerPixel > 8) BitsPerPixel = 8;
  FBitsPerPixel = BitsPerPixel;
  FColors = Colors;
  FData = Data;
  FInterlaced = Interlaced;
  FHeight = Height;
  FWidth = Width;
  FBitsInit = BitsPerPixel + 1;
  const uint8_t sizeByte = static_cast<uint8_t>(BitsPerPixel);
  Stream.WriteBuffer(&sizeByte, 1);

  FBitsCur = FBitsInit;
  FMaxCode = MaxCodes(FBitsCur);
  FClearCode = 1 << BitsPerPixel;
  FEOFCode = FClearCode + 1;
  FBaseCode = FClearCode + 2;
  FOutputBucket = 0;
  FOutputBits = 0;
  FClearFlag = false;
  const bool hasPixels = Data != nullptr && Width > 0 && Height > 0;
  FPixel = Data;
  FPixelsLeft = Interlaced ? int64_t(Width) : int64_t(Width) * Height;
  FRow = 0;
  FPass = 0;
  FWalkDone = !hasPixels;

  TGIFWriter writer(Stream, FWarning);
  FWriter = &writer;
  try {
    if (hasPixels) Compress();
    Output(FEOFCode);
    FWriter = nullptr;
    writer.Flush();
  } catch (...) {
    FWriter = nullptr;
    try {
      writer.Flush();
    } catch (...) {
    }
    throw;
  }
  const uint8_t terminator = 0;
  Stream.WriteBuffer(&terminator, 1);
}

void TGIFEncoder::AdvanceRow() {
  if (!FInterlaced) {
    FWalkDone = true;
    return;
  }
  // Interlace passes: rows 0, 8, 16 ...; 4, 12 ...; 2, 6 ...; 1, 3 ...
  static const int kPassStart[4] = {0, 4, 2, 1};
  static const int kPassStep[4] = {8, 8, 4, 2};
  FPixelsLeft = FWidth;
  FRow += kPassStep[FPass];
  while (FRow >= FHeight) {
    if (FPass == 3) {
      FWalkDone = true;
      return;
    }
    FRow = kPassStart[++FPass];
  }
  FPixel = FData + size_t(FRow) * size_t(FWidth);
}

void TGIFEncoder::Output(int Code) {
  FOutputBucket &= (1u << FOutputBits) - 1;
  FOutputBucket |= uint32_t(Code) << FOutputBits;
  FOutputBits += FBitsCur;
  while (FOutputBits > 7) {
    FWriter->WriteByte(static_cast<uint8_t>(FOutputBucket & 0xFF));
    FOutputBucket >>= 8;
    FOutputBits -= 8;
  }
  if (Code == FEOFCode) {
    while (FOutputBits > 0) {
      FWriter->WriteByte(static_cast<uint8_t>(FOutputBucket & 0xFF));
      FOutputBucket >>= 8;
      FOutputBits -= 8;
    }
  }
}

void TGIFEncoder::Clear() {
  FClearFlag = true;
  Output(FClearCode);
}

// ---- LZW -----------------------------------------------------------------------------------

void TLZWEncoder::Clear() {
  TGIFEncoder::Clear();
  FHashTable->Clear();
  FFreeCode = FClearCode + 2;
}

void TLZWEncoder::Output(int Code) {
  TGIFEncoder::Output(Code);
  // The decoder widens its codes once its next free code passes the widest code of the current
  // size; the compressor follows after writing the code that makes the decoder do so.
  if (FFreeCode > FMaxCode || FClearFlag) {
    if (FClearFlag) {
      FBitsCur = FBitsInit;
      FMaxCode = MaxCodes(FBitsCur);
      FClearFlag = false;
    } else {
      ++FBitsCur;
      FMaxCode = FBitsCur == kMaxBits ? kTableSize : MaxCodes(FBitsCur);
    }
  }
}

void TLZWEncoder::Compress() {
  FHashTable = std::make_unique<THashTable>();
  FFreeCode = FClearCode + 2;
  Clear();
  int pixel;
  NextPixel(FPrefix);
  while (NextPixel(pixel)) {
    const uint32_t key = (uint32_t(FPrefix) << 8) | uint32_t(pixel);
    const int code = FHashTable->Lookup(key);
    if (code >= 0) {
      FPrefix = code;
      continue;
    }
    Output(FPrefix);
    FPrefix = pixel;
    if (FFreeCode < kTableSize - 1) {
      FHashTable->Insert(key, FFreeCode++);
    } else {
      // The table is full: start afresh so that codes stay within 12 bits.
      Clear();
    }
  }
  Output(FPrefix);
  FHashTable.reset();
}

// ---- run-length ----------------------------------------------------------------------------

int64_t IntegerSqrt(int64_t X) {
  if (X < 2) return X;
  int64_t r = 1;
  for (int64_t v = X; v != 0; v >>= 2) r <<= 1;
  for (;;) {
    const int64_t v = (X / r + r) / 2;
    if (v == r || v == r + 1) return r;
    r = v;
  }
}

int64_t Triangle(int64_t Count, int64_t N) {
  int64_t cost = 0;
  const int64_t per = N * (N + 1) / 2;
  if (per > 0 && Count >= per) {
    cost += (Count / per) * N;
    Count %= per;
  }
  if (Count > 0) {
    int64_t n = IntegerSqrt(Count);
    while (n * (n + 1) >= 2 * Count) --n;
    while (n * (n + 1) < 2 * Count) ++n;
    cost += n;
  }
  return cost;
}

void TRLEEncoder::Clear() {
  FOutBump = FOutBumpInit;
  FOutClear = FOutClearInit;
  FOutCount = 0;
  FTableMax = 0;
  TGIFEncoder::Clear();
  FBitsCur = FBitsInit;
}

void TRLEEncoder::OutputPlain(int Code) {
  FClearFlag = false;
  Output(Code);
  ++FOutCount;
  if (FOutCount >= FOutBump) {
    ++FBitsCur;
    FOutBump += 1 << (FBitsCur - 1);
  }
  if (FOutCount >= FOutClear) Clear();
}

void TRLEEncoder::ResetOutClear() {
  FOutClear = FOutClearInit;
  if (FOutCount >= FOutClear) Clear();
}

void TRLEEncoder::FlushFromClear(int64_t Count) {
  FOutClear = FMaxOCodes;
  FTablePixel = FRunPixel;
  int64_t n = 1;
  while (Count > 0) {
    if (n == 1) {
      FTableMax = 1;
      OutputPlain(FRunPixel);
      --Count;
    } else if (Count >= n) {
      FTableMax = static_cast<int>(n);
      OutputPlain(FBaseCode + static_cast<int>(n) - 2);
      Count -= n;
    } else if (Count == 1) {
      ++FTableMax;
      OutputPlain(FRunPixel);
      Count = 0;
    } else {
      ++FTableMax;
      OutputPlain(FBaseCode + static_cast<int>(Count) - 2);
      Count = 0;
    }
    n = FOutCount == 0 ? 1 : n + 1;
  }
  ResetOutClear();
}

void TRLEEncoder::FlushClearOrRepeat(int64_t Count) {
  if (1 + Triangle(Count, FMaxOCodes) < Count) {
    Clear();
    FlushFromClear(Count);
  } else {
    for (; Count > 0; --Count) OutputPlain(FRunPixel);
  }
}

void TRLEEncoder::FlushWithTable(int64_t Count) {
  int64_t repeats = Count / FTableMax;
  int64_t leftover = Count % FTableMax;
  int64_t extra = leftover > 0 ? 1 : 0;
  if (FOutCount + repeats + extra > FMaxOCodes) {
    repeats = FMaxOCodes - FOutCount;
    leftover = Count - repeats * FTableMax;
    extra = 1 + Triangle(leftover, FMaxOCodes);
  }
  if (1 + Triangle(Count, FMaxOCodes) < repeats + extra) {
    Clear();
    FlushFromClear(Count);
    return;
  }
  FOutClear = FMaxOCodes;
  for (; repeats > 0; --repeats) OutputPlain(FBaseCode + FTableMax - 2);
  if (leftover > 0) {
    if (FClearFlag) {
      FlushFromClear(leftover);
    } else if (leftover == 1) {
      OutputPlain(FRunPixel);
    } else {
      OutputPlain(FBaseCode + static_cast<int>(leftover) - 2);
    }
  }
  ResetOutClear();
}

void TRLEEncoder::Flush() {
  if (FRunCount == 1) {
    OutputPlain(FRunPixel);
  } else if (FClearFlag) {
    FlushFromClear(FRunCount);
  } else if (FTableMax < 2 || FTablePixel != FRunPixel) {
    FlushClearOrRepeat(FRunCount);
  } else {
    FlushWithTable(FRunCount);
  }
  FRunCount = 0;
}

void TRLEEncoder::Compress() {
  FOutBumpInit = FClearCode - 1;
  FOutClearInit = FBitsPerPixel <= 3 ? 9 : FOutBumpInit - 1;
  FMaxOCodes = MaxCodes(kMaxBits) - FBaseCode;
  FRunPixel = -1;
  FRunCount = 0;
  Clear();
  int pixel;
  while (NextPixel(pixel)) {
    if (FRunCount > 0 && pixel != FRunPixel) Flush();
    if (FRunCount > 0 && pixel == FRunPixel) {
      ++FRunCount;
    } else {
      FRunPixel = pixel;
      FRunCount = 1;
    }
  }
  if (FRunCount > 0) Flush();
}

void Encode(int Encoder, TStream& Stream, int BitsPerPixel, int Colors, const uint8_t* Data,
            bool Interlaced, int Height, int Width, const TGIFWarning& Warning) {
  if (Encoder == geRLE) {
    TRLEEncoder e(Warning);
    e.Encode(Stream, BitsPerPixel, Colors, Data, Interlaced, Height, Width);
  } else {
    TLZWEncoder e(Warning);
    e.Encode(Stream, BitsPerPixel, Colors, Data, Interlaced, Height, Width);
  }
}
