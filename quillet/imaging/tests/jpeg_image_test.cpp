// The JPEG picture class through the picture container: the registered extensions, the decoded
// picture, the bytes saved unchanged, the reader's message for a broken file.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "jpeg_image.h"
#include "jpeg_reader.h"
#include "picture.h"

namespace {

const std::string kDir = IMAGING_FIXTURES;

TEST(JPEGImage, ThePictureContainerLoadsJpegFiles) {
  RegisterJPEGImage();
  EXPECT_EQ(TPicture::FileFormatClass("JPEG"), &GraphicClassOf<TJPEGImage>);
  TPicture p;
  p.LoadFromFile(kDir + "/rose.jpg");
  auto* j = dynamic_cast<TJPEGImage*>(p.Graphic());
  ASSERT_NE(j, nullptr);
  EXPECT_EQ(p.Width(), 70);
  EXPECT_EQ(p.Height(), 46);
  TFileStream f(kDir + "/rose.jpg", fmOpenRead);
  int x = 0, y = 0;
  std::unique_ptr<TBitmap> ref(ReadJPEGStream(f, x, y));
  TBitmap b;
  b.Assign(j);  // a bitmap takes the decoded picture
  ASSERT_EQ(b.Width(), 70);
  for (int yy = 0; yy < 46; yy += 5)
    for (int xx = 0; xx < 70; xx += 5) ASSERT_EQ(b.Pixel(xx, yy), ref->Pixel(xx, yy));
  TMemoryStream out;
  j->SaveToStream(out);
  EXPECT_EQ(out.Size(), f.Size());
  EXPECT_THROW(j->SetWidth(3), EInvalidGraphicOperation);
}

TEST(JPEGImage, ABrokenFileKeepsThePicture) {
  TJPEGImage j;
  {
    TFileStream f(kDir + "/rose.jpg", fmOpenRead);
    j.LoadFromStream(f);
  }
  TMemoryStream junk;
  junk.WriteBuffer("not a jpeg at all", 17);
  junk.SetPosition(0);
  try {
    j.LoadFromStream(junk);
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()).rfind("unrecognized JPeg - JPEG error #", 0), 0u) << e.what();
  }
  EXPECT_EQ(j.Width(), 70);
}

}  // namespace
