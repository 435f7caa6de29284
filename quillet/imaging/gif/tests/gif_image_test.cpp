// The GIF picture class without the window system: loading with its progress and a failed load,
// sizes, copies between pictures and from bitmaps, the picture's own bitmap, the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "gif_image.h"
#include "gif_test_support.h"
#include "picture.h"

namespace {

Bytes Saved(TGIFImage& Image) {
  TMemoryStream s;
  Image.SaveToStream(s);
  return StreamBytes(s);
}

void TwoFrames(TGIFImage& Image) {
  Image.GlobalColorMap().Add(TColor(0x0000FF));
  Image.GlobalColorMap().Add(TColor(0x00FF00));
  for (int i = 0; i < 2; ++i) {
    auto* f = new TGIFSubImage(&Image);
    Image.Images().Add(f);
    f->SetLeft(i);
    f->SetWidth(3);
    f->SetHeight(2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) f->ScanLine(y)[x] = uint8_t((x + i) & 1);
  }
}

TEST(GIFImage, LoadsWithProgressAndRestoresTheStreamOnFailure) {
  TGIFImage src;
  TwoFrames(src);
  const Bytes file = Saved(src);

  TGIFImage img;
  std::vector<std::pair<int, int>> progress;  // stage, percent
  img.OnProgress = [&](TObject*, TProgressStage S, uint8_t P, bool, const TRect*, const String&) {
    progress.push_back({int(S), int(P)});
  };
  TMemoryStream s;
  Fill(s, file);
  s.SetPosition(0);
  img.LoadFromStream(s);
  EXPECT_EQ(2, img.Images().Count());
  EXPECT_EQ(4, img.Width());
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ((std::pair<int, int>{int(psStarting), 0}), progress.front());
  EXPECT_EQ((std::pair<int, int>{int(psEnding), 100}), progress.back());

  // A second picture whose signature is wrong, 3 bytes into the stream: the error passes on, the
  // stream is back where the picture began, and the progress ends at 0 %.
  Bytes bad = {1, 2, 3};
  bad.resize(3 + file.size());
  std::copy(file.begin(), file.end(), bad.begin() + 3);
  bad[3] = 'X';
  TMemoryStream c;
  Fill(c, bad);
  c.SetPosition(3);
  progress.clear();
  EXPECT_THROW(img.LoadFromStream(c), GIFException);
  EXPECT_EQ(3, c.Position());
  EXPECT_EQ((std::pair<int, int>{int(psEnding), 0}), progress.back());
}

TEST(GIFImage, SizesCannotCutFrames) {
  TGIFImage img;
  TwoFrames(img);
  int changes = 0;
  img.OnChange = [&](TObject*) { ++changes; };
  EXPECT_THROW(img.SetWidth(3), GIFException);  // frame 1 reaches column 4
  EXPECT_EQ(4, img.Width());
  img.SetWidth(4);
  EXPECT_EQ(0, changes);  // the same width: no notification
  img.SetHeight(5);
  EXPECT_EQ(5, img.Height());
  EXPECT_EQ(1, changes);
}

TEST(GIFImage, CopiesKeepTheDestinationsSpeedAndCompression) {
  TGIFImage src;
  TwoFrames(src);
  src.AnimationSpeed = 50;
  src.Compression = 1;
  src.DrawOptions = gdAnimate;
  TGIFImage dst;
  dst.AnimationSpeed = 200;
  dst.Assign(&src);
  EXPECT_EQ(2, dst.Images().Count());
  EXPECT_EQ(200, dst.AnimationSpeed);
  EXPECT_EQ(0, dst.Compression);
  EXPECT_EQ(TGIFDrawOptions(gdAnimate), dst.DrawOptions);
  EXPECT_EQ(Saved(src).size() > 0, true);
  EXPECT_FALSE(dst.Equals(&src));
  EXPECT_TRUE(dst.Equals(&dst));
  EXPECT_EQ(src.Images()[1]->Pixels(0, 0), dst.Images()[1]->Pixels(0, 0));
}

TEST(GIFImage, BitmapsInAndOut) {
  // A true-colour bitmap becomes one frame on the 216 colours.
  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(5, 3);
  rgb.Fill(TColor(0x3366CC));
  TGIFImage img;
  img.Assign(&rgb);
  ASSERT_EQ(1, img.Images().Count());
  EXPECT_EQ(5, img.Width());
  TBitmap out;
  out.Assign(&img);
  EXPECT_EQ(5, out.Width());
  EXPECT_EQ(TColor(0x3366CC), out.Pixel(4, 2));

  // A picture whose frame 0 does not cover it: frame 0 on its area, the rest black.
  TGIFImage two;
  TwoFrames(two);
  TBitmap b;
  b.Assign(&two);
  EXPECT_EQ(4, b.Width());
  EXPECT_EQ(TColor(0x0000FF), b.Pixel(0, 0));
  EXPECT_EQ(TColor(0), b.Pixel(3, 0));

  // A logical screen beyond one picture's budget is refused before its bitmap is made.
  TGIFImage huge;
  TwoFrames(huge);
  huge.SetWidth(40000);
  huge.SetHeight(40000);
  EXPECT_THROW(b.Assign(&huge), GIFException);

  // An empty picture gives an empty bitmap, never a missing one.
  TGIFImage none;
  b.Assign(&none);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(nullptr, none.Bitmap());

  // Other objects are refused with the unit's text.
  TStringList text;
  try {
    img.Add(&text);
    ADD_FAILURE();
  } catch (const GIFException& e) {
    EXPECT_EQ("Object type not supported for operation", e.Message());
  }
}

TEST(GIFImage, DitherFollowsTheDisplay) {
  TGIFImage img;
  const bool saved = GIFAutoDitherActive;
  GIFAutoDitherActive = true;  // a display of 256 colours
  EXPECT_TRUE(img.DoDither());
  GIFAutoDitherActive = false;  // true colour
  EXPECT_FALSE(img.DoDither());
  img.DrawOptions &= TGIFDrawOptions(~gdAutoDither);
  EXPECT_TRUE(img.DoDither());
  img.DrawOptions &= TGIFDrawOptions(~gdDither);
  EXPECT_FALSE(img.DoDither());
  GIFAutoDitherActive = saved;
}

TEST(GIFImage, RegisteredWithThePictureContainer) {
  RegisterGIFImageFormat();
  TGraphicClass c = TPicture::FileFormatClass(".GIF");
  ASSERT_NE(nullptr, c);
  std::unique_ptr<TGraphic> g(c());
  EXPECT_STREQ("TGIFImage", g->ClassName());
}

}  // namespace

