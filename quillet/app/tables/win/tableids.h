// Control ids of the table designer, title, form builder and sound table dialogs, in the scheme
// of the other insert dialogs: EditN = block + N, ComboBoxN = block + 10 + N, PanelN = block +
// 20 + N, ColorButtonN = block + 30 + N, UpDownN = block + 40 + N, CheckBoxN = block + 60 + N.
#pragma once

#include "insertids.h"

enum : int {
  TA_BLOCK = 2500,  // Ttabell
  TI_BLOCK = 2600,  // Tfomel
  BA_BLOCK = 2700,  // Tbauf
  SO_BLOCK = 2800,  // Tsoform
};
enum : int { ID_CHECK = 60, ID_SPIN = 70, ID_GRID = 90 };
