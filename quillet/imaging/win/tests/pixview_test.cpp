// TPixView and TPixBox in a real window under Wine: what the window shows is read back from its
// device context and compared with the picture's pixels, at 100 %, zoomed and scrolled; the scroll
// bar rules, the scroll messages, the selection frame and the view's cursors.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bitmap_win.h"
#include "cursors_win.h"
#include "picture.h"
#include "pixbox.h"
#include "pixio.h"
#include "streams.h"
#include "test_metafiles.h"
#include "test_host.h"

namespace {

const std::string kImaging = IMAGING_FIXTURES, kBmp = BMP_FIXTURES, kJpegPng = JPEGPNG_FIXTURES;

// The client area of a window as it is on the screen, read into a 24-bit bitmap.
class TCapture {
public:
  explicit TCapture(HWND w) {
    ProcessMessages();
    UpdateWindow(w);
    RECT r;
    GetClientRect(w, &r);
    B.SetSize(r.right, r.bottom);
    HDC dc = GetDC(w);
    BitBlt(BitmapCanvas(B)->Handle(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(w, dc);
    GdiFlush();
  }
  TColor At(int x, int y) const { return B.Pixel(x, y); }
  TBitmap B;
};

class PixView : public ::testing::Test {
protected:
  TTestHost Host{20, 20, 400, 300, TTestHost::Popup};
  TPixBox* View = nullptr;
  int ViewChanges = 0;

  void SetUp() override {
    View = new TPixBox(&Host);
    View->SetParent(&Host);
    View->SetBounds(0, 0, 160, 120);
    View->OnViewChange = [this](TObject* s, int change) {
      EXPECT_EQ(s, View);
      EXPECT_EQ(change, 0);
      ++ViewChanges;
    };
    Host.Handle();
    ProcessMessages();
  }
  void TearDown() override { delete View; }
  bool HasBar(int which) {
    const LONG style = GetWindowLongA(View->Handle(), GWL_STYLE);
    return (style & (which == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
  }
};

TEST_F(PixView, ASmallPictureShowsPixelExactAtTheTopLeftOnTheBackground) {
  View->SetBackground(RGBColor(10, 200, 30));
  View->LoadFromFile(kBmp + "/w24.bmp");
  TBitmap ref;
  ref.LoadFromFile(kBmp + "/w24.bmp");
  TCapture c(View->Handle());
  ASSERT_EQ(c.B.Width(), 160);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(c.At(x, y), ref.Pixel(x, y)) << x << "," << y;
  EXPECT_EQ(c.At(37, 0), RGBColor(10, 200, 30));
  EXPECT_EQ(c.At(0, 23), RGBColor(10, 200, 30));
  EXPECT_EQ(c.At(159, 119), RGBColor(10, 200, 30));
  EXPECT_EQ(View->MaxViewX(), 0);
  EXPECT_EQ(View->MaxViewY(), 0);
}

TEST_F(PixView, ALargePictureScrollsPixelExactWithTheBarsRules) {
  View->SetScrollBars(true);
  View->LoadFromFile(kImaging + "/plasma.gif");  // 300 x 200
  ASSERT_EQ(View->Bitmap()->Width(), 300);
  EXPECT_TRUE(HasBar(SB_HORZ));
  EXPECT_TRUE(HasBar(SB_VERT));
  const int cw = View->ClientWidth(), ch = View->ClientHeight();
  EXPECT_LT(cw, 160);
  EXPECT_EQ(View->MaxViewX(), 300 - cw);
  EXPECT_EQ(View->MaxViewY(), 200 - ch);
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(View->Handle(), SB_HORZ, &si);
  EXPECT_EQ(si.nMax, cw + View->MaxViewX() - 1);
  EXPECT_EQ(int(si.nPage), cw);

  View->SetViewX(57);
  View->SetViewY(41);
  EXPECT_EQ(ViewChanges, 2);
  EXPECT_EQ(GetScrollPos(View->Handle(), SB_VERT), 41);
  TCapture c(View->Handle());
  const TBitmap& b = *View->Bitmap();
  for (int y = 0; y < ch; y += 3)
    for (int x = 0; x < cw; x += 3) ASSERT_EQ(c.At(x, y), b.Pixel(x + 57, y + 41)) << x << "," << y;

  // A smaller picture lowers the offsets (one notification per axis) and hides the bars.
  ViewChanges = 0;
  View->LoadFromFile(kBmp + "/w24.bmp");
  EXPECT_EQ(ViewChanges, 2);
  EXPECT_EQ(View->ViewX(), 0);
  EXPECT_FALSE(HasBar(SB_HORZ));
  EXPECT_FALSE(HasBar(SB_VERT));
}

TEST_F(PixView, APictureThatFitsTheFullSizeDoesNotScroll) {
  View->SetScrollBars(true);
  View->LoadFromFile(kImaging + "/plasma.gif");
  ASSERT_TRUE(HasBar(SB_VERT));
  // 155 x 115: wider and taller than the client area the bars leave, not than the control.
  TBitmap b;
  b.SetSize(155, 115);
  b.Fill(clYellow);
  View->Assign(&b);
  EXPECT_EQ(View->MaxViewX(), 0);
  EXPECT_EQ(View->MaxViewY(), 0);
  EXPECT_FALSE(HasBar(SB_HORZ));
  EXPECT_FALSE(HasBar(SB_VERT));
}

TEST_F(PixView, ScrollMessagesMoveTheOffsets) {
  View->SetScrollBars(true);
  View->LoadFromFile(kImaging + "/plasma.gif");
  const int max = View->MaxViewX();
  struct Step {
    int code, pos, want;
  } steps[] = {
      {SB_LINEDOWN, 0, 1},     {SB_PAGEDOWN, 0, 11},    {SB_LINEUP, 0, 10},      {SB_PAGEUP, 0, 0},
      {SB_LINEUP, 0, 0},       {SB_THUMBTRACK, 77, 77}, {SB_THUMBPOSITION, 5, 77}, {SB_ENDSCROLL, 0, 77},
      {SB_BOTTOM, 0, max},     {SB_PAGEDOWN, 0, max},   {SB_TOP, 0, 0},          {SB_THUMBTRACK, 5000, max},
  };
  for (const Step& s : steps) {
    SendMessageA(View->Handle(), WM_HSCROLL, MAKEWPARAM(s.code, s.pos), 0);
    EXPECT_EQ(View->ViewX(), s.want) << s.code << " " << s.pos;
  }
  SendMessageA(View->Handle(), WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
  EXPECT_EQ(View->ViewY(), 10);
  View->SetViewY(-5);
  EXPECT_EQ(View->ViewY(), 0);
}

TEST_F(PixView, ZoomedPicturesFillTheirScaledArea) {
  View->LoadFromFile(kBmp + "/w24.bmp");
  View->SetBackground(clWhite);
  View->SetZoom(200);
  TCapture c(View->Handle());
  const TBitmap& b = *View->Bitmap();
  for (int y = 1; y < 22; ++y)
    for (int x = 1; x < 36; ++x) ASSERT_EQ(c.At(2 * x + 1, 2 * y + 1), b.Pixel(x, y)) << x << "," << y;
  EXPECT_EQ(c.At(74, 10), clWhite);
  EXPECT_NE(c.At(73, 10), clWhite);
  View->SetZoom(50);  // 37 x 23 at 50 %: 18 x 12 (18.5 to the even 18, 11.5 to 12)
  TCapture h(View->Handle());
  EXPECT_EQ(h.At(18, 5), clWhite);
  EXPECT_EQ(h.At(5, 12), clWhite);
  EXPECT_NE(h.At(17, 11), clWhite);
}

TEST_F(PixView, TheSelectionFrameMovesAndLeavesThePictureAsItWas) {
  TBitmap grey;
  grey.SetSize(150, 110);
  grey.Fill(RGBColor(128, 128, 128));
  View->Assign(&grey);
  TCapture before(View->Handle());
  View->SetSelection(10, 10, 60, 40);
  TCapture on(View->Handle());
  if (GetDeviceCaps(GetDC(nullptr), BITSPIXEL) <= 8) GTEST_SKIP() << "no frame on a palette screen";
  EXPECT_EQ(View->AntsPhase(), 1);
  // Black edges with white dots that start at the phase.
  std::vector<TColor> top;
  for (int x = 10; x <= 60; ++x) top.push_back(on.At(x, 10));
  EXPECT_EQ(top[0], clBlack);
  EXPECT_NE(std::count(top.begin(), top.end(), clWhite), 0);
  EXPECT_NE(std::count(top.begin(), top.end(), clBlack), 0);
  EXPECT_EQ(on.At(35, 25), RGBColor(128, 128, 128));
  View->SelectionTimer()->Tick();
  EXPECT_EQ(View->AntsPhase(), 2);
  TCapture moved(View->Handle());
  bool differs = false;
  for (int x = 10; x <= 60; ++x) differs |= moved.At(x, 10) != on.At(x, 10);
  EXPECT_TRUE(differs);
  View->ClearSelection();
  EXPECT_EQ(View->AntsPhase(), 0);
  EXPECT_FALSE(View->SelectionTimer()->Enabled());
  TCapture after(View->Handle());
  for (int y = 8; y < 45; ++y)
    for (int x = 8; x < 65; ++x) ASSERT_EQ(after.At(x, y), before.At(x, y)) << x << "," << y;

  // A frame smaller than the dash period is one inverted rectangle.
  View->SetSelection(20, 20, 23, 40);
  TCapture small(View->Handle());
  EXPECT_EQ(small.At(20, 30), RGBColor(127, 127, 127));
  EXPECT_EQ(small.At(21, 30), RGBColor(128, 128, 128));
  View->ClearSelection();
}

TEST_F(PixView, BoxDefaultsCursorsAndFrames) {
  EXPECT_TRUE(View->AutoUndo());
  EXPECT_FALSE(View->UseLZW());
  View->SetNColors(nc8bit);
  EXPECT_EQ(View->NColors(), nc24bit);
  EXPECT_EQ(View->Bitmap()->PixelFormat(), pf24bit);
  EXPECT_EQ(View->Zoom(), 100);
  EXPECT_EQ(int(View->Cursor()), 1785);
  for (int n = 1778; n <= 1785; ++n) EXPECT_NE(ScreenCursor(n), nullptr) << n;
  EXPECT_EQ(View->IO()->AttachedPixBox(), View);
  EXPECT_EQ(View->IO()->Bitmap(), View->Bitmap());
  EXPECT_EQ(GetGIFFrameCount(kImaging + "/anim.gif"), 3);
  View->SetDPI(300, 72);
  EXPECT_EQ(View->DpcmX(), 118);
  EXPECT_EQ(View->DpcmY(), 28);
}

TEST_F(PixView, AssignTakesViewsBitmapsOrClears) {
  View->LoadFromFile(kBmp + "/w1.bmp");
  View->SetBackground(clTeal);
  View->SetDPI(150, 75);
  TPixView other(&Host);
  int changes = 0;
  other.OnImageChange = [&](TObject*) { ++changes; };
  other.Assign(View);
  EXPECT_EQ(other.Background(), clTeal);
  EXPECT_EQ(other.DpiX(), 150);
  EXPECT_EQ(other.Bitmap()->Width(), 37);
  EXPECT_EQ(other.Bitmap()->Pixel(3, 3), View->Bitmap()->Pixel(3, 3));
  EXPECT_NE(other.Bitmap(), View->Bitmap());
  EXPECT_EQ(changes, 1);
  // A 1-bit bitmap is shown with 1 bits white whatever its table says.
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(9, 1);
  mono.SetPalette({TRGBQuad{0, 0, 255, 0}, TRGBQuad{0, 255, 0, 0}});
  mono.ScanLine(0)[1] = 0x80;  // pixel 8 set
  other.Assign(&mono);
  EXPECT_EQ(other.Bitmap()->PixelFormat(), pf24bit);
  EXPECT_EQ(other.Bitmap()->Pixel(8, 0), clWhite);
  EXPECT_EQ(other.Bitmap()->Pixel(0, 0), clBlack);
  // nullptr fills the picture with the background and keeps its size; other sources do nothing.
  other.SetBackground(clMaroon);
  other.Assign(nullptr);
  EXPECT_EQ(other.Bitmap()->Width(), 9);
  EXPECT_EQ(other.Bitmap()->Pixel(8, 0), clMaroon);
  TPicture unrelated;
  other.Assign(&unrelated);
  EXPECT_EQ(other.Bitmap()->Pixel(8, 0), clMaroon);
}

// Metafiles made by the window system, loaded through the view: a 2 x 2 metafile gives a 1 x 1
// picture; a red 20 x 12 one shows red.
TEST_F(PixView, MetafilesAreDrawnIntoThePicture) {
  const std::string path =
      testsupport::WriteRedEmf(std::string(::testing::TempDir()) + "red.emf", 20, 20, 12);  // all red
  View->LoadFromFile(path);
  EXPECT_EQ(View->Bitmap()->Width(), 19);
  EXPECT_EQ(View->Bitmap()->Height(), 11);
  EXPECT_EQ(View->Bitmap()->Pixel(10, 5), clRed);
  TCapture c(View->Handle());
  EXPECT_EQ(c.At(10, 5), clRed);

  const std::string two = std::string(::testing::TempDir()) + "two.wmf";
  HDC m = CreateMetaFileA(two.c_str());
  SetWindowExtEx(m, 2, 2, nullptr);
  DeleteMetaFile(CloseMetaFile(m));
  View->LoadFromFile(two);
  EXPECT_EQ(View->Bitmap()->Width(), 1);
  EXPECT_EQ(View->Bitmap()->Height(), 1);
}

}  // namespace

TEST_F(PixView, ATransparentPngAfterAGifIsShownOnTheViewsOwnBackground) {
  // The image browser's full view: a GIF whose screen colour is black (one white pixel on a
  // screen of 40 x 30), then black lettering on a transparent background, read as the browser
  // reads it (LoadPictureFile, the PNG assigned to the view).
  View->SetBackground(clSilver);
  std::string gif = "GIF89a";
  for (int b : {40, 0, 30, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B})
    gif += char(b);
  const std::string gifPath = std::string(::testing::TempDir()) + "schwarz.gif";
  TFileStream(gifPath, fmCreate).WriteBuffer(gif.data(), int64_t(gif.size()));
  EXPECT_EQ(LoadPictureFile(*View->IO(), gifPath), nullptr);
  {
    TCapture c(View->Handle());
    EXPECT_EQ(c.At(0, 0), clWhite);
    EXPECT_EQ(c.At(100, 60), clBlack);  // the GIF's colour around it
  }
  std::unique_ptr<TBitmap> png = LoadPictureFile(*View->IO(), kJpegPng + "/firma.png");
  ASSERT_NE(png, nullptr);
  View->Assign(png.get());
  View->Update();
  TCapture c(View->Handle());
  EXPECT_EQ(c.At(10, 50), ColorToRGB(clSilver));  // transparent: the view's own colour
  EXPECT_EQ(c.At(50, 50), clBlack);               // the lettering
  EXPECT_EQ(View->Background(), clSilver);
}
