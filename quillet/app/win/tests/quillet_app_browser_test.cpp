// Quillet.exe under Wine: the image browser window over the thumbnail view.
#include <algorithm>
#include <climits>

#include "browseids.h"
#include "quillet_app_driver.h"
#include "test_metafiles.h"

using testsupport::WriteRedEmf;
using testsupport::WriteRedWmf;

namespace {
const String kBrowseFixtures = WinPath(String(ASTREL_BINARY_DIR) + "/quillet/app/win/browse_fixtures/bilder");

// A cell of the thumbnail view: its window, its place in the view and its title.
struct TCellSeen {
  HWND Window;
  RECT Place;
  String Title;
};

HWND ChildOfClass(HWND parent, const char* cls) { return FindWindowExA(parent, nullptr, cls, nullptr); }

// The cells of the view, column by column from the left, top to bottom in each.
std::vector<TCellSeen> Cells(HWND view) {
  std::vector<TCellSeen> cells;
  for (HWND c = ChildOfClass(view, "TThumbNail"); c; c = FindWindowExA(view, c, "TThumbNail", nullptr)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&r), 2);
    cells.push_back({c, r, WindowText(ChildOfClass(c, "TThumbTitle"))});
  }
  std::sort(cells.begin(), cells.end(), [](const TCellSeen& a, const TCellSeen& b) {
    return a.Place.left != b.Place.left ? a.Place.left < b.Place.left : a.Place.top < b.Place.top;
  });
  return cells;
}

// Calls f(x, y, rgb) for every pixel that a window shows on the screen (its client area).
template <class F>
void ForEachShownPixel(HWND w, F f) {
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT client;
  GetClientRect(w, &client);
  const int cw = client.right, ch = client.bottom;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = cw;
  bi.bmiHeader.biHeight = -ch;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  POINT at = {0, 0};
  ClientToScreen(w, &at);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, cw, ch, screen, at.x, at.y, SRCCOPY);
  GdiFlush();
  const auto* px = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) f(x, y, px[y * cw + x] & 0xFFFFFF);
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

// The smallest rectangle around the pure red pixels that a window shows on the screen (empty when
// none).
RECT RedArea(HWND w) {
  RECT red = {LONG_MAX, LONG_MAX, 0, 0};
  ForEachShownPixel(w, [&](int x, int y, uint32_t rgb) {
    if (rgb != 0xFF0000) return;
    red.left = std::min<LONG>(red.left, x), red.top = std::min<LONG>(red.top, y);
    red.right = std::max<LONG>(red.right, x + 1), red.bottom = std::max<LONG>(red.bottom, y + 1);
  });
  if (red.right <= red.left) red = {0, 0, 0, 0};
  return red;
}

// How many pixels of a window on the screen are pure black.
int BlackPixels(HWND w) {
  int n = 0;
  ForEachShownPixel(w, [&](int, int, uint32_t rgb) { n += rgb == 0; });
  return n;
}

std::vector<String> Titles(HWND view) {
  std::vector<String> t;
  for (const TCellSeen& c : Cells(view)) t.push_back(c.Title);
  return t;
}
}  // namespace

class ImageBrowser : public Quillet {
protected:
  HWND Browser = nullptr, View = nullptr;

