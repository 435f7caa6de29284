// libpng reports errors by longjmp to the setjmp in ReadPNG; no C++ exception passes its frames.
// Everything ReadPNG builds lives in the caller's PNGReadState, so the jump skips no destructor,
// and the read structures are destroyed on every path. What ReadPNG's phases need of the caller's
// bitmap is asked before the setjmp (PNGReadState::bitmap24).
#include "png_reader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <png.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <sys/stat.h>

#ifdef LPNG_FILE_HELPERS
// Exported by lpng.dll beside libpng, so that the file is opened and closed by the C runtime that
// libpng reads it with.
extern "C" {
PNG_IMPEXP FILE* PNGAPI png_open_file(const char* name, const char* mode);
PNG_IMPEXP int PNGAPI png_close_file(FILE* f);
}
#else
namespace {
FILE* png_open_file(const char* name, const char* mode) { return std::fopen(name, mode); }
int png_close_file(FILE* f) { return f ? std::fclose(f) : EOF; }
}  // namespace
#endif

namespace {

// Library constants as the reader uses them.
constexpr int PaletteColorType = PNG_COLOR_TYPE_PALETTE;  // 3
constexpr int GreyColorType = PNG_COLOR_TYPE_GRAY;        // 0
constexpr png_uint_32 TransparencyChunk = PNG_INFO_tRNS;  // 16

struct PNGReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  size_t bytesPerPixel = 0;
  // How the picture reaches a 24-bit bitmap. Opaque 8-bit pictures need no painting: libpng
  // writes their rows, blue first, straight into a new bitmap (kDirect). Pictures with alpha on an
  // empty bitmap are painted over one colour (beneath, black unless the caller names the colour
  // the picture is shown on) into a new bitmap, row by row as they are read unless interlaced
  // (kOverColour). The others come whole through image and are painted onto the bitmap's own
  // pixels (kOntoBitmap).
  enum Target { kOntoBitmap, kDirect, kOverColour } target = kOntoBitmap;
  // The bitmap the caller gives: 24-bit, empty. LoadPNG asks it before ReadPNG: GCC 12 at -O2
  // dropped the devirtualised test of the virtual TBitmap::Empty() as dead code when it stood in
  // the phases that share ReadPNG's setjmp, so a filled bitmap was taken for an empty one.
  bool bitmap24 = false, bitmapEmpty = false;
  bool interlaced = false;
  bool bgra = false;  // 8-bit rows with alpha, blue first, for painting over black
  uint8_t beneath[3] = {0, 0, 0};  // blue, green, red
  // A new bitmap whose picture does not fit the budget may be shrunk while it is read: every
  // shrink x shrink block of pixels becomes their average (1: not shrunk). Only pictures read row
  // by row can be; too large is then set for the others.
  bool mayShrink = false, tooLarge = false;
  png_uint_32 shrink = 1;
  std::vector<uint8_t> row24;   // one painted row of the whole width, when shrinking
  std::vector<uint32_t> sums;   // the sums of one shrunk row
  TBitmap bitmap;
  std::unique_ptr<uint8_t[]> image;  // height x width x bytesPerPixel bytes (libpng writes them all)
  std::vector<png_bytep> rows;       // height pointers into image or the bitmap

