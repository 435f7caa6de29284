// The program's own cursors, kept by number beside the system's (the numbers of TCursor are
// negative; the program's are positive). A control whose Cursor is such a number shows it.
#pragma once

#include <windows.h>

// Stores Handle under Number, replacing (and destroying) an earlier one of that number.
void SetScreenCursor(int Number, HCURSOR Handle);
// The cursor stored under Number, or nullptr.
HCURSOR ScreenCursor(int Number);
