#include "jpeg_reader.h"

#include <memory>

extern "C" {
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
}

#include "fixtures.h"

namespace {

std::unique_ptr<TBitmap> ReadBytes(const std::vector<uint8_t>& bytes, int& x, int& y) {
  std::unique_ptr<TMemoryStream> s(StreamOf(bytes));
  return std::unique_ptr<TBitmap>(ReadJPEGStream(*s, x, y));
}

// The message of the exception that reading raises ("" when it raises none or another kind).
std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  int x = 0, y = 0;
  try {
    ReadBytes(bytes, x, y);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "";
}

// Offset of the first marker 0xFF m (after the start-of-image marker).
size_t MarkerAt(const std::vector<uint8_t>& f, uint8_t m) {
  for (size_t i = 2; i + 1 < f.size(); ++i)
    if (f[i] == 0xFF && f[i + 1] == m) return i;
  return 0;
}

// A stream that fails after some bytes, as a damaged disk would.
class FailingStream : public TMemoryStream {
public:
  explicit FailingStream(int64_t limit) : FLimit(limit) {}
  int64_t Read(void* Buffer, int64_t Count) override {
    if (Position() + Count > FLimit) throw EReadError("Stream-Lesefehler");
    return TMemoryStream::Read(Buffer, Count);
  }

private:
  int64_t FLimit;
};

}  // namespace

