// Quillet.exe under Wine: the start, new and opened pages, typing, snippets and the editor's keys.
#include <map>

#include "quillet_app_driver.h"

TEST_F(Quillet, StartCreatesTheWorkingFolderAndEnablesOnlyWhatNeedsNoDocument) {
  Start();
  const DWORD a = GetFileAttributesA((Dir + "\\DATEN").c_str());
  ASSERT_NE(a, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Documents(), 0);
  for (unsigned id : {cmFileNew, cmFileOpen, cmFileExit, cmBrowser, cmHelp, cmInfoBox}) EXPECT_TRUE(Enabled(id)) << id;
  for (unsigned id : {cmFileClose, cmFileSaveAs, cmBreak, cmDateScript, cmEditSelectAll, cmPreview, cmMailLink})
    EXPECT_FALSE(Enabled(id)) << id;
  // The tag dialogs exist; their commands wait for a document.
  for (unsigned id : {cmImage, cmLink, cmMarquee, cmVideo, cmFontText, cmTable, cmFormBuilder, cmSoundTable})
    EXPECT_FALSE(Enabled(id)) << id;
  // The compressor and the image browser work on files: they need no document.
  EXPECT_TRUE(Enabled(cmCompressor));
  EXPECT_TRUE(Enabled(cmImageBrowser));

  // The insert dialogs created at the start (after the main window and the info box) wait hidden,
  // one of each.
  struct Ctx { DWORD pid; std::map<String, int> classes; } ctx = {Pi.dwProcessId, {}};
  EnumWindows(
      [](HWND w, LPARAM l) __attribute__((stdcall)) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(l);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (pid == c->pid && !IsWindowVisible(w)) ++c->classes[cls];
        return TRUE;
      },
      LPARAM(&ctx));
  for (const char* form : {"Tlader", "Tlinker", "Tlaufer", "Tviform", "Ttexter", "Ttabell", "Tfomel", "Tbauf"})
    EXPECT_EQ(ctx.classes[form], 1) << form;

  PostCmd(cmHelp);
  EXPECT_EQ(Answer("Quillet", IDOK), "Die Hilfe Datei - Quillet.hlp - ist nicht vorhanden !");

  PostCmd(cmInfoBox);
  HWND info = WaitTop("Info");
  ASSERT_NE(info, nullptr);
  const String memory = WindowText(Control(info, AB_MEMORY));
  // The physical memory is counted in kilobytes, and says so.
  EXPECT_EQ(memory.substr(memory.size() - 5), "  KB ");
  EXPECT_NE(memory.find('.'), String::npos) << memory;  // grouped by the German separator
  testsupport::Click(info, IDOK);
  WaitGone(info);
}

TEST_F(Quillet, NewPageWithDefaultsTypingAndSnippetsSavedByteForByte) {
  Start();
  NewPage();
  EXPECT_EQ(WindowText(ActiveChild()), "Unbenannt.htm");
  for (unsigned id : {cmFileClose, cmFileSaveAs, cmBreak, cmDateScript, cmPreview, cmMailLink}) EXPECT_TRUE(Enabled(id)) << id;
  for (unsigned id : {cmImage, cmLink, cmMarquee, cmVideo, cmFontText, cmTable, cmFormBuilder, cmSoundTable})
    EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_EQ(SaveAs("seite"), DefaultSkeleton());  // ".htm" added to a name without a dot

  // The caret stands on the empty line before "</Body>".
  Type("Hallo \xC4rger");
  Cmd(cmRule);
  Cmd(cmBold);
  Cmd(cmListBox);
  const String saved = SaveAs("seite.txt");
  String want = DefaultSkeleton("Hallo \xC4rger<HR>");
  const String body = "</Body>\r\n";
  want.insert(want.find(body), "<B> Text </B><select>\r\n  <option>Text</option>\r\n  <option>Text</option>\r\n</select>   \r\n\r\n");
  EXPECT_EQ(saved, want);

  // An input-box snippet: cancelled inserts nothing, OK inserts the text.
  PostCmd(cmIsIndex);
  InputBox("IsIndex Prompt...", "Suche");
  PostCmd(cmSuperScript);
  HWND box = WaitTop("Text nach oben versetzen...");
  ASSERT_NE(box, nullptr);
  testsupport::Click(box, IDCANCEL);
  WaitGone(box);
  const String third = SaveAs("drei.htm");
  EXPECT_NE(third.find("</select>   \r\n<Isindex prompt=\"Suche\">\r\n"), String::npos) << third;
  EXPECT_EQ(third.find("<Sup>"), String::npos);
}

