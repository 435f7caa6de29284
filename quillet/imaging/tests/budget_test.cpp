// Hostile declarations (the fuzz targets' seeds of that name): a picture far larger than its data
// can fill, or than the budget, is refused with its format's message at once and without
// allocating the picture. Each read runs in a process of its own where fork exists, so that its
// peak memory can be measured alone.
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

#include "gif_reader.h"
#include "pcx_reader.h"
#include "png_reader.h"
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
  const char* target;
  const char* file;
  const char* message;
  std::function<void(const std::string&)> read;
};

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
  return {
      {"fuzz_tiff_reader", "hostile_wide_grey.tif", "Invalid TIFF stream", tiff},
      {"fuzz_tiff_reader", "hostile_wide_rgb.tif", "Invalid TIFF stream", tiff},
      {"fuzz_tiff_reader", "hostile_8192_grey.tif", "Invalid TIFF stream", tiff},
      {"fuzz_gif_reader", "hostile_8000_frame.gif", "unrecognized GIF", gif},
      {"fuzz_pcx_reader", "hostile_8000_rle.pcx", "unrecognized PCX", pcx},
      {"fuzz_png_reader", "hostile_8000_rgba16.png", "Error Reading File!", png},
  };
}

}  // namespace

TEST(PictureBudget, HostileDeclarationsAreRefusedAtOnce) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.file);
    const std::string path = Seed(c.target, c.file);
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
    const std::string path = Seed(c.target, c.file);
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
