// Quillet.exe under Wine: the browser preview and the History menu.
#include <algorithm>

#include "quillet_app_driver.h"

TEST_F(Quillet, PreviewHandsTheWorkingCopyToTheConfiguredBrowser) {
  Start(true);
  NewPage();
  Type("A");
  Cmd(cmPreview);
  NewPage();
  Type("B");
  Cmd(cmPreview);
  const String log = Dir + "\\recorder.txt";
  String got;
  for (int i = 0; i < 300; ++i) {
    got = ReadFileBytes(log);
    if (std::count(got.begin(), got.end(), '\n') >= 2) break;
    Sleep(30);
  }
  const String daten = Dir + "\\DATEN\\";
  const String first = daten + "Unbenannt.htm\r\n", second = daten + "Unbenannt-2.htm\r\n";
  EXPECT_TRUE(got == first + second || got == second + first) << got;
  EXPECT_EQ(ReadFileBytes(daten + "Unbenannt.htm"), DefaultSkeleton("A"));
  EXPECT_EQ(ReadFileBytes(daten + "Unbenannt-2.htm"), DefaultSkeleton("B"));
  // A preview counts as saved: closing asks nothing.
  PostCmd(cmFileClose);
  for (int i = 0; i < 200 && Documents() != 1; ++i) Sleep(30);
  EXPECT_EQ(Documents(), 1);
  EXPECT_EQ(FindTop("Warnung"), nullptr);
}

TEST_F(Quillet, PreviewOfAnOpenedPageShowsTheFileItself) {
  Start(true);
  WriteFileBytes(Dir + "\\seite.htm", "alt\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\seite.htm"));
  // Unsaved changes: the question; Yes writes them into the file before the browser shows it.
  Type("neu ");
  PostCmd(cmPreview);
  EXPECT_EQ(Answer("Warnung", IDYES), kQuestion);
  String got;
  for (int i = 0; i < 300 && got.empty(); ++i) {
    got = ReadFileBytes(Dir + "\\recorder.txt");
    if (got.empty()) Sleep(30);
  }
  EXPECT_EQ(got, Dir + "\\seite.htm\r\n");
  EXPECT_EQ(ReadFileBytes(Dir + "\\seite.htm"), "neu alt\r\n");
  EXPECT_EQ(GetFileAttributesA((Dir + "\\DATEN\\seite.htm").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Quillet, PreviewWithoutABrowserSaysSo) {
  Start();
  WriteFileBytes(Dir + "\\Browser.cfg", "\r\n");
  NewPage();
  PostCmd(cmPreview);
  EXPECT_EQ(Answer("Quillet", IDOK), "Der Pfad zum Internet Browser wurde noch nicht konfiguriert !");
}

TEST_F(Quillet, APreviewBrowserThatCannotStartIsNamed) {
  Start();
  WriteFileBytes(Dir + "\\Browser.cfg", Dir + "\\fehlt.exe\r\n");
  NewPage();
  PostCmd(cmPreview);
  EXPECT_EQ(Answer("Quillet", IDOK), "Der Internet Browser " + Dir + "\\fehlt.exe kann nicht gestartet werden !");
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\Unbenannt.htm"), DefaultSkeleton());
}

// A History entry brings its window to the front; a page with a file of its own is previewed
// from its folder also after a "Neu".
TEST_F(Quillet, HistorySwitchesWindowsAndAnOpenedPageIsPreviewedItself) {
  Start(true);
  WriteFileBytes(Dir + "\\a.htm", "a\r\n");
  WriteFileBytes(Dir + "\\b.htm", "b\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\a.htm"));
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\b.htm"));
  ASSERT_EQ(WindowText(ActiveChild()), "b.htm");
  Cmd(unsigned(SendMessageA(Main, QM_HISTORYENTRY, 0, 0)));
  EXPECT_TRUE(testsupport::WaitFor([&] { return WindowText(ActiveChild()) == "a.htm"; }, 10000))
      << WindowText(ActiveChild());
  NewPage();
  HWND client = FindWindowExA(Main, nullptr, "MDICLIENT", nullptr);
  SendMessageA(client, WM_MDIACTIVATE, WPARAM(FindWindowExA(client, nullptr, nullptr, "b.htm")), 0);
  ASSERT_TRUE(testsupport::WaitFor([&] { return WindowText(ActiveChild()) == "b.htm"; }, 10000));
  Cmd(cmPreview);
  String got;
  testsupport::WaitFor([&] { return !(got = ReadFileBytes(Dir + "\\recorder.txt")).empty(); }, 10000);
  EXPECT_EQ(got, Dir + "\\b.htm\r\n");
  EXPECT_EQ(GetFileAttributesA((Dir + "\\DATEN\\b.htm").c_str()), INVALID_FILE_ATTRIBUTES);
}

