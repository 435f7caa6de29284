#include "gif_animation.h"

#include <algorithm>
#include <exception>
#include <limits>

int GIFDelayFactor = 12;
int GIFDefaultDelay = 10;
int GIFMinimumDelay = 3;
int GIFMaximumDelay = 1000;

int64_t GIFFramePause(int Wait, uint32_t Now, uint32_t LastTime, int64_t& Lag, int Speed, bool Threaded) {
  if (Speed <= 0) return Threaded ? GIFInfinitePause : int64_t(GIFMaximumDelay) * GIFDelayFactor;
  // The clock is a 32-bit millisecond count: the difference is taken modulo 2^32.
  const int64_t elapsed = int64_t(int32_t(Now - LastTime));
  const int64_t overrun = (elapsed - Lag) / 2;  // truncated toward zero
  const int64_t planned = int64_t(Wait) * GIFDelayFactor - overrun;
  // MulDiv(planned, 100, Speed) with its rounding; a result beyond 32 bits is an overflow.
  const int64_t product = planned * 100;
  const int64_t q = (product < 0 ? -((-product + Speed / 2) / Speed) : (product + Speed / 2) / Speed);
  if (q > std::numeric_limits<int32_t>::max() || q < std::numeric_limits<int32_t>::min() ||
      planned > std::numeric_limits<int32_t>::max() || planned < std::numeric_limits<int32_t>::min()) {
    Lag = 0;
    return int64_t(GIFMaximumDelay) * GIFDelayFactor;
  }
  Lag = q;
  return q;
}

TGIFAnimation::TGIFAnimation(TGIFImageOwner* Image, TGIFDrawOptions Options, int AnimationSpeed)
    : FImage(Image), FDrawOptions(Options), FAnimationSpeed(AnimationSpeed) {}

void TGIFAnimation::Pause(int Wait, uint32_t& LastTime, int64_t& Lag) {
  const uint32_t now = Now();
  int64_t pause = GIFFramePause(Wait, now, LastTime, Lag, FAnimationSpeed, Threaded());
  LastTime = now;
  if (Threaded()) {
    if (pause > 0) {
      if (WaitForStop(pause)) {
        Lag = 0;
        LastTime = Now();
      }
    }
    return;
  }
  if (pause < 1) pause = 1;
  uint32_t t = Now();
  while (pause > 0 && !FTerminated) {
    Sleep(int(std::min<int64_t>(pause, 100)));
    const uint32_t n = Now();
    pause -= int64_t(uint32_t(n - t));
    t = n;
    ProcessMessages();
  }
}

void TGIFAnimation::Run() {
  try {
    TGIFImageList& frames = FImage->Images();
    FActiveImage = 0;
    Deliver(peStart);
    FFramePainted = false;
    int loopCounter = 1, loopPoint = 0;
    bool loopSeen = false;
    int wait = Threaded() ? 0 : 1;
    FPreviousDisposal = 1;
    uint32_t lastTime = Now();
    int64_t lag = 0;
    const bool animate = (FDrawOptions & gdAnimate) != 0;
    const bool forever = (FDrawOptions & gdLoopForever) != 0;
    while (!FTerminated && (loopCounter != 0 || forever)) {
      FActiveImage = loopPoint;
      if (FFramePainted) Deliver(peLoop);
      while (!FTerminated && FActiveImage >= 0 && FActiveImage < frames.Count()) {
        TGIFSubImage* frame = frames[FActiveImage];
        if (frame->Empty()) break;
        if (wait > 0) {
          PrepareFrame(frame);
          Pause(wait, lastTime, lag);
        } else {
          GiveWay();
        }
        if (FTerminated) break;
        Deliver(peFrame);
        if (FTerminated) break;
        FDisposal = 1;
        TGIFExtensionList& ext = frame->Extensions();
        for (int i = 0; i < ext.Count(); ++i) {
          if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(ext[i])) {
            if (!loopSeen) {
              loopSeen = true;
              loopCounter = loop->Loops();
              if ((loop->Loops() == 0 || forever) && Threaded()) loopCounter = -1;
              loopPoint = FActiveImage;
            }
          } else if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext[i])) {
            FDisposal = gce->Disposal();
          }
        }
        PaintActiveFrame();
        FPreviousDisposal = FDisposal;
        if (FTerminated) break;
        wait = GIFDefaultDelay;
        if (TGIFGraphicControlExtension* gce = frame->GraphicControlExtension()) {
          if (gce->Delay() != 0) {
            wait = std::max(gce->Delay(), GIFMinimumDelay);
            if (!Threaded()) wait = std::min(wait, GIFMaximumDelay);
          }
        }
        const int shown = FActiveImage;
        Deliver(peFramePainted);
        if (FTerminated) break;
        if (FActiveImage == shown) ++FActiveImage;
        if (!animate) break;
      }
      if (loopCounter > 0) --loopCounter;
      if (!(animate && (FDrawOptions & gdLoop))) break;
    }
    FActiveImage = -1;
    Deliver(peEnd);
  } catch (const std::exception& e) {
    FErrorMessage = e.what();
    FTerminated = true;
    FActiveImage = -1;
  } catch (...) {
    FErrorMessage = "GIF animation failed";
    FTerminated = true;
    FActiveImage = -1;
  }
}
