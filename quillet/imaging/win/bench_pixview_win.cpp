// Drawing a 4000 x 3000 picture in the image view under the window system: one full repaint of
// a 1000 x 700 view (invalidate, paint message, the view's Paint) at 100 %, 50 % and 150 % zoom,
// next to the bare GDI call that paints the same source rectangle into the same area
// (StretchDIBits on a window DC, no message).
// Ratio = peer time / our time, above 1: ours is faster. Run under Wine by
// tools/wine/wine-run.sh; not part of the test suite.
#include <cmath>
#include <cstdio>

#include "bench_timing.h"
#include "bitmap_win.h"
#include "pixbox.h"
#include "test_host.h"

namespace {

}  // namespace

int main() {
  TTestHost host{0, 0, 1000, 700, TTestHost::Popup};
  TPixBox view(&host);
  view.SetParent(&host);
  view.SetBounds(0, 0, 1000, 700);
  host.Handle();
  ProcessMessages();
  TBitmap b;
  b.SetSize(4000, 3000);
  for (int y = 0; y < 3000; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < 4000; ++x) {
      row[3 * x] = uint8_t(127 + 120 * std::sin(x * 0.0017 + y * 0.0009));
      row[3 * x + 1] = uint8_t((x ^ y) & 0xFF);
      row[3 * x + 2] = uint8_t(y * 255 / 3000);
    }
  }
  const double assign = bench::BestSecondsPerCall([&] { view.Assign(&b); });
  std::printf("%-28s %8.2f ms\n", "picture into the view", assign * 1e3);
  for (int zoom : {100, 50, 150}) {
    view.SetZoom(zoom);
    view.SetViewX(view.MaxViewX() / 2);
    view.SetViewY(view.MaxViewY() / 2);
    HWND w = view.Handle();
    const double ours = bench::BestSecondsPerCall([&] {
      InvalidateRect(w, nullptr, FALSE);
      UpdateWindow(w);
      GdiFlush();
    });
    // The peer paints the same source rectangle the view shows.
    const TBitmap& pic = *view.Bitmap();
    const int zw = int(std::nearbyint(pic.Width() * zoom / 100.0)), zh = int(std::nearbyint(pic.Height() * zoom / 100.0));
    const int dw = std::min(zw, view.ClientWidth()), dh = std::min(zh, view.ClientHeight());
    const int sx = int(std::nearbyint(double(pic.Width()) / zw * view.ViewX()));
    const int sy = int(std::nearbyint(double(pic.Height()) / zh * view.ViewY()));
    const int sw = int(std::nearbyint(double(pic.Width()) / zw * dw)), sh = int(std::nearbyint(double(pic.Height()) / zh * dh));
    std::vector<uint8_t> info = BitmapInfo(pic);
    const double peer = bench::BestSecondsPerCall([&] {
      HDC dc = GetDC(w);
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchDIBits(dc, 0, 0, dw, dh, sx, pic.Height() - sy - sh, sw, sh, pic.Bits(),
                    reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
      ReleaseDC(w, dc);
      GdiFlush();
    });
    std::printf("repaint at %3d %%            ours %7.2f ms   StretchDIBits %7.2f ms   ratio %.2f\n", zoom, ours * 1e3,
                peer * 1e3, peer / ours);
  }
  std::printf("ratio = peer time / our time (above 1: ours is faster)\n");
  return 0;
}
