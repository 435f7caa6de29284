// TFontStyles: the set of font style flags (bold, italic, underline, strike-out) as a small
// bit set, portable so that the highlighter's colour classes are tested natively.
#pragma once

#include <cstdint>
#include <initializer_list>

enum TFontStyle : uint8_t { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };

class TFontStyles {
public:
  constexpr TFontStyles() : FBits(0) {}
  constexpr TFontStyles(TFontStyle s) : FBits(uint8_t(1u << s)) {}
  constexpr TFontStyles(std::initializer_list<TFontStyle> list) : FBits(0) {
    for (TFontStyle s : list) FBits = uint8_t(FBits | (1u << s));
  }
  constexpr bool Contains(TFontStyle s) const { return (FBits >> s) & 1u; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr uint8_t Bits() const { return FBits; }
  static constexpr TFontStyles FromBits(uint8_t bits) {
    TFontStyles r;
    r.FBits = uint8_t(bits & 0x0F);
    return r;
  }
  TFontStyles& operator<<(TFontStyle s) { FBits = uint8_t(FBits | (1u << s)); return *this; }
  TFontStyles& operator>>(TFontStyle s) { FBits = uint8_t(FBits & ~(1u << s)); return *this; }
  constexpr bool operator==(const TFontStyles& o) const { return FBits == o.FBits; }
  constexpr bool operator!=(const TFontStyles& o) const { return FBits != o.FBits; }

private:
  uint8_t FBits;
};
