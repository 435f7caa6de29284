// The width and height in pixels of a picture file, for the image dialog. PNG, JPEG, GIF, PCX and
// TIFF pictures are read whole by their readers (chosen by the file's extension), which raise
// their own messages for a picture they cannot read; a BMP file is checked and measured from its
// headers.
#pragma once

#include "sysutils.h"

struct TPictureSize {
  int Width = 0, Height = 0;
};

TPictureSize ReadPictureSize(const String& FileName);
