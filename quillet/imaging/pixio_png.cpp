// LoadPNGPicture and LoadPictureFile, apart from the loader: only what shows PNG pictures (the
// programs' picture views, the thumbnails) links them, and with them the PNG library (lpng.dll in
// the Windows build).
#include "pixio.h"
#include "jpeg_reader.h"
#include "png_reader.h"
#include "streams.h"

std::unique_ptr<TBitmap> LoadPNGPicture(const String& FileName, TColor Background) {
  if (LowerCase(ExtractFileExt(FileName)) != ".png") return nullptr;
  int width = 0, height = 0;
  return ReadPNGPicture(FileName, Background, width, height);
}

std::unique_ptr<TBitmap> LoadPictureFile(TPixIO& Loader, const String& FileName) {
  // A PNG is blended over the view's own background, never over a GIF's colour left from before.
  Loader.RestoreViewBackground();
  if (std::unique_ptr<TBitmap> picture = LoadPNGPicture(FileName, Loader.Background())) {
    if (TPixHost* view = Loader.AttachedPixBox()) view->SetNotShownText(String());
    return picture;
  }
  Loader.LoadFromFile(FileName);
  return nullptr;
}

TPixSize MeasurePictureFile(TPixIO& Loader, const String& FileName) {
  const String ext = LowerCase(ExtractFileExt(FileName));
  TPixSize size{0, 0};
  if (ext == ".png") {
    PNGPictureSize(FileName, size.Width, size.Height);
    return size;
  }
  if (ext == ".jpg" || ext == ".jpeg") {
    try {
      TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
      ReadJPEGSize(f, size.Width, size.Height);
    } catch (const EInvalidGraphic&) {
      throw EInvalidGraphic("unrecognized JPEG");
    }
    return size;
  }
  try {
    Loader.LoadFromFile(FileName);
  } catch (const EPictureTooLarge& e) {
    return TPixSize{int(e.PictureWidth), int(e.PictureHeight)};
  }
  if (const TBitmap* b = Loader.Bitmap()) size = TPixSize{b->Width(), b->Height()};
  return size;
}
