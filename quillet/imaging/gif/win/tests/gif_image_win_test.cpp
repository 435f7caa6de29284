// The GIF picture class under Wine: frames drawn through their masks (MaskBlt and the emulated
// route), animations played by the painter in a thread of its own and inside Draw with their
// frames and timing, stopping a painter in a long pause, the clipboard, and the registration.
#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <vector>

#include "bitmap_win.h"
#include "gif_frame_draw.h"
#include "gif_image_win.h"
#include "gif_painter.h"
#include "icon.h"
#include "picture.h"

namespace {

const TColor kColors[] = {TColor(0x0000FF), TColor(0x00FF00), TColor(0xFF0000), TColor(0xFFFFFF)};

// A picture of W x H with one frame per entry of Delays, frame i filled with colour i (index i of
// a 4-colour global table); Transparent makes the left column of every frame index 3, transparent.
void MakeAnimation(TGIFImage& Image, const std::vector<int>& Delays, int W = 8, int H = 8, bool Transparent = false) {
  for (TColor c : kColors) Image.GlobalColorMap().Add(c);
  for (size_t i = 0; i < Delays.size(); ++i) {
    auto* f = new TGIFSubImage(&Image);
    Image.Images().Add(f);
    f->SetWidth(W);
    f->SetHeight(H);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) f->ScanLine(y)[x] = uint8_t(Transparent && x == 0 ? 3 : i % 3);
    auto* g = new TGIFGraphicControlExtension(f);
    f->Extensions().Add(g);
    g->SetDelay(Delays[i]);
    if (Transparent) {
      g->SetTransparent(true);
      g->SetTransparentColorIndex(3);
    }
  }
}

struct Target {
  TBitmap Bitmap;
  explicit Target(int W, int H, TColor Fill = TColor(0x808080)) {
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(W, H);
    Bitmap.Fill(Fill);
  }
  TCanvas& Canvas() { return *BitmapCanvas(Bitmap); }
  TColor Pixel(int X, int Y) {
    GdiFlush();
    return Bitmap.Pixel(X, Y);
  }
};

