// Checks what every window test relies on: under the runner a top-level window can be created on
// the runner's own X server, receives messages sent to it, and the German locale is in force.
#include <windows.h>
#include <gtest/gtest.h>

namespace {

UINT g_received = 0;
WPARAM g_wparam = 0;

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_USER + 7) {
    g_received = msg;
    g_wparam = wp;
    return 42;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

TEST(WineRunner, CreatesWindowAndDeliversMessages) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "AstrelRunnerProbe";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND wnd = CreateWindowA("AstrelRunnerProbe", "Probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                           nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr) << "no X server?";
  ShowWindow(wnd, SW_SHOW);
  EXPECT_EQ(SendMessageA(wnd, WM_USER + 7, 5, 0), 42);
  EXPECT_EQ(g_received, UINT(WM_USER + 7));
  EXPECT_EQ(g_wparam, WPARAM(5));
  RECT rc;
  ASSERT_TRUE(GetClientRect(wnd, &rc));
  EXPECT_GT(rc.right, 0);
  DestroyWindow(wnd);
}

TEST(WineRunner, GermanLocaleAndAnsiCodePage) {
  EXPECT_EQ(GetACP(), 1252u);
  char sep[4] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep), 0);
  EXPECT_STREQ(sep, ",");
  // Texts are compiled to code page 1252.
  EXPECT_EQ(static_cast<unsigned char>("Ü"[0]), 0xDC);
}

}  // namespace
