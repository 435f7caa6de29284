// TIcon: an icon file (.ico) as a picture. The portable part keeps the file's bytes and reads its
// directory; drawing (the window system's icon made from the chosen image) is the window-system
// half's (graphics/picture_platform_win.cpp).
#pragma once

#include <vector>

#include "graphic.h"

// What an icon holds: the file's bytes, the chosen image's place in them and its size.
struct TIconState {
  std::vector<uint8_t> Data;
  size_t ImageOffset = 0, ImageSize = 0;
  int Width = 0, Height = 0;
};

class TIcon : public TFileGraphic<TIcon, TIconState> {
public:
  TIcon() { SetTransparent(true); }
  const char* ClassName() const override { return "TIcon"; }

  // An icon file: reserved word 0, type 1 (icon), the image count, then 16-byte directory
  // entries (width and height, 0 meaning 256; colour count; planes; bits; the image's byte count
  // and offset), each image a DIB (an XOR and an AND mask) or a PNG. EInvalidGraphic "Ungültiges
  // Symbol" for anything else, or an image outside the file; the icon keeps its picture then.
  void LoadFromStream(TStream& Stream) override;

  // Width and Height are those of the image shown: the one nearest to 32 x 32, of those the one
  // with the most colours. An icon keeps its sizes: EInvalidGraphicOperation "Die Größe eines Symbols kann nicht
  // geändert werden".
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;

  // The file's bytes and the chosen image's place in them (for the window-system half).
  const std::vector<uint8_t>& Data() const { return F.Data; }
  size_t ImageOffset() const { return F.ImageOffset; }
  size_t ImageSize() const { return F.ImageSize; }
};
