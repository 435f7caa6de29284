// Small files that declare pictures far larger than their data can fill, written byte by byte:
// the hostile declarations that every reader refuses at once (tests/budget_test.cpp) and whose
// refusal bench/imaging measures against reading a picture of the same size.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace hostile {

inline void Put(std::string& f, std::initializer_list<int> bytes) {
  for (int b : bytes) f += char(b);
}
inline void PutLE(std::string& f, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) f += char((v >> (8 * i)) & 0xFF);
}

// A BMP file declaring Width x Height at Bits per pixel with a table of two colours and Data as
// its pixel bytes: the headers alone are 62 bytes.
inline std::string BMP(int Width, int Height, int Bits, int Compression, const std::string& Data) {
  std::string f = "BM";
  PutLE(f, 62 + uint32_t(Data.size()), 4);
  PutLE(f, 0, 4);
  PutLE(f, 62, 4);
  PutLE(f, 40, 4);
  PutLE(f, uint32_t(Width), 4);
  PutLE(f, uint32_t(Height), 4);
  PutLE(f, 1, 2);
  PutLE(f, uint32_t(Bits), 2);
  PutLE(f, uint32_t(Compression), 4);
  f += std::string(12, '\0');  // image size and resolutions
  PutLE(f, 2, 4);              // colours used
  PutLE(f, 0, 4);
  Put(f, {0, 0, 0, 0, 255, 255, 255, 0});
  return f + Data;
}

// The BMP headers of 54 to 162 bytes that declare 6000 x 7000 pixels (24 bits without a table,
// 8 bits, run-length coded 8 bits) and the 62-byte 1-bit header of 30000 x 30000.
inline std::string BMP24() { return BMP(6000, 7000, 24, 0, "").substr(0, 54); }
inline std::string BMP8() { return BMP(6000, 7000, 8, 0, std::string(26, '\0')); }
inline std::string BMPRLE8() {
  std::string runs;
  for (int i = 0; i < 50; ++i) Put(runs, {255, 1});
  return BMP(6000, 7000, 8, 1, runs);
}
inline std::string BMP1() { return BMP(30000, 30000, 1, 0, ""); }

// A JPEG of 152 bytes declaring 6000 x 7000 pixels in three components: one quantisation table,
// two Huffman tables of one one-bit code each, a scan with two bytes of data. Marked progressive,
// the scan is the first DC scan. Other sizes, components (1 or 3) and amounts of scan data make
// the same kind of file: with one bit per block (the one code says "no difference") a scan of
// blocks / 8 zero bytes fills the picture with grey.
inline std::string JPEG(bool Progressive, int Width = 6000, int Height = 7000, int Components = 3,
                        size_t DataBytes = 2) {
  std::string f;
  Put(f, {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0});
  f += std::string(64, '\1');
  Put(f, {0xFF, Progressive ? 0xC2 : 0xC0, 0, 8 + 3 * Components, 8, Height >> 8, Height & 0xFF, Width >> 8,
          Width & 0xFF, Components});
  for (int c = 1; c <= Components; ++c) Put(f, {c, 0x11, 0});
  for (int table : {0x00, 0x10}) {
    Put(f, {0xFF, 0xC4, 0, 20, table, 1});
    f += std::string(15, '\0');
    Put(f, {0});
  }
  Put(f, {0xFF, 0xDA, 0, 6 + 2 * Components, Components});
  for (int c = 1; c <= Components; ++c) Put(f, {c, 0});
  Put(f, {0, Progressive ? 0 : 63, 0});
  f += std::string(DataBytes, '\0');
  Put(f, {0xFF, 0xD9});
  return f;
}

// A GIF of 35 bytes: a logical screen of 6000 x 7000 pixels with one frame of 1 x 1.
inline std::string GIFScreen() {
  std::string f = "GIF89a";
  Put(f, {0x70, 0x17, 0x58, 0x1B, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
  Put(f, {',', 0, 0, 0, 0, 1, 0, 1, 0, 0});
  Put(f, {2, 2, 0x44, 0x01, 0, ';'});  // codes clear, 0, end at three bits
  return f;
}

}  // namespace hostile
