// Thumbnails of 500 pictures as the image browser makes them (each read by its reader, JPEG at a
// reduced decoding scale, shrunk into the cells' 200 x 200 box, only the small bitmap kept),
// against `vipsthumbnail --size 80` over the same files in the same run. Both sides do the whole
// job from the file; processor times (vips's threads all counted, through its child's usage).
// Also the peak memory of the run with all 500 thumbnails kept, against the sum of the pictures'
// full sizes.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_children.h"
#include "bench_timing.h"
#include "thumbload.h"

namespace fs = std::filesystem;

namespace {
long PeakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}
}  // namespace

int main() {
  const fs::path source = BENCH_PICTURES;
  const fs::path folder = fs::temp_directory_path() / ("bench_thumbs_" + std::to_string(getpid()));
  const fs::path vipsOut = folder / "vips";
  fs::create_directories(vipsOut);
  std::vector<fs::path> originals;
  for (const auto& e : fs::directory_iterator(source))
    if (e.path().extension() != "" && e.path().filename() != "stamp") originals.push_back(e.path());
  std::sort(originals.begin(), originals.end());
  // 500 files, the sixteen pictures in turn (links, so that the folder costs no disk).
  std::vector<std::string> files;
  int64_t fullBytes = 0;
  for (int i = 0; i < 500; ++i) {
    const fs::path& o = originals[size_t(i) % originals.size()];
    const fs::path f = folder / (std::to_string(i) + "_" + o.filename().string());
    std::error_code ec;
    fs::create_hard_link(o, f, ec);
    if (ec) fs::copy_file(o, f);
    files.push_back(f.string());
  }

  // Ours: every thumbnail kept, as the browser keeps them.
  std::vector<std::unique_ptr<TBitmap>> kept;
  int failed = 0;
  const double t0 = bench::ThreadSeconds();
  for (const std::string& f : files) {
    try {
      TThumbPicture p = LoadThumbPicture(f, 200, 200);
      fullBytes += int64_t(p.Width) * p.Height * 3;
      std::unique_ptr<TBitmap> small = ShrinkToBox(*p.Graphic, 200, 200, p.Width, p.Height);
      if (!small) {
        small = std::make_unique<TBitmap>();
        small->Assign(p.Graphic.get());
      }
      kept.push_back(std::move(small));
    } catch (const std::exception& e) {
      ++failed;
      std::fprintf(stderr, "%s: %s\n", f.c_str(), e.what());
    }
  }
  const double ours = bench::ThreadSeconds() - t0;
  int64_t keptBytes = 0;
  for (const auto& b : kept) keptBytes += int64_t(b->ImageSize());
  const long peak = PeakKilobytes();

  // vipsthumbnail over the same 500 files in one process.
  auto quoted = [](const std::string& a) { return "'" + a + "'"; };
  std::string command = quoted(VIPSTHUMBNAIL) + " --size 80 -o " + quoted((vipsOut / "%s.jpg").string());
  for (const std::string& f : files) command += " " + quoted(f);
  const double vips = bench::ChildSeconds(command, 1);
  fs::remove_all(folder);
  if (vips < 0 || failed) {
    std::printf("FEHLER: vipsthumbnail %s, eigene Fehler %d\n", vips < 0 ? "fehlgeschlagen" : "ok", failed);
    return 1;
  }
  std::printf("thumbnails of 500 pictures: ours %.3f s, vipsthumbnail %.3f s (processor time)\n", ours, vips);
  std::printf("memory: %lld KB of thumbnails kept, peak %ld KB for the whole run; the pictures in full: %lld KB\n",
              (long long)(keptBytes / 1024), peak, (long long)(fullBytes / 1024));
  bench::Row("thumbnails of 500 pictures (peak memory in details)", "vipsthumbnail", vips / ours, 0.5);
  return 0;
}
