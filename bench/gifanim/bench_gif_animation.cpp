// Frame times of a GIF animation against its delays. 24 frames of 400 x 300 pixels, dithered onto
// the 216-colour palette as a 256-colour display needs them, with delays of 3 and 5 hundredths
// (36 and 60 ms). The animation run renders each frame before its pause and takes half of the
// previous interval's overrun off the next pause; the plain player renders and then sleeps the
// whole delay, so rendering time adds to every frame. Reported: the schedule's total, each
// player's total and mean lateness per frame, and the ratio plain / ours of the totals' overruns
// (above 1: the painter keeps the schedule better).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "gif_animation.h"
#include "gif_frame_bitmap.h"

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point kStart = Clock::now();
uint32_t Ms() {
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - kStart).count());
}

struct Picture : TGIFImageOwner {
  Picture(int Frames, int W, int H) {
    for (int i = 0; i < 256; ++i) GlobalColorMap().Add(TColor((i * 0x010305) & 0xFFFFFF));
    for (int n = 0; n < Frames; ++n) {
      auto* f = new TGIFSubImage(this);
      Images().Add(f);
      f->SetWidth(W);
      f->SetHeight(H);
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) f->ScanLine(y)[x] = uint8_t((x * 7 + y * 13 + n * 31) & 0xFF);
      auto* g = new TGIFGraphicControlExtension(f);
      f->Extensions().Add(g);
      g->SetDelay(n % 2 ? 5 : 3);
    }
  }
};

struct Player : TGIFAnimation {
  using TGIFAnimation::TGIFAnimation;
  std::vector<uint32_t> Shown;
  uint32_t Now() override { return Ms(); }
  bool WaitForStop(int64_t Milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
    return false;
  }
  void Sleep(int Milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds)); }
  void PrepareFrame(TGIFSubImage* Frame) override { Rendered = RenderFrameBitmap(*Frame, true, true); }
  void PaintActiveFrame() override {
    if (!Rendered) Rendered = RenderFrameBitmap(*FImage->Images()[ActiveImage()], true, true);
    Shown.push_back(Ms());
    MarkPainted();
  }
  void Notify(TGIFPaintEvent) override {}
  std::unique_ptr<TBitmap> Rendered;
};

// Lateness of each frame against the schedule that starts with the first frame shown.
void Report(const char* Name, const std::vector<uint32_t>& Shown, const std::vector<int>& Delays, double& Overrun) {
  double late = 0, planned = 0;
  for (size_t i = 1; i < Shown.size(); ++i) {
    planned += Delays[i - 1] * GIFDelayFactor;
    late += double(Shown[i] - Shown[0]) - planned;
  }
  const double total = double(Shown.back() - Shown.front());
  Overrun = std::max(1.0, total - planned);
  std::printf("  %-28s %6.0f ms for %6.0f ms of delays, mean lateness %6.1f ms\n", Name, total, planned,
              late / double(Shown.size() - 1));
}

}  // namespace

int main() {
  Picture pic(24, 400, 300);
  std::vector<int> delays;
  for (int i = 0; i < pic.Images().Count(); ++i) delays.push_back(pic.Images()[i]->GraphicControlExtension()->Delay());

  Player run(&pic, gdThreaded | gdAnimate, 100);
  run.Run();

  // The plain player: render, show, sleep the delay.
  std::vector<uint32_t> plain;
  for (int i = 0; i < pic.Images().Count(); ++i) {
    auto bmp = RenderFrameBitmap(*pic.Images()[i], true, true);
    plain.push_back(Ms());
    std::this_thread::sleep_for(std::chrono::milliseconds(delays[size_t(i)] * GIFDelayFactor));
  }

  double ours = 0, theirs = 0;
  std::printf("GIF animation, 24 frames of 400 x 300, dithered, delays 36 / 60 ms\n");
  Report("animation run (painter)", run.Shown, delays, ours);
  Report("plain player", plain, delays, theirs);
  std::printf("  ratio (plain overrun / ours): %.2f\n", theirs / ours);
  return 0;
}
