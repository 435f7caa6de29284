// Pictures on the system clipboard, in the formats the picture classes register with TPicture
// (TBitmap: the clipboard's bitmap format with its palette; the GIF picture class: "GIF Image").
#pragma once

#include <windows.h>

#include "picture.h"

// Replaces the clipboard contents by Graphic in its clipboard format, with its palette when it
// has one; false when the clipboard cannot be opened. The picture's own errors pass unchanged.
bool CopyPictureToClipboard(TGraphic& Graphic, HWND Owner = nullptr);
// Whether the clipboard holds a format that a registered picture class reads.
bool ClipboardHasPicture();
// Loads the first such format (in the clipboard's order) into Picture; false when there is none
// or the clipboard cannot be opened, and Picture is unchanged then.
bool PastePictureFromClipboard(TPicture& Picture, HWND Owner = nullptr);
