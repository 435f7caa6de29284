// TColor: a colour as the programs store it. A value below 0x80000000 is an RGB colour in
// Windows byte order (red in the low byte, blue in the third); a value with the top bit set
// names a system colour by its index (0..24, the order of the window system's colour indexes)
// and follows the user's colour scheme. clNone and clDefault are the two special values.
//
// ColorToRGB turns any colour into an RGB value. System colours go through a lookup that the
// graphics layer installs (it asks the window system); without it (native builds, tests) the
// classic default scheme of the window system is used.
#pragma once

#include <cstdint>

#include "sysutils.h"

using TColor = int32_t;

constexpr TColor clSystemColor = TColor(0x80000000u);
constexpr TColor SystemColor(int index) { return TColor(0x80000000u | uint32_t(index)); }
constexpr bool IsSystemColor(TColor c) { return (uint32_t(c) & 0x80000000u) != 0; }
constexpr TColor RGBColor(int r, int g, int b) {
  return TColor(uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16));
}
constexpr int RedOf(TColor rgb) { return int(uint32_t(rgb) & 0xFF); }
constexpr int GreenOf(TColor rgb) { return int((uint32_t(rgb) >> 8) & 0xFF); }
constexpr int BlueOf(TColor rgb) { return int((uint32_t(rgb) >> 16) & 0xFF); }

// Named colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours (index = the window system's colour index).
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr int SystemColorCount = 25;

// The RGB value of a system colour index; installed by the graphics layer.
using TSystemColorLookup = TColor (*)(int index);
void SetSystemColorLookup(TSystemColorLookup lookup);
// The classic default scheme (used when no lookup is installed).
TColor DefaultSystemColor(int index);

// Any colour as RGB: system colours resolved, clNone as white, clDefault as black.
TColor ColorToRGB(TColor color);

// The name of a named or system colour ("clRed", "clWindow"), else "$00BBGGRR".
String ColorToString(TColor color);
// The inverse: a colour name or a number ("$0000FF", decimal); EConvertError otherwise.
TColor StringToColor(const String& s);
