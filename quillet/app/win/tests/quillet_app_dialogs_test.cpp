// Quillet.exe under Wine: the insert dialogs, the table designer, the compressor window and the
// info box, driven through their windows.
#include <algorithm>
#include <map>

#include "htmlcompressor.h"
#include "quillet_app_driver.h"

TEST_F(Quillet, TheCompressorWindowPacksAPageAndSavesItUnderANewName) {
  Start();
  const String page = "<html>\r\n<p align=center>Hallo    Welt</p>\r\n<STRONG>fett</STRONG>\r\n</html>\r\n";
  WriteFileBytes(Dir + "\\seite.htm", page);
  WriteFileBytes(Dir + "\\leer.htm", "");
  THTMLCompressor want(nullptr);
  ASSERT_TRUE(want.LoadFromFile(Dir + "\\seite.htm"));
  want.Compress();
  const String packed(want.Data().begin(), want.Data().begin() + want.CompressedSize());
  ASSERT_LT(packed.size(), page.size());

  PostCmd(cmCompressor);
  HWND w = WaitTop(" Quillet - Compressor");
  ASSERT_NE(w, nullptr);
  auto id = [&](int kind, int n) { return Control(w, PA_BLOCK + kind + n); };
  auto pick = [&](const String& file) {
    Click(id(ID_BUTTON, 1));
    ChooseFile("Html Seiten laden ...", file);
    for (int i = 0; i < 100 && !IsWindowEnabled(id(ID_BUTTON, 2)); ++i) Sleep(30);
  };
  EXPECT_FALSE(IsWindowEnabled(id(ID_BUTTON, 2)));
  EXPECT_FALSE(IsWindowEnabled(id(ID_BUTTON, 3)));
  // An empty page: nothing to compress, nothing to save.
  pick(Dir + "\\leer.htm");
  EXPECT_EQ(WindowText(id(ID_PANEL, 2)), "0");
  Click(id(ID_BUTTON, 2));
  Documents();
  EXPECT_FALSE(IsWindowEnabled(id(ID_BUTTON, 3)));

  pick(Dir + "\\seite.htm");
  EXPECT_EQ(WindowText(id(ID_EDIT, 1)), Dir + "\\seite.htm");
  EXPECT_EQ(WindowText(id(ID_EDIT, 2)), Dir + "\\seite.htm");
  EXPECT_EQ(WindowText(id(ID_PANEL, 2)), IntToStr(int(page.size())));
  Click(id(ID_BUTTON, 2));
  for (int i = 0; i < 100 && !IsWindowEnabled(id(ID_BUTTON, 3)); ++i) Sleep(30);
  EXPECT_EQ(WindowText(id(ID_PANEL, 3)), IntToStr(int(packed.size())));
  EXPECT_FALSE(IsWindowEnabled(id(ID_BUTTON, 2)));
  // A target that cannot be written: the message, and the result stays ready.
  ASSERT_TRUE(CreateDirectoryA((Dir + "\\ordner").c_str(), nullptr));
  SendMessageA(id(ID_EDIT, 2), WM_SETTEXT, 0, LPARAM((Dir + "\\ordner").c_str()));
  Click(id(ID_BUTTON, 3));
  EXPECT_EQ(Answer("Quillet", IDOK), "Die Datei " + Dir + "\\ordner kann nicht gespeichert werden.");
  EXPECT_TRUE(IsWindowEnabled(id(ID_BUTTON, 3)));
  SendMessageA(id(ID_EDIT, 2), WM_SETTEXT, 0, LPARAM((Dir + "\\klein.htm").c_str()));
  Click(id(ID_BUTTON, 3));
  for (int i = 0; i < 100 && IsWindowEnabled(id(ID_BUTTON, 3)); ++i) Sleep(30);
  EXPECT_EQ(ReadFileBytes(Dir + "\\klein.htm"), packed);
  EXPECT_EQ(ReadFileBytes(Dir + "\\seite.htm"), page);
  EXPECT_EQ(WindowText(id(ID_EDIT, 1)), "");
  EXPECT_EQ(WindowText(id(ID_PANEL, 3)), "");
  EXPECT_FALSE(IsWindowEnabled(id(ID_BUTTON, 2)));
  // A page gone before "Packen" is named.
  pick(Dir + "\\seite.htm");
  DeleteFileA((Dir + "\\seite.htm").c_str());
  Click(id(ID_BUTTON, 2));
  EXPECT_EQ(Answer("Quillet", IDOK), "Die Datei " + Dir + "\\seite.htm kann nicht gelesen werden.");
  Click(id(ID_BUTTON, 4));
  WaitGone(w);
  EXPECT_EQ(Documents(), 0);
}

