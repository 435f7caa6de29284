#include "gif_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "picture_budget.h"

namespace {

const char* const kBadGIF = "unrecognized GIF";

[[noreturn]] void Bad() { throw EInvalidGraphic(kBadGIF); }

// The file from the stream's position, read in one piece: frames are found and skipped in memory
// rather than by a seek per data sub-block.
class Input {
public:
  explicit Input(TStream& s) {
    int64_t avail = s.Size() - s.Position();
    if (avail > kPictureBudgetBytes) Bad();
    FBytes.resize(size_t(avail > 0 ? avail : 0));
    if (!FBytes.empty()) FBytes.resize(size_t(s.Read(FBytes.data(), int64_t(FBytes.size()))));
  }

  bool Byte(uint8_t& b) {
    if (FPos >= FBytes.size()) return false;
    b = FBytes[FPos++];
    return true;
  }
  // N bytes or "unrecognized GIF": a header, table or block cut off by the end of the file.
  const uint8_t* Take(size_t n) {
    if (FBytes.size() - FPos < n) Bad();
    FPos += n;
    return FBytes.data() + FPos - n;
  }
  // Skips data sub-blocks up to the zero-length terminator or the end of the file.
  void SkipBlocks() {
    uint8_t len;
    while (Byte(len) && len != 0) {
      FPos += len;
      if (FPos >= FBytes.size()) {
        FPos = FBytes.size();
        break;
      }
    }
  }
  // The bytes of the data sub-blocks from here to the terminator or the end of the file.
  int64_t BlockBytes() const {
    int64_t total = 0;
    for (size_t p = FPos; p < FBytes.size() && FBytes[p] != 0;) {
      size_t len = FBytes[p++];
      total += int64_t(std::min(len, FBytes.size() - p));
      p += len;
    }
    return total;
  }

private:
  std::vector<uint8_t> FBytes;
  size_t FPos = 0;
};

// A colour table of 256 blue-green-red entries; entries the file does not give stay black, so an
// index beyond a small table (or a frame without any table) shows black.
struct ColorTable {
  uint8_t bgr[256][3] = {};
  bool present = false;
};

void ReadTable(Input& in, int flags, ColorTable& t) {
  int entries = 2 << (flags & 7);
  const uint8_t* rgb = in.Take(size_t(entries) * 3);
  for (int i = 0; i < entries; ++i) {
    t.bgr[i][0] = rgb[3 * i + 2];
    t.bgr[i][1] = rgb[3 * i + 1];
    t.bgr[i][2] = rgb[3 * i];
  }
  t.present = true;
}

// The variable-length-code LZW decoder of GIF image data (codes least significant bit first, in
// data sub-blocks of up to 255 bytes).
class LZWDecoder {
public:
  LZWDecoder(Input& in, int initialSize) : FInput(in), FInitial(initialSize) {
    FClear = 1 << initialSize;
    FEnd = FClear + 1;
  }

  // The next pixel value, or a negative value when the data ended (-1) or the end code came (-2).
  int Next() {
    if (FSp > 0) return FStack[--FSp];
    for (;;) {
      int code = FFresh ? FClear : GetCode();
      FFresh = false;
      if (code < 0) return code;
      if (code == FClear) {
        for (int i = 0; i < 4096; ++i) {
          FPrefix[i] = 0;
          FSuffix[i] = i < FClear ? uint8_t(i) : 0;
        }
        FCodeSize = FInitial + 1;
        FLimit = 2 * FClear;
        FNextFree = FClear + 2;
        FSp = 0;
        do code = GetCode(); while (code == FClear);
        if (code < 0) return code;
        if (code == FEnd) return EndCode();
        FFirst = FPrev = code;
        // A first code beyond the root entries names an empty table slot: its pixel is its suffix.
        return code < FClear ? code : FSuffix[code];
      }
      if (code == FEnd) return EndCode();
      int incoming = code;
      if (code >= FNextFree) {
        Push(uint8_t(FFirst));
        code = FPrev;
      }
      while (code >= FClear) {
        Push(FSuffix[code]);
        if (FPrefix[code] == code) Bad();
        code = FPrefix[code];
      }
      FFirst = FSuffix[code];
      Push(uint8_t(FFirst));
      if (FNextFree < 4096) {
        FPrefix[FNextFree] = uint16_t(FPrev);
        FSuffix[FNextFree] = uint8_t(FFirst);
        ++FNextFree;
        if (FNextFree >= FLimit && FLimit < 4096) {
          FLimit *= 2;
          ++FCodeSize;
        }
      }
      FPrev = incoming;
      return FStack[--FSp];
    }
  }

private:
  void Push(uint8_t v) {
    // Every string of the table is shorter than 4097 values; a longer chain means the prefixes form
    // a loop, which only broken data can build.
    if (FSp >= int(sizeof FStack)) Bad();
    FStack[FSp++] = v;
  }

