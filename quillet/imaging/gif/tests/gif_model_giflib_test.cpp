// Files written by the GIF object model, read by giflib, the peer decoder: every extension block
// and the pixels of every frame as the model holds them.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>

#include "gif_model.h"
#include "gif_test_support.h"

namespace {

struct Reader {
  const Bytes* Data;
  size_t Pos = 0;
};

int ReadFromMemory(GifFileType* Gif, GifByteType* Buffer, int Count) {
  Reader* r = static_cast<Reader*>(Gif->UserData);
  const size_t n = std::min(size_t(Count), r->Data->size() - r->Pos);
  std::memcpy(Buffer, r->Data->data() + r->Pos, n);
  r->Pos += n;
  return int(n);
}

TGIFSubImage* Frame(TGIFImageOwner& Image, int Left, int Top, int W, int H, int Colors, uint32_t Seed) {
  auto* f = new TGIFSubImage(&Image);
  Image.Images().Add(f);
  f->SetLeft(Left);
  f->SetTop(Top);
  f->SetWidth(W);
  f->SetHeight(H);
  const Bytes px = RandomPixels(size_t(W) * size_t(H), Colors, Seed);
  std::memcpy(f->Data(), px.data(), px.size());
  return f;
}

}  // namespace

TEST(GIFModelGiflib, ReadsEveryBlockTheModelWrites) {
  for (int encoder : {geLZW, geRLE}) {
    SCOPED_TRACE(encoder);
    struct Image : TGIFImageOwner {
      int Kind = geLZW;
      int Encoder() const override { return Kind; }
    } img;
    img.Kind = encoder;
    for (int i = 0; i < 5; ++i) img.GlobalColorMap().Add(TColor(i * 0x102030));
    img.SetWidth(40);
    img.SetHeight(30);

    TGIFSubImage* f1 = Frame(img, 0, 0, 40, 30, 5, 1);
    auto* loop = new TGIFAppExtNSLoop(f1);
    loop->SetLoops(7);
    f1->Extensions().Add(loop);
    auto* comment = new TGIFCommentExtension(f1);
    comment->Text().Add(String(300, 'k'));
    f1->Extensions().Add(comment);
    auto* gce = new TGIFGraphicControlExtension(f1);
    f1->Extensions().Add(gce);
    gce->SetDelay(12);
    gce->SetDisposal(2);
    gce->SetTransparentColorIndex(4);
    gce->SetTransparent(true);

    TGIFSubImage* f2 = Frame(img, 5, 6, 17, 9, 3, 2);
    for (TColor c : {TColor(0xFF), TColor(0xFF00), TColor(0xFF0000)}) f2->ColorMap().Add(c);
    f2->SetInterlaced(true);
    auto* text = new TGIFTextExtension(f2);
    text->SetGrid(1, 2, 16, 8);
    text->SetCell(8, 8);
    text->Text().Add("Hallo");
    f2->Extensions().Add(text);

    TGIFSubImage* f3 = Frame(img, 0, 0, 3, 2, 5, 3);
    f3->SetInterlaced(true);

    TMemoryStream s;
    img.SaveToStream(s);
    const Bytes file = StreamBytes(s);
    Reader r{&file};
    int err = 0;
    GifFileType* gif = DGifOpen(&r, ReadFromMemory, &err);
    ASSERT_NE(nullptr, gif);
    ASSERT_EQ(GIF_OK, DGifSlurp(gif));
    EXPECT_EQ(40, gif->SWidth);
    EXPECT_EQ(30, gif->SHeight);
    ASSERT_NE(nullptr, gif->SColorMap);
    EXPECT_EQ(8, gif->SColorMap->ColorCount);
    EXPECT_EQ(0x30, gif->SColorMap->Colors[1].Red);
    EXPECT_EQ(0x10, gif->SColorMap->Colors[1].Blue);
    ASSERT_EQ(3, gif->ImageCount);
    TGIFSubImage* frames[3] = {f1, f2, f3};
    for (int i = 0; i < 3; ++i) {
      const SavedImage& si = gif->SavedImages[i];
      EXPECT_EQ(frames[i]->Left(), si.ImageDesc.Left);
      EXPECT_EQ(frames[i]->Top(), si.ImageDesc.Top);
      ASSERT_EQ(frames[i]->Width(), si.ImageDesc.Width);
      ASSERT_EQ(frames[i]->Height(), si.ImageDesc.Height);
      EXPECT_EQ(0, std::memcmp(frames[i]->Data(), si.RasterBits, size_t(frames[i]->DataSize()))) << i;
    }
    EXPECT_FALSE(gif->SavedImages[1].ImageDesc.Interlace);  // a local table drops interlacing
    EXPECT_TRUE(gif->SavedImages[2].ImageDesc.Interlace);
    ASSERT_NE(nullptr, gif->SavedImages[1].ImageDesc.ColorMap);
    EXPECT_EQ(4, gif->SavedImages[1].ImageDesc.ColorMap->ColorCount);
    EXPECT_EQ(0xFF, gif->SavedImages[1].ImageDesc.ColorMap->Colors[0].Red);

    // Frame 1: looping block (identifier, then its sub-block), comment in two sub-blocks, graphic control.
    const SavedImage& s1 = gif->SavedImages[0];
    ASSERT_EQ(5, s1.ExtensionBlockCount);
    EXPECT_EQ(APPLICATION_EXT_FUNC_CODE, s1.ExtensionBlocks[0].Function);
    EXPECT_EQ(0, std::memcmp(s1.ExtensionBlocks[0].Bytes, "NETSCAPE2.0", 11));
    const Bytes loopBlock = {1, 7, 0};
    EXPECT_EQ(loopBlock, Bytes(s1.ExtensionBlocks[1].Bytes, s1.ExtensionBlocks[1].Bytes + 3));
    EXPECT_EQ(COMMENT_EXT_FUNC_CODE, s1.ExtensionBlocks[2].Function);
    EXPECT_EQ(255, s1.ExtensionBlocks[2].ByteCount);
    EXPECT_EQ(45, s1.ExtensionBlocks[3].ByteCount);
    EXPECT_EQ(GRAPHICS_EXT_FUNC_CODE, s1.ExtensionBlocks[4].Function);
    GraphicsControlBlock gcb;
    ASSERT_EQ(GIF_OK, DGifSavedExtensionToGCB(gif, 0, &gcb));
    EXPECT_EQ(12, gcb.DelayTime);
    EXPECT_EQ(2, gcb.DisposalMode);
    EXPECT_EQ(4, gcb.TransparentColor);
    // Frame 2: the plain text block, its 12 header bytes and the text.
    const SavedImage& s2 = gif->SavedImages[1];
    ASSERT_EQ(2, s2.ExtensionBlockCount);
    EXPECT_EQ(PLAINTEXT_EXT_FUNC_CODE, s2.ExtensionBlocks[0].Function);
    EXPECT_EQ(12, s2.ExtensionBlocks[0].ByteCount);
    EXPECT_EQ(16, s2.ExtensionBlocks[0].Bytes[4]);
    EXPECT_EQ("Hallo", std::string(reinterpret_cast<char*>(s2.ExtensionBlocks[1].Bytes), 5));
    DGifCloseFile(gif, &err);
  }
}
