// The run of an animation on a fake clock: the order of frames and notifications, the pauses with
// their overrun compensation, speeds, loop counts and stopping.
#include <gtest/gtest.h>

#include <functional>

#include "gif_animation.h"

namespace {

struct TestImage : TGIFImageOwner {};

// Frames of 1 x 1 pixel with the given delays (-1: no control block).
void AddFrames(TGIFImageOwner& Image, const std::vector<int>& Delays) {
  if (Image.GlobalColorMap().Count() == 0) Image.GlobalColorMap().Add(TColor(0));
  for (int d : Delays) {
    auto* f = new TGIFSubImage(&Image);
    Image.Images().Add(f);
    f->SetWidth(1);
    f->SetHeight(1);
    if (d >= 0) {
      auto* g = new TGIFGraphicControlExtension(f);
      f->Extensions().Add(g);
      g->SetDelay(d);
    }
  }
}

void AddLoop(TGIFImageOwner& Image, int Frame, int Loops) {
  TGIFSubImage* f = Image.Images()[Frame];
  auto* loop = new TGIFAppExtNSLoop(f);
  loop->SetLoops(Loops);
  f->Extensions().Insert(0, loop);
}

// A run on a clock that moves only by the pauses and by the painting time given per frame.
struct FakeRun : TGIFAnimation {
  using TGIFAnimation::TGIFAnimation;
  uint32_t Clock = 1000;
  int PaintCost = 0;       // milliseconds each paint takes
  int StopAfterPaints = -1;
  std::vector<std::pair<int, uint32_t>> Painted;  // frame, time
  std::vector<int64_t> Waits;                     // threaded pauses asked for
  std::vector<std::string> Events;
  std::function<void(FakeRun&)> OnFramePainted;

  uint32_t Now() override { return Clock; }
  bool WaitForStop(int64_t Ms) override {
    Waits.push_back(Ms);
    if (Ms == GIFInfinitePause) {
      Stop();
      return true;
    }
    Clock += uint32_t(Ms);
    return false;
  }
  void Sleep(int Ms) override { Clock += uint32_t(Ms); }
  void PaintActiveFrame() override {
    Painted.push_back({ActiveImage(), Clock});
    Clock += uint32_t(PaintCost);
    MarkPainted();
    if (StopAfterPaints >= 0 && int(Painted.size()) >= StopAfterPaints) Stop();
  }
  void Notify(TGIFPaintEvent E) override {
    static const char* names[] = {"start", "frame", "painted", "loop", "end"};
    if (E != peFrame && E != peFramePainted) Events.push_back(names[E]);
    if (E == peFramePainted && OnFramePainted) OnFramePainted(*this);
  }
  std::vector<int> Frames() const {
    std::vector<int> r;
    for (auto& p : Painted) r.push_back(p.first);
    return r;
  }
  std::vector<uint32_t> Gaps() const {
    std::vector<uint32_t> r;
    for (size_t i = 1; i < Painted.size(); ++i) r.push_back(Painted[i].second - Painted[i - 1].second);
    return r;
  }
};

constexpr TGIFDrawOptions Threaded = gdThreaded | gdAnimate | gdLoop;
constexpr TGIFDrawOptions InDraw = gdAnimate | gdLoop;

TEST(GIFAnimation, DelaysDefaultMinimumAndMaximum) {
  // Delay 0 waits the default 10 units, 1 is raised to 3, 2000 stays in a thread of its own and is
  // cut to 1000 inside Draw; each unit is 12 ms.
  TestImage img;
  AddFrames(img, {0, 1, 2000, 5, -1});
  FakeRun threaded(&img, Threaded, 100);
  threaded.Run();
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), threaded.Frames());
  EXPECT_EQ((std::vector<uint32_t>{120, 36, 24000, 60}), threaded.Gaps());
  EXPECT_EQ(threaded.Painted[0].second, 1000u);  // the first frame of a thread is painted at once

  FakeRun inDraw(&img, InDraw, 100);
  inDraw.Run();
  EXPECT_EQ((std::vector<uint32_t>{120, 36, 12000, 60}), inDraw.Gaps());
  // Inside Draw even the first frame waits a unit, less half of nothing overrun.
  EXPECT_EQ(inDraw.Painted[0].second, 1012u);
}

TEST(GIFAnimation, SpeedScalesThePauses) {
  TestImage img;
  AddFrames(img, {10, 10, 10});
  FakeRun fast(&img, Threaded, 200);
  fast.Run();
  EXPECT_EQ((std::vector<uint32_t>{60, 60}), fast.Gaps());
  FakeRun slow(&img, Threaded, 50);
  slow.Run();
  EXPECT_EQ((std::vector<uint32_t>{240, 240}), slow.Gaps());
  // Speed 0 holds a threaded painter on its frame until it is stopped.
  FakeRun paused(&img, Threaded, 0);
  paused.Run();
  EXPECT_EQ((std::vector<int>{0}), paused.Frames());
  EXPECT_EQ((std::vector<int64_t>{GIFInfinitePause}), paused.Waits);
  EXPECT_EQ((std::vector<std::string>{"start"}), paused.Events);  // stopped: no end
}