  int EndCode() {
    if (!FZeroBlock) FInput.SkipBlocks();
    FEnded = true;
    return -2;
  }

  int GetCode() {
    while (FBitPos + FCodeSize >= FLastBit) {
      if (FEnded) return -1;
      FBuf[0] = FBuf[FLastByte >= 2 ? FLastByte - 2 : 0];
      FBuf[1] = FBuf[FLastByte >= 1 ? FLastByte - 1 : 0];
      uint8_t len;
      if (!FInput.Byte(len) || len == 0) {
        FEnded = true;
        FZeroBlock = true;
        return -1;
      }
      std::memcpy(FBuf + 2, FInput.Take(len), len);
      FLastByte = len + 2;
      FBitPos -= FLastBit - 16;
      FLastBit = (len + 2) * 8;
    }
    int i = FBitPos >> 3;
    uint32_t v = uint32_t(FBuf[i]) | uint32_t(FBuf[i + 1]) << 8 | uint32_t(FBuf[i + 2]) << 16;
    int code = int((v >> (FBitPos & 7)) & ((1u << FCodeSize) - 1));
    FBitPos += FCodeSize;
    return code;
  }

  Input& FInput;
  int FInitial, FClear, FEnd;
  int FCodeSize = 0, FLimit = 0, FNextFree = 0;
  int FFirst = 0, FPrev = 0;
  bool FFresh = true, FEnded = false, FZeroBlock = false;
  uint16_t FPrefix[4096] = {};
  uint8_t FSuffix[4096] = {};
  uint8_t FStack[8192];
  int FSp = 0;
  uint8_t FBuf[258 + 2] = {};
  int FBitPos = 0, FLastBit = 0, FLastByte = 0;
};

// Decodes the frame's pixels straight into the rows of its bitmap; pixels the data does not reach
// show colour 0. With Mask, each pixel's flag is set when its index is Transparent or when the data
// did not reach it.
void DecodeImage(LZWDecoder* dec, const TGIFFrameInfo& f, const ColorTable& t, TBitmap& bmp, std::vector<bool>* Mask,
                 uint8_t Transparent) {
  static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  const int w = f.Width, h = f.Height;
  if (bmp.Empty()) return;  // a width or height of 0: no rows
  bool more = dec != nullptr;
  auto row = [&](int y) {
    uint8_t* out = bmp.ScanLine(y);
    int x = 0;
    const size_t first = size_t(y) * size_t(w);
    for (; more && x < w; ++x) {
      int v = dec->Next();
      if (v < 0) {
        more = false;
        break;
      }
      std::memcpy(out + 3 * x, t.bgr[uint8_t(v)], 3);  // roots above 255 show as their low byte
      if (Mask && uint8_t(v) == Transparent) (*Mask)[first + size_t(x)] = true;
    }
    if (Mask)
      for (int rest = x; rest < w; ++rest) (*Mask)[first + size_t(rest)] = true;
    for (; x < w; ++x) std::memcpy(out + 3 * x, t.bgr[0], 3);
  };
  if (!f.Interlaced) {
    for (int y = 0; y < h; ++y) row(y);
    return;
  }
  for (int pass = 0; pass < 4; ++pass)
    for (int y = start[pass]; y < h; y += step[pass]) row(y);
}

// The wanted frame: its records, then its pixels. A frame larger than the budget or than its data
// can fill is refused before anything is allocated.
TBitmap* ReadFrame(Input& in, const uint8_t* d, const ColorTable& t, const uint8_t* gce, bool haveGce,
                   TGIFFrameInfo& Frame, int64_t MaxPixels, std::vector<bool>* Mask) {
  Frame = TGIFFrameInfo();
  Frame.Left = uint16_t(d[0] | d[1] << 8);
  Frame.Top = uint16_t(d[2] | d[3] << 8);
  Frame.Width = uint16_t(d[4] | d[5] << 8);
  Frame.Height = uint16_t(d[6] | d[7] << 8);
  Frame.Interlaced = (d[8] & 0x40) != 0;
  if (haveGce) {
    Frame.Transparent = (gce[0] & 1) != 0;
    Frame.Delay = uint16_t(gce[1] | gce[2] << 8);
    std::memcpy(Frame.TransparentColor, t.bgr[gce[3]], 3);
  }
  const int64_t pixels = int64_t(Frame.Width) * Frame.Height;
  uint8_t initial = 0;
  const bool haveData = in.Byte(initial);
  // Tables hold 4096 entries: root sizes above 11 bits leave no room for the codes that follow.
  if (haveData && initial > 11) Bad();
  if (pixels > LZWMaxOutput(haveData ? in.BlockBytes() : 0, initial + 1)) Bad();
  // A frame whose data is there but whose pixels do not fit the budget is no broken file.
  if (pixels > MaxPixels || pixels > kMaxPicturePixels) throw EPictureTooLarge(Frame.Width, Frame.Height);
  std::unique_ptr<LZWDecoder> dec;
  if (haveData) dec.reset(new LZWDecoder(in, initial));
  std::unique_ptr<TBitmap> bmp(new TBitmap);
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(Frame.Width, Frame.Height);
  std::vector<bool>* mask = Mask && Frame.Transparent ? Mask : nullptr;
  if (mask) mask->assign(size_t(pixels), false);
  DecodeImage(dec.get(), Frame, t, *bmp, mask, haveGce ? gce[3] : 0);
  return bmp.release();
}

}  // namespace

