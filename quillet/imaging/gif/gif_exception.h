// The error class and the warning hook of the GIF unit.
//
// GIFException is raised for data the GIF codec cannot go on with; oddities it can recover from are
// handed to a warning hook (the owning picture's Warning) and the work goes on. Messages are the
// unit's English texts; the image loader puts a German message of its own in front of the user.
#pragma once

#include <functional>

#include "bitmap.h"
#include "sysutils.h"

// A kind of the component library's invalid-graphic exception, so that the image loader treats it as
// it treats every picture reader's error.
class GIFException : public EInvalidGraphic {
public:
  using EInvalidGraphic::EInvalidGraphic;
  const char* ClassName() const override { return "GIFException"; }
};

// Severity and text of a recoverable oddity. Every warning of the codec has severity 1.
using TGIFWarning = std::function<void(int Severity, const String& Message)>;

inline void GIFWarn(const TGIFWarning& Warning, const String& Message) {
  if (Warning) Warning(1, Message);
}

// The unit's texts used by the codec and the colour reduction.
namespace gifmsg {
constexpr const char* PrematureEOF = "Premature end of data";
constexpr const char* BitBufferUnderrun = "Decoder bit buffer under-run";
constexpr const char* CircularTable = "Circular decoder table entry";
constexpr const char* BadCodeSize = "Invalid LZW code size";
constexpr const char* BadColorIndex = "Color not in color table";
constexpr const char* StreamOperation = "Invalid stream operation";
constexpr const char* ImageDimensions = "Invalid image dimensions";
constexpr const char* PixelFormat = "Unsupported PixelFormat";
constexpr const char* NoDIB = "Image has no DIB";
constexpr const char* BadReduction = "Invalid reduction method";
constexpr const char* DIBMemory = "Failed to allocate memory for GIF DIB";
}  // namespace gifmsg
