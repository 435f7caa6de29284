#include "Cp1252.h"

namespace {

// Bytes 0x80 to 0x9F: where code page 1252 departs from Latin-1. The unassigned bytes 0x81,
// 0x8D, 0x8F, 0x90 and 0x9D stand for the control characters of the same number.
const unsigned short kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The byte for a Unicode character, or -1 when code page 1252 lacks it.
int ByteOf(unsigned cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

// The length of the well-formed UTF-8 sequence at `at` and its character; 0 when the bytes there
// are none (a stray continuation byte, a lead byte without its continuations, an overlong form,
// a surrogate or a value beyond Unicode).
size_t DecodeAt(const std::string& s, size_t at, unsigned* cp) {
  const unsigned char b = static_cast<unsigned char>(s[at]);
  size_t len;
  unsigned v, min;
  if (b >= 0xC2 && b <= 0xDF) len = 2, v = b & 0x1F, min = 0x80;
  else if (b >= 0xE0 && b <= 0xEF) len = 3, v = b & 0x0F, min = 0x800;
  else if (b >= 0xF0 && b <= 0xF4) len = 4, v = b & 0x07, min = 0x10000;
  else return 0;
  if (at + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const unsigned char c = static_cast<unsigned char>(s[at + k]);
    if ((c & 0xC0) != 0x80) return 0;
    v = (v << 6) | (c & 0x3F);
  }
  if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  *cp = v;
  return len;
}

}  // namespace

unsigned Cp1252ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : byte;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    unsigned cp = 0;
    size_t len = b < 0x80 ? 0 : DecodeAt(text, i, &cp);
    if (len == 0) {  // ASCII, or a byte that is code page 1252 already
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    const int byte = ByteOf(cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
    i += len;
  }
  return out;
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char ch : text) {
    const unsigned cp = Cp1252ToUnicode(static_cast<unsigned char>(ch));
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}
