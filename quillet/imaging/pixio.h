// TPixIO: loads a picture file into the bitmap of the image view it is attached to. The reader
// is chosen by the file name's extension; a reader's failure becomes one EInvalidGraphic message
// per format ("unrecognized JPEG", "unrecognized TIFF", "unrecognized PCX", "unrecognized GIF",
// "unrecognized WMF or EMF", "unrecognized BMP"). PNG files are not the loader's: the picture
// views read them through LoadPictureFile, which hands them to LoadPNGFile.
#pragma once

#include <memory>

#include "pixhost.h"
#include "pixproc.h"

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

  // A GIF shows its transparent or screen colour around its picture through the view's
  // background; that colour belongs to the GIF's display only. Every load begins by giving the
  // view its own background back (unless it was set anew since), so that the next picture, a
  // transparent PNG above all, is not shown on the GIF's colour.
  void RestoreViewBackground();

private:
  void Refresh();
  bool FGIFBackground = false;  // the view's background is a GIF's colour
  TColor FOwnBackground = clBlack, FShownBackground = clBlack;
};

// The text a view shows in place of a TIFF picture whose pixels the reader cannot decode.
extern const char* const kTIFFNotShown;

// A PNG picture (lower-case extension ".png"), which the loader has no reader for, read into a new
// 24-bit bitmap, its transparent parts blended over Background (the colour the picture is shown
// on); a picture beyond the budget comes shrunk to fit it (ReadPNGPicture). nullptr for a file of
// any other extension. Failures are the PNG reader's exceptions.
std::unique_ptr<TBitmap> LoadPNGPicture(const String& FileName, TColor Background = clBlack);

// Reads a picture file for a picture view. A PNG picture is read through LoadPNGPicture over the
// view's background and the bitmap returned; the view keeps its picture then. Any other file goes
// through Loader.LoadFromFile into the view (a JPEG photo beyond the budget decoded at the scale
// that fits it), and nullptr is returned. Failures are the readers' exceptions; a picture that
// cannot be shown even so raises EPictureTooLarge.
std::unique_ptr<TBitmap> LoadPictureFile(TPixIO& Loader, const String& FileName);

// The width and height of the picture in a file, as the image dialog needs them for its IMG tag:
// JPEG and PNG pictures from their headers, without decoding a pixel; the others through
// Loader.LoadFromFile (the view's bitmap takes the picture), a picture too large to be shown by
// the size its reader found. Failures otherwise are the readers' exceptions.
TPixSize MeasurePictureFile(TPixIO& Loader, const String& FileName);
