// TIFLZW: TTIFLZWDec, the LZW decoder of TIFF strips (codes most significant bit first, 9 to 12
// bits wide, the width growing one code early as TIFF writers do).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TTIFLZWDec {
public:
  TTIFLZWDec(size_t RowLength, const uint8_t* Data, size_t Size);
  // The next row: RowLength bytes at the start of the returned buffer. Once the strip's data or its
  // end code is reached the rest of the row is zeros.
  const uint8_t* GetRow();

private:
  int ReadCode();
  void Reset();
  void Output(int code);
  void Add(int prefix, uint8_t first);

  std::vector<uint8_t> FBuffer;
  size_t FFill = 0;
  const uint8_t* FData;
  size_t FSize, FBitPos = 0;
  size_t FRowLength;
  int FWidth = 9, FNextFree = 258, FPrev = -1;
  bool FEnded = false;
  // The table of strings: each is the string of its prefix code plus one byte.
  uint16_t FPrefix[4096];
  uint8_t FSuffix[4096], FFirst[4096];
  uint16_t FLength[4096];
};
