// The command ids of the image browser's menus (WM_COMMAND of its window, as the program and its
// tests send them).
#pragma once

enum : unsigned {
  BR_CLOSE = 0x7A00,  // "&Programm" / "Beenden"
  BR_SEARCH,          // "&Suchen"
  BR_FULLVIEW,        // pop-up "Vollbild Anzeige"
  BR_COPY,            // pop-up "Bild in das Arbeitsverzeichnis kopieren"
};
