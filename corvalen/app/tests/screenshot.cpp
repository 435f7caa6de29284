// Takes a picture of Corvalen's main dialog while online, for the README: starts the program in
// a folder of its own against the RAS stand-in, connects, brings the window back from the tray
// and writes what the screen shows of it as a 24-bit BMP.
//   corvalen_screenshot.exe <file.bmp>
#include <cstdio>

#include "program_driver.h"

namespace {

bool WriteBmp(const char* path, HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER bi = {};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  int stride = (w * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * h);
  GetDIBits(mem, bmp, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER fh = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  fwrite(&fh, sizeof fh, 1, f);
  fwrite(&bi, sizeof bi, 1, f);
  fwrite(pixels.data(), 1, pixels.size(), f);
  return fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    printf("Aufruf: corvalen_screenshot <Datei.bmp>\n");
    return 2;
  }
  CorvalenRun run;
  SetEnvironmentVariableA("CORVALEN_TIMESCALE", "10");
  run.Start();
  HWND main = run.WaitMain();
  if (!main) return 3;
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(1050, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, 1050)));
  if (!CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, 1052) == "&Trennen" && CorvalenRun::Enabled(main, 1052); }))
    return 4;
  CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 3000);
  PostMessageA(main, WM_COMMAND, 40002, 0);  // "Wiederherstellen"
  CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 3000);
  Sleep(1500);  // some online time on the display
  SetForegroundWindow(main);
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  bool ok = WriteBmp(argv[1], main);
  printf("%s: %s\n", argv[1], ok ? "geschrieben" : "nicht geschrieben");
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(1052, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, 1052)));
  Sleep(500);
  return ok ? 0 : 5;
}
