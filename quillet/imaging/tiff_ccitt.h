// TIFCCITT: the CCITT fax decoders of the TIFF reader: modified Huffman (TIFF compression 2),
// Group 3 one- and two-dimensional (T.4, compression 3) and Group 4 (T.6, compression 4).
// Decoded rows are 1 bit per pixel, most significant bit first, white runs as 1 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TCCITTDecoder {
public:
  // Data is the strip, which must outlive the decoder; FillOrder 2 means the bits of each byte come
  // least significant first (the decoder then works on a reversed copy).
  TCCITTDecoder(const uint8_t* Data, size_t Size, int Width, int FillOrder);

  // Each decodes one row into Row (at least (Width + 7) / 8 bytes) from the running bit position
  // and returns false when the data holds no further row (the end of the data, the end-of-block
  // mark of Group 4, or a code that no table knows). Row is written in either case.
  bool DecodeModifiedHuffman(uint8_t* Row);  // starts at a byte boundary, ends on one
  bool DecodeT4(uint8_t* Row, bool TwoDimensional);
  bool DecodeT6(uint8_t* Row);

  size_t BitPosition() const { return FPos; }

private:
  int Peek(int n) const;
  uint32_t PeekAtEnd(size_t byte) const;  // the four bytes from byte, zeros past the data
  bool AtEnd() const { return FPos >= FBits; }
  int ReadRun(int color);  // total run of one colour (make-up codes and a terminating code); -1 when broken
  int ReadRun(int color, int bits);  // the same, bits being the next 13 bits (the data not at its end)
  bool Decode1D(bool& sawEOL);
  bool Decode2D(bool& sawEOL);
  void Emit(uint8_t* Row);
  bool SkipEOL();  // an EOL (with any fill zeros before it) at the position: consumed, true
  bool SkipZerosAndEOL();  // the same where the next 11 bits are zeros

  std::vector<uint8_t> FReversed;
  const uint8_t* FData;
  size_t FSize, FBits = 0, FPos = 0;
  int FWidth;
  bool Uncompressed(int*& cur, size_t& n, int& a0, int& color);  // the patterns after an extension code
  int* Room(size_t n);  // FCur with room for n + 8 changes (grown where broken data repeats zero runs)

  // Changing elements of the reference and the current row: plain arrays with room for every
  // change a row can have; FRefCount / FCurCount of them are used (the reference's end marks after).
  std::vector<int> FRef, FCur;
  size_t FRefCount = 0, FCurCount = 0;
};