TEST_F(Quillet, TheTableDesignerWritesEveryCellOfFifteenColumnsAndThirtyRows) {
  Start();
  NewPage();
  PostCmd(cmTable);
  HWND dlg = WaitTop(" Tabellen Designer");
  ASSERT_NE(dlg, nullptr);
  HWND grid = Control(dlg, TA_BLOCK + ID_GRID);
  ASSERT_NE(grid, nullptr);
  auto edit = [&](int x, int y, const char* text) { EditTableCell(grid, x, y, text); };
  edit(4 * 65 + 20, 2 * 21 + 10, "Preis");  // column 4, row 2 (columns 64 wide, rows 20 high)
  // Counts typed digit by digit pass through 1 column and 3 rows.
  for (const char* cols : {"1", "15"}) SendMessageA(Control(dlg, TA_BLOCK + ID_SPIN + 2), WM_SETTEXT, 0, LPARAM(cols));
  for (const char* rows : {"3", "30"}) SendMessageA(Control(dlg, TA_BLOCK + ID_SPIN + 1), WM_SETTEXT, 0, LPARAM(rows));
  // The last cell, scrolled into the grid's bottom right corner: 8 columns of 65 and 7 rows of
  // 21 below the title fit beside and above the scroll bars.
  SendMessageA(grid, WM_HSCROLL, SB_BOTTOM, 0);
  SendMessageA(grid, WM_VSCROLL, SB_BOTTOM, 0);
  edit(7 * 65 + 20, 7 * 21 + 10, "Ende");
  Click(Control(dlg, TA_BLOCK + ID_BUTTON + 1));
  WaitGone(dlg);
  const String page = SaveAs("tabelle");
  auto row = [](const std::map<int, String>& texts) {
    String s = "<Tr> <Th Align=\"Left\" Valign=\"Bottom\"></Th>";
    for (int c = 1; c < 15; ++c) {
      auto t = texts.find(c);
      s += " <Td Align=\"Left\" Valign=\"Bottom\">" + (t == texts.end() ? String() : t->second) + "</Td>";
    }
    return s + " </Tr>\r\n";
  };
  EXPECT_NE(page.find(row({}) + row({{4, "Preis"}}) + row({})), String::npos) << page;
  EXPECT_NE(page.find(row({}) + row({{14, "Ende"}}) + "</Table>"), String::npos) << page;
  size_t rows = 0;
  for (size_t p = page.find("<Tr>"); p != String::npos; p = page.find("<Tr>", p + 1)) ++rows;
  EXPECT_EQ(rows, 30u);
}

TEST_F(Quillet, TheTableDesignersArrowsStepFromTheNumberShown) {
  Start();
  NewPage();
  PostCmd(cmTable);
  HWND dlg = WaitTop(" Tabellen Designer");
  ASSERT_NE(dlg, nullptr);
  // Typed digit by digit, then one click on the upper or the lower arrow.
  struct TCase {
    int field;
    std::vector<const char*> typed;
    bool up;
    const char* shown;
  } cases[] = {
      {1, {"1", "12"}, true, "13"},   // Zeilen
      {2, {"3"}, false, "2"},         // Spalten
      {3, {"7"}, false, "6"},         // Border
      {5, {"5", "50"}, true, "50"},   // Cellspacing at its upper end
  };
  for (const TCase& c : cases) {
    HWND edit = Control(dlg, TA_BLOCK + ID_SPIN + c.field);
    for (const char* t : c.typed) SendMessageA(edit, WM_SETTEXT, 0, LPARAM(t));
    HWND updown = Control(dlg, TA_BLOCK + ID_UPDOWN + c.field);
    RECT r;
    GetClientRect(updown, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, c.up ? r.bottom / 4 : r.bottom * 3 / 4);
    PostMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(updown, WM_LBUTTONUP, 0, at);
    for (int i = 0; i < 100 && WindowText(edit) != c.shown; ++i) Sleep(30);
    EXPECT_EQ(WindowText(edit), c.shown) << c.field;
  }
  Click(Control(dlg, TA_BLOCK + ID_BUTTON + 1));
  WaitGone(dlg);
  const String page = SaveAs("zahlen");
  EXPECT_NE(page.find("<Table bgcolor=\"#FFFFFF\" Border=\"6\" Cellspacing=\"50\">\r\n"), String::npos) << page;
  size_t rows = 0, cells = 0;
  for (size_t p = page.find("<Tr>"); p != String::npos; p = page.find("<Tr>", p + 1)) ++rows;
  for (size_t p = page.find("<T"); p != String::npos; p = page.find("<T", p + 1))
    cells += page.compare(p, 3, "<Th") == 0 || page.compare(p, 3, "<Td") == 0;
  EXPECT_EQ(rows, 13u);
  EXPECT_EQ(cells, 13u * 2);
}

