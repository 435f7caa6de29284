// The thumbnail view and its cells in real windows under Wine: the scan at the first paint, the
// sorted cells without the animated GIF, the scan events and their Break, a press on a cell and in
// the gap, the shrinking of a cell's picture, a picture that cannot be read, SelectedFile,
// AutoScrolling and the focus.
#include <gtest/gtest.h>

#include <cstdio>

#include "bitmap.h"
#include "forms.h"
#include "stdctrls.h"
#include "test_metafiles.h"
#include "thumbview.h"
#include "test_host.h"

namespace {
using testsupport::WmfSize;
using testsupport::WriteRedEmf;
using testsupport::WriteRedWmf;

String WinPath(String s) {
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}
const String kView = WinPath(String(ASTREL_BINARY_DIR) + "/quillet/imaging/thumbs/fixtures/view");

class Thumbview : public ::testing::Test {
protected:
  TTestHost Host{0, 0, 700, 520, TTestHost::Popup};
  TThumbview* View = nullptr;
  void SetUp() override {
    View = new TThumbview(&Host);
    View->SetParent(&Host);
    Host.Handle();
  }
  void Paint() {
    View->Invalidate();
    UpdateWindow(View->Handle());
    ProcessMessages();
  }
  std::vector<String> Names() {
    std::vector<String> v;
    for (int i = 0; i < View->Count(); ++i) v.push_back(ExtractFileName(View->Cell(i)->Filename()));
    return v;
  }
};
}  // namespace

TEST_F(Thumbview, ANewViewAndItsFirstPaint) {
  EXPECT_EQ(View->Width(), 600);
  EXPECT_EQ(View->Height(), 480);
  EXPECT_EQ(View->CellWidth(), 200);
  EXPECT_EQ(View->PerLine(), 2);
  View->SetSize(40);
  EXPECT_EQ(View->CellWidth(), 80);
  EXPECT_EQ(View->PerLine(), 5);
  View->SetDirectory(kView);
  EXPECT_EQ(View->Count(), 0);  // not painted yet
  Paint();
  EXPECT_EQ(Names(), (std::vector<String>{"a.gif", "c.JPG", "f.ico", "kaputt.png", "small.png", "wide.png"}));
  EXPECT_EQ(View->Selected(), 0);
  EXPECT_EQ(View->Cell(0)->TitleColor(), clHighlight);
  EXPECT_EQ(View->Cell(0)->TitleFont()->Color(), clHighlightText);
  EXPECT_EQ(View->Cell(1)->TitleColor(), clBtnFace);
  EXPECT_EQ(View->Cell(0)->Title(), "a.gif");  // the file name, from the cell's first paint on
  EXPECT_FALSE(View->Scanning());
  // The picture that cannot be read has its cell, without a picture and with the reader's message.
  EXPECT_TRUE(View->Cell(3)->Image()->Picture()->Empty());
  EXPECT_FALSE(View->Cell(3)->LoadError().empty());
  EXPECT_FALSE(View->Cell(3)->ImageReady());
  EXPECT_TRUE(View->Cell(4)->ImageReady());
  // Unsorted: the patterns' order (PNG first, GIF last).
  View->SetSorted(false);
  View->SetDirectory(kView);
  EXPECT_EQ(Names().back(), "a.gif");
  EXPECT_EQ(Names()[3], "c.JPG");
  View->SetDirectory(kView + "\\fehlt");
  EXPECT_EQ(View->Count(), 0);
  EXPECT_EQ(View->Selected(), -1);
}

TEST_F(Thumbview, ScanEventsBreakAndNoScanWithinAScan) {
  Paint();
  View->SetSize(40);
  std::vector<String> events;
  View->OnStartScanning = [&](TObject*, int Max) { events.push_back("start " + IntToStr(Max)); };
  View->OnScanProgress = [&](TObject*, int Position, bool& Break) {
    events.push_back("at " + IntToStr(Position));
    View->SetDirectory(kView + "\\fehlt");  // ignored while the scan runs
    Break = Position == 3;
  };
  View->OnStopScanning = [&](TObject*) { events.push_back("stop"); };
  View->SetDirectory(kView);
  EXPECT_EQ(events, (std::vector<String>{"start 5", "at 1", "at 2", "at 3", "stop"}));
  EXPECT_EQ(View->Count(), 2);  // the cells made before the break stay
  EXPECT_EQ(View->Directory(), kView);
  EXPECT_FALSE(View->Scanning());
}

