// TLineAttrs: the look of every column of one painted line. Entry c + 1 belongs to column c;
// entry 0 is the look before the first column. Columns run from 0 to 1024 (the caret may stand
// in column 1024 and that cell is painted), so the array has 1026 entries.
#pragma once

#include "colors.h"
#include "fontstyles.h"

struct TLineAttr {
  TColor Fore = clBlack;
  TColor Back = clWhite;
  TFontStyles Style;
  bool operator==(const TLineAttr& o) const {
    return Fore == o.Fore && Back == o.Back && Style == o.Style;
  }
  bool operator!=(const TLineAttr& o) const { return !(*this == o); }
};

struct TLineAttrs {
  static constexpr int LastColumn = 1024;       // the last column the caret and painter reach
  static constexpr int Count = LastColumn + 2;  // entries 0..1025
  TLineAttr Entries[Count];
  // Bounds-checked access: indexes outside 0..1025 fall on a scratch entry.
  TLineAttr& operator[](int i) { return (i >= 0 && i < Count) ? Entries[i] : FScratch; }
  const TLineAttr& operator[](int i) const {
    return (i >= 0 && i < Count) ? Entries[i] : FScratch;
  }

private:
  TLineAttr FScratch;
};