TEST_F(Quillet, TheTitleDialogStartsWithTheAlignmentOfWhatItEdits) {
  Start();
  NewPage();
  PostCmd(cmTable);
  HWND dlg = WaitTop(" Tabellen Designer");
  ASSERT_NE(dlg, nullptr);
  HWND grid = Control(dlg, TA_BLOCK + ID_GRID);
  ASSERT_NE(grid, nullptr);
  const int x = 2 * 65 + 20;  // column 2 (columns 64 wide, rows 20 high, one-pixel lines)
  EXPECT_EQ(EditTableCell(grid, x, 1 * 21 + 10, "A", 2), "Left");
  // Another cell of the column with the alignment left as the dialog shows it.
  EXPECT_EQ(EditTableCell(grid, x, 3 * 21 + 10, "B"), "Right");
  EXPECT_EQ(EditTableCell(grid, x, 10, "Preis", 1), "Left");  // the title has its own
  EXPECT_EQ(EditTableCell(grid, x, 10, "Preise"), "Center");
  Click(Control(dlg, TA_BLOCK + ID_BUTTON + 1));
  WaitGone(dlg);
  const String page = SaveAs("ausrichtung");
  for (const char* want : {"<Th Align=\"Center\" Valign=\"Bottom\">Preise</Th>",
                           "<Td Align=\"Right\" Valign=\"Bottom\">A</Td>",
                           "<Td Align=\"Right\" Valign=\"Bottom\">B</Td>"})
    EXPECT_NE(page.find(want), String::npos) << want << "\n" << page;
}

TEST_F(Quillet, ModalDialogsHaveOnlyTheSystemMenu) {
  Start();
  NewPage();
  const std::pair<unsigned, const char*> dialogs[] = {
      {cmFileNew, " Quillet - Formulardesigner"}, {cmTable, " Tabellen Designer"},
      {cmMarquee, " Lauftext einrichten"}, {cmCompressor, " Quillet - Compressor"}};
  for (auto& [cmd, caption] : dialogs) {
    PostCmd(cmd);
    HWND dlg = WaitTop(caption);
    ASSERT_NE(dlg, nullptr) << caption;
    const LONG style = GetWindowLongA(dlg, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU) << caption;
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << caption;
    PostMessageA(dlg, WM_CLOSE, 0, 0);
    WaitGone(dlg);
  }
}

TEST_F(Quillet, TagDialogsInsertTheirTagsAtTheCaret) {
  Start();
  WriteFileBytes(Dir + "\\probe.htm", "Wort\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\probe.htm"));
  // A cancelled link dialog leaves the selected text where it was.
  Cmd(cmEditSelectAll);
  PostCmd(cmLink);
  HWND cancelled = WaitTop(" Link Einf\xFCgen ...");
  ASSERT_NE(cancelled, nullptr);
  Click(Control(cancelled, LI_BLOCK + ID_BUTTON + 2));
  WaitGone(cancelled);
  // So does one closed with its close box.
  Cmd(cmEditSelectAll);
  PostCmd(cmLink);
  HWND closed = WaitTop(" Link Einf\xFCgen ...");
  ASSERT_NE(closed, nullptr);
  PostMessageA(closed, WM_SYSCOMMAND, SC_CLOSE, 0);
  WaitGone(closed);
  // The link goes around the selection.
  Cmd(cmEditSelectAll);
  PostCmd(cmLink);
  HWND link = WaitTop(" Link Einf\xFCgen ...");
  ASSERT_NE(link, nullptr);
  HWND accept = Control(link, LI_BLOCK + ID_BUTTON + 1);
  EXPECT_FALSE(IsWindowEnabled(accept));
  SendMessageA(Control(link, LI_BLOCK + ID_EDIT + 1), WM_SETTEXT, 0, LPARAM("seite2.htm"));
  EXPECT_TRUE(IsWindowEnabled(accept));
  Click(accept);
  WaitGone(link);
  // The marquee comes in at the caret, behind the link.
  PostCmd(cmMarquee);
  HWND marquee = WaitTop(" Lauftext einrichten");
  ASSERT_NE(marquee, nullptr);
  SendMessageA(Control(marquee, MQ_BLOCK + ID_EDIT + 5), WM_SETTEXT, 0, LPARAM("Hallo"));
  Click(Control(marquee, MQ_BLOCK + ID_BUTTON + 1));
  WaitGone(marquee);
  // "Beenden" of the video dialog inserts nothing.
  PostCmd(cmVideo);
  HWND video = WaitTop(" Video einbinden");
  ASSERT_NE(video, nullptr);
  SendMessageA(Control(video, VI_BLOCK + ID_EDIT + 1), WM_SETTEXT, 0, LPARAM("clip.avi"));
  Click(Control(video, VI_BLOCK + ID_BUTTON + 3));
  WaitGone(video);
  EXPECT_EQ(SaveAs("kopie"),
            "<a Href=\"seite2.htm\">Wort</a>\r\n<Marquee Align=\"Top\" Behaviour=\"Scroll\" Direction=\"Left\" "
            "Scrollamount=\"1\" Loop=\"1\" Bgcolor=\"#FFFFFF\">Hallo</Marquee>\r\n\r\n");
}

