// TPixIO: loads a picture file into the bitmap of the image view it is attached to. The reader
// is chosen by the file name's extension; a reader's failure becomes one EInvalidGraphic message
// per format ("unrecognized JPEG", "unrecognized TIFF", "unrecognized PCX", "unrecognized GIF",
// "unrecognized WMF or EMF", "unrecognized BMP"). PNG files are not the loader's: the picture
// views read them through LoadPictureFile, which hands them to LoadPNGFile.
#pragma once

#include <memory>

#include "pixhost.h"

class TPixIO : public TPixClient {
public:
  explicit TPixIO(TComponent* AOwner) : TPixClient(AOwner) {}
  const char* ClassName() const override { return "TPixIO"; }

  // Stored and published for the forms that set it; no reader consults it.
  bool UseLZW = false;

  // Does nothing without an attached view. The view's bitmap is set to 24 bits per pixel first
  // and keeps what the failing step left in it when a reader fails. The file errors of the JPEG
  // and the BMP path (a file that cannot be opened) and other exceptions of these two pass
  // unchanged; every exception of the other readers becomes their message.
  void LoadFromFile(const String& FileName);

  // The number of frames of a GIF file, without decoding any (EInvalidGraphic "unrecognized GIF").
  static int GetGIFFrameCount(const String& FileName);

private:
  void Refresh();
};

// A PNG picture (lower-case extension ".png"), which the loader has no reader for, read through
// LoadPNGFile into a new 24-bit bitmap; nullptr for a file of any other extension. Failures are
// the PNG reader's exceptions.
std::unique_ptr<TBitmap> LoadPNGPicture(const String& FileName);

// Reads a picture file for a picture view. A PNG picture is read through LoadPNGPicture and the
// bitmap returned; the view keeps its picture then. Any other file goes through Loader.LoadFromFile into
// the view, and nullptr is returned. Failures are the readers' exceptions.
std::unique_ptr<TBitmap> LoadPictureFile(TPixIO& Loader, const String& FileName);
