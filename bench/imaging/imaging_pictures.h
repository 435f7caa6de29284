// The pictures of the imaging benchmark: what make_imaging_pictures writes at build time and
// bench_imaging_readers reads, in one table.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace bench_pictures {

constexpr int kPhotoWidth = 2048, kPhotoHeight = 1536;  // photograph-like RGB
constexpr int kPageWidth = 2480, kPageHeight = 3508;    // A4 page at 300 dpi
constexpr int kGifWidth = 1600, kGifHeight = 1200;
constexpr int kBannerFrames = 33, kBannerWidth = 40, kBannerHeight = 30;

enum Kind { kRGB, kGrey, kPalette, kBilevel };
// The table rows the TIFF files are counted in.
enum TiffGroup { gPlain, gLZW, gFax, gRows };

struct TiffFile {
  const char* name;
  const char* file;
  Kind kind;
  uint16_t compression;
  int rowsPerStrip;
  bool twoD;
  TiffGroup group;
};

const TiffFile kTiffFiles[] = {
    {"TIFF RGB 2048x1536 LZW+predictor", "photo_lzw.tif", kRGB, COMPRESSION_LZW, 16, false, gLZW},
    {"TIFF grey 2048x1536 LZW+predictor", "grey_lzw.tif", kGrey, COMPRESSION_LZW, 16, false, gLZW},
    {"TIFF palette 2048x1536 LZW", "palette_lzw.tif", kPalette, COMPRESSION_LZW, 16, false, gLZW},
    {"TIFF RGB 2048x1536 PackBits", "photo_packbits.tif", kRGB, COMPRESSION_PACKBITS, 16, false, gPlain},
    {"TIFF RGB 2048x1536 uncompressed", "photo_none.tif", kRGB, COMPRESSION_NONE, 16, false, gPlain},
    {"TIFF page 2480x3508 Group 4", "page_g4.tif", kBilevel, COMPRESSION_CCITTFAX4, 3508, false, gFax},
    {"TIFF page 2480x3508 Group 3 2-D", "page_g3.tif", kBilevel, COMPRESSION_CCITTFAX3, 128, true, gFax},
    {"TIFF page 2480x3508 Group 3 1-D", "page_g3_1d.tif", kBilevel, COMPRESSION_CCITTFAX3, 128, false, gFax},
    // One row per strip, as some scanners and tools write them: 1536 strips of one row each.
    {"TIFF RGB 2048x1536 uncompressed, row strips", "photo_none_rows.tif", kRGB, COMPRESSION_NONE, 1, false, gRows},
    {"TIFF RGB 2048x1536 PackBits, row strips", "photo_packbits_rows.tif", kRGB, COMPRESSION_PACKBITS, 1, false, gRows},
    {"TIFF RGB 2048x1536 LZW, row strips", "photo_lzw_rows.tif", kRGB, COMPRESSION_LZW, 1, false, gRows},
};

}  // namespace bench_pictures
