// The folder scan (with a fake frame counter) and the thumbnails' loading and shrinking.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "thumbload.h"
#include "thumbscan.h"

namespace {
namespace fs = std::filesystem;

void Touch(const fs::path& p) {
  std::FILE* f = std::fopen(p.string().c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("x", f);
  std::fclose(f);
}

std::vector<String> Names(const TStringList& l) {
  std::vector<String> v;
  for (int i = 0; i < l.Count(); ++i) v.push_back(ExtractFileName(l.Strings(i)));
  return v;
}

const String kFixtures = String(ASTREL_BINARY_DIR) + "/quillet/imaging/thumbs/fixtures/";
}  // namespace

TEST(ThumbScan, PatternsInOrderAnimationsLeftOutSortedCopy) {
  const fs::path dir = fs::path(ASTREL_BINARY_DIR) / "thumbscan_dir";
  fs::remove_all(dir);
  fs::create_directories(dir / "folder.png");
  for (const char* n : {"c.JPG", "b.gif", "a.gif", "z.png", "bad.gif", "m.bmp", "e.emf", "w.wmf", "i.ico",
                        "t.txt", "p.jpeg", ".hidden.png"})
    Touch(dir / n);
  const TFrameCounter frames = [](const String& f) -> int {
    if (ExtractFileName(f) == "b.gif") return 3;
    if (ExtractFileName(f) == "bad.gif") throw std::runtime_error("unrecognized GIF");
    return 1;
  };
  TStringList scanned, sorted;
  scanned.Add("old");
  ScanPictureFolder(dir.string() + "/", frames, scanned, sorted);
  // Pattern by pattern; within one pattern the file system's order, so only the groups are fixed.
  const std::vector<String> got = Names(scanned);
  ASSERT_EQ(got.size(), 8u);
  EXPECT_EQ(got[0], "z.png");
  EXPECT_EQ(got[1], "m.bmp");
  EXPECT_EQ(got[2], "c.JPG");
  EXPECT_EQ(got[3], "w.wmf");
  EXPECT_EQ(got[4], "e.emf");
  EXPECT_EQ(got[5], "i.ico");
  EXPECT_EQ(std::set<String>(got.begin() + 6, got.end()), (std::set<String>{"a.gif", "bad.gif"}));
  EXPECT_EQ(Names(sorted), (std::vector<String>{"a.gif", "bad.gif", "c.JPG", "e.emf", "i.ico", "m.bmp", "w.wmf", "z.png"}));
  EXPECT_EQ(scanned.Strings(0), dir.string() + "/z.png");

  ScanPictureFolder((dir / "missing").string(), frames, scanned, sorted);
  EXPECT_EQ(scanned.Count(), 0);
  EXPECT_EQ(sorted.Count(), 0);
}

TEST(ThumbLoad, ShrinkAveragesAndKeepsSmallPictures) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(4, 2);
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 2; ++y) b.SetPixel(x, y, x < 2 ? RGBColor(200, 0, 100) : RGBColor(0, 100, 250));
  b.SetPixel(0, 0, RGBColor(0, 0, 0));
  std::unique_ptr<TBitmap> s = ShrinkBitmap(b, 2, 1);
  ASSERT_EQ(s->Width(), 2);
  ASSERT_EQ(s->Height(), 1);
  EXPECT_EQ(s->Pixel(0, 0), RGBColor(150, 0, 75));
  EXPECT_EQ(s->Pixel(1, 0), RGBColor(0, 100, 250));

  // 400 x 200 into 100 x 100 becomes 100 x 50; 30 x 30 stays as it is.
  TBitmap wide;
  wide.SetPixelFormat(pf24bit);
  wide.SetSize(400, 200);
  wide.Fill(RGBColor(10, 20, 30));
  std::unique_ptr<TBitmap> w = ShrinkToBox(wide, 100, 100);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->Width(), 100);
  EXPECT_EQ(w->Height(), 50);
  EXPECT_EQ(w->Pixel(50, 25), RGBColor(10, 20, 30));
  TBitmap small;
  small.SetPixelFormat(pf24bit);
  small.SetSize(30, 30);
  EXPECT_FALSE(ShrinkToBox(small, 100, 100));
}

TEST(ThumbLoad, EveryReaderAndTheScaledJPEGGiveTheSameThumbnail) {
  // The same 640 x 480 picture in four formats (ImageMagick), each shrunk into 80 x 80:
  // 12 percent, 77 x 58. The JPEG is decoded at one eighth (80 x 60) and only then shrunk.
  for (const char* name : {"photo.jpg", "photo.png", "photo.bmp", "photo.gif"}) {
    TThumbPicture p = LoadThumbPicture(kFixtures + name, 80, 80);
    EXPECT_EQ(p.Width, 640) << name;
    EXPECT_EQ(p.Height, 480) << name;
    if (String(name) == "photo.jpg") {
      EXPECT_EQ(p.Graphic->Width(), 80);
    }
    std::unique_ptr<TBitmap> t = ShrinkToBox(*p.Graphic, 80, 80, p.Width, p.Height);
    ASSERT_TRUE(t) << name;
    EXPECT_EQ(t->Width(), 77) << name;
    EXPECT_EQ(t->Height(), 58) << name;
    // Left half red-ish, right half blue-ish in the fixture: the averages keep them apart.
    const TColor left = t->Pixel(10, 29), right = t->Pixel(66, 29);
    EXPECT_GT(int(left & 0xFF), 180) << name;
    EXPECT_LT(int(left >> 16 & 0xFF), 70) << name;
    EXPECT_GT(int(right >> 16 & 0xFF), 180) << name;
    EXPECT_LT(int(right & 0xFF), 70) << name;
  }
  EXPECT_THROW(LoadThumbPicture(kFixtures + "broken.jpg", 80, 80), EInvalidGraphic);
}

// The stages a cell's picture control hears: the start before the read, the end once the picture
// is whole, and no end when the read fails.
TEST(ThumbLoad, ProgressStartsAndEndsOnlyWhenThePictureIsWhole) {
  struct TCase {
    const char* Name;
    std::vector<TProgressStage> Stages;
  };
  const TCase cases[] = {
      {"photo.jpg", {psStarting, psEnding}}, {"photo.png", {psStarting, psEnding}},
      {"photo.bmp", {psStarting, psEnding}}, {"photo.gif", {psStarting, psEnding}},
      {"view/f.ico", {psStarting, psEnding}}, {"broken.jpg", {psStarting}},
      {"view/kaputt.png", {psStarting}},     {"fehlt.bmp", {psStarting}},
  };
  for (const TCase& c : cases) {
    std::vector<TProgressStage> heard;
    const TProgressEvent progress = [&](TObject*, TProgressStage Stage, uint8_t, bool, const TRect*, const String&) {
      heard.push_back(Stage);
    };
    bool threw = false;
    try {
      LoadThumbPicture(kFixtures + c.Name, 80, 80, progress);
    } catch (const std::exception&) {
      threw = true;
    }
    EXPECT_EQ(heard, c.Stages) << c.Name;
    // The load fails exactly where the stages stop at the start.
    EXPECT_EQ(threw, c.Stages.back() == psStarting) << c.Name;
  }
}
