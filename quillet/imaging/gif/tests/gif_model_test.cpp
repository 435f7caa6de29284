// The GIF object model: reading files made by ImageMagick, writing them back, every extension
// block, the colour maps, and the errors and warnings of odd data.

#include <gtest/gtest.h>

#include <cstring>

#include "gif_lzw_decoder.h"
#include "gif_model.h"
#include "gif_test_support.h"

namespace {

// An owning picture that records its warnings.
struct TestImage : TGIFImageOwner {
  std::vector<std::string> Warns;
  std::vector<std::string> ProgressTexts;
  void Warning(TObject*, int Severity, const String& Message) override {
    EXPECT_EQ(1, Severity);
    Warns.push_back(Message);
  }
  void Progress(TObject*, TGIFProgressStage, int Percent, bool, const String& Message) override {
    EXPECT_GE(Percent, 0);
    EXPECT_LE(Percent, 100);
    ProgressTexts.push_back(Message);
  }
};

Bytes Save(TGIFImageOwner& Image) {
  TMemoryStream s;
  Image.SaveToStream(s);
  return StreamBytes(s);
}

void Load(TGIFImageOwner& Image, const Bytes& B) {
  TMemoryStream s;
  Fill(s, B);
  s.SetPosition(0);
  Image.LoadFromStream(s);
}

std::string Message(const std::function<void()>& F) {
  try {
    F();
  } catch (const GIFException& e) {
    return e.Message();
  }
  return "";
}

// A frame of W x H pixels 0, 1, 2, ... (mod Colors) on a grey global table.
TGIFSubImage* AddFrame(TGIFImageOwner& Image, int W, int H, int Colors) {
  auto* f = new TGIFSubImage(&Image);
  Image.Images().Add(f);
  f->SetWidth(W);
  f->SetHeight(H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) f->ScanLine(y)[x] = uint8_t((y * W + x) % Colors);
  return f;
}

void GreyGlobal(TGIFImageOwner& Image, int Colors) {
  for (int i = 0; i < Colors; ++i) Image.GlobalColorMap().Add(TColor(i * 0x010101));
}

// Header bytes of a 4 x 2 screen with a two-colour global table, and a 2 x 1 frame of indices 0, 1.
Bytes Screen() {
  return {'G', 'I', 'F', '8', '9', 'a', 4, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
}
Bytes Frame2x1() {
  Bytes b = {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0};
  TMemoryStream s;
  const uint8_t px[2] = {0, 1};
  Encode(geLZW, s, 1, 2, px, false, 1, 2);
  Bytes d = StreamBytes(s);
  b.insert(b.end(), d.begin(), d.end());
  return b;
}
Bytes Cat(std::initializer_list<Bytes> Parts) {
  Bytes r;
  for (const Bytes& p : Parts) r.insert(r.end(), p.begin(), p.end());
  return r;
}

}  // namespace

TEST(GIFModel, ReadsImageMagickAnimationAndWritesItBack) {
  TestImage img;
  Load(img, ReadFile(FixturePath("model_anim.gif")));
  EXPECT_TRUE(img.Warns.empty());
  ASSERT_EQ(2, img.Images().Count());
  EXPECT_EQ(8, img.Width());
  EXPECT_EQ(6, img.Height());
  TGIFSubImage* f1 = img.Images()[0];
  TGIFSubImage* f2 = img.Images()[1];
  ASSERT_NE(nullptr, f1->GraphicControlExtension());
  EXPECT_EQ(7, f1->GraphicControlExtension()->Delay());
  bool loop = false, comment = false;
  for (int i = 0; i < f1->Extensions().Count(); ++i) {
    if (auto* l = dynamic_cast<TGIFAppExtNSLoop*>(f1->Extensions()[i])) {
      loop = true;
      EXPECT_EQ("NETSCAPE", l->Identifier());
      EXPECT_EQ("2.0", l->Authentication());
    }
    if (auto* c = dynamic_cast<TGIFCommentExtension*>(f1->Extensions()[i])) {
      comment = true;
      EXPECT_EQ("Hallo Welt", c->Text().StringRef(0));
    }
  }
  EXPECT_TRUE(loop);
  EXPECT_TRUE(comment);
  EXPECT_EQ(&img.GlobalColorMap(), &f1->ActiveColorMap());
  EXPECT_EQ(&f2->ColorMap(), &f2->ActiveColorMap());
  // Frame 1 is a gradient: one colour per row, red to blue.
  EXPECT_EQ(TColor(0x0000FF), img.GlobalColorMap().Colors(f1->Pixels(3, 0)));
  EXPECT_EQ(TColor(0xFF0000), img.GlobalColorMap().Colors(f1->Pixels(3, 5)));
  EXPECT_EQ(TColor(0x008000), f2->ColorMap().Colors(f2->Pixels(7, 5)));

  const Bytes saved = Save(img);
  EXPECT_EQ(0, std::memcmp(saved.data(), "GIF89a", 6));
  TestImage back;
  Load(back, saved);
  EXPECT_TRUE(back.Warns.empty());
  ASSERT_EQ(2, back.Images().Count());
  for (int i = 0; i < 2; ++i) {
    TGIFSubImage* a = img.Images()[i];
    TGIFSubImage* b = back.Images()[i];
    ASSERT_EQ(a->DataSize(), b->DataSize());
    EXPECT_EQ(0, std::memcmp(a->Data(), b->Data(), size_t(a->DataSize())));
    EXPECT_EQ(a->Extensions().Count(), b->Extensions().Count());
  }
  // Saving again gives the very same bytes.
  EXPECT_EQ(saved, Save(back));
  EXPECT_FALSE(img.ProgressTexts.empty());
  EXPECT_EQ("Saving...", img.ProgressTexts.back());
}

TEST(GIFModel, ImageMagickFixturesRoundTripTheirPixels) {
  for (const char* name : {"im_bilevel.gif", "im_gradient.gif", "im_interlaced.gif", "im_noise.gif"}) {
    SCOPED_TRACE(name);
    TestImage img;
    Load(img, ReadFile(FixturePath(name)));
    ASSERT_GE(img.Images().Count(), 1);
    TestImage back;
    Load(back, Save(img));
    ASSERT_EQ(img.Images().Count(), back.Images().Count());
    TGIFSubImage* a = img.Images()[0];
    TGIFSubImage* b = back.Images()[0];
    EXPECT_EQ(a->Interlaced(), b->Interlaced());
    ASSERT_EQ(a->DataSize(), b->DataSize());
    EXPECT_EQ(0, std::memcmp(a->Data(), b->Data(), size_t(a->DataSize())));
  }
}

TEST(GIFModel, SignatureMayFollowAFourByteLengthOnly) {
  const Bytes file = Cat({Screen(), Frame2x1(), {0x3B}});
  TestImage a;
  Load(a, Cat({{1, 2, 3, 4}, file}));
  EXPECT_EQ(1, a.Images().Count());
  TestImage b;
  EXPECT_EQ("Invalid GIF signature", Message([&] { Load(b, Cat({{1, 2, 3}, file})); }));
  TestImage c;
  EXPECT_EQ("Premature end of data", Message([&] { Load(c, {'G', 'I'}); }));
}

TEST(GIFModel, HeaderVersionAndPackedFields) {
  TestImage empty;
  GreyGlobal(empty, 2);
  EXPECT_EQ("Unsupported GIF version", Message([&] { Save(empty); }));

  // Three colours: written as four entries, the last one black; size bits 1. A sorted global
  // table is not a reason for 89a.
  TestImage img;
  img.GlobalColorMap().Add(TColor(0x112233));
  img.GlobalColorMap().Add(TColor(0x445566));
  img.GlobalColorMap().Add(TColor(0x778899));
  img.GlobalColorMap().SetOptimized(true);
  AddFrame(img, 3, 1, 3);
  const Bytes b = Save(img);
  EXPECT_EQ(0, std::memcmp(b.data(), "GIF87a", 6));
  EXPECT_EQ(0x80 | 0x08 | (1 << 4) | 1, b[10]);
  const Bytes table = {0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0, 0, 0};
  EXPECT_EQ(table, Bytes(b.begin() + 13, b.begin() + 25));
  EXPECT_EQ(0x2C, b[25]);
  EXPECT_EQ(gv89a, img.Header().GetVersion());
}

TEST(GIFModel, LocalTableFrameIsWrittenNonInterlaced) {
  TestImage img;
  GreyGlobal(img, 4);
  TGIFSubImage* global = AddFrame(img, 4, 4, 4);
  global->SetInterlaced(true);
  TGIFSubImage* local = AddFrame(img, 4, 4, 2);
  local->ColorMap().Add(TColor(0xFF));
  local->ColorMap().Add(TColor(0xFF00));
  local->SetInterlaced(true);
  TestImage back;
  Load(back, Save(img));
  ASSERT_EQ(2, back.Images().Count());
  EXPECT_TRUE(back.Images()[0]->Interlaced());
  EXPECT_FALSE(back.Images()[1]->Interlaced());
  EXPECT_EQ(0x80, back.Images()[1]->Descriptor()[9]);
  EXPECT_EQ(2, back.Images()[1]->ColorMap().Count());
  EXPECT_EQ(0, std::memcmp(global->Data(), back.Images()[0]->Data(), 16));
  EXPECT_EQ(0, std::memcmp(local->Data(), back.Images()[1]->Data(), 16));
}

TEST(GIFModel, CommentLinesBecomeSubBlocks) {
  TestImage img;
  TGIFSubImage frame(&img);
  TGIFCommentExtension c(&frame);
  c.Text().Add(String(600, 'x'));
  TMemoryStream s;
  c.SaveToStream(s);
  const Bytes b = StreamBytes(s);
  ASSERT_EQ(size_t(2 + 3 + 600 + 1), b.size());
  EXPECT_EQ(255, b[2]);
  EXPECT_EQ(255, b[2 + 256]);
  EXPECT_EQ(90, b[2 + 512]);
  EXPECT_EQ(0, b.back());
  s.SetPosition(0);
  TGIFCommentExtension r(&frame);
  r.LoadFromStream(s);
  ASSERT_EQ(3, r.Text().Count());
  EXPECT_EQ(String(90, 'x'), r.Text().StringRef(2));
}

TEST(GIFModel, PlainTextAndGraphicControlRoundTrip) {
  TestImage img;
  GreyGlobal(img, 4);
  TGIFSubImage* f = AddFrame(img, 4, 2, 4);
  auto* t = new TGIFTextExtension(f);
  f->Extensions().Add(t);
  t->SetGrid(1, 2, 30, 40);
  t->SetCell(8, 9);
  t->SetColors(3, 1);
  t->Text().Add("Zeile eins");
  t->Text().Add("zwei");
  auto* g = new TGIFGraphicControlExtension(f);
  f->Extensions().Add(g);
  EXPECT_EQ(g, f->GraphicControlExtension());
  g->SetDelay(250);
  g->SetDisposal(2);
  g->SetUserInput(true);
  g->SetTransparentColorIndex(3);
  g->SetTransparent(true);
  EXPECT_TRUE(f->Transparent());
  // A second graphic control block does not replace the frame's.
  TGIFGraphicControlExtension other(f);
  EXPECT_EQ(g, f->GraphicControlExtension());

  TestImage back;
  Load(back, Save(img));
  ASSERT_EQ(1, back.Images().Count());
  TGIFSubImage* b = back.Images()[0];
  ASSERT_EQ(2, b->Extensions().Count());
  auto* bt = dynamic_cast<TGIFTextExtension*>(b->Extensions()[0]);
  ASSERT_NE(nullptr, bt);
  EXPECT_EQ(1, bt->Left());
  EXPECT_EQ(2, bt->Top());
  EXPECT_EQ(30, bt->GridWidth());
  EXPECT_EQ(40, bt->GridHeight());
  EXPECT_EQ(8, bt->CharWidth());
  EXPECT_EQ(9, bt->CharHeight());
  EXPECT_EQ(3, bt->ForegroundColorIndex());
  EXPECT_EQ(1, bt->BackgroundColorIndex());
  EXPECT_EQ(2, bt->Text().Count());
  EXPECT_EQ("zwei", bt->Text().StringRef(1));
  TGIFGraphicControlExtension* bg = b->GraphicControlExtension();
  ASSERT_NE(nullptr, bg);
  EXPECT_EQ(250, bg->Delay());
  EXPECT_EQ(2, bg->Disposal());
  EXPECT_TRUE(bg->UserInput());
  EXPECT_TRUE(bg->Transparent());
  EXPECT_EQ(3, bg->TransparentColorIndex());
  EXPECT_TRUE(b->Transparent());
  // Freeing the block clears the frame's transparency.
  b->Extensions().Delete(1);
  EXPECT_EQ(nullptr, b->GraphicControlExtension());
  EXPECT_FALSE(b->Transparent());
}

TEST(GIFModel, TransparentIndexOutsideTheTableIsRefused) {
  TestImage img;
  GreyGlobal(img, 4);
  TGIFSubImage* f = AddFrame(img, 2, 2, 4);
  TGIFGraphicControlExtension g(f);
  g.SetTransparentColorIndex(4);
  EXPECT_EQ(0, g.TransparentColorIndex());
  ASSERT_EQ(1u, img.Warns.size());
  EXPECT_EQ("Invalid color index", img.Warns[0]);
}

TEST(GIFModel, ApplicationBlocks) {
  // Unregistered identifier: the sub-blocks come back unchanged.
  const Bytes unknown = {0x21, 0xFF, 11, 'X', 'Y', 'Z', 'A', 'P', 'P', '0', '1', 'a', 'b', 'c', 3, 1, 2, 3, 1, 9, 0};
  // ANIMEXTS1.0 is a looping block; a size of 12 keeps the 11 bytes and skips the rest.
  const Bytes anim = {0x21, 0xFF, 11, 'A', 'N', 'I', 'M', 'E', 'X', 'T', 'S', '1', '.', '0', 3, 1, 5, 0, 5, 2,
                      0x10, 0x20, 0, 0, 0};
  const Bytes wide = {0x21, 0xFF, 12, 'W', 'I', 'D', 'E', 'A', 'P', 'P', 'S', '1', '.', '0', '!', 2, 7, 8, 0};
  TestImage img;
  Load(img, Cat({Screen(), unknown, anim, wide, Frame2x1(), {0x3B}}));
  EXPECT_TRUE(img.Warns.empty());
  ASSERT_EQ(1, img.Images().Count());
  TGIFExtensionList& ext = img.Images()[0]->Extensions();
  ASSERT_EQ(3, ext.Count());
  auto* u = dynamic_cast<TGIFUnknownAppExtension*>(ext[0]);
  ASSERT_NE(nullptr, u);
  ASSERT_EQ(2u, u->Blocks().size());
  EXPECT_EQ(Bytes({1, 2, 3}), u->Blocks()[0].Data);
  auto* l = dynamic_cast<TGIFAppExtNSLoop*>(ext[1]);
  ASSERT_NE(nullptr, l);
  EXPECT_EQ(5, l->Loops());
  EXPECT_EQ(0x2010u, l->BufferSize());
  auto* w = dynamic_cast<TGIFUnknownAppExtension*>(ext[2]);
  ASSERT_NE(nullptr, w);
  EXPECT_EQ("WIDEAPPS", w->Identifier());

  TMemoryStream s;
  u->SaveToStream(s);
  EXPECT_EQ(unknown, StreamBytes(s));

  // Loop count 0: one sub-block 3, 1, 0, 0 and no buffer size.
  TGIFSubImage frame(&img);
  TGIFAppExtNSLoop loop(&frame);
  TMemoryStream ls;
  loop.SaveToStream(ls);
  const Bytes expected = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  EXPECT_EQ(expected, StreamBytes(ls));
}

TEST(GIFModel, BrokenApplicationBlocks) {
  struct Case {
    Bytes Block;
    const char* Error;
  } cases[] = {
      {{0x21, 0xFF, 9, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 0}, "Unsupported Application Extension block size"},
      {{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 0, 0}, "Invalid GIF data"},
      {{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 4, 2, 0, 0, 0, 0}, "Invalid GIF data"},
      {{0x21, 0xFF}, "Unknown extension type"},
      {{0x21, 0x77, 0}, "Unknown extension type"},
      {{0x21, 0x01, 12, 0, 0}, "Premature end of data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Error);
    TestImage img;
    EXPECT_EQ(c.Error, Message([&] { Load(img, Cat({Screen(), Frame2x1(), c.Block})); }));
    // The frame read before the broken block stays.
    EXPECT_EQ(1, img.Images().Count());
  }
}

TEST(GIFModel, RecoverableOdditiesWarnAndLoadingGoesOn) {
  {  // A graphic control block cut short at the end of the data.
    TestImage img;
    Load(img, Cat({Screen(), Frame2x1(), {0x21, 0xF9, 4, 1}}));
    EXPECT_EQ(std::vector<std::string>{"Premature end of data"}, img.Warns);
    EXPECT_EQ(2, img.Images().Count());
  }
  {  // An unknown block byte between frames: the frames before it remain.
    TestImage img;
    Load(img, Cat({Screen(), Frame2x1(), {0x00, 0x00}, Frame2x1(), {0x99}, Frame2x1(), {0x3B}}));
    EXPECT_EQ(2, img.Images().Count());
    ASSERT_EQ(2u, img.Warns.size());
    EXPECT_EQ("Unknown GIF block type", img.Warns[0]);
    EXPECT_EQ("Invalid Image trailer", img.Warns[1]);
  }
  {  // No trailer at all is accepted silently.
    TestImage img;
    Load(img, Cat({Screen(), Frame2x1()}));
    EXPECT_TRUE(img.Warns.empty());
    EXPECT_EQ(1, img.Images().Count());
  }
  {  // A frame of width 0 takes the screen size.
    Bytes f = Frame2x1();
    f[5] = 0;
    TestImage img;
    Load(img, Cat({Screen(), f, {0x3B}}));
    ASSERT_EQ(1, img.Images().Count());
    EXPECT_EQ(4, img.Images()[0]->Width());
    EXPECT_EQ(2, img.Images()[0]->Height());
    ASSERT_FALSE(img.Warns.empty());
    EXPECT_EQ("Image exceeds Logical Screen size", img.Warns[0]);
  }
  {  // Colour table sizes in the descriptors.
    TestImage img;
    Bytes f = Frame2x1();
    f[9] = 0x87;
    EXPECT_EQ("Premature end of data", Message([&] { Load(img, Cat({Screen(), f})); }));
  }
}

TEST(GIFModel, FrameBoundsGrowTheScreen) {
  TestImage img;
  GreyGlobal(img, 2);
  TGIFSubImage* f = AddFrame(img, 10, 5, 2);
  EXPECT_TRUE(img.Warns.empty());  // a screen of size 0 simply grows
  EXPECT_EQ(10, img.Width());
  EXPECT_EQ(5, img.Height());
  f->SetLeft(3);
  EXPECT_EQ(13, img.Width());
  const std::vector<std::string> w = {"Image width too small for contained frames", "Image exceeds Logical Screen size"};
  EXPECT_EQ(w, img.Warns);
  EXPECT_EQ(50, f->DataSize());
  f->SetHeight(6);
  EXPECT_EQ(60, f->DataSize());
  EXPECT_EQ("Invalid pixel coordinates", Message([&] { f->ScanLine(6); }));
  EXPECT_EQ("Invalid pixel coordinates", Message([&] { f->Pixels(10, 0); }));
  TGIFSubImage empty(&img);
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ("Image is empty", Message([&] { empty.ScanLine(0); }));
}

TEST(GIFModel, ColorMapOperations) {
  TestImage img;
  TGIFColorMap& m = img.GlobalColorMap();
  EXPECT_EQ(0, m.BitsPerPixel());
  m.Add(TColor(0x0000FF));
  EXPECT_EQ(16, m.Capacity());
  EXPECT_EQ(1, m.BitsPerPixel());
  EXPECT_EQ(0, m.AddUnique(TColor(0x0000FF)));
  EXPECT_EQ(1, m.AddUnique(TColor(0x00FF00)));
  m.Add(TColor(0x0000FF));
  EXPECT_EQ(2, m.IndexOf(TColor(0x0000FF)));  // unsorted: from the last entry
  EXPECT_EQ(-1, m.IndexOf(TColor(0x123456)));
  m.Delete(0);
  EXPECT_EQ(2, m.Count());
  EXPECT_EQ(TColor(0x00FF00), m.Colors(0));
  EXPECT_EQ("Invalid color index", Message([&] { m.Delete(2); }));
  EXPECT_EQ(TColor(0x00FF00), m.Colors(7));
  EXPECT_EQ(std::vector<std::string>{"Invalid color index"}, img.Warns);
  m.Clear();
  EXPECT_EQ("Color table is empty", Message([&] { m.Colors(0); }));
  for (int i = 0; i < 17; ++i) m.Add(TColor(i));
  EXPECT_EQ(32, m.Capacity());
  for (int i = 17; i < 256; ++i) m.Add(TColor(i));
  EXPECT_EQ(256, m.Capacity());
  EXPECT_EQ(8, m.BitsPerPixel());
  EXPECT_EQ("Color table overflow", Message([&] { m.Add(0); }));
  const uint8_t quads[8] = {1, 2, 3, 0, 4, 5, 6, 0};
  m.ImportRGB(quads, 2);
  EXPECT_EQ(TColor(0x010203), m.Colors(0));
  EXPECT_EQ(TColor(0x040506), m.Colors(1));

  const TLogPalette pal = m.ExportPalette();
  ASSERT_EQ(2u, pal.size());
  EXPECT_EQ(3, pal[0].peRed);
  EXPECT_EQ(1, pal[0].peBlue);
  EXPECT_EQ(PC_NOCOLLAPSE, pal[1].peFlags);
  TestImage other;
  other.GlobalColorMap().ImportPalette(pal);
  EXPECT_EQ(2, other.GlobalColorMap().Count());
  EXPECT_EQ(TColor(0x040506), other.GlobalColorMap().Colors(1));
  other.GlobalColorMap().ImportPalette({});
  EXPECT_EQ(0, other.GlobalColorMap().Count());
  EXPECT_TRUE(other.GlobalColorMap().ExportPalette().empty());

  const TLogPalette web = GIFImage::CreateWebPalette();
  ASSERT_EQ(216u, web.size());
  EXPECT_EQ(51, web[1].peBlue);
  EXPECT_EQ(51, web[6].peGreen);
  EXPECT_EQ(51, web[36].peRed);
  EXPECT_EQ(255, web[215].peRed);
  EXPECT_EQ(0, web[215].peFlags);
}

TEST(GIFModel, OptimizeSortsByUseAndRemapsPixels) {
  TestImage img;
  GreyGlobal(img, 4);
  TGIFSubImage* f = AddFrame(img, 4, 1, 4);
  const uint8_t px[4] = {2, 2, 2, 1};
  std::memcpy(f->Data(), px, 4);
  TGIFGraphicControlExtension* g = new TGIFGraphicControlExtension(f);
  f->Extensions().Add(g);
  g->SetTransparentColorIndex(1);
  g->SetTransparent(true);
  EXPECT_TRUE(img.GlobalColorMap().Optimize());
  EXPECT_TRUE(img.GlobalColorMap().Optimized());
  EXPECT_EQ(2, img.GlobalColorMap().Count());  // unused colours dropped
  EXPECT_EQ(TColor(0x020202), img.GlobalColorMap().Colors(0));
  EXPECT_EQ(TColor(0x010101), img.GlobalColorMap().Colors(1));
  const Bytes want = {0, 0, 0, 1};
  EXPECT_EQ(want, Bytes(f->Data(), f->Data() + 4));
  EXPECT_EQ(1, g->TransparentColorIndex());
  // Sorted search finds the most used colour first.
  EXPECT_EQ(0, img.GlobalColorMap().IndexOf(TColor(0x020202)));

  // Already in order of use: nothing changes, unused colours stay.
  TestImage sorted;
  GreyGlobal(sorted, 4);
  TGIFSubImage* s = AddFrame(sorted, 3, 1, 4);
  const uint8_t sp[3] = {0, 0, 1};
  std::memcpy(s->Data(), sp, 3);
  EXPECT_TRUE(sorted.GlobalColorMap().Optimize());
  EXPECT_EQ(4, sorted.GlobalColorMap().Count());
  EXPECT_EQ(Bytes({0, 0, 1}), Bytes(s->Data(), s->Data() + 3));

  TestImage none;
  GreyGlobal(none, 4);
  EXPECT_FALSE(none.GlobalColorMap().Optimize());
}

TEST(GIFModel, FrameAssignCopiesPixelsMapAndExtensions) {
  TestImage img;
  GreyGlobal(img, 4);
  TGIFSubImage* f = AddFrame(img, 3, 2, 4);
  f->ColorMap().Add(TColor(1));
  f->ColorMap().Add(TColor(2));
  auto* c = new TGIFCommentExtension(f);
  c->Text().Add("Kopie");
  f->Extensions().Add(c);
  auto* g = new TGIFGraphicControlExtension(f);
  f->Extensions().Add(g);
  g->SetTransparent(true);
  TGIFSubImage copy(&img);
  copy.Assign(f);
  EXPECT_EQ(3, copy.Width());
  EXPECT_EQ(0, std::memcmp(f->Data(), copy.Data(), 6));
  EXPECT_EQ(2, copy.ColorMap().Count());
  ASSERT_EQ(2, copy.Extensions().Count());
  EXPECT_NE(nullptr, copy.GraphicControlExtension());
  EXPECT_TRUE(copy.Transparent());
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(0, copy.Extensions().Count());
}

TEST(GIFModel, UnitRoutines) {
  const int bits[][2] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {16, 4}, {17, 5}, {256, 8}};
  for (const auto& b : bits) EXPECT_EQ(b[1], GIFImage::BitsPerColors(b[0])) << b[0];
  EXPECT_EQ(4, GIFImage::ScanLineBytes(10, 3, 32));
  EXPECT_EQ(2, GIFImage::ScanLineBytes(9, 1, 16));
  TMemoryStream s;
  EXPECT_EQ(0, GIFImage::ReadByte(s));
  uint8_t buf[2];
  EXPECT_EQ("Premature end of data", Message([&] { GIFImage::ReadCheck(s, buf, 2); }));
  TStringList lines;
  lines.Add("ab");
  Fill(s, {2, 'x', 'y', 5, 'z'});  // the last block is cut short
  s.SetPosition(0);
  GIFImage::ReadStrings(s, lines);
  ASSERT_EQ(2, lines.Count());
  EXPECT_EQ("xy", lines.StringRef(0));
  EXPECT_EQ("z", lines.StringRef(1));
}

TEST(GIFModel, ItemsSaveToAndLoadFromFiles) {
  const std::string name = std::string(ASTREL_BINARY_DIR) + "/gif_model_header.bin";
  TestImage img;
  GreyGlobal(img, 2);
  AddFrame(img, 2, 2, 2);
  img.Header().SaveToFile(name);
  TestImage back;
  back.Header().LoadFromFile(name);
  EXPECT_EQ(2, back.Width());
  EXPECT_EQ(2, back.GlobalColorMap().Count());
  std::remove(name.c_str());
}

TEST(GIFModel, FramesAboveTheOwnersPixelLimitAreRefused) {
  struct Small : TestImage {
    int64_t MaxFramePixels() const override { return 1; }
  } img;
  EXPECT_EQ("Invalid image dimensions", Message([&] { Load(img, Cat({Screen(), Frame2x1(), {0x3B}})); }));
  EXPECT_EQ(0, img.Images().Count());
}
