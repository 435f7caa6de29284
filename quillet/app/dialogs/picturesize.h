// The width and height in pixels of a picture file, for the image dialog. GIF, PCX and TIFF go
// through the imaging readers; BMP, JPEG and PNG are checked as far as their headers and
// measured from those. An unreadable picture raises an exception with a message for the user
// (EInvalidGraphic; the base Exception for PNG, as the PNG reader does).
#pragma once

#include "sysutils.h"

struct TPictureSize {
  int Width = 0, Height = 0;
};

TPictureSize ReadPictureSize(const String& FileName);
