// Hostile declarations (the fuzz targets' seeds of that name, and small files written here byte by
// byte): a picture far larger than its data can fill, or than the budget, is refused with its
// format's message at once and without allocating the picture, on every road the file takes.
// Each read runs in a process of its own where fork exists, so that its peak memory can be
// measured alone.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstring>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

#include "gif_image.h"
#include "hostile_pictures.h"
#include "gif_reader.h"
#include "jpeg_reader.h"
#include "pcx_reader.h"
#include "png_reader.h"
#include "thumbload.h"
#include "tiff_reader.h"

#if defined(__SANITIZE_ADDRESS__)
#define BUDGET_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BUDGET_SANITIZED 1
#endif
#endif

namespace {

std::string Seed(const std::string& target, const std::string& name) {
  return std::string(ASTREL_SOURCE_DIR) + "/fuzz/seeds/" + target + "/" + name;
}


// The message of the exception the read ends with ("" when it returned).
std::string MessageOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

struct Case {
  const char* target;  // the fuzz target whose seed the file is; nullptr: Bytes written here
  const char* file;
  std::string message;
  std::function<void(const std::string&)> read;
  std::string bytes;
};

String Bytes(const std::string& path) {
  String b;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) b.append(buf, n);
    std::fclose(f);
  }
  return b;
}

std::vector<Case> Cases() {
  auto tiff = [](const std::string& path) {
    TFileStream s(path, fmOpenRead);
    int n, x, y;
    delete ReadTIFF(s, 0, n, x, y);
  };
  auto gif = [](const std::string& path) {
    TGIFScreenInfo screen;
    TGIFFrameInfo frame;
    int n;
    delete ReadGIFFile(path, 0, screen, frame, n);
  };
  auto pcx = [](const std::string& path) {
    int h, v;
    delete ReadPCXFile(path, h, v);
  };
  auto png = [](const std::string& path) {
    TBitmap b;
    LoadPNGFile(path, b);
  };
  // The roads a file takes into the programs: the BMP reader itself (the full view, the image
  // dialog and, through TBitmap::LoadFromFile, the thumbnails), the JPEG reader and its header
  // read, the PNG header read (both the image dialog's), the GIF picture class and the thumbnail.
  auto bmp = [](const std::string& path) {
    TBitmap b;
    b.LoadFromFile(path);
  };
  auto jpeg = [](const std::string& path) {
    TFileStream s(path, fmOpenRead);
    int x, y;
    delete ReadJPEGStream(s, x, y);
  };
  auto jpegSize = [](const std::string& path) {
    TFileStream s(path, fmOpenRead);
    int w, h;
    ReadJPEGSize(s, w, h);
  };
  auto pngSize = [](const std::string& path) {
    int w, h;
    PNGPictureSize(path, w, h);
  };
  // A screen bounded by its frame reads as the frame's size.
  auto gifImage = [](const std::string& path) {
    TGIFImage g;
    TMemoryStream s;
    const String b = Bytes(path);
    s.WriteBuffer(b.data(), int64_t(b.size()));
    s.SetPosition(0);
    g.LoadFromStream(s);
    const TBitmap* picture = g.Bitmap();
    throw Exception(Format("%d x %d", picture->Width(), picture->Height()));
  };
  auto gifThumb = [](const std::string& path) {
    const TThumbPicture t = LoadThumbPicture(path);
    throw Exception(Format("%d x %d", t.Graphic->Width(), t.Graphic->Height()));
  };
  const std::string bmpBroken = "Ung\xFCltiges Bitmap";
  const std::string jpegBroken = JPEGErrorText(JERR_INPUT_EOF);
  return {
      {"fuzz_tiff_reader", "hostile_wide_grey.tif", "Invalid TIFF stream", tiff, {}},
      {"fuzz_tiff_reader", "hostile_wide_rgb.tif", "Invalid TIFF stream", tiff, {}},
      {"fuzz_tiff_reader", "hostile_8192_grey.tif", "Invalid TIFF stream", tiff, {}},
      {"fuzz_gif_reader", "hostile_8000_frame.gif", "unrecognized GIF", gif, {}},
      {"fuzz_pcx_reader", "hostile_8000_rle.pcx", "unrecognized PCX", pcx, {}},
      {"fuzz_png_reader", "hostile_8000_rgba16.png", "Error Reading File!", png, {}},
      {"fuzz_png_size", "hostile_8000_rgba16.png", "Error Reading File!", pngSize, {}},
      {nullptr, "24.bmp", bmpBroken, bmp, hostile::BMP24()},
      {nullptr, "8.bmp", bmpBroken, bmp, hostile::BMP8()},
      {nullptr, "rle8.bmp", bmpBroken, bmp, hostile::BMPRLE8()},
      {nullptr, "1.bmp", bmpBroken, bmp, hostile::BMP1()},
      {nullptr, "baseline.jpg", jpegBroken, jpeg, hostile::JPEG(false)},
      {nullptr, "progressive.jpg", jpegBroken, jpeg, hostile::JPEG(true)},
      {nullptr, "size.jpg", jpegBroken, jpegSize, hostile::JPEG(false)},
      {nullptr, "screen.gif", "1 x 1", gifImage, hostile::GIFScreen()},
      {nullptr, "screen.gif", "1 x 1", gifThumb, hostile::GIFScreen()},
  };
}

// The seed's path, or a file of the case's bytes.
std::string PathOf(const Case& c) {
  if (c.target) return Seed(c.target, c.file);
  const std::string path = std::string(::testing::TempDir()) + "hostile_" + c.file;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
  std::fclose(f);
  return path;
}

}  // namespace

TEST(PictureBudget, HostileDeclarationsAreRefusedAtOnce) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.file);
    const std::string path = PathOf(c);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(MessageOf([&] { c.read(path); }), c.message);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 1.0);
  }
}

#if defined(__linux__) && !defined(BUDGET_SANITIZED)
// The peak memory of a process that does nothing but the refused read stays far below the picture
// the file declares (hundreds of megabytes).
TEST(PictureBudget, HostileDeclarationsStayUnder64MB) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.file);
    const std::string path = PathOf(c);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      std::string m = MessageOf([&] { c.read(path); });
      _exit(m == c.message ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "KB";
  }
}
#endif

// The budget's pixels fill its bytes at 24 bits; LZW's bound grows with the square of the codes.
TEST(PictureBudget, LimitsAndExpansions) {
  EXPECT_EQ(kMaxPicturePixels * 3, kPictureBudgetBytes - kPictureBudgetBytes % 3);
  // LZW's largest expansion: code k after a clear gives at most k bytes.
  EXPECT_EQ(LZWMaxOutput(0, 9), 0);
  EXPECT_EQ(LZWMaxOutput(9, 9), 8 * 9 / 2);
  EXPECT_GT(LZWMaxOutput(int64_t(1) << 20, 12), int64_t(1) << 30);
}
