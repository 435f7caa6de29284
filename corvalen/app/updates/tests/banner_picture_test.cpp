// Which banner downloads may take the place of "rechnung.gif": whole GIF pictures only.
#include <string>

#include "BannerPicture.h"
#include "TestSupport.h"

namespace {

bool IsGif(const std::string& bytes) {
  return IsGifPicture(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// A 2 x 1 picture with a global colour table of two entries and one image.
std::string SmallGif(const char* signature = "GIF89a", unsigned width = 2) {
  std::string g = signature;
  g += std::string{static_cast<char>(width), 0, 1, 0, static_cast<char>(0x80), 0, 0};
  g += std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
  g += std::string("\x21\xF9\x04\x01\x00\x00\x00\x00", 8);  // graphic control extension
  g += std::string("\x2C\x00\x00\x00\x00", 5) + static_cast<char>(width) + std::string("\x00\x01\x00\x00", 4);
  g += std::string("\x02\x02\x44\x01\x00", 5);  // code size 2, one sub-block, the end
  g += ';';
  return g;
}

class BannerPictureTest : public TariffTest {};

TEST_F(BannerPictureTest, WholePicturesAreTaken) {
  EXPECT_TRUE(IsGif(SmallGif()));
  EXPECT_TRUE(IsGif(SmallGif("GIF87a")));
  for (const char* shipped : {"corvalen/data/rechnung.gif", "corvalen/data/logo.gif"}) {
    const std::string gif = SourceFile(shipped);
    ASSERT_FALSE(gif.empty()) << shipped;
    EXPECT_TRUE(IsGif(gif)) << shipped;
  }
}

TEST_F(BannerPictureTest, CutOrForeignFilesAreRefused) {
  // Every download that stopped short of the end.
  for (const std::string& whole : {SmallGif(), SourceFile("corvalen/data/rechnung.gif")})
    for (size_t n = 0; n < whole.size(); ++n) EXPECT_FALSE(IsGif(whole.substr(0, n))) << n << " of " << whole.size();
  const std::string cases[] = {
      "<html><body>Fehler 404</body></html>",
      "GIF89a",
      SmallGif("GIF88a"),
      SmallGif("GIF89a", 0),                  // a screen without pixels
      SmallGif().substr(0, SmallGif().size() - 1) + "X",  // something else in place of the trailer
      std::string("\x89PNG\r\n\x1A\n", 8) + std::string(100, '\0'),
  };
  for (const std::string& c : cases) EXPECT_FALSE(IsGif(c)) << c;
  // A file of the header and the trailer alone has no picture.
  std::string empty = SmallGif();
  empty = empty.substr(0, 6 + 7 + 6) + ";";
  EXPECT_FALSE(IsGif(empty));
  EXPECT_FALSE(IsGifPicture(nullptr, 0));
}

}  // namespace
