// The frame operations of the optimisation (crop, merge with the previous frame), the scaling of a
// frame's rectangle, the optimisation itself, and the costs and code sizes of whole pictures.
#include <gtest/gtest.h>

#include <chrono>

#include "gif_model.h"
#include "gif_test_support.h"

namespace {

struct TestImage : TGIFImageOwner {
  std::vector<std::string> Warns;
  void Warning(TObject*, int, const String& Message) override { Warns.push_back(Message); }
};

// A frame at (L, T) with the given rows of indices.
TGIFSubImage* AddFrame(TGIFImageOwner& Image, int L, int T, const std::vector<std::vector<int>>& Rows) {
  auto* f = new TGIFSubImage(&Image);
  Image.Images().Add(f);
  f->SetLeft(L);
  f->SetTop(T);
  f->SetWidth(int(Rows[0].size()));
  f->SetHeight(int(Rows.size()));
  for (size_t y = 0; y < Rows.size(); ++y)
    for (size_t x = 0; x < Rows[y].size(); ++x) f->ScanLine(int(y))[x] = uint8_t(Rows[y][x]);
  return f;
}

TGIFGraphicControlExtension* Control(TGIFSubImage* f) {
  if (!f->GraphicControlExtension()) f->Extensions().Add(new TGIFGraphicControlExtension(f));
  return f->GraphicControlExtension();
}

void MakeTransparent(TGIFSubImage* f, int Index) {
  Control(f)->SetTransparent(true);
  Control(f)->SetTransparentColorIndex(Index);
}

std::vector<std::vector<int>> Pixels(TGIFSubImage* f) {
  std::vector<std::vector<int>> r(size_t(f->Height()), std::vector<int>(size_t(f->Width())));
  for (int y = 0; y < f->Height(); ++y)
    for (int x = 0; x < f->Width(); ++x) r[size_t(y)][size_t(x)] = f->ScanLine(y)[x];
  return r;
}

void Colors(TGIFColorMap& Map, int Count) {
  for (int i = 0; i < Count; ++i) Map.Add(TColor(0x010203 * (i + 1) & 0xFFFFFF));
}

TEST(GIFFrameEdit, MulDivAndScaleRect) {
  EXPECT_EQ(3, GIFImage::MulDiv(1, 10, 3));
  EXPECT_EQ(7, GIFImage::MulDiv(2, 10, 3));
  EXPECT_EQ(2, GIFImage::MulDiv(3, 1, 2));    // a half rounds away from zero
  EXPECT_EQ(-2, GIFImage::MulDiv(-3, 1, 2));
  EXPECT_EQ(-1, GIFImage::MulDiv(5, 5, 0));
  EXPECT_EQ(1500000000, GIFImage::MulDiv(1000000000, 3, 2));  // through a 64-bit product

  TestImage img;
  img.SetWidth(3);
  img.SetHeight(1);
  TGIFSubImage* narrow = AddFrame(img, 1, 0, {{0}});
  TGIFSubImage* whole = AddFrame(img, 0, 0, {{0, 0, 0}});
  EXPECT_EQ((TGIFRect{3, 0, 7, 4}), narrow->ScaleRect({0, 0, 10, 4}));
  EXPECT_EQ((TGIFRect{0, 0, 10, 4}), whole->ScaleRect({0, 0, 10, 4}));
  EXPECT_EQ((TGIFRect{23, 5, 27, 9}), narrow->ScaleRect({20, 5, 30, 9}));
}

TEST(GIFFrameEdit, CropCutsTransparentBorders) {
  TestImage img;
  Colors(img.GlobalColorMap(), 4);
  std::vector<std::vector<int>> rows(7, std::vector<int>(8, 3));
  rows[2][2] = 1;
  rows[4][5] = 2;
  TGIFSubImage* f = AddFrame(img, 10, 20, rows);
  MakeTransparent(f, 3);
  img.Warns.clear();
  f->Crop();
  EXPECT_EQ(12, f->Left());
  EXPECT_EQ(22, f->Top());
  EXPECT_EQ((std::vector<std::vector<int>>{{1, 3, 3, 3}, {3, 3, 3, 3}, {3, 3, 3, 2}}), Pixels(f));
  EXPECT_EQ(18, img.Width());  // the picture keeps its size
  EXPECT_TRUE(img.Warns.empty());

  // Transparent all over: an empty frame without extensions at the same place.
  TGIFSubImage* g = AddFrame(img, 1, 2, {{3, 3}, {3, 3}});
  MakeTransparent(g, 3);
  g->Crop();
  EXPECT_TRUE(g->Empty());
  EXPECT_EQ(0, g->Width());
  EXPECT_EQ(0, g->Height());
  EXPECT_EQ(1, g->Left());
  EXPECT_EQ(0, g->Extensions().Count());
  EXPECT_FALSE(g->Transparent());

  // Not transparent: nothing changes.
  TGIFSubImage* h = AddFrame(img, 0, 0, {{3, 3}, {3, 1}});
  h->Crop();
  EXPECT_EQ((std::vector<std::vector<int>>{{3, 3}, {3, 1}}), Pixels(h));
}

TEST(GIFFrameEdit, MergeMakesRepeatedPixelsTransparent) {
  // Opaque frame with a local table of 255 colours, one pixel repeating the previous frame's colour:
  // black is added as entry 255, that pixel takes it, the frame becomes transparent with index 255.
  TestImage img;
  TGIFSubImage* prev = AddFrame(img, 0, 0, {{5, 6}});
  Colors(prev->ColorMap(), 10);
  TGIFSubImage* f = AddFrame(img, 0, 0, {{5, 7}});
  Colors(f->ColorMap(), 255);
  f->ColorMap().SetColors(7, TColor(0x00FFFF));
  f->MergeWithPrevious(prev);
  EXPECT_EQ(256, f->ColorMap().Count());
  EXPECT_EQ(TColor(0), f->ColorMap().Colors(255));
  EXPECT_EQ((std::vector<std::vector<int>>{{255, 7}}), Pixels(f));
  ASSERT_NE(nullptr, f->GraphicControlExtension());
  EXPECT_TRUE(f->Transparent());
  EXPECT_EQ(255, f->GraphicControlExtension()->TransparentColorIndex());

  // A full table has no room for the index: nothing changes.
  TGIFSubImage* full = AddFrame(img, 0, 0, {{5, 7}});
  Colors(full->ColorMap(), 256);
  full->MergeWithPrevious(prev);
  EXPECT_EQ((std::vector<std::vector<int>>{{5, 7}}), Pixels(full));
  EXPECT_EQ(nullptr, full->GraphicControlExtension());

  // Nothing repeats: no colour and no extension is added.
  TGIFSubImage* other = AddFrame(img, 0, 0, {{8, 9}});
  Colors(other->ColorMap(), 20);
  other->MergeWithPrevious(prev);
  EXPECT_EQ(20, other->ColorMap().Count());
  EXPECT_EQ(nullptr, other->GraphicControlExtension());

  // A previous frame that is restored after its delay leaves nothing to repeat.
  for (int disposal : {2, 3}) {
    TGIFSubImage* p2 = AddFrame(img, 0, 0, {{5, 6}});
    Colors(p2->ColorMap(), 10);
    Control(p2)->SetDisposal(disposal);
    TGIFSubImage* f2 = AddFrame(img, 0, 0, {{5, 6}});
    Colors(f2->ColorMap(), 10);
    f2->MergeWithPrevious(p2);
    EXPECT_EQ((std::vector<std::vector<int>>{{5, 6}}), Pixels(f2)) << disposal;
  }
}

TEST(GIFFrameEdit, MergeComparesColoursAndSkipsPreviousTransparency) {
  // Both on the global table; the previous frame's transparent pixel never makes the one above it
  // transparent, whatever its colour. The frames overlap in columns 1 and 2 only.
  TestImage img;
  Colors(img.GlobalColorMap(), 4);
  TGIFSubImage* prev = AddFrame(img, 0, 0, {{1, 2, 0}});
  MakeTransparent(prev, 0);
  TGIFSubImage* f = AddFrame(img, 1, 0, {{2, 0, 1}});
  MakeTransparent(f, 3);
  f->MergeWithPrevious(prev);
  EXPECT_EQ((std::vector<std::vector<int>>{{3, 0, 1}}), Pixels(f));
}

TEST(GIFFrameEdit, MergeBorrowsNoIndexThatTheFrameShows) {
  // Frame 0 is transparent with index 2 of the global table. Frame 2 shows colour 2 as an opaque
  // pixel; borrowing index 2 would make that pixel vanish, so black is added to the global table.
  TestImage img;
  Colors(img.GlobalColorMap(), 4);
  TGIFSubImage* first = AddFrame(img, 0, 0, {{2, 2, 2}});
  MakeTransparent(first, 2);
  TGIFSubImage* prev = AddFrame(img, 0, 0, {{1, 1, 3}});
  TGIFSubImage* f = AddFrame(img, 0, 0, {{1, 2, 0}});
  f->MergeWithPrevious(prev);
  EXPECT_EQ(5, img.GlobalColorMap().Count());
  EXPECT_EQ((std::vector<std::vector<int>>{{4, 2, 0}}), Pixels(f));
  EXPECT_EQ(4, f->GraphicControlExtension()->TransparentColorIndex());

  // Without such a pixel the index is borrowed as it stands.
  TGIFSubImage* g = AddFrame(img, 0, 0, {{1, 0, 0}});
  g->MergeWithPrevious(prev);
  EXPECT_EQ(5, img.GlobalColorMap().Count());
  EXPECT_EQ((std::vector<std::vector<int>>{{2, 0, 0}}), Pixels(g));
  EXPECT_EQ(2, g->GraphicControlExtension()->TransparentColorIndex());
}

TEST(GIFFrameEdit, OptimizeKeepsTheDelayOfADroppedFrame) {
  // The middle frame is transparent all over; cropping drops it, and its 50 hundredths go to the
  // frame before it, which is opaque.
  TestImage img;
  Colors(img.GlobalColorMap(), 4);
  TGIFSubImage* a = AddFrame(img, 0, 0, {{1, 2}});
  Control(a)->SetDelay(20);
  TGIFSubImage* b = AddFrame(img, 0, 0, {{3, 3}});
  MakeTransparent(b, 3);
  Control(b)->SetDelay(50);
  TGIFSubImage* c = AddFrame(img, 0, 0, {{2, 1}});
  Control(c)->SetDelay(20);
  img.OptimizeFrames(ooCrop, 0);
  ASSERT_EQ(2, img.Images().Count());
  EXPECT_EQ(70, img.Images()[0]->GraphicControlExtension()->Delay());
  EXPECT_EQ(20, img.Images()[1]->GraphicControlExtension()->Delay());
}

TEST(GIFFrameEdit, OptimizeCleansUpAndRefusesReductionMode9) {
  TestImage img;
  Colors(img.GlobalColorMap(), 4);
  TGIFSubImage* a = AddFrame(img, 0, 0, {{1, 2}});
  a->Extensions().Add(new TGIFCommentExtension(a));
  MakeTransparent(a, 3);  // no pixel holds 3
  TGIFSubImage* b = AddFrame(img, 0, 0, {{2, 1}});
  Control(b)->SetDelay(10);
  img.OptimizeFrames(ooCleanup, 9);
  EXPECT_FALSE(a->Transparent());
  EXPECT_EQ(0, a->Extensions().Count());  // comment gone; the control block says nothing any more
  EXPECT_EQ(1, b->Extensions().Count());  // its delay stays
  EXPECT_EQ("Invalid reduction method", [&] {
    try {
      img.OptimizeFrames(ooReduceColors, 9);
    } catch (const GIFException& e) {
      return std::string(e.Message());
    }
    return std::string();
  }());
}

TEST(GIFFrameEdit, FrameWithoutLocalTableIsCodedWithThePicturesBits) {
  // A 4-colour global table, a second frame with 16 local colours: the first frame's code size
  // follows the picture's 4 bits, not its table's 2.
  TestImage img;
  Colors(img.GlobalColorMap(), 4);
  AddFrame(img, 0, 0, {{0, 1, 2, 3}});
  TGIFSubImage* b = AddFrame(img, 0, 0, {{15, 0, 0, 0}});
  Colors(b->ColorMap(), 16);
  TMemoryStream s;
  img.SaveToStream(s);
  const Bytes file = StreamBytes(s);
  const GIFFrame first = FirstFrame(file);
  EXPECT_EQ(4, file[size_t(first.DataOffset)]);
  TestImage back;
  TMemoryStream in;
  Fill(in, file);
  in.SetPosition(0);
  back.LoadFromStream(in);
  ASSERT_EQ(2, back.Images().Count());
  EXPECT_EQ((std::vector<std::vector<int>>{{0, 1, 2, 3}}), Pixels(back.Images()[0]));
}

TEST(GIFFrameEdit, FreeingManyFramesTakesLinearTime) {
  // 200000 frames: each frame searching the whole list on its way out would take minutes.
  auto img = std::make_unique<TestImage>();
  for (int i = 0; i < 200000; ++i) img->Images().Add(new TGIFSubImage(img.get()));
  const auto t0 = std::chrono::steady_clock::now();
  img.reset();
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(s, 3.0);
}

}  // namespace
