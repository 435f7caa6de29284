#include "pixio.h"

#include <memory>

#include "bmp_budget.h"
#include "gif_reader.h"
#include "jpeg_reader.h"
#include "metafile.h"
#include "pcx_reader.h"
#include "pixproc.h"
#include "tiff_reader.h"

namespace {

// Runs a reader step; any exception becomes EInvalidGraphic Message, except a picture too large to
// be shown, which is no broken file and keeps its own words.
template <typename Step>
void AnyFailure(const char* Message, Step step) {
  try {
    step();
  } catch (const EPictureTooLarge&) {
    throw;
  } catch (const std::exception&) {
    throw EInvalidGraphic(Message);
  }
}

// Runs a reader step; only EInvalidGraphic becomes Message, other errors (and a picture too large
// to be shown) pass unchanged.
template <typename Step>
void GraphicFailure(const char* Message, Step step) {
  try {
    step();
  } catch (const EPictureTooLarge&) {
    throw;
  } catch (const EInvalidGraphic&) {
    throw EInvalidGraphic(Message);
  }
}

// A reader's picture into the view's bitmap: 1-bit pictures through the expansion (1 bits white),
// the others copied and kept at 24 bits per pixel.
void TakePicture(TBitmap& From, TBitmap& Into) {
  TPixProc::To24Bits(From);
  Into.MoveFrom(From);
}

TColor ColorOf(const uint8_t bgr[3]) { return RGBColor(bgr[2], bgr[1], bgr[0]); }

// The JPEG scale at which a picture fits the budget: 1 when it fits whole, else the smallest of
// 2, 4 and 8 that makes it fit; a picture that does not fit even at 1/8 is too large.
int JPEGScaleWithinBudget(int W, int H) {
  for (int d = 1; d <= 8; d *= 2)
    if (int64_t((W + d - 1) / d) * ((H + d - 1) / d) <= kMaxPicturePixels) return d;
  throw EPictureTooLarge(W, H);
}

}  // namespace

const char* const kTIFFNotShown =
    "Das Bild kann nicht angezeigt werden: Kompression oder Farbformat dieser TIFF-Datei wird nicht unterst\xFCtzt.";

void TPixIO::LoadFromFile(const String& FileName) {
  TBitmap* const bmp = Bitmap();
  if (!bmp) return;
  bmp->SetPixelFormat(pf24bit);
  const String ext = LowerCase(ExtractFileExt(FileName));
  TPixHost* const view = AttachedPixBox();
  view->SetNotShownText(String());
  RestoreViewBackground();
  std::unique_ptr<TBitmap> read;
  if (ext == ".jpg" || ext == ".jpeg") {
    GraphicFailure("unrecognized JPEG", [&] {
      TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
      int x = 0, y = 0, w = 0, h = 0;
      // A photo beyond the budget is decoded at the scale that fits it.
      read.reset(ReadJPEGStreamScaled(f, x, y, JPEGScaleWithinBudget, w, h));
      if (view) view->SetDPI(x, y);
      // Moved, not copied: a photo of 24 megapixels exists once.
      TakePicture(*read, *bmp);
    });
  } else if (ext == ".tif" || ext == ".tiff") {
    AnyFailure("unrecognized TIFF", [&] {
      TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
      int count = 0, x = 0, y = 0;
      bool decoded = false;
      read.reset(ReadTIFF(f, 0, count, x, y, kMaxPicturePixels, &decoded));
      if (!read) throw EInvalidGraphic("unrecognized TIFF");
      if (view) view->SetDPI(x, y);
      TakePicture(*read, *bmp);
      // The picture keeps its size (the image dialog measures it), but the view says that it
      // cannot show it rather than showing black.
      if (!decoded) view->SetNotShownText(kTIFFNotShown);
    });
  } else if (ext == ".pcx") {
    AnyFailure("unrecognized PCX", [&] {
      int h = 0, v = 0;
      read.reset(ReadPCXFile(FileName, h, v));
      if (view) view->SetDPI(h, v);
      bmp->Assign(read.get());
    });
  } else if (ext == ".gif") {
    AnyFailure("unrecognized GIF", [&] {
      TGIFScreenInfo screen;
      TGIFFrameInfo frame;
      int frames = 0;
      read.reset(ReadGIFFile(FileName, 0, screen, frame, frames));
      if (!read) throw EInvalidGraphic("unrecognized GIF");
      // The area around the picture takes the colour the picture shows through, until the next load.
      const TColor shown = frame.Transparent ? ColorOf(frame.TransparentColor) : ColorOf(screen.Background);
      FOwnBackground = Background();
      FShownBackground = shown;
      FGIFBackground = true;
      SetBackground(shown);
      bmp->Assign(read.get());
    });
  } else if (ext == ".wmf" || ext == ".emf") {
    AnyFailure("unrecognized WMF or EMF", [&] {
      TMetafile m;
      m.LoadFromFile(FileName);
      bmp->SetSize(m.Width() - 1, m.Height() - 1);
      DrawGraphicOnBitmap(m, *bmp, 0, 0);
    });
  } else {
    GraphicFailure("unrecognized BMP", [&] {
      TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
      // A picture beyond the budget is told as such before the reader reads it at its own depth.
      RefuseBMPBeyondBudget(f);
      TBitmap b;
      b.LoadFromStream(f);
      TakePicture(b, *bmp);
    });
  }
  Refresh();
}

void TPixIO::RestoreViewBackground() {
  if (!FGIFBackground) return;
  FGIFBackground = false;
  if (Background() == FShownBackground) SetBackground(FOwnBackground);
}

// A client has a bitmap only while it is attached, so the view is there to be told.
void TPixIO::Refresh() {
  TPixHost* view = AttachedPixBox();
  view->Update();
  view->ImageChange();
}

int TPixIO::GetGIFFrameCount(const String& FileName) {
  int frames = 0;
  AnyFailure("unrecognized GIF", [&] {
    TGIFScreenInfo screen;
    TGIFFrameInfo frame;
    std::unique_ptr<TBitmap> none(ReadGIFFile(FileName, -1, screen, frame, frames));
  });
  return frames;
}
