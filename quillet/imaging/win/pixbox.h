// TPixBox: the image view as a form component, with its own loader (TPixIO) and processing
// component (TPixProc), both attached to it. The image browser and the image dialog place one on
// their forms.
#pragma once

#include <memory>

#include "pixio.h"
#include "pixproc.h"
#include "pixview.h"

enum TNColors { nc8bit, nc24bit };

class TPixBox : public TPixView {
public:
  explicit TPixBox(TComponent* AOwner);
  ~TPixBox() override;
  const char* ClassName() const override { return "TPixBox"; }

  TPixProc* Proc() const { return FProc.get(); }
  TPixIO* IO() const { return FIO.get(); }

  bool AutoUndo() const { return FProc->AutoUndo; }
  void SetAutoUndo(bool Value) { FProc->AutoUndo = Value; }
  // The view shows 24 bits per pixel whatever is asked: nc24bit, always.
  TNColors NColors() const { return FNColors; }
  void SetNColors(TNColors Value);
  const TPixProgressEvent& OnProgress() const { return FProc->OnProgress; }
  void SetOnProgress(TPixProgressEvent Value) { FProc->OnProgress = std::move(Value); }
  bool UseLZW() const { return FIO->UseLZW; }
  void SetUseLZW(bool Value) { FIO->UseLZW = Value; }

  // Through the loader: the reader by extension, one message per format.
  void LoadFromFile(const String& FileName) { FIO->LoadFromFile(FileName); }

private:
  std::unique_ptr<TPixProc> FProc;
  std::unique_ptr<TPixIO> FIO;
  TNColors FNColors = nc24bit;
};

// The number of frames of a GIF file (the thumbnail browser skips animations).
int GetGIFFrameCount(const String& FileName);
