// The screen's halftone palette for the colour reduction (Windows build only).
#pragma once

#include "color_reduction.h"

// The entries of the halftone palette that GDI makes for the screen; empty when it makes none.
TLogPalette ScreenHalftonePalette();
// Makes rmWindows256 use the screen's halftone palette.
void UseScreenHalftonePalette();