TEST(GIFImage, AFrameItsDataCannotFillIsRefusedAtOnce) {
  // 8000 x 8000 pixels declared over a few bytes of data, and a frame beyond the picture budget:
  // refused before anything is allocated, as the picture readers refuse them.
  const Bytes tiny = WrapInGIF(FrameData(2, PackCodes({{4, 3}, {0, 3}, {5, 3}})), 8000, 8000, 2, false);
  const Bytes data(size_t(7000) * 7000 / 4096 / 2 + 1000, 0);
  for (const Bytes& file : {tiny, WrapInGIF(FrameData(2, data), 7000, 7000, 2, false)}) {
    TGIFImage img;
    TMemoryStream s;
    Fill(s, file);
    s.SetPosition(0);
    try {
      img.LoadFromStream(s);
      ADD_FAILURE() << "no exception";
    } catch (const GIFException& e) {
      EXPECT_EQ(e.Message(), gifmsg::ImageDimensions);
    }
    EXPECT_EQ(s.Position(), 0);
  }
  // A frame whose data can fill it still loads, and its pixels beyond the data take the fill.
  TGIFImage img;
  TMemoryStream s;
  Fill(s, WrapInGIF(FrameData(2, PackCodes({{4, 3}, {1, 3}, {1, 3}, {5, 3}})), 3, 1, 2, false));
  s.SetPosition(0);
  img.LoadFromStream(s);
  ASSERT_EQ(img.Images().Count(), 1);
  EXPECT_EQ(img.Images()[0]->ScanLine(0)[1], 1);
  EXPECT_EQ(img.Images()[0]->ScanLine(0)[2], 0);
}

