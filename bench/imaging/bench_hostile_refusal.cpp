// The readers' refusal of hostile declarations (a small file that declares a picture its data
// cannot fill) against reading a real picture of the same size, on the same road: time and peak
// memory, each read in a process of its own (fork), so that its peak memory is its own. The real
// pictures are made at build time by ImageMagick (CMakeLists.txt). Ratios: the real read's time
// or peak memory over the refusal's (above the aim: the refusal costs next to nothing).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "bench_timing.h"
#include "gif_image.h"
#include "hostile_pictures.h"
#include "jpeg_reader.h"
#include "png_reader.h"

namespace {

// Time (seconds of processor time) and peak memory (KB) of one call in a child process; the best
// of Runs runs. The child's start (the program as it is) costs the same on both sides.
struct Cost {
  double seconds = 1e9;
  long peakKB = 0;
};
Cost ChildCost(const std::function<void()>& call, int runs) {
  Cost best;
  for (int r = 0; r < runs; ++r) {
    const pid_t pid = fork();
    if (pid == 0) {
      try {
        call();
      } catch (...) {
      }
      _exit(0);
    }
    int status = 0;
    rusage u{};
    if (pid < 0 || wait4(pid, &status, 0, &u) != pid) return best;
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    best.seconds = std::min(best.seconds, sec(u.ru_utime) + sec(u.ru_stime));
    best.peakKB = std::max(best.peakKB, long(u.ru_maxrss));
  }
  return best;
}

std::string Write(const std::string& name, const std::string& bytes) {
  const std::string path = "/tmp/bench_hostile_" + std::to_string(getpid()) + "_" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

void BMPRoad(const std::string& path) {
  TBitmap b;
  b.LoadFromFile(path);
}
void JPEGRoad(const std::string& path) {
  TFileStream s(path, fmOpenRead);
  int x, y;
  delete ReadJPEGStream(s, x, y);
}
void GIFRoad(const std::string& path) {
  TGIFImage g;
  g.LoadFromFile(path);
  g.Bitmap();
}
// The image dialog reads the size from the header; a real picture is then inserted and shown.
void PNGSizeRoad(const std::string& path) {
  int w, h;
  PNGPictureSize(path, w, h);
}
void PNGRoad(const std::string& path) {
  TBitmap b;
  LoadPNGFile(path, b);
}

struct Group {
  const char* job;
  double aim;
  double lowest = 1e9;
  void Add(double ratio) { lowest = std::min(lowest, ratio); }
  void Print() const { bench::Row(job, "a real picture of that size", lowest == 1e9 ? 0.0 : lowest, aim); }
};

}  // namespace

int main() {
  const std::string dir = BENCH_PICTURES;
  struct Case {
    const char* name;
    std::string hostile;
    std::function<void(const std::string&)> refused;
    std::string real;  // the picture of the same size, read on the same road
    std::function<void(const std::string&)> read;
  } cases[] = {
      {"BMP 24 bits 6000x7000, 54 bytes", hostile::BMP24(), BMPRoad, "real_6000x7000_rle8.bmp", BMPRoad},
      {"BMP 8 bits 6000x7000, 88 bytes", hostile::BMP8(), BMPRoad, "real_6000x7000_rle8.bmp", BMPRoad},
      {"BMP RLE8 6000x7000, 162 bytes", hostile::BMPRLE8(), BMPRoad, "real_6000x7000_rle8.bmp", BMPRoad},
      {"BMP 1 bit 30000x30000, 62 bytes", hostile::BMP1(), BMPRoad, "real_6000x7000_rle8.bmp", BMPRoad},
      {"JPEG 6000x7000, 152 bytes", hostile::JPEG(false), JPEGRoad, "real_6000x7000.jpg", JPEGRoad},
      {"JPEG progressive 6000x7000, 152 bytes", hostile::JPEG(true), JPEGRoad, "real_6000x7000.jpg", JPEGRoad},
      {"GIF screen 6000x7000, 35 bytes", hostile::GIFScreen(), GIFRoad, "real_6000x7000.gif", GIFRoad},
      {"PNG header 8000x8000 (image dialog)", "", PNGSizeRoad, "real_6000x7000.png", PNGRoad},
  };
  Group time{"Refusal of hostile declarations: time", 20};
  Group memory{"Refusal of hostile declarations: peak memory", 4};
  std::printf("refusal against reading a real picture of the same size (a process each)\n");
  for (const Case& c : cases) {
    const std::string hostilePath = c.hostile.empty() ? std::string(ASTREL_SOURCE_DIR) +
                                                            "/fuzz/seeds/fuzz_png_reader/hostile_8000_rgba16.png"
                                                      : Write("file", c.hostile);
    const std::string real = dir + "/" + c.real;
    const Cost refused = ChildCost([&] { c.refused(hostilePath); }, 5);
    const Cost read = ChildCost([&] { c.read(real); }, 3);
    if (!c.hostile.empty()) std::remove(hostilePath.c_str());
    std::printf("%-40s refused %8.4f s %7ld KB, real picture %8.4f s %7ld KB\n", c.name, refused.seconds,
                refused.peakKB, read.seconds, read.peakKB);
    // Processor time below the clock's step counts as one step (the child's start alone takes more).
    time.Add(read.seconds / std::max(refused.seconds, 1e-3));
    memory.Add(double(read.peakKB) / double(std::max(refused.peakKB, 1L)));
  }
  time.Print();
  memory.Print();
  return 0;
}
