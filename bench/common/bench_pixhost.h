// The image view without its window, for the benchmarks of the loader: the loader reads into this
// host's bitmap as it reads into the full view's, on a black background.
#pragma once

#include "bitmap.h"
#include "pixio.h"

namespace bench {

class TPixHostWithoutWindow : public TPixHost {
 public:
  TBitmap Bmp;
  TBitmap& PixBitmap() override { return Bmp; }
  TColor Background() const override { return clBlack; }
  void SetBackground(TColor) override {}
  void SetDPI(int, int) override {}
  void Update() override {}
  void ImageChange() override {}
};

}  // namespace bench
