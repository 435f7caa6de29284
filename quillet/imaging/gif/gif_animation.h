// The run of a GIF animation without the window system: which frame comes next, how long each one
// waits, how often the sequence repeats and which notifications fire on the way. The animation
// painter (win/gif_painter.h) supplies the clock, the waits, the painting and the delivery of
// notifications; the tests supply a fake clock.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "gif_model.h"

// How a picture is drawn (the bits of TGIFImage::DrawOptions).
enum TGIFDrawOption : uint16_t {
  gdThreaded = 0x0001,      // an animation runs in a thread of its own; without it inside Draw
  gdTransparent = 0x0002,   // transparent pixels are not painted
  gdAnimate = 0x0004,       // every frame is played; without it only frame 0
  gdLoop = 0x0008,          // the sequence repeats as the looping block says
  gdLoopForever = 0x0010,   // the sequence repeats endlessly
  gdCheckCanvas = 0x0020,   // the target device context is checked before every frame
  gdDirect = 0x0040,        // painted straight onto the target, not onto the picture's bitmap
  gdClearOnLoop = 0x0080,   // the area is cleared to the background before frame 0 of every pass
  gdTile = 0x0100,          // repeated over the target at natural size instead of stretched
  gdDither = 0x0200,        // frames dithered onto the 216-colour palette
  gdAutoDither = 0x0400,    // with gdDither: only on a display of at most 8 bits per pixel
};
using TGIFDrawOptions = uint16_t;
constexpr TGIFDrawOptions GIFDefaultDrawOptions =
    gdThreaded | gdTransparent | gdAnimate | gdLoop | gdDither | gdAutoDither;

// The unit's timing: a file's delays count hundredths of a second, each waited as GIFDelayFactor
// milliseconds (12, not 10); a frame without a delay waits GIFDefaultDelay units, smaller delays
// are raised to GIFMinimumDelay and, inside Draw, larger ones cut to GIFMaximumDelay.
extern int GIFDelayFactor;
extern int GIFDefaultDelay;
extern int GIFMinimumDelay;
extern int GIFMaximumDelay;

// The pause before a frame, in milliseconds, with the overrun of the previous interval taken off:
// half of (Now - LastTime - Lag) is subtracted from the frame's Wait x GIFDelayFactor, the result
// scaled by 100 / Speed. Lag receives the pause; an overflow gives GIFMaximumDelay x
// GIFDelayFactor with Lag 0. Speed 0 or below gives Infinite for a threaded painter and the
// maximum delay otherwise.
constexpr int64_t GIFInfinitePause = INT64_MAX;
int64_t GIFFramePause(int Wait, uint32_t Now, uint32_t LastTime, int64_t& Lag, int Speed, bool Threaded);

enum TGIFPaintEvent { peStart, peFrame, peFramePainted, peLoop, peEnd };

class TGIFAnimation {
public:
  TGIFAnimation(TGIFImageOwner* Image, TGIFDrawOptions Options, int AnimationSpeed);
  virtual ~TGIFAnimation() = default;
  TGIFAnimation(const TGIFAnimation&) = delete;
  TGIFAnimation& operator=(const TGIFAnimation&) = delete;

  // The whole run; errors end it (kept in ErrorMessage) instead of passing on.
  void Run();

  // Ends the run at its next check (every wait, notification and frame step looks).
  virtual void Stop() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }

  TGIFImageOwner* Image() const { return FImage; }
  TGIFDrawOptions DrawOptions() const { return FDrawOptions; }
  int AnimationSpeed() const { return FAnimationSpeed; }
  // The frame being played, -1 outside the run; an OnFramePainted handler may set the next one.
  int ActiveImage() const { return FActiveImage; }
  void SetActiveImage(int Value) { FActiveImage = Value; }
  bool FramePainted() const { return FFramePainted; }
  int Disposal() const { return FDisposal; }
  int PreviousDisposal() const { return FPreviousDisposal; }
  const std::string& ErrorMessage() const { return FErrorMessage; }

protected:
  // Milliseconds of a steady clock.
  virtual uint32_t Now() = 0;
  // A threaded painter's pause: true when it was cut short by Stop (Infinite waits until then).
  virtual bool WaitForStop(int64_t Milliseconds) = 0;
  // A painter inside Draw sleeps in slices and keeps the program responsive between them.
  virtual void Sleep(int Milliseconds) = 0;
  virtual void ProcessMessages() {}
  // Gives up the rest of the time slice (the first frame of a threaded painter).
  virtual void GiveWay() {}
  // Builds the frame's bitmap before its pause, so that rendering time falls inside the delay.
  virtual void PrepareFrame(TGIFSubImage* Frame) {}
  // Paints frame ActiveImage (composed when the disposal methods need it) and sets FramePainted.
  virtual void PaintActiveFrame() = 0;
  // Delivers a notification (in the user-interface thread); nothing once terminated.
  virtual void Notify(TGIFPaintEvent Event) = 0;

  bool Threaded() const { return (FDrawOptions & gdThreaded) != 0; }
  void MarkPainted() { FFramePainted = true; }

  TGIFImageOwner* FImage;

private:
  void Pause(int Wait, uint32_t& LastTime, int64_t& Lag);
  void Deliver(TGIFPaintEvent Event) {
    if (!FTerminated) Notify(Event);
  }

  TGIFDrawOptions FDrawOptions;
  int FAnimationSpeed;
  std::atomic<bool> FTerminated{false};
  int FActiveImage = -1;
  bool FFramePainted = false;
  int FDisposal = 1, FPreviousDisposal = 1;
  std::string FErrorMessage;
};
