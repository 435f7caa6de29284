#include "BannerPicture.h"

#include <cstring>

namespace {

// Reads the file from front to back; every read is checked against the end.
class CGifWalk {
 public:
  CGifWalk(const unsigned char* data, size_t length) : p_(data), end_(data + length) {}
  bool Byte(unsigned& out) {
    if (p_ == end_) return false;
    out = *p_++;
    return true;
  }
  bool Word(unsigned& out) {
    unsigned lo, hi;
    if (!Byte(lo) || !Byte(hi)) return false;
    out = lo | hi << 8;
    return true;
  }
  bool Skip(size_t n) {
    if (static_cast<size_t>(end_ - p_) < n) return false;
    p_ += n;
    return true;
  }
  // A colour table of 2^(size + 1) entries of three bytes, when the flags carry one.
  bool ColourTable(unsigned flags) { return (flags & 0x80) == 0 || Skip(3u << ((flags & 7) + 1)); }
  // Sub-blocks up to the empty one that ends them.
  bool SubBlocks() {
    for (;;) {
      unsigned n;
      if (!Byte(n)) return false;
      if (n == 0) return true;
      if (!Skip(n)) return false;
    }
  }
  bool Signature() {
    if (end_ - p_ < 6 || (std::memcmp(p_, "GIF87a", 6) != 0 && std::memcmp(p_, "GIF89a", 6) != 0)) return false;
    p_ += 6;
    return true;
  }

 private:
  const unsigned char* p_;
  const unsigned char* end_;
};

// The LZW code size of an image: 2 to 8 bits for the colours, 1 read as 2 by some writers.
const unsigned kMinCodeSize = 1, kMaxCodeSize = 8;

}  // namespace

bool IsGifPicture(const unsigned char* data, size_t length) {
  if (!data) return false;
  CGifWalk gif(data, length);
  unsigned width, height, flags, ignored;
  if (!gif.Signature() || !gif.Word(width) || !gif.Word(height) || !gif.Byte(flags) || !gif.Skip(2)) return false;
  if (width == 0 || height == 0 || !gif.ColourTable(flags)) return false;
  bool image = false;
  for (;;) {
    unsigned kind;
    if (!gif.Byte(kind)) return false;  // cut before the trailer
    switch (kind) {
      case 0x3B:  // trailer
        return image;
      case 0x21:  // extension: its label, then sub-blocks
        if (!gif.Byte(ignored) || !gif.SubBlocks()) return false;
        break;
      case 0x2C: {  // image: position, size, flags, local colours, code size, data
        unsigned w, h, codeSize;
        if (!gif.Skip(4) || !gif.Word(w) || !gif.Word(h) || !gif.Byte(flags)) return false;
        if (w == 0 || h == 0 || !gif.ColourTable(flags)) return false;
        if (!gif.Byte(codeSize) || codeSize < kMinCodeSize || codeSize > kMaxCodeSize || !gif.SubBlocks()) return false;
        image = true;
        break;
      }
      default:
        return false;
    }
  }
}
