// TGIFPainter: plays the frames of one GIF picture onto one canvas rectangle. It waits each
// frame's delay, composes the frame with what the frames before it left according to their
// disposal methods, repeats as the looping block says and fires the picture's five paint
// notifications. With gdThreaded it runs in a thread of its own and paints, and notifies, in the
// user-interface thread through Synchronize; without, it runs inside the Draw call, sleeping in
// slices and dispatching the thread's messages between them. Either way it frees itself at its
// end, after taking itself out of the picture's painter list.
#pragma once

#include <memory>

#include "gif_animation.h"
#include "gif_image.h"
#include "graphics.h"
#include "thread.h"

class TGIFPainter : public TThread, public TGIFAnimation {
public:
  // Stores itself into *Ref (Ref may be none) and clears it again at its end.
  // List: the picture's list of playing painters, which the painter leaves when it ends.
  TGIFPainter(TGIFPainter** Ref, TThreadList<TGIFPainter>* List, TGIFImage* Image, TCanvas* Canvas, const TRect& Rect,
              TGIFDrawOptions Options);
  ~TGIFPainter() override;
  const char* ClassName() const override { return "TGIFPainter"; }

  // Resumes a threaded painter's thread.
  void Start();
  // Ends the run at its next check; a threaded painter's pause is cut short at once.
  void Stop() override;
  using TGIFAnimation::Terminated;
  bool Threaded() const { return (DrawOptions() & gdThreaded) != 0; }

  TCanvas* Canvas() const { return FCanvas; }
  const TRect& Rect() const { return FRect; }
  // The picture is going: the painter no longer reaches it.
  void Detach() { FImage = nullptr; FGIF = nullptr; }
  TGIFImage* GIF() const { return FGIF; }

  TNotifyEvent OnPaintStart, OnPaintFrame, OnFramePainted, OnPaintLoop, OnPaintEnd;
  // Whether this painter paints onto the picture's own bitmap (which then tells its owner).
  bool OnImageBitmap = false;

protected:
  void Execute() override { Run(); }
  uint32_t Now() override;
  bool WaitForStop(int64_t Milliseconds) override;
  void Sleep(int Milliseconds) override;
  void ProcessMessages() override;
  void GiveWay() override;
  void PrepareFrame(TGIFSubImage* Frame) override;
  void PaintActiveFrame() override;
  void Notify(TGIFPaintEvent Event) override;

private:
  void DoSynchronize(const TThreadMethod& Method);
  void PaintFrame();
  void PaintComposedFrame();
  void RestoreBackground(TBitmap& Target);
  void PainterTerminated();
  std::unique_ptr<TBitmap> MakeSurface(bool CopyCanvas);

  TGIFImage* FGIF;
  TThreadList<TGIFPainter>* FList;
  TCanvas* FCanvas;
  TRect FRect;
  TGIFPainter** FRef;
  HANDLE FEvent = nullptr;
  HDC FCanvasHandle = nullptr;
  TColor FBackgroundColor = clBlack;
  std::unique_ptr<TBitmap> FBuffer, FBackupBuffer, FBackground, FNext;
  TGIFSubImage* FNextFrame = nullptr;
  bool FTerminatedDone = false;
};

// Holds a picture's painter list locked from its making to its end, the way a lock guard holds a
// mutex, so that no way out of the holder (an exception among them) leaves the list locked and the
// painter threads, which take themselves out of it at their end, waiting for ever. Unlock and Lock
// let go of the list for a wait in between and take it again.
class TPainterListLock {
public:
  explicit TPainterListLock(TThreadList<TGIFPainter>& List) : FList(List), FItems(&List.LockList()) {}
  ~TPainterListLock() {
    if (FItems) FList.UnlockList();
  }
  TPainterListLock(const TPainterListLock&) = delete;
  TPainterListLock& operator=(const TPainterListLock&) = delete;

  // The painters, while the list is locked.
  std::vector<TGIFPainter*>& Painters() { return *FItems; }
  void Unlock() {
    FItems = nullptr;
    FList.UnlockList();
  }
  void Lock() { FItems = &FList.LockList(); }

private:
  TThreadList<TGIFPainter>& FList;
  std::vector<TGIFPainter*>* FItems;
};