TEST_F(Quillet, NewPageDialogSettingsAndFrameSet) {
  Start();
  PostCmd(cmFileNew);
  HWND dlg = WaitTop(" Quillet - Formulardesigner");
  ASSERT_NE(dlg, nullptr);
  // Return moves from the name to the title, to the author and back to the name.
  auto focus = [&] {
    GUITHREADINFO gi = {};
    gi.cbSize = sizeof gi;
    GetGUIThreadInfo(Pi.dwThreadId, &gi);
    return gi.hwndFocus;
  };
  for (int i = 0; i < 100 && focus() != Control(dlg, NP_EDIT + 1); ++i) Sleep(30);
  for (int next : {3, 2, 1}) {
    PostMessageA(focus(), WM_KEYDOWN, VK_RETURN, 1);
    for (int i = 0; i < 100 && focus() != Control(dlg, NP_EDIT + next); ++i) Sleep(30);
    EXPECT_EQ(focus(), Control(dlg, NP_EDIT + next)) << next;
  }
  SendMessageA(Control(dlg, NP_EDIT + 1), WM_SETTEXT, 0, LPARAM("index"));
  SendMessageA(Control(dlg, NP_EDIT + 2), WM_SETTEXT, 0, LPARAM("M\xFCller"));
  SendMessageA(Control(dlg, NP_EDIT + 3), WM_SETTEXT, 0, LPARAM("Start"));
  PostMessageA(Control(dlg, NP_CHECK + 1), BM_CLICK, 0, 0);
  // "Frames Setzen" shows the frame panel and disables the main buttons.
  Click(Control(dlg, NP_BUTTON + 5));
  HWND frames = Control(dlg, NP_PANEL + 10);
  for (int i = 0; i < 100 && !IsWindowVisible(frames); ++i) Sleep(30);
  ASSERT_TRUE(IsWindowVisible(frames));
  Documents();  // the click has been handled
  EXPECT_FALSE(IsWindowEnabled(Control(dlg, NP_BUTTON + 1)));
  // The border's up-down starts at the border the field shows.
  EXPECT_EQ(WindowText(Control(dlg, NP_PANEL + 11)), "4");
  EXPECT_EQ(LOWORD(SendMessageA(Control(dlg, NP_UPDOWN + 2), UDM_GETPOS, 0, 0)), 4);
  PostMessageA(Control(dlg, NP_CHECK + 2), BM_CLICK, 0, 0);
  SendMessageA(Control(dlg, NP_EDIT + 6), WM_SETTEXT, 0, LPARAM("links.htm"));
  SendMessageA(Control(dlg, NP_EDIT + 7), WM_SETTEXT, 0, LPARAM("links"));
  Click(Control(dlg, NP_BUTTON + 6));
  // The panel goes before the main buttons come back.
  EXPECT_TRUE(testsupport::WaitFor(
      [&] { return !IsWindowVisible(frames) && IsWindowEnabled(Control(dlg, NP_BUTTON + 1)); }, 10000));
  Click(Control(dlg, NP_BUTTON + 1));
  for (int i = 0; i < 300 && Documents() == 0; ++i) Sleep(30);
  ASSERT_EQ(Documents(), 1);
  EXPECT_EQ(WindowText(ActiveChild()), "index.htm");
  const std::vector<String> want = {
      "<Html>", "<Head>", "<Title>Start</Title>",
      "<Meta Name=\"Generator\" Content=\"Quillet Version 1.6\">",
      "<Meta Name=\"Keywords\" Content=\" \">", "<Meta Name=\"Description\" Content=\" \">",
      "<Meta Name=\"Autor\" Content=\"M\xFCller\">", "<Meta Name=\"Language\" Content=\"Deutsch,de\">",
      "</Head>", "<Frameset Cols=\"155,*\" Border=\"4\">", "<Frame src=\"links.htm\" Name=\"links\">",
      "<Frameset Rows=\"40%,60%\">", "<Frame src=\"\" Name=\"\">", "<Frame src=\"\" Name=\"\">",
      "</Frameset>", "</Frameset>",
      "<Body bgcolor=\"#FFFFFF\" link=\"#0000FF\" alink=\"#FF0000\" vlink=\"#800080\" bgproperties=fixed>",
      "", "</Body>", "</Html>"};
  EXPECT_EQ(SaveAs("index"), Crlf(want));
}