  ~PNGReadState() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

void ErrorFn(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void WarningFn(png_structp, png_const_charp) {}

// The buffers are sized inside ReadPNG, between calls that may jump; an allocation failure is
// turned into a jump as well.
bool Allocate(PNGReadState& s, size_t rowBytes) {
  try {
    s.rows.resize(s.height);
    if (s.target != PNGReadState::kOntoBitmap) {
      // Every pixel of the new bitmap is written, by libpng or by the painting.
      s.bitmap.SetPixelFormat(pf24bit);
      s.bitmap.SetSizeUncleared(int((s.width + s.shrink - 1) / s.shrink), int((s.height + s.shrink - 1) / s.shrink));
    }
    if (s.shrink > 1) {
      s.row24.resize(size_t(s.width) * 3 + 1);
      s.sums.assign(size_t((s.width + s.shrink - 1) / s.shrink) * 3, 0);
    }
    if (s.target == PNGReadState::kDirect && s.shrink == 1) {
      for (png_uint_32 r = 0; r < s.height; ++r) s.rows[r] = s.bitmap.ScanLine(int(r));
    } else {
      // Row by row needs one row; whole pictures all of them.
      const bool rowByRow = s.shrink > 1 || (s.target == PNGReadState::kOverColour && !s.interlaced);
      s.image.reset(new uint8_t[rowBytes * (rowByRow ? 1 : s.height)]);
      for (png_uint_32 r = 0; r < s.height; ++r) s.rows[r] = s.image.get() + (rowByRow ? 0 : size_t(r) * rowBytes);
    }
  } catch (...) {
    return false;
  }
  return true;
}

void PaintRow(const PNGReadState& s, const uint8_t* in, uint8_t* out, bool overColour);

// Adds one painted row of the whole width to the sums of its shrunk row; the last row of a block
// (or of the picture) writes the averages into the bitmap.
void ShrinkRow(PNGReadState& s, png_uint_32 y, const uint8_t* row) {
  const png_uint_32 k = s.shrink, outWidth = png_uint_32(s.sums.size() / 3);
  for (png_uint_32 x = 0; x < s.width; ++x) {
    uint32_t* sum = &s.sums[size_t(x / k) * 3];
    sum[0] += row[3 * x];
    sum[1] += row[3 * x + 1];
    sum[2] += row[3 * x + 2];
  }
  if ((y + 1) % k != 0 && y + 1 != s.height) return;
  const uint32_t rows = y % k + 1;
  uint8_t* out = s.bitmap.ScanLine(int(y / k));
  for (png_uint_32 x = 0; x < outWidth; ++x) {
    const uint32_t n = rows * (x + 1 == outWidth ? s.width - x * k : k);
    for (int c = 0; c < 3; ++c) out[3 * x + c] = uint8_t((s.sums[size_t(x) * 3 + c] + n / 2) / n);
  }
  std::fill(s.sums.begin(), s.sums.end(), 0u);
}

// Whether the data can fill the picture the header declares: the rows as stored, before any
// transformation, are at most deflate's largest expansion of the whole file.
bool DataCanFill(const PNGReadState& s, int64_t fileSize) {
  return uint64_t(png_get_rowbytes(s.png, s.info)) * s.height <= uint64_t(fileSize) * kDeflateMaxExpansion;
}

// ReadPNG's phases. Each may leave through libpng's jump to ReadPNG's setjmp, so they keep
// nothing that needs a destructor: all they build lives in the PNGReadState.

// The header: the library reads up to the picture's data; the picture must fit the budget as it
// is or shrunk (then s.shrink), else FALSE (s.tooLarge when it is a picture beyond the budget).
bool ReadHeader(PNGReadState& s, FILE* file, int64_t fileSize, int64_t maxPixels) {
  // Only the chunks that make the picture are read (header, palette, transparency, data); text,
  // colour profiles and the other ancillary chunks are skipped unread, so a hostile file cannot make
  // the library keep hundreds of them in memory.
  png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_init_io(s.png, file);
  png_set_read_status_fn(s.png, nullptr);
  png_read_info(s.png, s.info);
  png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.bitDepth, &s.colorType, nullptr, nullptr, nullptr);
  // The picture must fit the budget, or be shrunk to fit it.
  if (!DataCanFill(s, fileSize)) return false;
  const int64_t limit = std::min<int64_t>(maxPixels, kMaxPicturePixels);
  if (int64_t(s.width) * s.height > limit) {
    s.tooLarge = true;
    if (!s.mayShrink || png_get_interlace_type(s.png, s.info) != PNG_INTERLACE_NONE || !s.bitmap24 || !s.bitmapEmpty)
      return false;
    while (int64_t((s.width + s.shrink - 1) / s.shrink) * ((s.height + s.shrink - 1) / s.shrink) > limit) ++s.shrink;
    s.tooLarge = false;
  }
  return true;
}

// The transformations: what libpng hands over for the target the picture is read to (s.target,
// s.interlaced, s.bgra are set here).
void ChooseTransformations(PNGReadState& s) {
  // Palette, grey below 8 bits and a transparency chunk are expanded to whole samples; 16-bit
  // samples come low byte first. Alpha stays as stored (255 opaque): the painting turns it round.
  const bool transparency = png_get_valid(s.png, s.info, TransparencyChunk) == TransparencyChunk;
  if ((s.colorType == PaletteColorType && s.bitDepth <= 8) || (s.colorType == GreyColorType && s.bitDepth < 8) ||
      transparency)
    png_set_expand(s.png);
  // Colour, palette and grey pictures of at most 8 bits without transparency are opaque.
  const bool opaque = !transparency && s.bitDepth <= 8 &&
                      (s.colorType == PNG_COLOR_TYPE_RGB || s.colorType == PaletteColorType ||
                       s.colorType == GreyColorType);
  if (s.bitmap24)
    s.target = opaque ? PNGReadState::kDirect : s.bitmapEmpty ? PNGReadState::kOverColour : PNGReadState::kOntoBitmap;
  s.interlaced = png_get_interlace_type(s.png, s.info) != PNG_INTERLACE_NONE;
  if (s.target == PNGReadState::kDirect) {
    if (s.colorType == GreyColorType) png_set_gray_to_rgb(s.png);
    png_set_bgr(s.png);
  }
  s.bgra = s.target == PNGReadState::kOverColour && s.colorType == PNG_COLOR_TYPE_RGB_ALPHA && s.bitDepth == 8 &&
           s.beneath[0] == 0 && s.beneath[1] == 0 && s.beneath[2] == 0;
  if (s.bgra) png_set_bgr(s.png);
  if (s.bitDepth < 8) png_set_packing(s.png);
  if (s.bitDepth == 16) png_set_swap(s.png);
  // Interlaced pictures are put together by the library over its seven passes.
  png_set_interlace_handling(s.png);
}

// The rows as the transformations make them: their layout checked against what the painting
// expects, and the buffers they need against the budget. rowBytes is one row's bytes.
bool CheckRowLayout(PNGReadState& s, size_t& rowBytes) {
  png_read_update_info(s.png, s.info);
  png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.bitDepth, &s.colorType, nullptr, nullptr, nullptr);
  rowBytes = png_get_rowbytes(s.png, s.info);
  if (s.width == 0 || s.height == 0 || rowBytes % s.width != 0) return false;
  s.bytesPerPixel = rowBytes / s.width;
  int channels = png_get_channels(s.png, s.info);
  if (channels < 1 || channels > 4 || s.bytesPerPixel != size_t(channels) * (s.bitDepth == 16 ? 2 : 1)) return false;
  if ((s.target == PNGReadState::kDirect && (channels != 3 || s.bitDepth != 8)) ||
      (s.bgra && (channels != 4 || s.bitDepth != 8)))
    return false;
  // The rows kept apart from the bitmap and the 24-bit bitmap must fit the budget together: none
  // when libpng writes into the bitmap, one when the rows are painted as they are read, all of them
  // when the picture is painted whole.
  const int64_t keptRows = s.shrink > 1                                              ? 3
                           : s.target == PNGReadState::kDirect                        ? 0
                           : s.target == PNGReadState::kOverColour && !s.interlaced ? 1
                                                                                    : int64_t(s.height);
  const int64_t outWidth = (s.width + s.shrink - 1) / s.shrink, outHeight = (s.height + s.shrink - 1) / s.shrink;
  if (int64_t(rowBytes) * keptRows + (outWidth * 24 + 31) / 32 * 4 * outHeight > kPictureBudgetBytes) {
    s.tooLarge = true;
    return false;
  }
  return true;
}

