// Helpers of the GIF codec tests: codes packed by hand, data cut into sub-blocks, a minimal GIF
// file around encoded frame data, and the frames of a GIF file found without the object model.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gif_exception.h"
#include "streams.h"

using Bytes = std::vector<uint8_t>;

// Packs (code, width) pairs least significant bit first.
Bytes PackCodes(const std::vector<std::pair<int, int>>& Codes);
// The minimum code size byte, Data in sub-blocks of at most BlockSize bytes, and the terminator.
Bytes FrameData(int MinCodeSize, const Bytes& Data, int BlockSize = 255, bool Terminator = true);
Bytes StreamBytes(TMemoryStream& S);
void Fill(TMemoryStream& S, const Bytes& B);

// Encoded frame data (from the minimum code size byte to the terminator) put into a GIF file
// with a grey global colour table of 2^BitsPerPixel entries.
Bytes WrapInGIF(const Bytes& FrameBytes, int Width, int Height, int BitsPerPixel, bool Interlaced);

struct GIFFrame {
  int Width = 0, Height = 0;
  bool Interlaced = false;
  Bytes Palette;          // red, green, blue
  int64_t DataOffset = 0; // the minimum code size byte in the file
};
// The first frame of a GIF file; fails the test when the file has none.
GIFFrame FirstFrame(const Bytes& File);

Bytes ReadFile(const std::string& Name);
std::string FixturePath(const std::string& Name);

// Warnings collected from the codec.
struct Warnings {
  std::vector<std::string> Texts;
  TGIFWarning Hook() {
    return [this](int Severity, const String& Message) {
      Texts.push_back(Message);
    };
  }
};

// Deterministic pixel patterns.
Bytes RandomPixels(size_t Count, int Colors, uint32_t Seed);