TEST_F(Quillet, ImageAndFontDialogsThroughTheirWindows) {
  Start();
  // A GIF of 10 x 20 pixels.
  WriteFileBytes(Dir + "\\bild.gif", ReadFileBytes(String(ASTREL_SOURCE_DIR) + "/quillet/app/dialogs/tests/fixtures/bild.gif"));
  NewPage();
  // "..." reads the picture for its size and copies it into the working folder.
  PostCmd(cmImage);
  HWND image = WaitTop(" Grafik einf\xFCgen");
  ASSERT_NE(image, nullptr);
  Click(Control(image, LA_BLOCK + ID_BUTTON + 1));
  ChooseFile("Bilder einladen", Dir + "\\bild.gif");
  HWND name = Control(image, LA_BLOCK + ID_EDIT + 1);
  for (int i = 0; i < 100 && WindowText(name).empty(); ++i) Sleep(30);
  EXPECT_EQ(WindowText(name), "bild.gif");
  EXPECT_NE(GetFileAttributesA((Dir + "\\DATEN\\bild.gif").c_str()), INVALID_FILE_ATTRIBUTES);
  Click(Control(image, LA_BLOCK + ID_BUTTON + 2));
  WaitGone(image);
  // A click on the first line of the font list picks that face.
  PostCmd(cmFontText);
  HWND font = WaitTop(" Text Optionen");
  ASSERT_NE(font, nullptr);
  HWND list = Control(font, TX_BLOCK + ID_FONTLIST);
  HWND accept = Control(font, TX_BLOCK + ID_BUTTON + 1);
  EXPECT_FALSE(IsWindowEnabled(accept));
  Click(list);
  for (int i = 0; i < 100 && !IsWindowEnabled(accept); ++i) Sleep(30);
  ASSERT_TRUE(IsWindowEnabled(accept));
  Click(accept);
  WaitGone(font);
  const String page = SaveAs("bild.htm");
  const String tags = "<IMG Src=\"bild.gif\" Width=\"10\" Height=\"20\" Border=\"0\">\r\n<Font Size=\"1\" Color=\"#000000\" Face=\"";
  const size_t at = page.find(tags);
  ASSERT_NE(at, String::npos) << page;
  const size_t end = page.find("\"> Text </Font>\r\n", at);
  ASSERT_NE(end, String::npos) << page;
  EXPECT_GT(end, at + tags.size());  // a face name
}

// The info box shows the whole physical memory, also beyond the 2 GB a 32-bit program is told by
// the plain call; the font dialog names each face once; Return accepts the table title dialog.
TEST_F(Quillet, InfoBoxFontListAndTitleDialogKeys) {
  Start();
  MEMORYSTATUSEX ms = {};
  ms.dwLength = sizeof ms;
  ASSERT_TRUE(GlobalMemoryStatusEx(&ms));
  PostCmd(cmInfoBox);
  HWND info = WaitTop("Info");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(WindowText(Control(info, AB_MEMORY)), GroupDigits(ms.ullTotalPhys / 1024, '.') + "  KB ");
  testsupport::Click(info, IDOK);
  WaitGone(info);

  NewPage();
  PostCmd(cmFontText);
  HWND font = WaitTop(" Text Optionen");
  ASSERT_NE(font, nullptr);
  HWND list = Control(font, TX_BLOCK + ID_FONTLIST);
  String faces;
  testsupport::WaitFor([&] { return !(faces = WindowText(list)).empty(); }, 10000);
  std::vector<String> names;
  String line;
  for (char c : faces + "\r") {
    if (c == '\r' || c == '\n') {
      if (!line.empty()) names.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  ASSERT_FALSE(names.empty());
  std::vector<String> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << faces;
  Click(Control(font, TX_BLOCK + ID_BUTTON + 2));
  WaitGone(font);

  PostCmd(cmTable);
  HWND dlg = WaitTop(" Tabellen Designer");
  ASSERT_NE(dlg, nullptr);
  HWND grid = Control(dlg, TA_BLOCK + ID_GRID);
  PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 21 + 10));
  PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(20, 21 + 10));
  HWND title = WaitTop(" Titel");
  ASSERT_NE(title, nullptr);
  HWND edit = Control(title, TI_BLOCK + ID_EDIT + 1);
  SendMessageA(edit, WM_SETTEXT, 0, LPARAM("Brot"));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, LPARAM(1) | (LPARAM(3) << 30));
  EXPECT_TRUE(testsupport::WaitFor([&] { return !IsWindowVisible(title); }, 10000));
  if (IsWindowVisible(title)) Click(Control(title, TI_BLOCK + ID_BUTTON + 1));
  WaitGone(title);
  Click(Control(dlg, TA_BLOCK + ID_BUTTON + 1));
  WaitGone(dlg);
  const String page = SaveAs("tabelle");
  EXPECT_NE(page.find("<Th Align=\"Left\" Valign=\"Bottom\">Brot</Th>"), String::npos) << page;
}

