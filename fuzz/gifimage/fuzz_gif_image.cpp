// The GIF picture class through the picture registry on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "gif_image.h"
#include "picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool registered = (RegisterGIFImageFormat(), true);
  (void)registered;
  TGraphicClass c = TPicture::FileFormatClass("gif");
  std::unique_ptr<TGraphic> g(c());
  auto* img = dynamic_cast<TGIFImage*>(g.get());
  if (!img) __builtin_trap();
  TMemoryStream s;
  s.WriteBuffer(data, int64_t(size));
  s.SetPosition(0);
  try {
    img->LoadFromStream(s);
  } catch (const EInvalidGraphic&) {
  }
  // The work after loading is linear in the pixels; pictures of many megapixels are only loaded,
  // so that each input stays well inside the fuzzer's time limit.
  int64_t pixels = 0;
  for (int i = 0; i < img->Images().Count(); ++i)
    pixels += int64_t(img->Images()[i]->Width()) * img->Images()[i]->Height();
  if (pixels > (int64_t(1) << 20)) return 0;
  // The picture's own bitmap covers the logical screen, which may be far larger than its frames.
  if (int64_t(img->Width()) * img->Height() > (int64_t(1) << 20)) return 0;
  try {
    for (int i = 0; i < img->Images().Count() && i < 4; ++i) {
      img->FrameBitmap(img->Images()[i]);
      img->FrameMask(img->Images()[i]);
    }
    TBitmap b;
    b.Assign(img);
    TGIFImage copy;
    copy.Assign(img);
    copy.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap, 0);
    TMemoryStream out;
    copy.SaveToStream(out);
    out.SetPosition(0);
    TGIFImage back;
    back.LoadFromStream(out);
  } catch (const EInvalidGraphic&) {
  } catch (const EConvertError&) {
  }
  return 0;
}
