// Helpers of the picture reader tests: the generated pictures and ImageMagick's pixels for them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "bitmap.h"
#include "streams.h"

inline std::string Fixture(const std::string& name) { return std::string(IMAGING_FIXTURES) + "/" + name; }

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> v;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
    std::fclose(f);
  }
  return v;
}

inline TMemoryStream* StreamOf(const std::vector<uint8_t>& bytes) {
  auto* s = new TMemoryStream;
  if (!bytes.empty()) s->WriteBuffer(bytes.data(), int64_t(bytes.size()));
  s->SetPosition(0);
  return s;
}

// Compares every pixel of a bitmap with ImageMagick's red-green-blue bytes; Map turns ImageMagick's
// value into the one expected (for readers that keep fewer levels).
template <typename Map>
inline ::testing::AssertionResult SamePixels(const TBitmap& b, const std::string& rgbFile, Map map,
                                             int tolerance = 0) {
  std::vector<uint8_t> rgb = ReadAll(Fixture(rgbFile));
  if (rgb.size() != size_t(b.Width()) * size_t(b.Height()) * 3)
    return ::testing::AssertionFailure() << rgbFile << ": " << rgb.size() << " bytes for " << b.Width() << "x"
                                         << b.Height();
  int bad = 0;
  std::string first;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      TColor c = b.Pixel(x, y);
      const uint8_t* e = &rgb[(size_t(y) * b.Width() + x) * 3];
      if (std::abs(RedOf(c) - map(e[0])) > tolerance || std::abs(GreenOf(c) - map(e[1])) > tolerance ||
          std::abs(BlueOf(c) - map(e[2])) > tolerance) {
        if (bad++ == 0)
          first = "(" + std::to_string(x) + "," + std::to_string(y) + ") got " + std::to_string(RedOf(c)) + "," +
                  std::to_string(GreenOf(c)) + "," + std::to_string(BlueOf(c)) + " want " + std::to_string(e[0]) +
                  "," + std::to_string(e[1]) + "," + std::to_string(e[2]);
      }
    }
  if (bad) return ::testing::AssertionFailure() << rgbFile << ": " << bad << " pixels differ, first " << first;
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult SamePixels(const TBitmap& b, const std::string& rgbFile, int tolerance = 0) {
  return SamePixels(b, rgbFile, [](uint8_t v) { return int(v); }, tolerance);
}
