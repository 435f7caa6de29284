#include "colors.h"

#include <cstdio>
#include <cstring>

namespace {

TSystemColorLookup gLookup = nullptr;

// The window system's classic colour scheme, by colour index.
const TColor kDefaultScheme[SystemColorCount] = {
    RGBColor(192, 192, 192),  // scroll bar
    RGBColor(0, 128, 128),    // desktop
    RGBColor(0, 0, 128),      // active caption
    RGBColor(128, 128, 128),  // inactive caption
    RGBColor(192, 192, 192),  // menu
    RGBColor(255, 255, 255),  // window
    RGBColor(0, 0, 0),        // window frame
    RGBColor(0, 0, 0),        // menu text
    RGBColor(0, 0, 0),        // window text
    RGBColor(255, 255, 255),  // caption text
    RGBColor(192, 192, 192),  // active border
    RGBColor(192, 192, 192),  // inactive border
    RGBColor(128, 128, 128),  // application work space
    RGBColor(0, 0, 128),      // highlight
    RGBColor(255, 255, 255),  // highlight text
    RGBColor(192, 192, 192),  // button face
    RGBColor(128, 128, 128),  // button shadow
    RGBColor(128, 128, 128),  // grey text
    RGBColor(0, 0, 0),        // button text
    RGBColor(192, 192, 192),  // inactive caption text
    RGBColor(255, 255, 255),  // button highlight
    RGBColor(0, 0, 0),        // 3-D dark shadow
    RGBColor(223, 223, 223),  // 3-D light
    RGBColor(0, 0, 0),        // tool tip text
    RGBColor(255, 255, 225),  // tool tip background
};

struct TNamedColor {
  TColor Value;
  const char* Name;
};
const TNamedColor kNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clNone, "clNone"}, {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"}, {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"},
};

}  // namespace

void SetSystemColorLookup(TSystemColorLookup lookup) { gLookup = lookup; }

TColor DefaultSystemColor(int index) {
  if (index < 0 || index >= SystemColorCount) return clBlack;
  return kDefaultScheme[index];
}

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) {
    const int index = int(uint32_t(color) & 0xFF);
    if (index >= SystemColorCount) return clBlack;
    return gLookup ? (gLookup(index) & 0xFFFFFF) : kDefaultScheme[index];
  }
  if (color == clNone) return clWhite;
  if (color == clDefault) return clBlack;
  return TColor(uint32_t(color) & 0xFFFFFF);
}

String ColorToString(TColor color) {
  for (const TNamedColor& n : kNames)
    if (n.Value == color) return n.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", unsigned(uint32_t(color)));
  return buf;
}

TColor StringToColor(const String& s) {
  for (const TNamedColor& n : kNames)
    if (SameText(s, n.Name)) return n.Value;
  int value = 0;
  if (!TryStrToInt(s, value))
    throw EConvertError("'" + s + "' ist kein gültiger Farbwert");
  return TColor(value);
}
