// TIFLZW: TTIFLZWDec, the LZW decoder of TIFF strips (codes most significant bit first, 9 to 12
// bits wide, the width growing one code early as TIFF writers do).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TTIFLZWDec {
public:
  TTIFLZWDec(size_t RowLength, const uint8_t* Data, size_t Size);
  // The next row: RowLength bytes at the start of the returned buffer, valid until the next call.
  // Once the strip's data or its end code is reached the rest of the row is zeros.
  const uint8_t* GetRow();

  // Output kept before the row being decoded, from which the table's strings are copied.
  static constexpr size_t kHistory = 64 * 1024;

private:
  void Reset();

  // The strip's output: FBuffer[0] is output byte FBase; FTake is where the next row starts,
  // FFill where the decoded output ends (a string may run past the row).
  std::vector<uint8_t> FBuffer;
  size_t FBase = 0, FTake = 0, FFill = 0;
  const uint8_t* FData;
  size_t FSize;
  size_t FRowLength;
  // Bits read ahead, most significant first: the lowest FHeld bits of FHeldBits.
  uint64_t FHeldBits = 0;
  int FHeld = 0;
  size_t FNextByte = 0;
  int FWidth = 9, FNextFree = 258, FPrev = -1;
  size_t FPrevAt = 0;  // output position of the previous code's string
  bool FEnded = false;
  // The table of strings: each is the string of its prefix code plus one byte, with its length
  // and the output position where it was defined (its bytes stand there).
  uint16_t FPrefix[4096];
  uint8_t FSuffix[4096], FFirst[4096];
  uint16_t FLength[4096];
  size_t FAt[4096];
};
