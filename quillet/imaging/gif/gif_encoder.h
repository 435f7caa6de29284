// Encoding of a GIF frame's pixels: a true LZW compressor and a run-length encoder whose output
// every LZW decoder reads.
#pragma once

#include <cstdint>
#include <memory>

#include "gif_exception.h"
#include "gif_hash_table.h"
#include "gif_stream.h"

// The encoder choice of the picture class: 1 selects the run-length encoder, any other value LZW.
enum TGIFEncoderKind { geLZW = 0, geRLE = 1 };

// 2^Bits - 1: the largest code of that width.
inline int MaxCodes(int Bits) { return (1 << Bits) - 1; }

class TGIFEncoder {
public:
  explicit TGIFEncoder(TGIFWarning Warning = {}) : FWarning(std::move(Warning)) {}
  virtual ~TGIFEncoder() = default;
  TGIFEncoder(const TGIFEncoder&) = delete;
  TGIFEncoder& operator=(const TGIFEncoder&) = delete;

  // Writes the minimum code size byte, the data sub-blocks and the 0 terminator. Data holds
  // Width x Height colour indices in natural row order; Interlaced writes the rows in the four
  // interlace passes. A pixel not below Colors raises "Color not in color table"; the block
  // written so far is flushed, the terminator is not written, and the error passes on.
  void Encode(TStream& Stream, int BitsPerPixel, int Colors, const uint8_t* Data, bool Interlaced,
              int Height, int Width);

protected:
  virtual void Output(int Code);
  virtual void Clear();
  virtual void Compress() = 0;

  // The next pixel of the walk (rows in order, or in the interlace passes), checked against the
  // colour count; false after the last one.
  inline bool NextPixel(int& Pixel) {
    if (FWalkDone) return false;
    Pixel = *FPixel;
    if (Pixel >= FColors) throw GIFException(gifmsg::BadColorIndex);
    if (--FPixelsLeft > 0) {
      ++FPixel;
    } else {
      AdvanceRow();
    }
    return true;
  }

  int FColors = 0;
  int FBitsPerPixel = 0;
  int FWidth = 0, FHeight = 0;
  bool FInterlaced = false;
  const uint8_t* FData = nullptr;
  TGIFWriter* FWriter = nullptr;
  uint32_t FOutputBucket = 0;
  int FOutputBits = 0;
  bool FClearFlag = false;
  int FBitsCur = 0, FBitsInit = 0;
  int FMaxCode = 0;
  int FClearCode = 0, FEOFCode = 0, FBaseCode = 0;

private:
  void AdvanceRow();
  TGIFWarning FWarning;
  const uint8_t* FPixel = nullptr;
  int64_t FPixelsLeft = 0;
  int FRow = 0, FPass = 0;
  bool FWalkDone = false;
};

class TLZWEncoder : public TGIFEncoder {
public:
  using TGIFEncoder::TGIFEncoder;

protected:
  void Output(int Code) override;
  void Clear() override;
  void Compress() override;

private:
  std::unique_ptr<THashTable> FHashTable;
  int FPrefix = 0;
  int FFreeCode = 0;
};

// Codes only runs of one colour: each run is written as codes whose strings the decoder's table
// is known to hold (runs of 1 .. TableMax pixels of TablePixel), clearing the table when that is
// cheaper, so that no table entry is ever needed that the decoder has not built the same way.
class TRLEEncoder : public TGIFEncoder {
public:
  using TGIFEncoder::TGIFEncoder;

protected:
  void Clear() override;
  void Compress() override;

private:
  void OutputPlain(int Code);
  void Flush();
  void FlushFromClear(int64_t Count);
  void FlushClearOrRepeat(int64_t Count);
  void FlushWithTable(int64_t Count);
  void ResetOutClear();

  int FOutBumpInit = 0, FOutClearInit = 0, FMaxOCodes = 0;
  int FOutBump = 0, FOutClear = 0, FOutCount = 0;
  int FRunPixel = -1;
  int64_t FRunCount = 0;
  int FTableMax = 0, FTablePixel = 0;
};

// The number of codes that runs from 1 pixel up need to cover Count pixels, when runs may be at
// most N long: the cost of building the table anew for a run.
int64_t Triangle(int64_t Count, int64_t N);
// The integer square root by Newton's method from above.
int64_t IntegerSqrt(int64_t X);

// Encodes with the encoder the picture class chose (TGIFEncoderKind).
void Encode(int Encoder, TStream& Stream, int BitsPerPixel, int Colors, const uint8_t* Data,
            bool Interlaced, int Height, int Width, const TGIFWarning& Warning = {});
