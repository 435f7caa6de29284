// The picture classes registered with TPicture on arbitrary bytes. The first byte chooses the file
// format (as an extension would), the rest is the file.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "bitmap.h"
#include "picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const char* const kExtensions[] = {"bmp", "ico", "wmf", "emf"};
  TGraphicClass c = TPicture::FileFormatClass(kExtensions[data[0] % 4]);
  TMemoryStream s;
  s.WriteBuffer(data + 1, int64_t(size - 1));
  s.SetPosition(0);
  std::unique_ptr<TGraphic> g(c());
  try {
    g->LoadFromStream(s);
    if (auto* b = dynamic_cast<TBitmap*>(g.get())) {
      if (b->Height() > 0) (void)b->ScanLine(b->Height() - 1)[b->RowBytes() - 1];
      // Writing back too, for pictures small enough that the copy stays far within the budget.
      if (b->ImageSize() < (size_t(1) << 20)) {
        TMemoryStream out;
        b->SaveToStream(out);
      }
    }
    (void)g->Width();
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