void Pump(const std::function<bool()>& Done, DWORD Ms) {
  const DWORD start = GetTickCount();
  // Waiting for messages, so that a painter's synchronised calls are served at once.
  while (!Done() && GetTickCount() - start < Ms) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    if (!Done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

class GIFPicture : public ::testing::Test {
protected:
  static void SetUpTestSuite() { RegisterGIFImage(); }
};

TEST_F(GIFPicture, OneFrameIsDrawnThroughItsMaskStretchedOrNot) {
  TGIFImage img;
  MakeAnimation(img, {0}, 4, 2, true);
  // Unstretched (MaskBlt): the left column stays grey, the rest is red.
  Target t(4, 2);
  img.Draw(t.Canvas(), TRect(0, 0, 4, 2));
  EXPECT_EQ(TColor(0x808080), t.Pixel(0, 0));
  EXPECT_EQ(kColors[0], t.Pixel(1, 1));
  EXPECT_EQ(kColors[0], t.Pixel(3, 0));
  // Stretched twice (the emulated route): two grey columns; the target's colours stay.
  Target s(8, 4);
  SetTextColor(s.Canvas().Handle(), RGB(1, 2, 3));
  SetBkColor(s.Canvas().Handle(), RGB(4, 5, 6));
  img.Draw(s.Canvas(), TRect(0, 0, 8, 4));
  EXPECT_EQ(TColor(0x808080), s.Pixel(1, 3));
  EXPECT_EQ(kColors[0], s.Pixel(2, 0));
  EXPECT_EQ(RGB(1, 2, 3), GetTextColor(s.Canvas().Handle()));
  EXPECT_EQ(RGB(4, 5, 6), GetBkColor(s.Canvas().Handle()));
  // Without gdTransparent the frame is painted opaque.
  img.DrawOptions &= TGIFDrawOptions(~gdTransparent);
  Target o(4, 2);
  img.Draw(o.Canvas(), TRect(0, 0, 4, 2));
  EXPECT_EQ(kColors[3], o.Pixel(0, 0));
}

TEST_F(GIFPicture, TilesRepeatAtThePicturesSizeAndOneFrameNeedsNoPainter) {
  // A 2 x 2 picture whose only frame covers its right column: tiled into 5 x 5, columns 1 and 3
  // are red in every row, column 0 and 2 keep the target's grey; the tile starting at column 5 would
  // lie outside. No painter is made for one frame, and an animated picture drawn into an empty
  // rectangle makes none either.
  TGIFImage img;
  for (TColor c : kColors) img.GlobalColorMap().Add(c);
  img.SetWidth(2);
  img.SetHeight(2);
  auto* f = new TGIFSubImage(&img);
  img.Images().Add(f);
  f->SetLeft(1);
  f->SetWidth(1);
  f->SetHeight(2);
  f->ScanLine(0)[0] = f->ScanLine(1)[0] = 0;
  img.DrawOptions |= gdTile;
  Target t(5, 5);
  img.Draw(t.Canvas(), TRect(0, 0, 5, 5));
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(TColor(0x808080), t.Pixel(0, y));
    EXPECT_EQ(kColors[0], t.Pixel(1, y));
    EXPECT_EQ(TColor(0x808080), t.Pixel(2, y));
    EXPECT_EQ(kColors[0], t.Pixel(3, y));
  }
  EXPECT_EQ(0, GIFImageWin(img)->Painters().Count());

  TGIFImage anim;
  MakeAnimation(anim, {10, 10});
  anim.DrawOptions |= gdDirect;
  anim.Draw(t.Canvas(), TRect(3, 3, 3, 8));
  EXPECT_EQ(nullptr, GIFImageWin(anim)->DrawPainter());
  EXPECT_EQ(0, GIFImageWin(anim)->Painters().Count());
}

struct Played {
  std::vector<int> Frames;
  std::vector<DWORD> Times;
  std::vector<TColor> Shown;
  int Ends = 0;
  bool MainThread = true;
};

void Watch(TGIFImage& Img, Played& P, Target& T) {
  const DWORD main = GetCurrentThreadId();
  Img.OnFramePainted = [&P, &T, main](TObject* Sender) {
    auto* painter = dynamic_cast<TGIFPainter*>(static_cast<TThread*>(Sender));
    P.Frames.push_back(painter ? painter->ActiveImage() : -2);
    P.Times.push_back(timeGetTime());
    P.Shown.push_back(T.Pixel(4, 4));
    if (GetCurrentThreadId() != main) P.MainThread = false;
  };
  Img.OnPaintEnd = [&P](TObject*) { ++P.Ends; };
}

// Whether every interval lies within 20 ms of the one expected. One that comes late may be the
// machine's doing (other builds share it); so may one that comes early, since the animation
// shortens a pause by half of what the frame before it overran (a slow first paint, a late
// wake-up, code that an emulated machine translates on its first run). A run is therefore tried
// up to three times, and one of them must keep time.
bool OnTime(const std::vector<int>& Got, const std::vector<int>& Want) {
  bool ok = Got.size() == Want.size();
  for (size_t i = 0; ok && i < Got.size(); ++i) {
    ok = Got[i] <= Want[i] + 20 && Got[i] >= Want[i] - 20;
    if (!ok) std::printf("interval %d: %d ms, expected %d\n", int(i), Got[i], Want[i]);
  }
  return ok;
}

TEST_F(GIFPicture, ThreadedAnimationPlaysItsFramesOnTime) {
  // Delays 10, 20 and 5 hundredths: 120, 240 and 60 ms apart (12 ms a unit), each within 20 ms.
  timeBeginPeriod(1);
  bool onTime = false;
  for (int attempt = 0; attempt < 3 && !onTime; ++attempt) {
    TGIFImage img;
    MakeAnimation(img, {10, 20, 5});
    img.DrawOptions |= gdDirect;
    Target t(8, 8);
    Played p;
    Watch(img, p, t);
    img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
    Pump([&] { return p.Ends > 0; }, 5000);
    ASSERT_EQ(1, p.Ends);
    EXPECT_TRUE(p.MainThread);  // every notification runs in the user-interface thread
    EXPECT_EQ((std::vector<int>{0, 1, 2}), p.Frames);
    EXPECT_EQ((std::vector<TColor>{kColors[0], kColors[1], kColors[2]}), p.Shown);
    ASSERT_EQ(3u, p.Times.size());
    onTime = OnTime({int(p.Times[1] - p.Times[0]), int(p.Times[2] - p.Times[1])}, {120, 240});
    // The painter took itself out of the picture.
    Pump([&] { return GIFImageWin(img)->Painters().Count() == 0; }, 2000);
    EXPECT_EQ(0, GIFImageWin(img)->Painters().Count());
    EXPECT_EQ(nullptr, GIFImageWin(img)->DrawPainter());
  }
  timeEndPeriod(1);
  EXPECT_TRUE(onTime);
}

TEST_F(GIFPicture, AnimationInsideDrawLoopsAndReturnsAtItsEnd) {
  timeBeginPeriod(1);
  bool onTime = false;
  for (int attempt = 0; attempt < 3 && !onTime; ++attempt) {
    TGIFImage img;
    MakeAnimation(img, {5, 5});
    auto* loop = new TGIFAppExtNSLoop(img.Images()[0]);
    loop->SetLoops(2);
    img.Images()[0]->Extensions().Insert(0, loop);
    img.DrawOptions = gdAnimate | gdLoop | gdDirect;
    Target t(8, 8);
    Played p;
    Watch(img, p, t);
    img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
    EXPECT_EQ((std::vector<int>{0, 1, 0, 1}), p.Frames);
    EXPECT_EQ(1, p.Ends);
    EXPECT_EQ(kColors[1], t.Pixel(4, 4));
    ASSERT_EQ(4u, p.Times.size());
    // Each frame after the first waits 5 units, 60 ms.
    onTime = OnTime({int(p.Times[1] - p.Times[0]), int(p.Times[2] - p.Times[1]), int(p.Times[3] - p.Times[2])},
                    {60, 60, 60});
  }
  timeEndPeriod(1);
  EXPECT_TRUE(onTime);
}

TEST_F(GIFPicture, StoppingAPainterInALongPauseEndsItAtOnce) {
  TGIFImage img;
  MakeAnimation(img, {2000, 2000});  // 24 s each
  img.DrawOptions |= gdDirect;
  Target t(8, 8);
  Played p;
  Watch(img, p, t);
  img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
  Pump([&] { return !p.Frames.empty(); }, 3000);
  ASSERT_EQ(1u, p.Frames.size());
  ASSERT_NE(nullptr, GIFImageWin(img)->DrawPainter());
  // A second Draw on the same canvas and rectangle neither restarts nor doubles the animation.
  img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
  EXPECT_EQ(1, GIFImageWin(img)->Painters().Count());
  const DWORD start = GetTickCount();
  img.StopDraw();
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(0, GIFImageWin(img)->Painters().Count());
  EXPECT_EQ(0, p.Ends);  // a stopped painter fires no end
}

TEST_F(GIFPicture, DefaultOptionsShowFrameZeroAndAnimateTheBitmap) {
  TGIFImage img;
  MakeAnimation(img, {5, 5, 5});
  Target t(8, 8);
  int changes = 0;
  img.OnChange = [&](TObject*) { ++changes; };
  img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
  EXPECT_EQ(kColors[0], t.Pixel(4, 4));  // frame 0 at once, through the picture's bitmap
  Pump([&] { return changes >= 3; }, 3000);
  EXPECT_GE(changes, 3);  // each painted frame tells the owner to repaint
  img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
  img.StopDraw();
  EXPECT_EQ(0, GIFImageWin(img)->Painters().Count());
}

DWORD WINAPI LockAndUnlock(void* List) {
  static_cast<TThreadList<TGIFPainter>*>(List)->LockList();
  static_cast<TThreadList<TGIFPainter>*>(List)->UnlockList();
  return 0;
}

// Takes the painter list once in a thread of its own; true unless it stayed locked for 3 s.
bool ListFreeForOtherThreads(TThreadList<TGIFPainter>& List) {
  HANDLE t = CreateThread(nullptr, 0, LockAndUnlock, &List, 0, nullptr);
  const bool done = WaitForSingleObject(t, 3000) == WAIT_OBJECT_0;
  CloseHandle(t);
  return done;
}

TEST_F(GIFPicture, ADrawThatFailsLeavesThePainterListFree) {
  // Small frames on a screen beyond one picture's budget: the picture's bitmap, which the
  // animation is played onto, is refused while Draw holds the painter list.
  TGIFImage img;
  MakeAnimation(img, {5, 5});
  img.Header().SetWidth(9000);
  img.Header().SetHeight(9000);
  Target t(8, 8);
  std::string error;
  try {
    img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
  } catch (const GIFException& e) {
    error = e.Message();
  }
  EXPECT_EQ("Invalid image dimensions", error);
  EXPECT_TRUE(ListFreeForOtherThreads(GIFImageWin(img)->Painters()));
  // Played straight onto the canvas the frames need no such bitmap.
  img.DrawOptions |= gdDirect;
  Played p;
  Watch(img, p, t);
  img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
  Pump([&] { return !p.Frames.empty(); }, 3000);
  EXPECT_FALSE(p.Frames.empty());
  img.StopDraw();
  EXPECT_EQ(0, GIFImageWin(img)->Painters().Count());
}

// Frames of the composition tests: (left, top, size, colour index, disposal).
struct Part {
  int L, T, Size, Color, Disposal;
};
void Compose(TGIFImage& Image, const std::vector<Part>& Parts) {
  for (TColor c : kColors) Image.GlobalColorMap().Add(c);
  Image.SetWidth(8);
  Image.SetHeight(8);
  for (const Part& p : Parts) {
    auto* f = new TGIFSubImage(&Image);
    Image.Images().Add(f);
    f->SetLeft(p.L);
    f->SetTop(p.T);
    f->SetWidth(p.Size);
    f->SetHeight(p.Size);
    for (int y = 0; y < p.Size; ++y)
      for (int x = 0; x < p.Size; ++x) f->ScanLine(y)[x] = uint8_t(p.Color);
    auto* g = new TGIFGraphicControlExtension(f);
    f->Extensions().Add(g);
    g->SetDelay(1);
    g->SetDisposal(p.Disposal);
  }
}

TEST_F(GIFPicture, DisposalMethodsComposeTheFrames) {
  const TColor grey = TColor(0x808080);
  // Disposal 2: after its delay the green frame's area shows what lay under the picture again.
  {
    TGIFImage img;
    Compose(img, {{0, 0, 8, 0, 1}, {0, 0, 4, 1, 2}, {4, 4, 4, 2, 1}});
    img.DrawOptions = gdAnimate | gdTransparent | gdDirect;
    Target t(8, 8, grey);
    std::vector<TColor> atGreen;
    img.OnFramePainted = [&](TObject*) { atGreen.push_back(t.Pixel(1, 1)); };
    img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
    EXPECT_EQ((std::vector<TColor>{kColors[0], kColors[1], grey}), atGreen);
    EXPECT_EQ(kColors[2], t.Pixel(5, 5));
    EXPECT_EQ(kColors[0], t.Pixel(6, 1));
  }
  // Disposal 3 after 1: the green frame goes straight onto the target and vanishes under the next
  // frame's copy of what was there before it.
  {
    TGIFImage img;
    Compose(img, {{0, 0, 8, 0, 1}, {0, 0, 4, 1, 3}, {7, 7, 1, 2, 1}});
    img.DrawOptions = gdAnimate | gdDirect;
    Target t(8, 8, grey);
    std::vector<TColor> atGreen;
    img.OnFramePainted = [&](TObject*) { atGreen.push_back(t.Pixel(1, 1)); };
    img.Draw(t.Canvas(), TRect(0, 0, 8, 8));
    EXPECT_EQ((std::vector<TColor>{kColors[0], kColors[1], kColors[0]}), atGreen);
    EXPECT_EQ(kColors[2], t.Pixel(7, 7));
  }
}

TEST_F(GIFPicture, ClipboardCarriesTheGIFAndTheBitmap) {
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  TGIFImage img;
  MakeAnimation(img, {10, 20});
  uint16_t format = 0;
  THandle data = 0;
  TPaletteHandle palette = nullptr;
  img.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(cfBitmap, format);
  ASSERT_NE(THandle(0), data);
  SetClipboardData(format, reinterpret_cast<HANDLE>(data));
  CloseClipboard();

  ASSERT_NE(0, GIFClipboardFormat);
  EXPECT_TRUE(IsClipboardFormatAvailable(GIFClipboardFormat));
  ASSERT_TRUE(OpenClipboard(owner));
  TGIFImage pasted;
  pasted.LoadFromClipboardFormat(GIFClipboardFormat, 0, nullptr);
  ASSERT_EQ(2, pasted.Images().Count());
  EXPECT_EQ(20, pasted.Images()[1]->GraphicControlExtension()->Delay());
  // The bitmap form gives a one-frame picture of at most 256 colours.
  TGIFImage fromBitmap;
  fromBitmap.LoadFromClipboardFormat(cfBitmap, 0, nullptr);
  ASSERT_EQ(1, fromBitmap.Images().Count());
  EXPECT_EQ(8, fromBitmap.Width());
  TGIFSubImage* f = fromBitmap.Images()[0];
  EXPECT_EQ(kColors[0], f->ActiveColorMap().Colors(f->Pixels(3, 3)));
  // Any other format is refused.
  try {
    fromBitmap.LoadFromClipboardFormat(CF_TEXT, 0, nullptr);
    ADD_FAILURE();
  } catch (const GIFException& e) {
    EXPECT_EQ("Format der Zwischenablage wird nicht unterstützt", e.Message());
  }
  CloseClipboard();
  DestroyWindow(owner);
}

TEST_F(GIFPicture, AnIconBecomesAFrameWithItsMaskAsTransparency) {
  // 16 x 16: left half red, right half blue, the bottom four rows masked.
  TIcon icon;
  icon.LoadFromFile(ASTREL_SOURCE_DIR "/quillet/imaging/gif/win/tests/fixtures/icon16.ico");
  TGIFImage img;
  img.Assign(&icon);
  ASSERT_EQ(1, img.Images().Count());
  TGIFSubImage* f = img.Images()[0];
  ASSERT_TRUE(f->Transparent());
  const int t = f->GraphicControlExtension()->TransparentColorIndex();
  EXPECT_EQ(t, f->Pixels(3, 14));
  EXPECT_EQ(t, f->Pixels(12, 15));
  EXPECT_NE(t, f->Pixels(3, 3));
  EXPECT_EQ(TColor(0x0000FF), f->ActiveColorMap().Colors(f->Pixels(3, 3)));
  EXPECT_EQ(TColor(0xFF0000), f->ActiveColorMap().Colors(f->Pixels(12, 3)));
  // Drawn with transparency, the masked rows show the target.
  Target tg(16, 16);
  img.Draw(tg.Canvas(), TRect(0, 0, 16, 16));
  EXPECT_EQ(TColor(0x808080), tg.Pixel(5, 13));
  EXPECT_EQ(TColor(0x0000FF), tg.Pixel(5, 5));
}

TEST_F(GIFPicture, RegisteredForGIFFilesAndTheClipboardFormat) {
  EXPECT_EQ(TGraphicClass(GraphicClassOf<TGIFImage>), TPicture::FileFormatClass("GIF"));
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(GIFClipboardFormat));
  char name[64] = {};
  GetClipboardFormatNameA(GIFClipboardFormat, name, sizeof name);
  EXPECT_STREQ("GIF Image", name);
  // A file loaded through the container becomes a TGIFImage that draws.
  TGIFImage img;
  MakeAnimation(img, {10});
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "gif", 0, path);
  String file = String(path) + ".gif";
  img.SaveToFile(file);
  TPicture pic;
  pic.LoadFromFile(file);
  ASSERT_NE(nullptr, dynamic_cast<TGIFImage*>(pic.Graphic()));
  EXPECT_EQ(8, pic.Width());
  Target t(8, 8);
  pic.Graphic()->Draw(t.Canvas(), TRect(0, 0, 8, 8));
  EXPECT_EQ(kColors[0], t.Pixel(2, 2));
  DeleteFileA(file.c_str());
  DeleteFileA(path);
}

}  // namespace
