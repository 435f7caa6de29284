#include "jpeg_image.h"

#include "jpeg_reader.h"
#include "picture.h"

namespace {
// JPEG files of the pictures a page holds; larger ones are refused before they are read.
constexpr int64_t kMaxFile = int64_t(1) << 27;
}  // namespace

void TJPEGImage::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> d = ReadRest(Stream, kMaxFile + 1);
  if (int64_t(d.size()) > kMaxFile) throw EInvalidGraphic("unrecognized JPeg - JPEG error #0");
  TMemoryStream m;
  if (!d.empty()) m.WriteBuffer(d.data(), int64_t(d.size()));
  m.SetPosition(0);
  int x = 0, y = 0;
  std::shared_ptr<TBitmap> picture(ReadJPEGStream(m, x, y));
  TJPEGState n;
  n.Data.swap(d);
  n.Width = picture->Width();
  n.Height = picture->Height();
  n.Picture = std::move(picture);
  Take(std::move(n));
}

void TJPEGImage::Draw(TCanvas& ACanvas, const TRect& Rect) {
  if (F.Picture) F.Picture->Draw(ACanvas, Rect);
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Die Gr\xF6\xDF" "e eines JPEG-Bildes kann nicht ge\xE4ndert werden"); }

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    if (F.Picture) b->Assign(F.Picture.get());
    else b->Assign(nullptr);
    return;
  }
  TFileGraphic::AssignTo(Dest);
}

void RegisterJPEGImage() {
  TPicture::RegisterFileFormat("jpg", "JPEG-Bilder", &GraphicClassOf<TJPEGImage>);
  TPicture::RegisterFileFormat("jpeg", "JPEG-Bilder", &GraphicClassOf<TJPEGImage>);
}
