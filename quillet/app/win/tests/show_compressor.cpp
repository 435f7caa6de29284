// Brings the running Quillet's compressor window up with a page packed, for the README's picture
// (tools/screenshot/quillet-compressor.sh): tool button 14, the page picked through "...", then
// "Packen". usage: show_compressor PAGE
#include <windows.h>

#include <string>

#include "commands.h"
#include "insertids.h"
#include "window_driver.h"

namespace {
HWND WaitCaption(const std::string& caption) {
  HWND found = nullptr;
  testsupport::WaitFor(
      [&] {
        found = testsupport::FindTopWindow([&](HWND w, DWORD) {
          return IsWindowVisible(w) && testsupport::WindowText(w) == caption;
        });
        return found != nullptr;
      },
      20000, 100);
  return found;
}

void PressButton(HWND button) {
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND main = nullptr;
  testsupport::WaitFor([&] { return (main = FindWindowA(QUILLET_MAIN_CLASS, nullptr)) != nullptr; }, 20000, 100);
  if (!main) return 1;
  PostMessageA(main, WM_COMMAND, cmCompressor, 0);
  HWND packer = WaitCaption(" Quillet - Compressor");
  if (!packer) return 1;
  PressButton(GetDlgItem(packer, PA_BLOCK + ID_BUTTON + 1));
  HWND open = WaitCaption("Html Seiten laden ...");
  if (!open) return 1;
  HWND field = GetDlgItem(open, 0x47c);
  if (!field) field = GetDlgItem(open, 0x480);
  SendMessageA(field, WM_SETTEXT, 0, LPARAM(argv[1]));
  testsupport::Click(open, IDOK);
  HWND pack = GetDlgItem(packer, PA_BLOCK + ID_BUTTON + 2);
  testsupport::WaitFor([&] { return IsWindowEnabled(pack) != FALSE; }, 10000, 100);
  PressButton(pack);
  return 0;
}