TEST(GIFAnimation, SlowPaintingIsTakenOffTheNextPause) {
  // Every paint takes 40 ms. The first pause takes half of frame 0's 40 ms off its 120: 100; each
  // later interval runs 140 ms against the 100 planned, so every pause is 120 - 40 / 2 = 100.
  TestImage img;
  AddFrames(img, {10, 10, 10, 10});
  FakeRun run(&img, Threaded, 100);
  run.PaintCost = 40;
  run.Run();
  EXPECT_EQ((std::vector<int64_t>{100, 100, 100}), run.Waits);
  EXPECT_EQ((std::vector<uint32_t>{140, 140, 140}), run.Gaps());
}

TEST(GIFAnimation, LoopCounts) {
  // A looping block of 3 on frame 0: three passes, then the end.
  TestImage img;
  AddFrames(img, {10, 10});
  AddLoop(img, 0, 3);
  FakeRun run(&img, Threaded, 100);
  run.Run();
  EXPECT_EQ((std::vector<int>{0, 1, 0, 1, 0, 1}), run.Frames());
  EXPECT_EQ((std::vector<std::string>{"start", "loop", "loop", "end"}), run.Events);
  EXPECT_EQ(-1, run.ActiveImage());

  // Count 0 loops endlessly in a thread of its own (here until the 7th paint) ...
  TestImage endless;
  AddFrames(endless, {10, 10});
  AddLoop(endless, 0, 0);
  FakeRun t(&endless, Threaded, 100);
  t.StopAfterPaints = 7;
  t.Run();
  EXPECT_EQ(7u, t.Painted.size());
  EXPECT_EQ((std::vector<std::string>{"start", "loop", "loop", "loop"}), t.Events);
  // ... and plays once inside Draw, unless it is told to loop forever.
  FakeRun once(&endless, InDraw, 100);
  once.Run();
  EXPECT_EQ((std::vector<int>{0, 1}), once.Frames());
  FakeRun forever(&endless, InDraw | gdLoopForever, 100);
  forever.StopAfterPaints = 5;
  forever.Run();
  EXPECT_EQ(5u, forever.Painted.size());

  // Without a looping block the sequence plays once even with gdLoop; later passes start at the
  // frame that carries the block.
  TestImage plain;
  AddFrames(plain, {10, 10, 10});
  FakeRun p(&plain, Threaded, 100);
  p.Run();
  EXPECT_EQ((std::vector<int>{0, 1, 2}), p.Frames());
  TestImage later;
  AddFrames(later, {10, 10, 10});
  AddLoop(later, 1, 2);
  FakeRun l(&later, Threaded, 100);
  l.Run();
  EXPECT_EQ((std::vector<int>{0, 1, 2, 1, 2}), l.Frames());
}

TEST(GIFAnimation, EmptyFrameNotAnimatedAndChosenFrames) {
  TestImage img;
  AddFrames(img, {10, 10, 10});
  img.Images()[1]->SetWidth(0);  // an empty frame ends the pass there
  FakeRun run(&img, Threaded, 100);
  run.Run();
  EXPECT_EQ((std::vector<int>{0}), run.Frames());
  EXPECT_EQ((std::vector<std::string>{"start", "end"}), run.Events);

  TestImage three;
  AddFrames(three, {10, 10, 10});
  FakeRun still(&three, gdThreaded | gdLoop, 100);  // without gdAnimate: frame 0 only
  still.Run();
  EXPECT_EQ((std::vector<int>{0}), still.Frames());

  // An OnFramePainted handler that chooses the next frame: 0, then 2, then the current one (as if
  // unchanged).
  FakeRun chosen(&three, Threaded, 100);
  int calls = 0;
  chosen.OnFramePainted = [&](FakeRun& r) {
    if (calls++ == 0) r.SetActiveImage(2);
  };
  chosen.Run();
  EXPECT_EQ((std::vector<int>{0, 2}), chosen.Frames());
}

TEST(GIFAnimation, StopEndsTheRunWithoutTheEndNotification) {
  TestImage img;
  AddFrames(img, {10, 10, 10});
  FakeRun run(&img, Threaded, 100);
  run.StopAfterPaints = 2;
  run.Run();
  EXPECT_EQ((std::vector<int>{0, 1}), run.Frames());
  EXPECT_EQ((std::vector<std::string>{"start"}), run.Events);
  EXPECT_TRUE(run.ErrorMessage().empty());
}

TEST(GIFAnimation, PauseArithmetic) {
  int64_t lag = 0;
  // 10 units at speed 100, 30 ms elapsed since the previous computation that planned 0.
  EXPECT_EQ(105, GIFFramePause(10, 1030, 1000, lag, 100, true));
  EXPECT_EQ(105, lag);
  // The clock wraps around: the interval is still 30 ms.
  lag = 0;
  EXPECT_EQ(105, GIFFramePause(10, 20, 0xFFFFFFF6u, lag, 100, true));
  // Overflow falls back to the maximum delay.
  lag = 0;
  EXPECT_EQ(12000, GIFFramePause(1000000000, 0, 0, lag, 1, true));
  EXPECT_EQ(0, lag);
  EXPECT_EQ(GIFInfinitePause, GIFFramePause(10, 0, 0, lag, 0, true));
  EXPECT_EQ(12000, GIFFramePause(10, 0, 0, lag, 0, false));
}

}  // namespace