// The rows, read into the buffers Allocate made: shrunk, painted row by row, or read whole.
void ReadRows(PNGReadState& s) {
  if (s.shrink > 1) {
    for (png_uint_32 y = 0; y < s.height; ++y) {
      png_read_row(s.png, s.rows[y], nullptr);
      if (s.target == PNGReadState::kDirect) ShrinkRow(s, y, s.rows[y]);
      else {
        PaintRow(s, s.rows[y], s.row24.data(), true);
        ShrinkRow(s, y, s.row24.data());
      }
    }
    return;
  }
  if (s.target == PNGReadState::kOverColour && !s.interlaced) {
    for (png_uint_32 y = 0; y < s.height; ++y) {
      png_read_row(s.png, s.rows[y], nullptr);
      PaintRow(s, s.rows[y], s.bitmap.ScanLine(int(y)), true);
    }
    return;
  }
  png_read_image(s.png, s.rows.data());
  if (s.target == PNGReadState::kOverColour)
    for (png_uint_32 y = 0; y < s.height; ++y) PaintRow(s, s.rows[y], s.bitmap.ScanLine(int(y)), true);
}

// True when the whole picture is in s.image, or in s.bitmap unless the target is kOntoBitmap.
// s.bitmap24 and s.bitmapEmpty describe the bitmap that takes the picture.
bool ReadPNG(PNGReadState& s, FILE* file, int64_t fileSize, int64_t maxPixels) {
  s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorFn, WarningFn);
  if (!s.png) return false;
  if (setjmp(png_jmpbuf(s.png))) return false;
  s.info = png_create_info_struct(s.png);
  if (!s.info) return false;
  if (!ReadHeader(s, file, fileSize, maxPixels)) return false;
  ChooseTransformations(s);
  size_t rowBytes = 0;
  if (!CheckRowLayout(s, rowBytes)) return false;
  if (!Allocate(s, rowBytes)) return false;
  ReadRows(s);
  return true;
}

