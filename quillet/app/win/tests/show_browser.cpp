// Brings the running Quillet's image browser up on the opened page's folder with its second
// picture selected, for the README's picture (tools/screenshot/quillet.sh browser): tool button
// 13, then a press on the second cell.
#include <windows.h>

#include "commands.h"
#include "window_driver.h"

int main() {
  HWND main = nullptr;
  testsupport::WaitFor([&] { return (main = FindWindowA(QUILLET_MAIN_CLASS, nullptr)) != nullptr; }, 20000, 100);
  if (!main) return 1;
  PostMessageA(main, WM_COMMAND, cmImageBrowser, 0);
  HWND client = FindWindowExA(main, nullptr, "MDICLIENT", nullptr);
  HWND view = nullptr;
  testsupport::WaitFor([&] {
    HWND browser = FindWindowExA(client, nullptr, "Tbrowse", nullptr);
    view = browser ? FindWindowExA(browser, nullptr, "TThumbview", nullptr) : nullptr;
    return view && FindWindowExA(view, nullptr, "TThumbNail", nullptr);
  }, 20000, 100);
  if (!view) return 1;
  Sleep(500);
  // The second cell of the first column: 4 + 80 + 4 pixels down.
  SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 88 + 40));
  SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(40, 88 + 40));
  return 0;
}
