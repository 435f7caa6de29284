#include "bmp_budget.h"

#include "bitmap.h"

void RefuseBMPBeyondBudget(TStream& Stream) {
  // Whether the headers are ones the reader knows is the reader's to say.
  TBMPHeader h;
  try {
    h = ReadBMPHeader(Stream);
  } catch (const EInvalidGraphic&) {
    return;
  }
  // A declaration the data cannot fill is the reader's to refuse as broken.
  if (int64_t(h.Width) * h.Height <= kMaxPicturePixels || !BMPDataCanFill(h)) return;
  throw EPictureTooLarge(h.Width, h.Height);
}