// Paints one row onto 24-bit pixels: colour when opaque, the pixel beneath when transparent, else
// (beneath x A + (255 - A) x colour) div 255 with the inverted alpha A (0 opaque). Over one colour
// the beneath is s.beneath and the row is not read (it may hold anything before).
void PaintRow(const PNGReadState& s, const uint8_t* in, uint8_t* out, bool overColour) {
  const int channels = int(s.bytesPerPixel / (s.bitDepth == 16 ? 2 : 1));
  const size_t step = s.bitDepth == 16 ? 2 : 1;
  const size_t high = s.bitDepth == 16 ? 1 : 0;  // the upper byte of a swapped 16-bit sample
  const bool alpha = channels == 2 || channels == 4;
  if (s.bgra) {
    // The common case of pictures with alpha: 8-bit blue-green-red-alpha over black, the alpha
    // (255 opaque) as it stands. x div 255 for x up to 255 x 255 is (x + 1 + x div 256) div 256;
    // each pixel is stored as four bytes, the fourth overwritten by the next pixel, so the last
    // one, which may end the row, goes as three.
    png_uint_32 x = 0;
#ifdef __SSE2__
    // Four pixels at a time in 16-bit lanes.
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
    auto overTwo = [&](__m128i px) {  // two pixels, each sample times its alpha, div 255
      const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(px, 0xFF), 0xFF);
      const __m128i v = _mm_mullo_epi16(px, a);
      return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, one), _mm_srli_epi16(v, 8)), 8);
    };
    for (; x + 4 < s.width; x += 4, in += 16, out += 12) {
      const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      __m128i v = _mm_packus_epi16(overTwo(_mm_unpacklo_epi8(px, zero)), overTwo(_mm_unpackhi_epi8(px, zero)));
      for (int k = 0; k < 4; ++k, v = _mm_srli_si128(v, 4)) {
        const uint32_t p = uint32_t(_mm_cvtsi128_si32(v));
        std::memcpy(out + 3 * k, &p, 4);
      }
    }
#endif
    auto over = [](int a, int c) { const int v = a * c; return uint8_t((v + 1 + (v >> 8)) >> 8); };
    for (; x + 1 < s.width; ++x, in += 4, out += 3) {
      const uint8_t bytes[4] = {over(in[3], in[0]), over(in[3], in[1]), over(in[3], in[2]), 0};
      std::memcpy(out, bytes, 4);
    }
    if (x < s.width) {
      out[0] = over(in[3], in[0]);
      out[1] = over(in[3], in[1]);
      out[2] = over(in[3], in[2]);
    }
    return;
  }
  for (png_uint_32 x = 0; x < s.width; ++x, in += s.bytesPerPixel, out += 3) {
    uint8_t r, g, b;
    if (channels >= 3) {
      r = in[high];
      g = in[step + high];
      b = in[2 * step + high];
    } else {
      r = g = b = in[high];
    }
    const int a = alpha ? 255 - in[(channels - 1) * step + high] : 0;
    if (overColour) {
      out[0] = uint8_t((s.beneath[0] * a + (255 - a) * b) / 255);
      out[1] = uint8_t((s.beneath[1] * a + (255 - a) * g) / 255);
      out[2] = uint8_t((s.beneath[2] * a + (255 - a) * r) / 255);
    } else if (a == 0) {
      out[0] = b; out[1] = g; out[2] = r;
    } else if (a != 255) {
      out[0] = uint8_t((out[0] * a + (255 - a) * b) / 255);
      out[1] = uint8_t((out[1] * a + (255 - a) * g) / 255);
      out[2] = uint8_t((out[2] * a + (255 - a) * r) / 255);
    }
  }
}

// Paints the whole picture onto the bitmap's own pixels.
void Composite(const PNGReadState& s, TBitmap& target) {
  for (png_uint_32 y = 0; y < s.height; ++y) PaintRow(s, s.rows[y], target.ScanLine(int(y)), false);
}

}  // namespace