// "Nein" to the question before a preview means "not now": the browser gets the file as it is,
// and the page stays changed, so closing asks again and "Ja" then saves the typed text.
TEST_F(Quillet, NeinBeforeAPreviewKeepsThePageChanged) {
  Start(true);
  WriteFileBytes(Dir + "\\seite.htm", "alt\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\seite.htm"));
  Type("neu ");
  PostCmd(cmPreview);
  EXPECT_EQ(Answer("Warnung", IDNO), kQuestion);
  String got;
  testsupport::WaitFor([&] { return !(got = ReadFileBytes(Dir + "\\recorder.txt")).empty(); }, 10000);
  EXPECT_EQ(got, Dir + "\\seite.htm\r\n");
  EXPECT_EQ(ReadFileBytes(Dir + "\\seite.htm"), "alt\r\n");
  PostCmd(cmFileClose);
  EXPECT_EQ(Answer("Warnung", IDYES), kQuestion);
  EXPECT_TRUE(testsupport::WaitFor([&] { return Documents() == 0; }, 10000));
  EXPECT_EQ(ReadFileBytes(Dir + "\\seite.htm"), "neu alt\r\n");
}

// A browser that cannot be started has shown nothing: the page stays changed, whether it has a
// file of its own or only its working copy.
TEST_F(Quillet, APreviewWhoseBrowserFailsKeepsThePageChanged) {
  Start();
  WriteFileBytes(Dir + "\\Browser.cfg", Dir + "\\fehlt.exe\r\n");
  const String failed = "Der Internet Browser " + Dir + "\\fehlt.exe kann nicht gestartet werden !";
  NewPage();
  Type("A");
  PostCmd(cmPreview);
  EXPECT_EQ(Answer("Quillet", IDOK), failed);
  PostCmd(cmFileClose);
  EXPECT_EQ(Answer("Warnung", IDNO), kQuestion);
  EXPECT_TRUE(testsupport::WaitFor([&] { return Documents() == 0; }, 10000));
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\Unbenannt.htm"), DefaultSkeleton("A"));

  WriteFileBytes(Dir + "\\seite.htm", "alt\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\seite.htm"));
  Type("neu ");
  PostCmd(cmPreview);
  EXPECT_EQ(Answer("Warnung", IDNO), kQuestion);
  EXPECT_EQ(Answer("Quillet", IDOK), failed);
  PostCmd(cmFileClose);
  EXPECT_EQ(Answer("Warnung", IDYES), kQuestion);
  EXPECT_TRUE(testsupport::WaitFor([&] { return Documents() == 0; }, 10000));
  EXPECT_EQ(ReadFileBytes(Dir + "\\seite.htm"), "neu alt\r\n");
}

// A page in a folder with a blank reaches the browser as one argument (the stand-in browser
// writes its arguments apart, joined by "|").
TEST_F(Quillet, ThePreviewQuotesThePagesPath) {
  Start(true);
  const String folder = Dir + "\\Meine Seiten";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  WriteFileBytes(folder + "\\start.htm", "start\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(folder + "\\start.htm"));
  Cmd(cmPreview);
  String got;
  testsupport::WaitFor([&] { return !(got = ReadFileBytes(Dir + "\\recorder.txt")).empty(); }, 10000);
  EXPECT_EQ(got, folder + "\\start.htm\r\n");
}
