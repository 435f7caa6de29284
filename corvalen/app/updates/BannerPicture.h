// The bill's banner as the update server sends it: only a whole GIF picture may take the place
// of "rechnung.gif". A download cut short, an error page or any other file leaves the banner in
// place as it was.
#pragma once

#include <cstddef>

// TRUE when the bytes are a whole GIF picture: the signature "GIF87a" or "GIF89a", a screen of
// at least one pixel, the colour tables the flags announce, every block (extensions and images,
// at least one image of at least one pixel, its data in sub-blocks) within the file, and the
// trailer after the last. The pixels' LZW codes are not decoded.
bool IsGifPicture(const unsigned char* data, size_t length);