namespace {
// Reads into s; Bitmap takes the picture unless the read failed.
void LoadPNG(const String& FileName, TBitmap& Bitmap, int64_t MaxPixels, std::unique_ptr<PNGReadState>& s) {
  FILE* file = png_open_file(FileName.c_str(), "rb");
  if (!file) throw Exception("Error Opening File " + FileName + "!");
  // The file's length bounds what its data can fill (asked of the file system: the file itself
  // belongs to the C runtime that libpng reads it with).
  struct stat st {};
  const TPixelFormat format = Bitmap.PixelFormat();
  s->bitmap24 = format == pf24bit;
  s->bitmapEmpty = Bitmap.Empty();
  bool ok = stat(FileName.c_str(), &st) == 0 && ReadPNG(*s, file, int64_t(st.st_size), MaxPixels);
  if (s->png) png_destroy_read_struct(&s->png, s->info ? &s->info : nullptr, nullptr);
  s->png = nullptr;
  png_close_file(file);
  if (!ok && s->tooLarge) throw EPictureTooLarge(s->width, s->height);
  if (!ok) throw Exception("Error Reading File!");

  // An opaque picture replaces the bitmap's pixels; the others are painted onto a 24-bit copy of
  // what the bitmap holds, and a bitmap of another format takes the result back in its own format.
  if (s->target != PNGReadState::kOntoBitmap) {
    s->bitmap.SetTransparent(Bitmap.Transparent());
    Bitmap.MoveFrom(s->bitmap);
  } else if (format == pf24bit) {
    Bitmap.SetSize(int(s->width), int(s->height));
    Composite(*s, Bitmap);
  } else {
    TBitmap work;
    work.Assign(&Bitmap);
    work.SetPixelFormat(pf24bit);
    work.SetSize(int(s->width), int(s->height));
    Composite(*s, work);
    work.SetPixelFormat(format);
    Bitmap.Assign(&work);
  }
}
}  // namespace

void LoadPNGFile(const String& FileName, TBitmap& Bitmap, int64_t MaxPixels) {
  auto s = std::make_unique<PNGReadState>();
  LoadPNG(FileName, Bitmap, MaxPixels, s);
}

std::unique_ptr<TBitmap> ReadPNGPicture(const String& FileName, TColor Beneath, int& Width, int& Height) {
  auto s = std::make_unique<PNGReadState>();
  const TColor rgb = ColorToRGB(Beneath);
  s->beneath[0] = uint8_t(BlueOf(rgb));
  s->beneath[1] = uint8_t(GreenOf(rgb));
  s->beneath[2] = uint8_t(RedOf(rgb));
  s->mayShrink = true;
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  LoadPNG(FileName, *picture, kMaxPicturePixels, s);
  Width = int(s->width);
  Height = int(s->height);
  return picture;
}

void PNGPictureSize(const String& FileName, int& Width, int& Height) {
  FILE* file = png_open_file(FileName.c_str(), "rb");
  if (!file) throw Exception("Error Opening File " + FileName + "!");
  auto s = std::make_unique<PNGReadState>();
  struct stat fileStat {};
  const int64_t fileSize = stat(FileName.c_str(), &fileStat) == 0 ? int64_t(fileStat.st_size) : 0;
  // A size the data cannot fill is refused as the reader refuses it.
  const auto readHeader = [fileSize](PNGReadState& st, FILE* f) {
    st.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorFn, WarningFn);
    if (!st.png) return false;
    if (setjmp(png_jmpbuf(st.png))) return false;
    st.info = png_create_info_struct(st.png);
    if (!st.info) return false;
    png_set_keep_unknown_chunks(st.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_init_io(st.png, f);
    png_read_info(st.png, st.info);
    png_get_IHDR(st.png, st.info, &st.width, &st.height, &st.bitDepth, &st.colorType, nullptr, nullptr, nullptr);
    return st.width > 0 && st.height > 0 && DataCanFill(st, fileSize);
  };
  const bool ok = readHeader(*s, file);
  if (s->png) png_destroy_read_struct(&s->png, s->info ? &s->info : nullptr, nullptr);
  s->png = nullptr;
  png_close_file(file);
  if (!ok || s->width > 0x7FFFFFFF || s->height > 0x7FFFFFFF) throw Exception("Error Reading File!");
  Width = int(s->width);
  Height = int(s->height);
}