  void CopyPictures(const String& To) {
    CreateDirectoryA(To.c_str(), nullptr);
    for (const char* f : {"a.png", "b.bmp", "c.JPG", "d.gif", "e.gif", "f.ico", "kaputt.png", "notiz.txt", "seite.htm"})
      ASSERT_TRUE(CopyFileA((kBrowseFixtures + "\\" + f).c_str(), (To + "\\" + f).c_str(), FALSE)) << f;
    CreateDirectoryA((To + "\\zweite").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((kBrowseFixtures + "\\zweite\\g.jpg").c_str(), (To + "\\zweite\\g.jpg").c_str(), FALSE));
  }
  // Tool button 13, then the browser window once its thumbnails are there.
  void OpenBrowser(size_t cells) {
    PostCmd(cmImageBrowser);
    HWND client = FindWindowExA(Main, nullptr, "MDICLIENT", nullptr);
    ASSERT_TRUE(testsupport::WaitFor([&] {
      Browser = ChildOfClass(client, "Tbrowse");
      View = Browser ? ChildOfClass(Browser, "TThumbview") : nullptr;
      return View != nullptr;
    }, 10000));
    ASSERT_TRUE(testsupport::WaitFor([&] { return Cells(View).size() == cells; }, 10000)) << Cells(View).size();
  }
  // Sent, so that the command has run when the call returns (posted where a message box
  // follows).
  void BrowserCmd(unsigned id) { SendMessageA(Browser, WM_COMMAND, id, 0); }
  void PostBrowserCmd(unsigned id) { PostMessageA(Browser, WM_COMMAND, id, 0); }
  void Press(HWND w, int x, int y) {
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
};

TEST_F(ImageBrowser, ShowsTheWorkingFolderSortedWithOneCellForAnUnreadablePicture) {
  Start();
  CopyPictures(Dir + "\\DATEN");
  EXPECT_TRUE(Enabled(cmImageBrowser));
  OpenBrowser(6);
  EXPECT_EQ(WindowText(Browser), " Bilder Browser");
  // Sorted names; the animated GIF, the text and the page are left out; the PNG that is no
  // picture has its cell and stopped nothing (no message, the scan went on).
  EXPECT_EQ(Titles(View), (std::vector<String>{"a.png", "b.bmp", "c.JPG", "d.gif", "f.ico", "kaputt.png"}));
  EXPECT_EQ(FindTop("Quillet"), nullptr);
  // 80 x 80 cells 4 pixels apart, running down the first column.
  const std::vector<TCellSeen> cells = Cells(View);
  EXPECT_EQ(cells[0].Place.left, 4);
  EXPECT_EQ(cells[0].Place.top, 4);
  EXPECT_EQ(cells[0].Place.right - cells[0].Place.left, 80);
  EXPECT_EQ(cells[0].Place.bottom - cells[0].Place.top, 80);
  EXPECT_EQ(cells[1].Place.left, 4);
  EXPECT_EQ(cells[1].Place.top, 88);
  // While it is open: one browser only, no document commands; it has a History entry.
  EXPECT_FALSE(Enabled(cmImageBrowser));
  EXPECT_FALSE(Enabled(cmPreview));
  EXPECT_NE(SendMessageA(Main, QM_HISTORYENTRY, 0, 0), 0);

  // "Vollbild Anzeige" on the third picture shows the picture view; a click returns.
  Press(cells[2].Window, 40, 40);
  HWND full = ChildOfClass(Browser, "TPixBox");
  ASSERT_NE(full, nullptr);
  BrowserCmd(BR_FULLVIEW);
  EXPECT_TRUE(IsWindowVisible(full));
  EXPECT_FALSE(IsWindowVisible(View));
  Press(full, 10, 10);
  EXPECT_FALSE(IsWindowVisible(full));
  EXPECT_TRUE(IsWindowVisible(View));
  // The unreadable one shows nothing and says nothing wrong about the others.
  Press(cells[5].Window, 40, 40);
  PostBrowserCmd(BR_FULLVIEW);
  EXPECT_EQ(Answer("Quillet", IDOK), "Error Reading File!");
  EXPECT_TRUE(IsWindowVisible(View));

  // A press in the gap between two cells selects nothing: the commands then do nothing.
  Press(View, 2, 2);
  BrowserCmd(BR_FULLVIEW);
  EXPECT_FALSE(IsWindowVisible(full));

  PostBrowserCmd(BR_CLOSE);
  ASSERT_TRUE(testsupport::WaitFor([&] { return !IsWindow(Browser); }, 5000));
  EXPECT_TRUE(Enabled(cmImageBrowser));
  EXPECT_EQ(SendMessageA(Main, QM_HISTORYENTRY, 0, 0), 0);
  // Opened again, it scans again: a failed picture left no scan half-done.
  OpenBrowser(6);
}

// Metafiles the window system wrote (a red picture of 400 x 200 each): a plain WMF, one behind a
// placeable header, an EMF. Each shows in its cell, shrunk to the cell's width, and in the full
// view one pixel narrower and lower than its size.
TEST_F(ImageBrowser, MetafilesShowInTheirCellsAndInTheFullView) {
  Start();
  const String daten = Dir + "\\DATEN";
  CreateDirectoryA(daten.c_str(), nullptr);
  WriteRedWmf(daten + "\\a.wmf", 400, false);
  WriteRedWmf(daten + "\\b.wmf", 400, true);
  WriteRedEmf(daten + "\\c.emf", 400);
  OpenBrowser(3);
  const std::vector<TCellSeen> cells = Cells(View);
  ASSERT_EQ(Titles(View), (std::vector<String>{"a.wmf", "b.wmf", "c.emf"}));
  HWND full = ChildOfClass(Browser, "TPixBox");
  ASSERT_NE(full, nullptr);
  for (const TCellSeen& cell : cells) {
    SCOPED_TRACE(cell.Title);
    // The picture fills the cell's width inside its frame, half as high, below the caption.
    const RECT thumb = RedArea(cell.Window);
    EXPECT_GE(thumb.right - thumb.left, 70);
    EXPECT_NEAR(thumb.bottom - thumb.top, (thumb.right - thumb.left) / 2, 2);
    EXPECT_GE(thumb.top, 15);
  }
  for (const TCellSeen& cell : cells) {
    SCOPED_TRACE(cell.Title);
    Press(cell.Window, 40, 40);
    BrowserCmd(BR_FULLVIEW);
    ASSERT_TRUE(IsWindowVisible(full));
    // The screen follows the program's painting: wait until the picture is there.
    RECT shown = {};
    testsupport::WaitFor([&] {
      shown = RedArea(full);
      return shown.right - shown.left == 399 && shown.bottom - shown.top == 199;
    }, 3000);
    EXPECT_EQ(shown.right - shown.left, 399);
    EXPECT_EQ(shown.bottom - shown.top, 199);
    Press(full, 2, 2);
    ASSERT_TRUE(IsWindowVisible(View));
    // The thumbnails cover the picture on the screen again before the next one is shown.
    ASSERT_TRUE(testsupport::WaitFor([&] {
      const RECT r = RedArea(full);
      return r.right - r.left < 399;
    }, 3000));
  }
}

TEST_F(ImageBrowser, OpensOnTheOpenedPagesFolderCopiesAndStaysBesideThePage) {
  Start();
  const String pictures = Dir + "\\bilder";
  CopyPictures(pictures);
  WriteFileBytes(Dir + "\\DATEN\\b.bmp", "alt");
  ASSERT_NO_FATAL_FAILURE(OpenPage(pictures + "\\seite.htm"));
  OpenBrowser(6);

  // "Bild in das Arbeitsverzeichnis kopieren" replaces the file of that name in DATEN\.
  Press(Cells(View)[1].Window, 40, 40);
  BrowserCmd(BR_COPY);
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\b.bmp"), ReadFileBytes(pictures + "\\b.bmp"));

  // The page brought back through its History entry repaints; the browser stays open beside it.
  const unsigned pageEntry = unsigned(SendMessageA(Main, QM_HISTORYENTRY, 0, 0));
  ASSERT_NE(pageEntry, 0u);
  Cmd(pageEntry);
  RedrawWindow(Main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Documents();
  EXPECT_FALSE(IsIconic(Browser));

  // "&Suchen" opens the shell's folder dialog; cancelled, the browser keeps its folder.
  PostBrowserCmd(BR_SEARCH);
  HWND picker = nullptr;
  ASSERT_TRUE(testsupport::WaitFor([&] {
    picker = testsupport::FindTopWindow([&](HWND w, DWORD pid) {
      return pid == Pi.dwProcessId && IsWindowVisible(w) && FindWindowExA(w, nullptr, "SysTreeView32", nullptr);
    });
    return picker != nullptr;
  }, 10000));
  EXPECT_NE(StaticTexts(picker).find("Grafik - Verzeichnisse suchen..."), String::npos);
  testsupport::Click(picker, IDCANCEL);
  WaitGone(picker);
  EXPECT_EQ(Cells(View).size(), 6u);

  // Opened again it shows the browser's folder; one level down (the folder below) and OK: the
  // thumbnails of that folder, whose picture the commands then take.
  PostBrowserCmd(BR_SEARCH);
  ASSERT_TRUE(testsupport::WaitFor([&] {
    picker = testsupport::FindTopWindow([&](HWND w, DWORD pid) {
      return pid == Pi.dwProcessId && IsWindowVisible(w) && FindWindowExA(w, nullptr, "SysTreeView32", nullptr);
    });
    return picker != nullptr;
  }, 10000));
  HWND tree = FindWindowExA(picker, nullptr, "SysTreeView32", nullptr);
  for (int key : {VK_RIGHT, VK_RIGHT}) {
    PostMessageA(tree, WM_KEYDOWN, WPARAM(key), 0);
    PostMessageA(tree, WM_KEYUP, WPARAM(key), 0);
    Sleep(300);
  }
  testsupport::Click(picker, IDOK);
  WaitGone(picker);
  ASSERT_TRUE(testsupport::WaitFor([&] { return Titles(View) == std::vector<String>{"g.jpg"}; }, 5000));
  Press(Cells(View)[0].Window, 40, 40);
  BrowserCmd(BR_COPY);
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\g.jpg"), ReadFileBytes(pictures + "\\zweite\\g.jpg"));
}

TEST_F(ImageBrowser, ScrollsThroughManyPicturesAndAPressSelectsTheCellUnderIt) {
  Start();
  const String pictures = Dir + "\\viele";
  CopyPictures(pictures);
  for (int i = 0; i < 30; ++i)
    ASSERT_TRUE(CopyFileA((kBrowseFixtures + "\\b.bmp").c_str(), (pictures + "\\p" + Format("%02d", i) + ".bmp").c_str(), FALSE));
  ASSERT_NO_FATAL_FAILURE(OpenPage(pictures + "\\seite.htm"));
  OpenBrowser(36);
  RECT client;
  GetClientRect(View, &client);
  std::vector<TCellSeen> cells = Cells(View);
  ASSERT_GT(cells.back().Place.right, client.right);  // more columns than the view shows
  const int firstLeft = cells[0].Place.left;

  // A page to the right: every cell moves left by the view's width, the last column comes in.
  SendMessageA(View, WM_HSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(View, WM_HSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(View, WM_HSCROLL, SB_PAGEDOWN, 0);
  cells = Cells(View);
  EXPECT_LT(cells[0].Place.left, 0);
  EXPECT_LE(cells.back().Place.right, client.right);
  EXPECT_GT(cells.back().Place.right, client.right - 84);
  // A press on the last cell, scrolled: the copy command takes that picture.
  const TCellSeen last = cells.back();
  Press(last.Window, 40, 40);
  BrowserCmd(BR_COPY);
  EXPECT_EQ(last.Title, "p29.bmp");
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\p29.bmp"), ReadFileBytes(pictures + "\\p29.bmp"));

  SendMessageA(View, WM_HSCROLL, SB_TOP, 0);
  EXPECT_EQ(Cells(View)[0].Place.left, firstLeft);

  // "Beenden" with the browser open ends the program cleanly.
  PostCmd(cmFileExit);
  ASSERT_EQ(WaitForSingleObject(Pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(Pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
}

// The pages step aside (minimised) while the browser is open and get back the state each had
// when it closes: minimised, normal or maximised, the active one in front again. A page closed
// meanwhile is simply gone; one opened meanwhile keeps its own state.
TEST_F(ImageBrowser, ThePagesGetBackTheirWindowStatesWhenTheBrowserCloses) {
  Start();
  HWND client = nullptr;
  std::vector<HWND> pages;
  for (int i = 0; i < 4; ++i) {
    NewPage();
    pages.push_back(ActiveChild());
  }
  client = FindWindowExA(Main, nullptr, "MDICLIENT", nullptr);
  // 0 minimised, 1 normal, 2 closed while the browser is open, 3 maximised and active.
  ShowWindow(pages[0], SW_MINIMIZE);
  SendMessageA(client, WM_MDIACTIVATE, WPARAM(pages[3]), 0);
  SendMessageA(client, WM_MDIMAXIMIZE, WPARAM(pages[3]), 0);
  ASSERT_TRUE(IsIconic(pages[0]));
  ASSERT_FALSE(IsIconic(pages[1]) || IsZoomed(pages[1]));
  ASSERT_TRUE(IsZoomed(pages[3]));
  OpenBrowser(0);
  for (HWND p : pages) EXPECT_TRUE(IsIconic(p));
  SendMessageA(pages[2], WM_CLOSE, 0, 0);
  ASSERT_TRUE(testsupport::WaitFor([&] { return !IsWindow(pages[2]); }, 5000));
  PostBrowserCmd(BR_CLOSE);
  ASSERT_TRUE(testsupport::WaitFor([&] { return !IsWindow(Browser); }, 5000));
  Documents();
  EXPECT_TRUE(IsIconic(pages[0]));
  EXPECT_FALSE(IsIconic(pages[1]));
  EXPECT_FALSE(IsZoomed(pages[1]));
  EXPECT_TRUE(IsZoomed(pages[3]));
  EXPECT_EQ(ActiveChild(), pages[3]);
  EXPECT_EQ(Documents(), 3);
}

TEST_F(ImageBrowser, ATransparentPictureAfterAGifIsShownOnTheViewsOwnBackground) {
  // A GIF whose screen colour is black around its one white pixel, then black lettering (40 x 20)
  // on a transparent picture: the GIF's colour belongs to its own display only.
  Start();
  const String daten = Dir + "\\DATEN";
  CreateDirectoryA(daten.c_str(), nullptr);
  for (const char* f : {"schwarz.gif", "firma.png"})
    ASSERT_TRUE(CopyFileA((kBrowseFixtures + "\\..\\durchsichtig\\" + f).c_str(), (daten + "\\" + f).c_str(), FALSE)) << f;
  OpenBrowser(2);
  ASSERT_EQ(Titles(View), (std::vector<String>{"firma.png", "schwarz.gif"}));
  const std::vector<TCellSeen> cells = Cells(View);
  HWND full = ChildOfClass(Browser, "TPixBox");
  ASSERT_NE(full, nullptr);
  RECT box;
  GetClientRect(full, &box);
  const int all = box.right * box.bottom;
  // The GIF: its black screen colour fills the view around it.
  Press(cells[1].Window, 40, 40);
  BrowserCmd(BR_FULLVIEW);
  ASSERT_TRUE(IsWindowVisible(full));
  int black = 0;
  testsupport::WaitFor([&] { return (black = BlackPixels(full)) > all / 2; }, 3000);
  EXPECT_GT(black, all / 2);
  Press(full, 2, 2);
  ASSERT_TRUE(IsWindowVisible(View));
  // The transparent picture: only its lettering is black.
  Press(cells[0].Window, 40, 40);
  BrowserCmd(BR_FULLVIEW);
  ASSERT_TRUE(IsWindowVisible(full));
  testsupport::WaitFor([&] { black = BlackPixels(full); return black >= 700 && black <= 1000; }, 3000);
  EXPECT_GE(black, 700);
  EXPECT_LE(black, 1000);
  Press(full, 2, 2);
}
