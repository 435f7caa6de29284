// The folder picker's status line: a text shortened until it fits the line's width. Width is a
// measuring function (the status control's font in the window system; a fake one in tests).
#pragma once

#include <functional>

#include "sysutils.h"

using TTextWidth = std::function<int(const String& Text)>;

// A path (IsPath: the text names an existing folder or drive) loses whole folder levels from the
// left, "C:\Programme\Firma\Werkzeuge\Bilder" becoming "C:\...\Firma\Werkzeuge\Bilder", then
// "C:\...\Werkzeuge\Bilder", "C:\...\Bilder", "...\Bilder" and "Bilder", stopping at the first
// that is no wider than MaxWidth. Any other text keeps the longest beginning that fits with "..."
// behind it (down to "..." alone).
String FitStatusText(const String& Text, bool IsPath, const TTextWidth& Width, int MaxWidth);
