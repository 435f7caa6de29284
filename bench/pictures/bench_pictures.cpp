// Loading a 4000 x 3000 picture: TBitmap's BMP reader, and TPixIO's whole load into a view's
// bitmap (reader, conversion to 24 bits, into the view), each next to netpbm's bmptopnm (a process
// that reads the same file and writes its pixels as 24-bit PPM to /dev/null). Ratio = peer time /
// our time, above 1: ours is faster.
// Also the image dialog's measuring of a 48-megapixel JPEG and a 24-megapixel PNG (made by
// ImageMagick at build time) next to ImageMagick's `identify -ping`, which reads only their size.
#include "bench_children.h"
#include "bench_pixhost.h"
#include "bench_timing.h"

#include <algorithm>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bitmap.h"
#include "pixio.h"

namespace {

using bench::BestSecondsPerCall;

constexpr int W = 4000, H = 3000;

// A smooth picture with texture, like a photograph, in the given pixel format.
void Photo(TPixelFormat pf, TBitmap& b) {
  b.SetSize(W, H);
  for (int y = 0; y < H; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < W; ++x) {
      row[3 * x] = uint8_t(127 + 120 * std::sin(x * 0.0017 + y * 0.0009));
      row[3 * x + 1] = uint8_t(127 + 120 * std::cos(y * 0.0013 - x * 0.0005));
      row[3 * x + 2] = uint8_t((x ^ y) & 0xFF);
    }
  }
  b.SetPixelFormat(pf);
}

// Prints one picture's figures and returns its ratio.
double Row(const char* name, double ours, const char* peer, double theirs) {
  const double mpx = double(W) * H / 1e6;
  std::printf("%-30s ours %7.1f Mpx/s   %-12s %7.1f Mpx/s   ratio %.2f\n", name, mpx / ours, peer, mpx / theirs,
              theirs / ours);
  return theirs / ours;
}

}  // namespace

int main() {
  char dir[] = "/tmp/bench_pictures_XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string d = dir;
  double loader = 1e9, viewLoad = 1e9;  // the lowest ratios: the table's rows
  for (TPixelFormat pf : {pf24bit, pf8bit}) {
    const std::string file = d + (pf == pf24bit ? "/photo24.bmp" : "/photo8.bmp");
    {
      TBitmap b;
      Photo(pf, b);
      b.SaveToFile(file);
    }
    const double ours = BestSecondsPerCall([&] {
      TBitmap b;
      b.LoadFromFile(file);
    });
    // bmptopnm runs as a process of its own: its processor time is that of the children.
    const double theirs = bench::ChildSeconds("bmptopnm '" + file + "' > /dev/null 2>&1", 5);
    if (theirs < 0) std::abort();
    loader = std::min(loader, Row(pf == pf24bit ? "BMP 24 bits, 4000x3000" : "BMP 8 bits, 4000x3000", ours,
                                  "bmptopnm", theirs));

    bench::TPixHostWithoutWindow view;
    TPixIO io(nullptr);
    io.SetAttachedPixBox(&view);
    const double load = BestSecondsPerCall([&] { io.LoadFromFile(file); });
    viewLoad = std::min(viewLoad, Row(pf == pf24bit ? "view load, BMP 24 bits" : "view load, BMP 8 bits", load,
                                      "bmptopnm", theirs));
    std::remove(file.c_str());
  }
  rmdir(dir);

  // The image dialog needs only the size for its tag.
  double measure = 1e9;
  for (const char* name : {"photo48.jpg", "photo24.png"}) {
    const std::string file = std::string(BENCH_PICTURES) + "/" + name;
    bench::TPixHostWithoutWindow view;
    TPixIO io(nullptr);
    io.SetAttachedPixBox(&view);
    const double ours = BestSecondsPerCall([&] { MeasurePictureFile(io, file); });
    const double theirs = bench::ChildSeconds("identify -ping -format '%w %h' '" + file + "' > /dev/null 2>&1", 5);
    if (theirs < 0) std::abort();
    std::printf("%-30s ours %9.6f s   identify -ping %9.6f s   ratio %.2f\n", name, ours, theirs, theirs / ours);
    measure = std::min(measure, theirs / ours);
  }
  std::printf("ratio = peer time / our time (above 1: ours is faster)\n");
  bench::Row("BMP loader, 24 and 8 bits, 4000x3000", "bmptopnm", loader, 1.0);
  bench::Row("image view's load of a BMP, 24 and 8 bits", "bmptopnm", viewLoad, 1.0);
  bench::Row("image dialog's size of a 48 MP JPEG, 24 MP PNG", "identify -ping", measure, 1.0);
  return 0;
}
