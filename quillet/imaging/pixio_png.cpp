// LoadPNGPicture and LoadPictureFile, apart from the loader: only what shows PNG pictures (the
// programs' picture views, the thumbnails) links them, and with them the PNG library (lpng.dll in
// the Windows build).
#include "pixio.h"
#include "png_reader.h"

std::unique_ptr<TBitmap> LoadPNGPicture(const String& FileName) {
  if (LowerCase(ExtractFileExt(FileName)) != ".png") return nullptr;
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  LoadPNGFile(FileName, *picture);
  return picture;
}

std::unique_ptr<TBitmap> LoadPictureFile(TPixIO& Loader, const String& FileName) {
  if (std::unique_ptr<TBitmap> picture = LoadPNGPicture(FileName)) return picture;
  Loader.LoadFromFile(FileName);
  return nullptr;
}