TEST_F(Thumbview, PressesSelectCellsAndSelectedFileFindsOne) {
  View->SetSize(40);
  View->SetScrollMode(SMVertical);
  Paint();
  View->SetDirectory(kView);
  ASSERT_EQ(View->Count(), 6);
  // Six per line in a 600 pixel wide view: the second cell at (88, 4).
  EXPECT_EQ(View->Cell(1)->Left(), 88);
  EXPECT_EQ(View->Cell(1)->Top(), 4);
  SendMessageA(View->Cell(1)->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 6));
  EXPECT_EQ(View->Selected(), 1);
  EXPECT_EQ(View->Cell(0)->TitleColor(), clBtnFace);
  EXPECT_EQ(View->Cell(1)->TitleColor(), clHighlight);
  SendMessageA(View->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(86, 10));
  EXPECT_EQ(View->Selected(), -1);
  EXPECT_EQ(View->Cell(1)->TitleColor(), clBtnFace);
  // A press on the caption strip of the fourth cell reaches the view as well.
  SendMessageA(View->Cell(3)->TitlePanel()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 5));
  EXPECT_EQ(View->Selected(), 3);
  View->SetSelectedFile(kView + "\\small.png");
  EXPECT_EQ(View->SelectedFile(), kView + "\\small.png");
  EXPECT_EQ(View->Selected(), 4);
}

// A view too narrow for its second column: selecting a cell there scrolls it into view with
// AutoScrolling; without it only SelectedFile does.
TEST_F(Thumbview, AutoScrollingDecidesWhetherASelectionScrolls) {
  struct TCase {
    bool AutoScrolling, ByName;
    bool Scrolls;
  };
  const TCase cases[] = {{true, false, true}, {true, true, true}, {false, false, false}, {false, true, true}};
  View->SetSize(40);
  View->SetBounds(0, 0, 100, 480);
  Paint();
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "AutoScrolling " << c.AutoScrolling << ", by name " << c.ByName);
    View->SetAutoScrolling(c.AutoScrolling);
    View->SetDirectory(kView);
    ASSERT_EQ(View->Count(), 6);
    ASSERT_EQ(View->HorzScrollBar().Position, 0);
    ASSERT_GT(View->Cell(5)->Left() + View->Cell(5)->Width(), View->ClientWidth());  // second column
    if (c.ByName) View->SetSelectedFile(kView + "\\wide.png");
    else View->SetSelected(5);
    EXPECT_EQ(View->Selected(), 5);
    EXPECT_EQ(View->HorzScrollBar().Position > 0, c.Scrolls);
    EXPECT_EQ(View->Cell(5)->Left() + View->Cell(5)->Width() <= View->ClientWidth(), c.Scrolls);
  }
}

TEST_F(Thumbview, ACellShrinksItsPictureIntoItsBox) {
  // A cell of no view shrinks into its own size.
  auto* cell = new TThumbNail(&Host);
  cell->SetParent(&Host);
  cell->SetBounds(0, 0, 100, 100);
  cell->SetFilename(kView + "\\wide.png");
  EXPECT_EQ(cell->ImageWidth(), 400);
  EXPECT_EQ(cell->Image()->Picture()->Width(), 100);
  EXPECT_EQ(cell->Image()->Picture()->Height(), 50);
  EXPECT_TRUE(cell->Image()->Modified());
  // Fitted into the picture area below the caption strip, centred.
  EXPECT_EQ(cell->Image()->Width(), 100);
  EXPECT_EQ(cell->Image()->Top(), 15 + (cell->PictureAreaHeight() - 50) / 2);
  cell->SetFilename(kView + "\\small.png");
  EXPECT_EQ(cell->Image()->Picture()->Width(), 30);
  EXPECT_FALSE(cell->Image()->Modified());
  EXPECT_EQ(cell->FileSize() > 0, true);
  // ImageReady follows the picture control's progress: ready with the end stage only.
  EXPECT_TRUE(cell->ImageReady());
  for (TProgressStage stage : {psStarting, psRunning, psEnding}) {
    FireEvent(cell->Image()->Picture()->OnProgress, cell->Image()->Picture(), stage, uint8_t(50), false, nullptr,
              String());
    EXPECT_EQ(cell->ImageReady(), stage == psEnding) << int(stage);
  }
  cell->SetFilename(kView + "\\fehlt.png");
  EXPECT_EQ(cell->FileAccessed(), "Unknown");
  EXPECT_FALSE(cell->ImageReady());
  // As a button: a left press lowers the cell, moving out raises it, moving back lowers it, the
  // release raises it.
  cell->SetAsbutton(true);
  SendMessageA(cell->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
  EXPECT_EQ(cell->BevelOuter, bvLowered);
  SendMessageA(cell->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 50));
  EXPECT_EQ(cell->BevelOuter, bvRaised);
  SendMessageA(cell->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 50));
  EXPECT_EQ(cell->BevelOuter, bvLowered);
  SendMessageA(cell->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 50));
  EXPECT_EQ(cell->BevelOuter, bvRaised);
  // A quarter turn of a picture exchanges its sides.
  cell->SetFilename(kView + "\\wide.png");
  cell->Image()->SetAngle(1);
  EXPECT_EQ(cell->Image()->Picture()->Width(), 50);
  EXPECT_EQ(cell->Image()->Picture()->Height(), 100);
  cell->Image()->SetAngle(3);
  EXPECT_EQ(cell->Image()->Picture()->Width(), 50);
  delete cell;
}

