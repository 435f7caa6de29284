// libpng reports errors by longjmp to the setjmp in ReadPNG; no C++ exception passes its frames.
// Everything ReadPNG builds lives in the caller's PNGReadState, so the jump skips no destructor,
// and the read structures are destroyed on every path.
#include "png_reader.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <png.h>
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
  std::vector<uint8_t> image;      // height x width x bytesPerPixel bytes
  std::vector<png_bytep> rows;     // height pointers into image

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
    s.image.resize(rowBytes * s.height);
    s.rows.resize(s.height);
  } catch (...) {
    return false;
  }
  for (png_uint_32 r = 0; r < s.height; ++r) s.rows[r] = s.image.data() + size_t(r) * rowBytes;
  return true;
}

// True when the whole picture is in s.image.
bool ReadPNG(PNGReadState& s, FILE* file, int64_t fileSize, int64_t maxPixels) {
  s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorFn, WarningFn);
  if (!s.png) return false;
  if (setjmp(png_jmpbuf(s.png))) return false;
  s.info = png_create_info_struct(s.png);
  if (!s.info) return false;
  // Only the chunks that make the picture are read (header, palette, transparency, data); text,
  // colour profiles and the other ancillary chunks are skipped unread, so a hostile file cannot make
  // the library keep hundreds of them in memory.
  png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_init_io(s.png, file);
  png_set_read_status_fn(s.png, nullptr);
  png_read_info(s.png, s.info);
  png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.bitDepth, &s.colorType, nullptr, nullptr, nullptr);
  // The picture must fit the budget, and its data must be able to fill it: the rows as stored,
  // before any transformation, are at most deflate's largest expansion of the whole file.
  if (int64_t(s.width) * s.height > maxPixels || int64_t(s.width) * s.height > kMaxPicturePixels) return false;
  if (uint64_t(png_get_rowbytes(s.png, s.info)) * s.height > uint64_t(fileSize) * kDeflateMaxExpansion) return false;

  // Alpha 0 becomes opaque; palette, grey below 8 bits and a transparency chunk are expanded to
  // whole samples; 16-bit samples come low byte first.
  png_set_invert_alpha(s.png);
  if ((s.colorType == PaletteColorType && s.bitDepth <= 8) || (s.colorType == GreyColorType && s.bitDepth < 8) ||
      png_get_valid(s.png, s.info, TransparencyChunk) == TransparencyChunk)
    png_set_expand(s.png);
  if (s.bitDepth < 8) png_set_packing(s.png);
  if (s.bitDepth == 16) png_set_swap(s.png);
  // Interlaced pictures are put together by the library over its seven passes.
  png_set_interlace_handling(s.png);

  png_read_update_info(s.png, s.info);
  png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.bitDepth, &s.colorType, nullptr, nullptr, nullptr);
  size_t rowBytes = png_get_rowbytes(s.png, s.info);
  if (s.width == 0 || s.height == 0 || rowBytes % s.width != 0) return false;
  s.bytesPerPixel = rowBytes / s.width;
  int channels = png_get_channels(s.png, s.info);
  if (channels < 1 || channels > 4 || s.bytesPerPixel != size_t(channels) * (s.bitDepth == 16 ? 2 : 1)) return false;
  // The rows and the 24-bit bitmap they are painted on must fit the budget together.
  if (int64_t(rowBytes) * s.height + (int64_t(s.width) * 24 + 31) / 32 * 4 * s.height > kPictureBudgetBytes)
    return false;
  if (!Allocate(s, rowBytes)) return false;
  png_read_image(s.png, s.rows.data());
  return true;
}

// Paints the picture onto the bitmap's 24-bit pixels: colour when opaque, the pixel beneath when
// transparent, else (beneath x A + (255 - A) x colour) div 255 with the inverted alpha A.
void Composite(const PNGReadState& s, TBitmap& target) {
  const int channels = int(s.bytesPerPixel / (s.bitDepth == 16 ? 2 : 1));
  const size_t step = s.bitDepth == 16 ? 2 : 1;
  const size_t high = s.bitDepth == 16 ? 1 : 0;  // the upper byte of a swapped 16-bit sample
  const bool alpha = channels == 2 || channels == 4;
  for (png_uint_32 y = 0; y < s.height; ++y) {
    const uint8_t* in = s.rows[y];
    uint8_t* out = target.ScanLine(int(y));
    for (png_uint_32 x = 0; x < s.width; ++x, in += s.bytesPerPixel, out += 3) {
      uint8_t r, g, b;
      if (channels >= 3) {
        r = in[high];
        g = in[step + high];
        b = in[2 * step + high];
      } else {
        r = g = b = in[high];
      }
      const int a = alpha ? in[(channels - 1) * step + high] : 0;
      if (a == 0) {
        out[0] = b; out[1] = g; out[2] = r;
      } else if (a != 255) {
        out[0] = uint8_t((out[0] * a + (255 - a) * b) / 255);
        out[1] = uint8_t((out[1] * a + (255 - a) * g) / 255);
        out[2] = uint8_t((out[2] * a + (255 - a) * r) / 255);
      }
    }
  }
}

}  // namespace

void LoadPNGFile(const String& FileName, TBitmap& Bitmap, int64_t MaxPixels) {
  FILE* file = png_open_file(FileName.c_str(), "rb");
  if (!file) throw Exception("Error Opening File " + FileName + "!");
  auto s = std::make_unique<PNGReadState>();
  // The file's length bounds what its data can fill (asked of the file system: the file itself
  // belongs to the C runtime that libpng reads it with).
  struct stat st {};
  bool ok = stat(FileName.c_str(), &st) == 0 && ReadPNG(*s, file, int64_t(st.st_size), MaxPixels);
  if (s->png) png_destroy_read_struct(&s->png, s->info ? &s->info : nullptr, nullptr);
  s->png = nullptr;
  png_close_file(file);
  if (!ok) throw Exception("Error Reading File!");

  // The picture is painted onto a 24-bit copy of what the bitmap holds; a bitmap of another
  // format takes the result back in its own format.
  const TPixelFormat format = Bitmap.PixelFormat();
  if (format == pf24bit) {
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