// Pictures, videos and sounds chosen for a page with a file of its own go beside that page, where
// its preview and its site find them under their bare names; the new-page dialog's background
// (for a page without a file) still goes into DATEN\, whatever page is open.
TEST_F(Quillet, MediaChosenForASavedPageGoBesideIt) {
  Start();
  const String folder = Dir + "\\Meine Seiten", fixtures = String(ASTREL_SOURCE_DIR) + "/quillet/app/dialogs/tests/fixtures/";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  WriteFileBytes(folder + "\\seite.htm", "seite\r\n");
  WriteFileBytes(Dir + "\\bild.gif", ReadFileBytes(fixtures + "bild.gif"));
  WriteFileBytes(Dir + "\\clip.avi", "RIFF....AVI ");
  WriteFileBytes(Dir + "\\lied.mid", "MThd");
  ASSERT_NO_FATAL_FAILURE(OpenPage(folder + "\\seite.htm"));
  struct { unsigned Command; const char* Dialog; int Pick, Name, Close; const char* Picker; const char* File; } picks[] = {
      {cmImage, " Grafik einf\xFCgen", LA_BLOCK + ID_BUTTON + 1, LA_BLOCK + ID_EDIT + 1, LA_BLOCK + ID_BUTTON + 3,
       "Bilder einladen", "bild.gif"},
      {cmVideo, " Video einbinden", VI_BLOCK + ID_BUTTON + 1, VI_BLOCK + ID_EDIT + 1, VI_BLOCK + ID_BUTTON + 3,
       "Videos einlesen ...", "clip.avi"},
      {cmSoundTable, " Sound Steuerung mit Playliste", SO_BLOCK + ID_BUTTON + 1, SO_BLOCK + ID_EDIT + 1,
       SO_BLOCK + ID_BUTTON + 5, " Midi Sounds einladen ...", "lied.mid"},
  };
  for (const auto& p : picks) {
    PostCmd(p.Command);
    HWND dlg = WaitTop(p.Dialog);
    ASSERT_NE(dlg, nullptr) << p.Dialog;
    Click(Control(dlg, p.Pick));
    ChooseFile(p.Picker, Dir + "\\" + p.File);
    HWND name = Control(dlg, p.Name);
    testsupport::WaitFor([&] { return !WindowText(name).empty(); }, 5000);
    EXPECT_EQ(WindowText(name), p.File);
    EXPECT_EQ(ReadFileBytes(folder + "\\" + p.File), ReadFileBytes(Dir + "\\" + p.File)) << p.File;
    EXPECT_EQ(GetFileAttributesA((Dir + "\\DATEN\\" + p.File).c_str()), INVALID_FILE_ATTRIBUTES) << p.File;
    Click(Control(dlg, p.Close));
    WaitGone(dlg);
  }
  PostCmd(cmFileNew);
  HWND dlg = WaitTop(" Quillet - Formulardesigner");
  ASSERT_NE(dlg, nullptr);
  Click(Control(dlg, NP_BUTTON + 3));
  ChooseFile("Hintergrund Bild Laden ...", Dir + "\\bild.gif");
  testsupport::WaitFor([&] { return !WindowText(Control(dlg, NP_PANEL + 2)).empty(); }, 5000);
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\bild.gif"), ReadFileBytes(Dir + "\\bild.gif"));
  Click(Control(dlg, NP_BUTTON + 2));
  WaitGone(dlg);
}