// Metafiles made by the window system, a 400 x 200 picture each, its left
// half red: an EMF, a WMF with only its
// window extent, and WMFs behind a placeable header (bounding box at 1440 units per inch), one
// with the window extent and one that draws in the bounding box's units without setting a window.
// A metafile: drawn in its own size, then shrunk like a bitmap; an icon smaller than the box stays
// an icon.
TEST_F(Thumbview, MetafilesAreShrunkAndSmallIconsKept) {
  const String tmp = String(::testing::TempDir());
  auto* cell = new TThumbNail(&Host);
  cell->SetParent(&Host);
  cell->SetBounds(0, 0, 100, 100);
  for (const String& file : {WriteRedEmf(tmp + "wide.emf", 200), WriteRedWmf(tmp + "wide.wmf", 200, false),
                             WriteRedWmf(tmp + "placeable.wmf", 200, true),
                             WriteRedWmf(tmp + "box.wmf", 200, true, WmfSize::OnlyTheBox)}) {
    SCOPED_TRACE(file);
    cell->SetFilename(file);
    ASSERT_TRUE(cell->LoadError().empty()) << cell->LoadError();
    EXPECT_TRUE(cell->ImageReady());
    auto* b = dynamic_cast<TBitmap*>(cell->Image()->Picture()->Graphic());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), 100);
    EXPECT_NEAR(b->Height(), 50, 1);
    EXPECT_EQ(b->Pixel(1, 1), clRed);
    EXPECT_EQ(b->Pixel(47, b->Height() - 2), clRed);
    EXPECT_NE(b->Pixel(53, 25), clRed);
    EXPECT_NE(b->Pixel(98, b->Height() - 2), clRed);
    EXPECT_TRUE(cell->Image()->Modified());
  }
  cell->SetFilename(kView + "\\f.ico");
  ASSERT_TRUE(cell->LoadError().empty()) << cell->LoadError();
  EXPECT_STREQ(cell->Image()->Picture()->Graphic()->ClassName(), "TIcon");
  EXPECT_FALSE(cell->Image()->Modified());
  delete cell;
}

