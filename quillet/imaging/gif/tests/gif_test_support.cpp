#include "gif_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

Bytes PackCodes(const std::vector<std::pair<int, int>>& Codes) {
  Bytes out;
  uint32_t bucket = 0;
  int bits = 0;
  for (const auto& c : Codes) {
    bucket |= uint32_t(c.first) << bits;
    bits += c.second;
    while (bits >= 8) {
      out.push_back(uint8_t(bucket));
      bucket >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) out.push_back(uint8_t(bucket));
  return out;
}

Bytes FrameData(int MinCodeSize, const Bytes& Data, int BlockSize, bool Terminator) {
  Bytes out{uint8_t(MinCodeSize)};
  for (size_t i = 0; i < Data.size(); i += size_t(BlockSize)) {
    size_t n = std::min(Data.size() - i, size_t(BlockSize));
    out.push_back(uint8_t(n));
    out.insert(out.end(), Data.begin() + long(i), Data.begin() + long(i + n));
  }
  if (Terminator) out.push_back(0);
  return out;
}

Bytes StreamBytes(TMemoryStream& S) {
  return Bytes(S.Memory(), S.Memory() + S.Size());
}

void Fill(TMemoryStream& S, const Bytes& B) {
  S.Clear();
  if (!B.empty()) S.WriteBuffer(B.data(), int64_t(B.size()));
  S.SetPosition(0);
}

static void Word(Bytes& b, int v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}

Bytes WrapInGIF(const Bytes& FrameBytes, int Width, int Height, int BitsPerPixel, bool Interlaced) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Word(b, Width);
  Word(b, Height);
  const int bpp = BitsPerPixel < 1 ? 1 : BitsPerPixel;
  b.push_back(uint8_t(0x80 | ((bpp - 1) << 4) | (bpp - 1)));
  b.push_back(0);
  b.push_back(0);
  const int n = 1 << bpp;
  for (int i = 0; i < n; ++i) {
    uint8_t g = uint8_t(i * 255 / (n - 1));
    b.insert(b.end(), {g, g, g});
  }
  b.push_back(',');
  Word(b, 0);
  Word(b, 0);
  Word(b, Width);
  Word(b, Height);
  b.push_back(Interlaced ? 0x40 : 0);
  b.insert(b.end(), FrameBytes.begin(), FrameBytes.end());
  b.push_back(';');
  return b;
}

GIFFrame FirstFrame(const Bytes& f) {
  GIFFrame fr;
  size_t p = 13;
  EXPECT_GE(f.size(), p);
  Bytes global;
  if (f[10] & 0x80) {
    size_t n = size_t(2) << (f[10] & 7);
    global.assign(f.begin() + long(p), f.begin() + long(p + 3 * n));
    p += 3 * n;
  }
  while (p < f.size()) {
    if (f[p] == '!') {
      p += 2;
      while (p < f.size() && f[p] != 0) p += size_t(f[p]) + 1;
      ++p;
    } else if (f[p] == ',') {
      fr.Width = f[p + 5] | (f[p + 6] << 8);
      fr.Height = f[p + 7] | (f[p + 8] << 8);
      const uint8_t packed = f[p + 9];
      fr.Interlaced = (packed & 0x40) != 0;
      p += 10;
      if (packed & 0x80) {
        size_t n = size_t(2) << (packed & 7);
        fr.Palette.assign(f.begin() + long(p), f.begin() + long(p + 3 * n));
        p += 3 * n;
      } else {
        fr.Palette = global;
      }
      fr.DataOffset = int64_t(p);
      return fr;
    } else {
      break;
    }
  }
  ADD_FAILURE() << "no frame in the file";
  return fr;
}

std::string FixturePath(const std::string& Name) {
  return std::string(ASTREL_SOURCE_DIR) + "/quillet/imaging/gif/tests/fixtures/" + Name;
}

Bytes ReadFile(const std::string& Name) {
  Bytes b;
  std::FILE* f = std::fopen(Name.c_str(), "rb");
  if (!f) {
    ADD_FAILURE() << "cannot open " << Name;
    return b;
  }
  uint8_t buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
  std::fclose(f);
  return b;
}

Bytes RandomPixels(size_t Count, int Colors, uint32_t Seed) {
  Bytes b(Count);
  uint32_t x = Seed ? Seed : 1;
  for (auto& v : b) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    v = uint8_t(x % uint32_t(Colors));
  }
  return b;
}
