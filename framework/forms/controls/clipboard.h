// The system clipboard's text (CF_TEXT, code page 1252).
#pragma once

#include <windows.h>

#include "sysutils.h"

class TClipboard {
public:
  // The clipboard's text up to its first NUL and within the handle's size; false when the
  // clipboard holds no text, cannot be opened or its text handle is empty.
  static bool GetText(String& text, HWND owner = nullptr);
  // Replaces the clipboard contents by text; false when the clipboard cannot be opened.
  static bool SetText(const String& text, HWND owner = nullptr);
  static bool HasText() { return IsClipboardFormatAvailable(CF_TEXT) != 0; }
};
