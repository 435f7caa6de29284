// The window system's half of the core's picture classes: TBitmap drawn through its pixels and
// given a palette handle and the clipboard's bitmap format, TIcon drawn as the icon of its chosen
// image, TMetafile played as an enhanced metafile (a WMF converted on the way). Every canvas
// installs it before it draws, so the portable classes draw wherever a canvas exists.
#pragma once

#include <windows.h>

#include "bitmap_win.h"
#include "graphics.h"  // InstallPicturePlatform