TBitmap* ReadGIFStream(TStream& s, int FrameIndex, TGIFScreenInfo& Screen, TGIFFrameInfo& Frame, int& FrameCount,
                       int64_t MaxPixels, std::vector<bool>* TransparentPixels) {
  try {
    if (TransparentPixels) TransparentPixels->clear();
    Input in(s);
    const uint8_t* hdr = in.Take(13);
    if (std::memcmp(hdr, "GIF", 3) != 0) Bad();
    Screen = TGIFScreenInfo();
    Screen.Width = uint16_t(hdr[6] | hdr[7] << 8);
    Screen.Height = uint16_t(hdr[8] | hdr[9] << 8);
    Screen.Aspect = hdr[12];
    auto global = std::make_unique<ColorTable>();
    if (hdr[10] & 0x80) {
      ReadTable(in, hdr[10], *global);
      std::memcpy(Screen.Background, global->bgr[hdr[11]], 3);
    }
    FrameCount = 0;
    std::unique_ptr<TBitmap> result;
    uint8_t gce[4] = {0, 0, 0, 0};
    bool haveGce = false;
    for (;;) {
      uint8_t b;
      if (!in.Byte(b)) break;
      if (b == '!') {
        uint8_t label;
        if (!in.Byte(label)) break;
        if (label == 249 && FrameCount == FrameIndex) {
          const uint8_t* blk = in.Take(6);  // block size, flags, delay, transparent index, terminator
          std::memcpy(gce, blk + 1, 4);
          haveGce = true;
        } else {
          in.SkipBlocks();
        }
      } else if (b == ',') {
        const uint8_t* d = in.Take(9);
        auto local = std::make_unique<ColorTable>();
        if (d[8] & 0x80) ReadTable(in, d[8], *local);
        if (FrameCount != FrameIndex) {
          uint8_t initial;
          if (in.Byte(initial)) in.SkipBlocks();
        } else {
          result.reset(ReadFrame(in, d, local->present ? *local : *global, gce, haveGce, Frame, MaxPixels,
                                 TransparentPixels));
        }
        ++FrameCount;
      } else if (b == ';') {
        break;
      }
    }
    return result.release();
  } catch (EInvalidGraphic&) {
    throw;
  } catch (EStreamError&) {
    // The stream could not be read.
    Bad();
  } catch (const std::bad_alloc&) {
    // A frame too large for the memory at hand.
    Bad();
  }
}

TBitmap* ReadGIFFile(const String& FileName, int FrameIndex, TGIFScreenInfo& Screen, TGIFFrameInfo& Frame,
                     int& FrameCount, std::vector<bool>* TransparentPixels) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  return ReadGIFStream(s, FrameIndex, Screen, Frame, FrameCount, kMaxPicturePixels, TransparentPixels);
}
