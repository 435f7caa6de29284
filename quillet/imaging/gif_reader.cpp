#include "gif_reader.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

const char* const kBadGIF = "unrecognized GIF";

[[noreturn]] void Bad() { throw EInvalidGraphic(kBadGIF); }

// A colour table of 256 blue-green-red entries; entries the file does not give stay black, so an
// index beyond a small table (or a frame without any table) shows black.
struct ColorTable {
  uint8_t bgr[256][3] = {};
  bool present = false;
};

bool ReadByte(TStream& s, uint8_t& b) { return s.Read(&b, 1) == 1; }

void ReadTable(TStream& s, int flags, ColorTable& t) {
  int entries = 2 << (flags & 7);
  uint8_t rgb[768];
  s.ReadBuffer(rgb, entries * 3);
  for (int i = 0; i < entries; ++i) {
    t.bgr[i][0] = rgb[3 * i + 2];
    t.bgr[i][1] = rgb[3 * i + 1];
    t.bgr[i][2] = rgb[3 * i];
  }
  t.present = true;
}

// Skips data sub-blocks up to the zero-length terminator or the end of the stream.
void SkipBlocks(TStream& s) {
  uint8_t len;
  int64_t size = s.Size();
  while (ReadByte(s, len) && len != 0) {
    s.Seek(len, soFromCurrent);
    if (s.Position() >= size) break;
  }
}

// The variable-length-code LZW decoder of GIF image data (codes least significant bit first, in
// data sub-blocks of up to 255 bytes).
class LZWDecoder {
public:
  LZWDecoder(TStream& s, int initialSize) : FStream(s), FInitial(initialSize) {
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
    if (!FZeroBlock) SkipBlocks(FStream);
    FEnded = true;
    return -2;
  }

  int GetCode() {
    while (FBitPos + FCodeSize >= FLastBit) {
      if (FEnded) return -1;
      FBuf[0] = FBuf[FLastByte >= 2 ? FLastByte - 2 : 0];
      FBuf[1] = FBuf[FLastByte >= 1 ? FLastByte - 1 : 0];
      uint8_t len;
      if (!ReadByte(FStream, len) || len == 0) {
        FEnded = true;
        FZeroBlock = true;
        return -1;
      }
      if (FStream.Read(FBuf + 2, len) != len) Bad();
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

  TStream& FStream;
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

void DecodeImage(TStream& s, const TGIFFrameInfo& f, std::vector<uint8_t>& idx) {
  uint8_t initial;
  if (!ReadByte(s, initial)) return;
  // Tables hold 4096 entries: root sizes above 11 bits leave no room for the codes that follow.
  if (initial > 11) Bad();
  auto dec = std::make_unique<LZWDecoder>(s, initial);
  int w = f.Width, h = f.Height;
  if (!f.Interlaced) {
    size_t n = size_t(w) * size_t(h);
    for (size_t i = 0; i < n; ++i) {
      int v = dec->Next();
      if (v < 0) return;
      idx[i] = uint8_t(v);
    }
    return;
  }
  static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int row = start[pass]; row < h; row += step[pass])
      for (int x = 0; x < w; ++x) {
        int v = dec->Next();
        if (v < 0) return;
        idx[size_t(row) * size_t(w) + size_t(x)] = uint8_t(v);
      }
}

}  // namespace

TBitmap* ReadGIFStream(TStream& s, int FrameIndex, TGIFScreenInfo& Screen, TGIFFrameInfo& Frame, int& FrameCount,
                       int64_t MaxPixels) {
  uint8_t hdr[13];
  if (s.Read(hdr, 13) != 13 || std::memcmp(hdr, "GIF", 3) != 0) Bad();
  Screen = TGIFScreenInfo();
  Screen.Width = uint16_t(hdr[6] | hdr[7] << 8);
  Screen.Height = uint16_t(hdr[8] | hdr[9] << 8);
  Screen.Aspect = hdr[12];
  auto global = std::make_unique<ColorTable>();
  try {
    if (hdr[10] & 0x80) {
      ReadTable(s, hdr[10], *global);
      std::memcpy(Screen.Background, global->bgr[hdr[11]], 3);
    }
    FrameCount = 0;
    std::unique_ptr<TBitmap> result;
    uint8_t gce[4] = {0, 0, 0, 0};
    bool haveGce = false;
    int64_t size = s.Size();
    for (;;) {
      uint8_t b;
      if (!ReadByte(s, b) || s.Position() > size) break;
      if (b == '!') {
        uint8_t label;
        if (!ReadByte(s, label)) break;
        if (label == 249 && FrameCount == FrameIndex) {
          uint8_t blk[6];
          s.ReadBuffer(blk, 6);  // block size, flags, delay, transparent index, terminator
          std::memcpy(gce, blk + 1, 4);
          haveGce = true;
        } else {
          SkipBlocks(s);
        }
      } else if (b == ',') {
        uint8_t d[9];
        s.ReadBuffer(d, 9);
        auto local = std::make_unique<ColorTable>();
        if (d[8] & 0x80) ReadTable(s, d[8], *local);
        if (FrameCount != FrameIndex) {
          uint8_t initial;
          if (ReadByte(s, initial)) SkipBlocks(s);
        } else {
          const ColorTable& t = local->present ? *local : *global;
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
          int64_t pixels = int64_t(Frame.Width) * Frame.Height;
          if (pixels > MaxPixels) Bad();
          std::vector<uint8_t> idx(size_t(pixels), 0);
          DecodeImage(s, Frame, idx);
          result.reset(new TBitmap);
          result->SetPixelFormat(pf24bit);
          result->SetSize(Frame.Width, Frame.Height);
          for (int y = 0; y < result->Height(); ++y) {
            uint8_t* row = result->ScanLine(y);
            const uint8_t* in = idx.data() + size_t(y) * Frame.Width;
            for (int x = 0; x < Frame.Width; ++x) std::memcpy(row + 3 * x, t.bgr[in[x]], 3);
          }
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
    // A header, table or block cut off by the end of the file.
    Bad();
  } catch (const std::bad_alloc&) {
    // A frame too large for the memory at hand.
    Bad();
  }
}

TBitmap* ReadGIFFile(const String& FileName, int FrameIndex, TGIFScreenInfo& Screen, TGIFFrameInfo& Frame,
                     int& FrameCount) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  return ReadGIFStream(s, FrameIndex, Screen, Frame, FrameCount);
}
