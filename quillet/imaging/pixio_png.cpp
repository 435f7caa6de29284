// LoadPictureFile, apart from the loader: only the programs' picture views that show PNG
// pictures link it, and with it the PNG library (lpng.dll in the Windows build).
#include "pixio.h"
#include "png_reader.h"

std::unique_ptr<TBitmap> LoadPictureFile(TPixIO& Loader, const String& FileName) {
  if (LowerCase(ExtractFileExt(FileName)) != ".png") {
    Loader.LoadFromFile(FileName);
    return nullptr;
  }
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  LoadPNGFile(FileName, *picture);
  return picture;
}