TEST(GIFImage, SavingTakesTimeLinearInTheFrames) {
  // One-pixel frames without tables of their own: each frame written asks for the picture's
  // largest table. Four times the frames may take about four times as long, not sixteen. The
  // linear save takes milliseconds, where a busy machine's pauses weigh as much: the margin of
  // 0.2 s stands far below the second and more that a walk over every frame per frame takes for
  // 16000 frames.
  auto saveSeconds = [](int frames) {
    TGIFImage img;
    img.GlobalColorMap().Add(TColor(0x0000FF));
    img.GlobalColorMap().Add(TColor(0x00FF00));
    for (int i = 0; i < frames; ++i) {
      auto* f = new TGIFSubImage(&img);
      img.Images().Add(f);
      f->SetWidth(1);
      f->SetHeight(1);
      f->ScanLine(0)[0] = uint8_t(i & 1);
    }
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
      TMemoryStream s;
      const auto t0 = std::chrono::steady_clock::now();
      img.SaveToStream(s);
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
  };
  const double few = saveSeconds(4000), many = saveSeconds(16000);
  EXPECT_LT(many, 8 * few + 0.2) << few << " s for 4000 frames, " << many << " s for 16000";
}

TEST(GIFImage, LoadingTakesTimeLinearInTheFrames) {
  // 100,000 one-pixel frames: each frame loaded tells the picture that it changed before it is in
  // the list. Four times the frames may take about four times as long, not sixteen; the margin
  // covers a busy machine's pauses and stays far below the seconds that a walk over the list per
  // frame costs.
  auto file = [](int frames) {
    TGIFImage img;
    img.GlobalColorMap().Add(TColor(0x0000FF));
    img.GlobalColorMap().Add(TColor(0x00FF00));
    for (int i = 0; i < frames; ++i) {
      auto* f = new TGIFSubImage(&img);
      img.Images().Add(f);
      f->SetWidth(1);
      f->SetHeight(1);
      f->ScanLine(0)[0] = uint8_t(i & 1);
    }
    return Saved(img);
  };
  auto loadSeconds = [](const Bytes& data, int frames) {
    double best = 1e9;
    for (int run = 0; run < 2; ++run) {
      TMemoryStream s;
      Fill(s, data);
      s.SetPosition(0);
      TGIFImage img;
      const auto t0 = std::chrono::steady_clock::now();
      img.LoadFromStream(s);
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
      EXPECT_EQ(img.Images().Count(), frames);
    }
    return best;
  };
  const double few = loadSeconds(file(25000), 25000), many = loadSeconds(file(100000), 100000);
  EXPECT_LT(many, 8 * few + 0.3) << few << " s for 25000 frames, " << many << " s for 100000";
}

TEST(GIFImage, AScreenFarBeyondItsFramesIsBoundedByThem) {
  // The picture's bitmap is the logical screen. A screen of which the frame covers at least a
  // quarter keeps its size; one of more than a megapixel that its frame covers less than a quarter
  // of is bounded by the frame, with a warning.
  struct Case {
    int screenW, screenH, frameW, frameH, w, h;
  } cases[] = {
      {1200, 1000, 700, 500, 1200, 1000},
      {1200, 1000, 500, 500, 500, 500},
      {1000, 1000, 10, 10, 1000, 1000},  // a megapixel: kept whatever its frames
      {6000, 7000, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.screenW);
    const Bytes data(size_t(c.frameW) * c.frameH / 1000 + 100, 0);
    Bytes file = WrapInGIF(FrameData(2, data), c.frameW, c.frameH, 2, false);
    file[6] = uint8_t(c.screenW), file[7] = uint8_t(c.screenW >> 8);
    file[8] = uint8_t(c.screenH), file[9] = uint8_t(c.screenH >> 8);
    TGIFImage img;
    std::vector<std::string> warnings;
    img.OnWarning = [&](TObject*, int, const String& m) { warnings.push_back(m); };
    TMemoryStream s;
    Fill(s, file);
    s.SetPosition(0);
    img.LoadFromStream(s);
    EXPECT_EQ(img.Width(), c.w);
    EXPECT_EQ(img.Height(), c.h);
    ASSERT_NE(img.Bitmap(), nullptr);
    EXPECT_EQ(img.Bitmap()->Width(), c.w);
    EXPECT_EQ(img.Bitmap()->Height(), c.h);
    const bool bounded = c.w != c.screenW;
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), std::string(gifmsg::ScreenSize)) > 0, bounded);
  }
}