// A transparent GIF whose frame lies offset in a larger picture: the cell shows the whole picture,
// and the frame's transparent pixels and the rest of the picture in the cell's own colour.
TEST_F(Thumbview, ATransparentGIFShowsTheCellsColourAroundAndThroughItsFrame) {
  // 4 x 2 picture, entries black, red, green, blue; index 2 transparent; a 2 x 2 frame at (2, 0)
  // of red, then three transparent pixels (codes clear 1 2 clear 2 2 end, 3 bits each).
  const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 2, 0, 0x81, 0, 0, 0, 0, 0, 255, 0, 0,
                         0, 255, 0, 0, 0, 255, '!', 249, 4, 1, 0, 0, 2, 0, ',', 2, 0, 0, 0, 2, 0,
                         2, 0, 0, 2, 3, 0x8C, 0x28, 0x15, 0, ';'};
  const String file = String(::testing::TempDir()) + "offset.gif";
  std::FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(gif, 1, sizeof gif, f);
  std::fclose(f);
  for (TColor colour : {clBtnFace, RGBColor(0, 128, 128)}) {
    auto* cell = new TThumbNail(&Host);
    cell->SetParent(&Host);
    cell->SetColor(colour);
    cell->SetFilename(file);
    ASSERT_TRUE(cell->LoadError().empty()) << cell->LoadError();
    EXPECT_EQ(cell->ImageWidth(), 4);
    EXPECT_EQ(cell->ImageHeight(), 2);
    auto* b = dynamic_cast<TBitmap*>(cell->Image()->Picture()->Graphic());
    ASSERT_NE(b, nullptr);
    const TColor o = ColorToRGB(colour);
    std::vector<TColor> shown;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) shown.push_back(b->Pixel(x, y));
    EXPECT_EQ(shown, (std::vector<TColor>{o, o, clRed, o, o, o, o, o}));
    delete cell;
  }
}

// ImageReady is False after every load that leaves the cell without its picture, also when the
// picture control's progress has a handler of the user's, which hears the loader's stages.
TEST_F(Thumbview, ImageReadyOnlyWithThePictureAlsoUnderAUsersProgressHandler) {
  const String tmp = String(::testing::TempDir());
  struct TCase {
    String File;
    bool Ready;
    std::vector<TProgressStage> Heard;
  };
  const TCase cases[] = {
      {kView + "\\small.png", true, {psStarting, psEnding}},
      {kView + "\\fehlt.png", false, {psStarting}},
      {kView + "\\kaputt.png", false, {psStarting}},
      // Read, but too large to be drawn for its shrinking.
      {String(WriteRedEmf(tmp + "huge.emf", 100, 8000, 8000)), false, {psStarting}},
  };
  auto* cell = new TThumbNail(&Host);
  cell->SetParent(&Host);
  cell->SetBounds(0, 0, 100, 100);
  std::vector<TProgressStage> heard;
  for (bool usersHandler : {false, true}) {
    if (usersHandler)
      cell->Image()->Picture()->OnProgress = [&](TObject*, TProgressStage Stage, uint8_t, bool, const TRect*,
                                                 const String&) { heard.push_back(Stage); };
    for (const TCase& c : cases) {
      SCOPED_TRACE(testing::Message() << c.File << (usersHandler ? ", user's handler" : ""));
      cell->SetFilename(kView + "\\wide.png");
      ASSERT_TRUE(cell->ImageReady());
      heard.clear();
      cell->SetFilename(c.File);
      EXPECT_EQ(cell->ImageReady(), c.Ready) << cell->LoadError();
      EXPECT_EQ(cell->Image()->Picture()->Empty(), !c.Ready);
      if (usersHandler) {
        EXPECT_EQ(heard, c.Heard);
      }
    }
  }
  delete cell;
}

// The view takes and loses the focus without enter or exit notifications, its own or the other
// control's; its form records it as the active control.
TEST(ThumbviewFocus, TheViewIsRecordedButNotEnteredOrLeft) {
  TApplication app;
  app.Initialize();
  TForm form(nullptr);
  form.SetBounds(0, 0, 700, 560);
  auto* edit = new TEdit(&form);
  edit->SetBounds(0, 0, 100, 22);
  edit->SetParent(&form);
  auto* view = new TThumbview(&form);
  view->SetBounds(0, 30, 600, 480);
  view->SetParent(&form);
  String heard;
  edit->OnEnter = [&](TObject*) { heard += "+E"; };
  edit->OnExit = [&](TObject*) { heard += "-E"; };
  view->OnEnter = [&](TObject*) { heard += "+V"; };
  view->OnExit = [&](TObject*) { heard += "-V"; };
  form.Show();
  edit->SetFocus();
  ProcessMessages();
  heard.clear();
  view->SetFocus();
  ProcessMessages();
  EXPECT_TRUE(view->Focused());
  EXPECT_EQ(form.ActiveControl(), view);
  EXPECT_EQ(heard, "");
  edit->SetFocus();
  ProcessMessages();
  EXPECT_EQ(form.ActiveControl(), edit);
  EXPECT_EQ(heard, "+E");
}
