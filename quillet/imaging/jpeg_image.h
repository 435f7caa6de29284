// TJPEGImage: a JPEG file as a picture of the component library, so that the picture container
// loads ".jpg" and ".jpeg" files (the thumbnail browser's cells). It keeps the file's bytes, which
// it saves unchanged, and the picture the JPEG reader decodes from them, which it draws.
#pragma once

#include <memory>
#include <vector>

#include "bitmap.h"
#include "graphic.h"

struct TJPEGState {
  std::vector<uint8_t> Data;
  int Width = 0, Height = 0;
  std::shared_ptr<TBitmap> Picture;  // decoded once, shared by copies
};

class TJPEGImage : public TFileGraphic<TJPEGImage, TJPEGState> {
public:
  const char* ClassName() const override { return "TJPEGImage"; }

  // The JPEG reader's EInvalidGraphic ("unrecognized JPeg - JPEG error #n") for a broken file;
  // the picture stays as it was then.
  void LoadFromStream(TStream& Stream) override;
  void Draw(TCanvas& ACanvas, const TRect& Rect) override;
  // A JPEG keeps its size (EInvalidGraphicOperation).
  void SetWidth(int Value) override;
  void SetHeight(int Value) override { SetWidth(Value); }

  // The decoded picture (24 bits per pixel), or nullptr when empty.
  const TBitmap* Picture() const { return F.Picture.get(); }

protected:
  // A bitmap receives a copy of the decoded picture.
  void AssignTo(TPersistent* Dest) override;
};

// Registers TJPEGImage with the picture container for "jpg" and "jpeg" (at program start).
void RegisterJPEGImage();
