// Control ids of the link, image, marquee, video and font dialogs: each dialog has a block of
// its own, and inside it EditN = block + N, ComboBoxN = block + 10 + N, PanelN = block + 20 + N,
// ColorButtonN = block + 30 + N, UpDownN = block + 40 + N and the font list = block + 50.
#pragma once

enum : int {
  LI_BLOCK = 2000,  // Tlinker
  LA_BLOCK = 2100,  // Tlader
  MQ_BLOCK = 2200,  // Tlaufer
  VI_BLOCK = 2300,  // Tviform
  TX_BLOCK = 2400,  // Ttexter
  PA_BLOCK = 2900,  // Tpaform (the compressor window; the table dialogs use 2500 to 2800)
};
enum : int { ID_EDIT = 0, ID_COMBO = 10, ID_PANEL = 20, ID_BUTTON = 30, ID_UPDOWN = 40, ID_FONTLIST = 50 };
