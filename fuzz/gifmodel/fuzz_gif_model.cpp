// Arbitrary bytes as a GIF file read into the object model. Reading must end, stay within its
// buffers and either finish or raise the unit's error. What was read is then written; unless the
// model refuses to write it (no colour table, no frames), it must read back to the same frames,
// and from its second writing on the bytes must stay the same.

#include <stddef.h>
#include <stdint.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gif_model.h"

namespace {
// Large frames are legal but make every run slow.
struct Image : TGIFImageOwner {
  int64_t MaxFramePixels() const override { return int64_t(1) << 18; }
};

// The frames that hold pixels: a frame of extensions only is written in front of the next frame
// and is read back as part of it.
std::vector<TGIFSubImage*> Pictures(TGIFImageOwner& Image) {
  std::vector<TGIFSubImage*> r;
  for (int i = 0; i < Image.Images().Count(); ++i)
    if (!Image.Images()[i]->Empty()) r.push_back(Image.Images()[i]);
  return r;
}

bool Same(TGIFImageOwner& A, TGIFImageOwner& B) {
  const std::vector<TGIFSubImage*> pa = Pictures(A), pb = Pictures(B);
  if (pa.size() != pb.size()) return false;
  for (size_t i = 0; i < pa.size(); ++i) {
    TGIFSubImage* a = pa[i];
    TGIFSubImage* b = pb[i];
    if (a->DataSize() != b->DataSize() || a->Width() != b->Width() || a->Height() != b->Height()) return false;
    if (std::memcmp(a->Data(), b->Data(), size_t(a->DataSize())) != 0) return false;
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream in;
  in.WriteBuffer(data, int64_t(size));
  in.SetPosition(0);
  Image img;
  try {
    img.LoadFromStream(in);
  } catch (const GIFException&) {
    return 0;
  }
  if (in.Position() > in.Size()) std::abort();
  TMemoryStream out;
  try {
    img.SaveToStream(out);
  } catch (const GIFException&) {
    return 0;
  }
  out.SetPosition(0);
  Image back;
  back.LoadFromStream(out);
  if (!Same(img, back)) std::abort();
  // From then on writing and reading are each other's inverse. (The first written file may still
  // differ: a frame without pixels loses its local table, whose size the header's fields count.)
  TMemoryStream second;
  try {
    back.SaveToStream(second);  // frames that wrote nothing are gone: there may be none left
  } catch (const GIFException&) {
    return 0;
  }
  second.SetPosition(0);
  Image third;
  third.LoadFromStream(second);
  TMemoryStream again;
  third.SaveToStream(again);
  if (again.Size() != second.Size() || std::memcmp(again.Memory(), second.Memory(), size_t(second.Size())) != 0)
    std::abort();
  return 0;
}