TEST_F(Quillet, MediaAreCopiedIntoTheWorkingFolder) {
  Start();
  const String picture("GIF89a\0\x01\xFF\r\n\x1A end", 16);
  WriteFileBytes(Dir + "\\bild.gif", picture);
  WriteFileBytes(Dir + "\\ton.wav", "RIFF....WAVE");
  PostCmd(cmFileNew);
  HWND dlg = WaitTop(" Quillet - Formulardesigner");
  ASSERT_NE(dlg, nullptr);
  Click(Control(dlg, NP_BUTTON + 3));
  ChooseFile("Hintergrund Bild Laden ...", Dir + "\\bild.gif");
  Click(Control(dlg, NP_BUTTON + 4));
  ChooseFile("Sound Datei Laden ...", Dir + "\\ton.wav");
  // The loop count follows the up-down when the mouse button is released over it.
  HWND updown = Control(dlg, NP_UPDOWN + 1);
  RECT r;
  GetClientRect(updown, &r);
  PostMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 4, r.bottom / 2));
  PostMessageA(updown, WM_LBUTTONUP, 0, MAKELPARAM(r.right - 4, r.bottom / 2));
  // (posted: a message sent to the program is handled before them, so the panel is waited for)
  testsupport::WaitFor([&] { return WindowText(Control(dlg, NP_PANEL + 5)) == "2"; }, 5000);
  EXPECT_EQ(WindowText(Control(dlg, NP_PANEL + 2)), "bild.gif");
  EXPECT_EQ(WindowText(Control(dlg, NP_PANEL + 3)), "ton.wav");
  EXPECT_EQ(WindowText(Control(dlg, NP_PANEL + 5)), "2");
  Click(Control(dlg, NP_BUTTON + 1));
  for (int i = 0; i < 300 && Documents() == 0; ++i) Sleep(30);
  ASSERT_EQ(Documents(), 1);
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\bild.gif"), picture);
  EXPECT_EQ(ReadFileBytes(Dir + "\\DATEN\\ton.wav"), "RIFF....WAVE");
  const String page = SaveAs("medien");
  EXPECT_NE(page.find("<bgsound src=\"ton.wav\" loop=\"2\">\r\n</Head>\r\n"), String::npos) << page;
  EXPECT_NE(page.find("<Body background=\"bild.gif\" bgcolor=\"#FFFFFF\""), String::npos) << page;
}

TEST_F(Quillet, BeendenInTheDialogCreatesNothing) {
  Start();
  PostCmd(cmFileNew);
  HWND dlg = WaitTop(" Quillet - Formulardesigner");
  ASSERT_NE(dlg, nullptr);
  Click(Control(dlg, NP_BUTTON + 2));
  WaitGone(dlg);
  EXPECT_EQ(Documents(), 0);
}

TEST_F(Quillet, OpenEditAndMailLinkOnTheSelection) {
  Start();
  WriteFileBytes(Dir + "\\probe.htm", "<p>\r\nPost\r\n");
  PostCmd(cmFileOpen);
  // The dialog offers the page, script, text and all-files filters.
  HWND dlg = WaitTop("Html Seiten laden ...");
  ASSERT_NE(dlg, nullptr);
  HWND types = GetDlgItem(dlg, 0x470);
  ASSERT_NE(types, nullptr);
  std::vector<String> filters;
  for (int i = 0; i < int(SendMessageA(types, CB_GETCOUNT, 0, 0)); ++i) {
    wchar_t wide[256] = {};
    SendMessageW(types, CB_GETLBTEXT, i, LPARAM(wide));  // the dialog's list is a Unicode one
    char buf[256] = {};
    WideCharToMultiByte(1252, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
    filters.push_back(buf);
  }
  EXPECT_EQ(filters, (std::vector<String>{"Html Seiten(*.htm;*.html;*.shtml)", "Java Scripte (*.js)",
                                          "Text Dateien(*.txt)", "Alle Dateien(*.*)"}));
  ChooseFile("Html Seiten laden ...", Dir + "\\probe.htm");
  for (int i = 0; i < 200 && Documents() == 0; ++i) Sleep(30);
  ASSERT_EQ(Documents(), 1);
  EXPECT_EQ(WindowText(ActiveChild()), "probe.htm");
  // Without a selection the link commands refuse.
  PostCmd(cmMailLink);
  EXPECT_EQ(Answer("Quillet", IDOK), "Selektieren sie die zu linkende Zeile , oder einen Text , im Formular!");
  Cmd(cmEditSelectAll);
  PostCmd(cmMailLink);
  InputBox("E - Mail Link einsetzen", "a@b.de");
  // The selection (both lines) becomes the link text; the link's CR starts a new line.
  EXPECT_EQ(SaveAs("kopie"), "<a Href=\"mailto:a@b.de\"><p>\r\nPost</a>\r\n\r\n");
}

TEST_F(Quillet, TheWheelStopsAtTheLastLine) {
  Start();
  String text;
  for (int i = 1; i <= 40; ++i) text += IntToStr(i) + "\r\n";
  WriteFileBytes(Dir + "\\kurz.htm", text);
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\kurz.htm"));
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  ASSERT_LT(lines, 10u);
  // Far down, then one notch back: the view moves up from the last line, not from beyond it.
  SendMessageA(Editor(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-30 * WHEEL_DELTA)), 0);
  EXPECT_EQ(SendMessageA(Editor(), EM_GETFIRSTVISIBLELINE, 0, 0), 39);
  SendMessageA(Editor(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(WHEEL_DELTA)), 0);
  EXPECT_EQ(SendMessageA(Editor(), EM_GETFIRSTVISIBLELINE, 0, 0), 39 - int(lines));
}