TEST(JPEGReader, PicturesMatchImageMagick) {
  // ImageMagick decodes with libjpeg as well; the tolerance covers a build of the library without
  // its SIMD code and the rounding of ImageMagick's own CMYK conversion.
  struct Case {
    const char* name;
    int tolerance;
  } cases[] = {{"rose", 2}, {"grey", 2}, {"progressive", 2}, {"restart", 2}, {"cmyk", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int x = -5, y = -5;
    auto b = ReadBytes(ReadAll(Fixture(std::string(c.name) + ".jpg")), x, y);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
    EXPECT_EQ(b->Width(), 70);
    EXPECT_EQ(b->Height(), 46);
    EXPECT_TRUE(SamePixels(*b, std::string(c.name) + ".rgb", c.tolerance));
  }
}

TEST(JPEGReader, ReadsFromAFileStreamAtItsPosition) {
  std::vector<uint8_t> bytes = {1, 2, 3};
  std::vector<uint8_t> jpeg = ReadAll(Fixture("rose.jpg"));
  bytes.insert(bytes.end(), jpeg.begin(), jpeg.end());
  std::unique_ptr<TMemoryStream> s(StreamOf(bytes));
  s->SetPosition(3);
  int x = 0, y = 0;
  std::unique_ptr<TBitmap> b(ReadJPEGStream(*s, x, y));
  EXPECT_TRUE(SamePixels(*b, "rose.rgb", 2));

  TFileStream f(Fixture("grey.jpg"), fmOpenRead);
  b.reset(ReadJPEGStream(f, x, y));
  EXPECT_TRUE(SamePixels(*b, "grey.rgb", 2));
}

TEST(JPEGReader, DensityInDotsPerInch) {
  struct Case {
    const char* name;
    int x, y;
  } cases[] = {{"dpcm", 299, 299}, {"dpi", 72, 72}, {"aspect", 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int x = -5, y = -5;
    ReadBytes(ReadAll(Fixture(std::string(c.name) + ".jpg")), x, y);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
  }
  // An unknown unit reports nothing: the values stay as they were.
  std::vector<uint8_t> f = ReadAll(Fixture("dpi.jpg"));
  size_t app0 = MarkerAt(f, 0xE0);
  ASSERT_GT(app0, 0u);
  f[app0 + 11] = 3;
  int x = -5, y = -7;
  ReadBytes(f, x, y);
  EXPECT_EQ(x, -5);
  EXPECT_EQ(y, -7);
}

TEST(JPEGReader, DecoderErrorsCarryTheirCode) {
  std::vector<uint8_t> rose = ReadAll(Fixture("rose.jpg"));
  EXPECT_EQ(JPEGErrorText(JERR_NO_SOI), "unrecognized JPeg - JPEG error #" + std::to_string(int(JERR_NO_SOI)));
  EXPECT_EQ(ErrorOf({}), JPEGErrorText(JERR_INPUT_EMPTY));
  EXPECT_EQ(ErrorOf(ReadAll(Fixture("rgb8.png"))), JPEGErrorText(JERR_NO_SOI));
  // Cut off before the scan: the end-of-image stand-in comes where the scan should be.
  size_t sos = MarkerAt(rose, 0xDA);
  ASSERT_GT(sos, 0u);
  EXPECT_EQ(ErrorOf(std::vector<uint8_t>(rose.begin(), rose.begin() + sos)), JPEGErrorText(JERR_SOF_NO_SOS));
  // A frame header with a zero height.
  std::vector<uint8_t> bad = rose;
  size_t sof = MarkerAt(bad, 0xC0);
  ASSERT_GT(sof, 0u);
  bad[sof + 5] = 0;
  bad[sof + 6] = 0;
  EXPECT_EQ(ErrorOf(bad), JPEGErrorText(JERR_EMPTY_IMAGE));
}

TEST(JPEGReader, DataEndingEarlyGivesThePictureSoFar) {
  std::vector<uint8_t> rose = ReadAll(Fixture("rose.jpg"));
  size_t sos = MarkerAt(rose, 0xDA);
  ASSERT_GT(sos, 0u);
  std::vector<uint8_t> cut(rose.begin(), rose.begin() + sos + (rose.size() - sos) / 2);
  int x = 0, y = 0;
  auto b = ReadBytes(cut, x, y);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->Width(), 70);
  EXPECT_EQ(b->Height(), 46);
  auto whole = ReadBytes(rose, x, y);
  for (int col = 0; col < 70; ++col) EXPECT_EQ(b->Pixel(col, 0), whole->Pixel(col, 0));
}

TEST(JPEGReader, HostileSizeIsRefusedBeforeDecoding) {
  // 30000 x 30000 pixels declared over the rose's few kilobytes: far fewer bytes than the picture
  // has blocks / 8, so the data cannot fill it.
  std::vector<uint8_t> f = ReadAll(Fixture("rose.jpg"));
  size_t sof = MarkerAt(f, 0xC0);
  ASSERT_GT(sof, 0u);
  f[sof + 5] = 0x75; f[sof + 6] = 0x30;  // height 30000
  f[sof + 7] = 0x75; f[sof + 8] = 0x30;  // width 30000
  EXPECT_EQ(ErrorOf(f), JPEGErrorText(JERR_INPUT_EOF));
  // A picture its data fills but larger than the reader may make.
  try {
    std::unique_ptr<TMemoryStream> s(StreamOf(ReadAll(Fixture("rose.jpg"))));
    int x = 0, y = 0;
    delete ReadJPEGStream(*s, x, y, 70 * 46 - 1);
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Bild zu gro\xDF");
  }
}

TEST(JPEGReader, EndlessProgressionIsCutOff) {
  // The last scan of the progressive picture repeated (each copy refines the picture once more):
  // a few hundred copies still load, a few thousand are refused.
  std::vector<uint8_t> f = ReadAll(Fixture("progressive.jpg"));
  size_t last = 0;
  for (size_t i = 2; i + 1 < f.size(); ++i)
    if (f[i] == 0xFF && f[i + 1] == 0xDA) last = i;
  ASSERT_GT(last, 0u);
  ASSERT_TRUE(f[f.size() - 2] == 0xFF && f[f.size() - 1] == 0xD9);
  std::vector<uint8_t> scan(f.begin() + last, f.end() - 2);
  for (int copies : {300, 3000}) {
    SCOPED_TRACE(copies);
    std::vector<uint8_t> g(f.begin(), f.end() - 2);
    for (int i = 0; i < copies; ++i) g.insert(g.end(), scan.begin(), scan.end());
    g.push_back(0xFF);
    g.push_back(0xD9);
    if (copies < 1000) {
      int x = 0, y = 0;
      EXPECT_EQ(ReadBytes(g, x, y)->Width(), 70);
    } else {
      EXPECT_EQ(ErrorOf(g), JPEGErrorText(JERR_BAD_PROGRESSION));
    }
  }
}

TEST(JPEGReader, StreamErrorsPassUnchanged) {
  std::vector<uint8_t> f = ReadAll(Fixture("rose.jpg"));
  FailingStream s(1000);
  s.WriteBuffer(f.data(), int64_t(f.size()));
  s.SetPosition(0);
  int x = 0, y = 0;
  EXPECT_THROW(ReadJPEGStream(s, x, y), EReadError);
}
