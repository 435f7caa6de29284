// Metafiles the window system writes, for the tests of the programs that show them: a picture
// (400 x 200 pixels unless the EMF is given its size) whose left part is red, as a plain WMF, a WMF behind a placeable header, or an EMF.
#pragma once

#include <string>

namespace testsupport {

// How the WMF states its size: with a window extent of 400 x 200 (drawn in pixels), or only
// through the placeable header's bounding box (drawn in its units, 15 to the pixel).
enum class WmfSize { WindowExtent, OnlyTheBox };

// Writes a WMF of 400 x 200 whose left `redWidth` pixels are red; with `placeable` it stands behind
// a placeable header whose box is 400 x 200 at 1440 units per inch. Returns `path`.
std::string WriteRedWmf(const std::string& path, int redWidth, bool placeable,
                        WmfSize size = WmfSize::WindowExtent);

// Writes an EMF of `width` x `height` pixels (its frame at 96 pixels per inch) whose left
// `redWidth` pixels are red. Returns `path`.
std::string WriteRedEmf(const std::string& path, int redWidth, int width = 400, int height = 200);

}  // namespace testsupport