// After an insert dialog and after "Speichern unter" the keys go to the page again, and
// Alt+Backspace (undo) leaves no menu open that would take them.
TEST_F(Quillet, TypingGoesOnAfterDialogsAndAltBackspace) {
  Start();
  WriteFileBytes(Dir + "\\probe.htm", "Wort\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\probe.htm"));
  HWND editor = Editor();
  Cmd(cmEditSelectAll);
  PostCmd(cmLink);
  HWND link = WaitTop(" Link Einf\xFCgen ...");
  ASSERT_NE(link, nullptr);
  SendMessageA(Control(link, LI_BLOCK + ID_EDIT + 1), WM_SETTEXT, 0, LPARAM("z.htm"));
  Click(Control(link, LI_BLOCK + ID_BUTTON + 1));
  WaitGone(link);
  EXPECT_TRUE(testsupport::WaitFor([&] { return FocusOf(Pi.dwThreadId) == editor; }, 10000));
  SaveAs("kopie");
  EXPECT_TRUE(testsupport::WaitFor([&] { return FocusOf(Pi.dwThreadId) == editor; }, 10000));
  // Alt+Backspace from the keyboard, Alt let go before Backspace, then a "k". A
  // click puts the focus into the page whatever happened before (its caret move is what the
  // undo takes back).
  PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  EXPECT_TRUE(testsupport::WaitFor([&] { return FocusOf(Pi.dwThreadId) == editor; }, 10000));
  SetForegroundWindow(Main);
  for (const std::pair<BYTE, DWORD>& k : std::vector<std::pair<BYTE, DWORD>>{
           {VK_MENU, 0}, {VK_BACK, 0}, {VK_MENU, KEYEVENTF_KEYUP}, {VK_BACK, KEYEVENTF_KEYUP}, {'K', 0},
           {'K', KEYEVENTF_KEYUP}})
    keybd_event(k.first, 0, k.second, 0);
  // Time for the keys to arrive; a menu left open shows before that.
  GUITHREADINFO gi = {};
  gi.cbSize = sizeof gi;
  testsupport::WaitFor(
      [&] {
        GetGUIThreadInfo(Pi.dwThreadId, &gi);
        return (gi.flags & GUI_INMENUMODE) != 0;
      },
      2000);
  EXPECT_FALSE(gi.flags & GUI_INMENUMODE);
  if (gi.flags & GUI_INMENUMODE) keybd_event(VK_ESCAPE, 0, 0, 0), keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
  // The "k" reached the page.
  const String page = SaveAs("nachher");
  EXPECT_NE(page.find('k'), String::npos) << page;
}

// A link and an e-mail link on a word inside a line take the word's place in that line; the text
// after it stays beside it (a browser shows "Seite, danke.", not "Seite , danke.").
TEST_F(Quillet, LinksOnAWordStayInTheirLine) {
  Start();
  WriteFileBytes(Dir + "\\probe.htm", "Besuchen Sie Seite, danke.\r\nPost an uns\r\n");
  ASSERT_NO_FATAL_FAILURE(OpenPage(Dir + "\\probe.htm"));
  // The editor's own commands move the caret and select (WM_USER + 257).
  auto run = [&](int command, int times) {
    for (int i = 0; i < times; ++i) PostMessageA(Editor(), WM_USER + 257, WPARAM(command), 0);
    Documents();
  };
  const int right = 259, selRight = 267, down = 260, beginLine = 280;
  run(right, 13);
  run(selRight, 5);  // "Seite"
  PostCmd(cmLink);
  HWND link = WaitTop(" Link Einf\xFCgen ...");
  ASSERT_NE(link, nullptr);
  SendMessageA(Control(link, LI_BLOCK + ID_EDIT + 1), WM_SETTEXT, 0, LPARAM("s.htm"));
  Click(Control(link, LI_BLOCK + ID_BUTTON + 1));
  WaitGone(link);
  run(down, 1);
  run(beginLine, 1);
  run(selRight, 4);  // "Post"
  PostCmd(cmMailLink);
  InputBox("E - Mail Link einsetzen", "a@b.de");
  EXPECT_EQ(SaveAs("kopie"),
            "Besuchen Sie <a Href=\"s.htm\">Seite</a>, danke.\r\n<a Href=\"mailto:a@b.de\">Post</a> an uns\r\n");
}
