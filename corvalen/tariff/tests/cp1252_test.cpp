// Code page 1252 and UTF-8 both ways: every character the code page has, the bytes it leaves
// unassigned, and what is not well-formed UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "Cp1252.h"

namespace {

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

// The UTF-8 form of a Unicode character below 0x10000.
std::string Utf8(unsigned cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

TEST(Cp1252, TheCharactersBeyondLatin1) {
  struct { unsigned cp; unsigned char byte; } cases[] = {
      {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
      {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
      {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
      {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
      {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F},
      // unassigned in the code page: the control character of the same number
      {0x0081, 0x81}, {0x008D, 0x8D}, {0x008F, 0x8F}, {0x0090, 0x90}, {0x009D, 0x9D},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToUnicode(c.byte), c.cp) << std::hex << c.cp;
    EXPECT_EQ(Hex(Utf8ToCp1252(Utf8(c.cp))), Hex(std::string(1, static_cast<char>(c.byte)))) << std::hex << c.cp;
    EXPECT_EQ(Hex(Cp1252ToUtf8(std::string(1, static_cast<char>(c.byte)))), Hex(Utf8(c.cp))) << std::hex << c.cp;
  }
}

TEST(Cp1252, EveryByteGoesThereAndBack) {
  for (unsigned b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const unsigned cp = Cp1252ToUnicode(static_cast<unsigned char>(b));
    if (b < 0x80 || b >= 0xA0) EXPECT_EQ(cp, b);  // ASCII and Latin-1
    EXPECT_EQ(Hex(Utf8ToCp1252(Cp1252ToUtf8(one))), Hex(one)) << b;
  }
}

TEST(Cp1252, TextsFromTheServerAndWhatIsNotUtf8) {
  struct { const char* in; const char* out; } cases[] = {
      {"Caf\xC3\xA9 Net", "Caf\xE9 Net"},
      {"nur 1,50 \xE2\x82\xAC!", "nur 1,50 \x80!"},
      {"\xE2\x80\x9EGr\xC3\xBC\xC3\x9F" "e\xE2\x80\x9C", "\x84Gr\xFC\xDF" "e\x93"},
      {"\xC5\x93uvre \xC2\xA9 \xC2\xBD", "\x9Cuvre \xA9 \xBD"},
      {"\xE2\x86\x92 \xF0\x9F\x98\x80", "? ?"},                  // characters the code page lacks
      {"M\xFCller", "M\xFCller"},                                // 1252 already
      {"\xC3", "\xC3"}, {"\x80\xBF", "\x80\xBF"},                // cut or stray bytes stay
      {"\xC0\xAF", "\xC0\xAF"}, {"\xE0\x80\xAF", "\xE0\x80\xAF"},  // overlong forms are no characters
      {"\xED\xA0\x80", "\xED\xA0\x80"},                          // a surrogate
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(Utf8ToCp1252(c.in)), Hex(c.out)) << Hex(c.in);
}

}  // namespace
