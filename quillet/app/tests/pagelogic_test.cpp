// The composed texts of Quillet: new-page list and skeleton, colours, image tag, snippets and
// the small rules of saving and the info box.
#include <gtest/gtest.h>

#include "pagelogic.h"

namespace {

std::vector<String> Lines(const TStrings& s) {
  std::vector<String> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s.Strings(i));
  return r;
}

std::vector<String> Skeleton(const TNewPageSettings& s) {
  TStringList list, page;
  AppendNewPageList(s, list);
  AppendPageSkeleton(list, page);
  return Lines(page);
}

TEST(HtmlColor, RedComesFirst) {
  EXPECT_EQ(HtmlColor(0xFFFFFF), "FFFFFF");
  EXPECT_EQ(HtmlColor(0xFF0000), "0000FF");  // clBlue
  EXPECT_EQ(HtmlColor(0x0000FF), "FF0000");  // clRed
  EXPECT_EQ(HtmlColor(0x800080), "800080");
  EXPECT_EQ(HtmlColor(0x563412), "123456");  // RGB(18, 52, 86)
  EXPECT_EQ(HtmlColor(0), "000000");
}

TEST(NewPage, DefaultsGiveTheUnnamedSkeleton) {
  TNewPageSettings s;
  TStringList list;
  AppendNewPageList(s, list);
  ASSERT_EQ(list.Count(), 12);
  EXPECT_EQ(NewPageCaption(list), "Unbenannt.htm");
  const std::vector<String> want = {
      "<Html>", "<Head>", "<Title>Unbenannt</Title>",
      "<Meta Name=\"Generator\" Content=\"Quillet Version 1.6\">",
      "<Meta Name=\"Keywords\" Content=\" \">", "<Meta Name=\"Description\" Content=\" \">",
      "<Meta Name=\"Autor\" Content=\"Name\">", "<Meta Name=\"Language\" Content=\"Deutsch,de\">",
      "</Head>", "<Body bgcolor=\"#FFFFFF\" link=\"#0000FF\" alink=\"#FF0000\" vlink=\"#800080\">", "",
      "</Body>", "</Html>"};
  EXPECT_EQ(Skeleton(s), want);
}

TEST(NewPage, NamesTitleAuthorSoundPictureAndFixedBackground) {
  TNewPageSettings s;
  s.DocumentName = "index.htm";
  s.Title = "Start";
  s.Author = "M\xFCller";
  s.SoundFile = "a.wav";
  TStringList list;
  AppendNewPageList(s, list);
  EXPECT_EQ(NewPageCaption(list), "index.htm.htm");
  auto page = Skeleton(s);
  EXPECT_EQ(page[2], "<Title>Start</Title>");
  EXPECT_EQ(page[6], "<Meta Name=\"Autor\" Content=\"M\xFCller\">");
  EXPECT_EQ(page[8], "<bgsound src=\"a.wav\" loop=\"1\">");
  EXPECT_EQ(page[9], "</Head>");

  // The four forms of the body line.
  struct Case { const char* picture; bool fixed; const char* body; } cases[] = {
      {"b.gif", true, "<Body background=\"b.gif\" bgcolor=\"#FFFFFF\" link=\"#0000FF\" alink=\"#FF0000\" vlink=\"#800080\" bgproperties=fixed>"},
      {"", true, "<Body bgcolor=\"#FFFFFF\" link=\"#0000FF\" alink=\"#FF0000\" vlink=\"#800080\" bgproperties=fixed>"},
      {"b.gif", false, "<Body background=\"b.gif\" bgcolor=\"#FFFFFF\" link=\"#0000FF\" alink=\"#FF0000\" vlink=\"#800080\">"},
      {"", false, "<Body bgcolor=\"#FFFFFF\" link=\"#0000FF\" alink=\"#FF0000\" vlink=\"#800080\">"},
  };
  for (const auto& c : cases) {
    TNewPageSettings t;
    t.PictureFile = c.picture;
    t.Fixed = c.fixed;
    auto p = Skeleton(t);
    EXPECT_EQ(p[p.size() - 4], c.body);
  }
}

TEST(NewPage, FrameSetWithDefaults) {
  TNewPageSettings s;
  s.Frames = true;
  TStringList list;
  AppendNewPageList(s, list);
  ASSERT_EQ(list.Count(), 17);
  EXPECT_EQ(list.Strings(11), "Frames");
  auto p = Skeleton(s);
  const std::vector<String> tail = {
      "</Head>", "<Frameset Cols=\"155,*\" Border=\"4\">", "<Frame src=\"\" Name=\"\">",
      "<Frameset Rows=\"40%,60%\">", "<Frame src=\"\" Name=\"\">", "<Frame src=\"\" Name=\"\">",
      "</Frameset>", "</Frameset>",
      "<Body bgcolor=\"#FFFFFF\" link=\"#0000FF\" alink=\"#FF0000\" vlink=\"#800080\">", "", "</Body>",
      "</Html>"};
  EXPECT_EQ(std::vector<String>(p.end() - long(tail.size()), p.end()), tail);
}

// The frame pages' fields say "- . htm": a name without a dot gets it, as in "Speichern unter".
TEST(NewPage, FramePageNamesGetHtm) {
  TNewPageSettings s;
  s.Frames = true;
  s.LeftSrc = "menu";
  s.Row1Src = "kopf.html";
  s.Row2Src = "inhalt";
  s.LeftName = "links";
  TStringList list;
  AppendNewPageList(s, list);
  ASSERT_EQ(list.Count(), 17);
  EXPECT_EQ(list.Strings(13), "<Frame src=\"menu.htm\" Name=\"links\">");
  EXPECT_EQ(list.Strings(15), "<Frame src=\"kopf.html\" Name=\"\">");
  EXPECT_EQ(list.Strings(16), "<Frame src=\"inhalt.htm\" Name=\"\">");
  for (const auto& k : std::vector<std::pair<String, String>>{
           {"", ""}, {"menu", "menu.htm"}, {"a.b", "a.b"}, {"teil\\menu", "teil\\menu.htm"}, {"x.d\\menu", "x.d\\menu.htm"}})
    EXPECT_EQ(FramePageName(k.first), k.second) << k.first;
}

TEST(SaveAs, HtmIsAddedOnlyToANameWithoutADot) {
  struct {
    const char* Chosen;
    const char* Saved;
  } cases[] = {
      {"C:\\a\\seite", "C:\\a\\seite.htm"},
      {"C:\\a\\seite.txt", "C:\\a\\seite.txt"},
      {"seite.", "seite."},
      // A dot in a folder is not the name's: the page still gets ".htm".
      {"C:\\a.b\\seite", "C:\\a.b\\seite.htm"},
      {"Z:\\tmp\\out.d\\seite", "Z:\\tmp\\out.d\\seite.htm"},
      {"C:\\a.b\\seite.html", "C:\\a.b\\seite.html"},
  };
  for (const auto& k : cases) EXPECT_EQ(SaveAsFileName(k.Chosen), k.Saved) << k.Chosen;
}

TEST(ImageTag, OptionalAttributesAndBorder) {
  TStringList l;
  l.SetText("<Img Src=\"a.gif\" Width=\"3\" Height=\"4\"\r\n\r\n\r\n0\r\n\r\n");
  EXPECT_EQ(ImageTag(l), "<Img Src=\"a.gif\" Width=\"3\" Height=\"4\" Border=\"0\">\r");
  TStringList m;
  m.SetText("<Img Src=\"a.gif\"\r\n5\r\n6\r\n1\r\nleft\r\n");
  EXPECT_EQ(ImageTag(m), "<Img Src=\"a.gif\" Align=\"left\" Vspace=\"5\" Hspace=\"6\" Border=\"1\">\r");
}

TEST(Snippets, FixedTextsByteForByte) {
  EXPECT_EQ(SnippetInsertions(snRule), std::vector<String>{"<HR>\r"});
  EXPECT_EQ(SnippetInsertions(snBorder), std::vector<String>{"Border=\"0\""});
  EXPECT_EQ(SnippetInsertions(snListBox),
            (std::vector<String>{"<select>\r  <option>Text</option>\r  <option>Text</option>\r</select>   ", "\r"}));
  auto bottom = SnippetInsertions(snBottomButton);
  ASSERT_EQ(bottom.size(), 2u);
  // No blanks after "</CENTER>": they would indent what is inserted next.
  EXPECT_EQ(bottom[0], "<CENTER>\r<FORM>\r<INPUT TYPE=\"button\" VALUE=\"Seitenende\" onCLick=\"history.go(1)\">\r</FORM>\r</CENTER>");
  EXPECT_EQ(bottom[1], "\r");
  EXPECT_EQ(SnippetInsertions(snTopButton)[0],
            "<CENTER>\r<FORM>\r<INPUT TYPE=\"button\" VALUE=\"Seitenanfang\" onClick=\"history.go(-1)\">\r</FORM>\r</CENTER>");
  auto date = SnippetInsertions(snDateScript);
  ASSERT_EQ(date.size(), 2u);
  EXPECT_EQ(date[0].substr(0, 41), "<SCRIPT LANGUAGE=\"JavaScript\">\r<!-- Begin");
  EXPECT_NE(date[0].find("if (day==22) end=(\"nd\");\r"), String::npos);
  EXPECT_NE(date[0].find("if (month==3) name=(\"M\xE4rz\");\r"), String::npos);
  EXPECT_EQ(date[0].substr(date[0].size() - 38), "</script>" + String(29, ' '));
  // The full year: getYear gives 126 for 2026 in every browser of this century.
  EXPECT_NE(date[0].find("\ryear=today.getFullYear();\rmonth=today.getMonth()+1;\r"), String::npos);
  EXPECT_EQ(date[0].find("getYear"), String::npos);
  EXPECT_NE(date[0].find("\rif (year<100) year=\"19\" + year;\rdocument.write(day +\" . \"+name+\"  \"+year)\r"),
            String::npos);
  for (int s = 0; s < snSnippetCount; ++s) {
    auto ins = SnippetInsertions(TSnippet(s));
    ASSERT_FALSE(ins.empty()) << s;
    EXPECT_EQ(ins[0].find('\n'), String::npos) << s;  // line breaks are lone CRs
  }
  EXPECT_EQ(MailLink("a@b.de", "Post"), "<a Href=\"mailto:a@b.de\">Post</a>");
  EXPECT_EQ(IsIndexText("Suche"), "<Isindex prompt=\"Suche\">\r");
  EXPECT_EQ(SubScriptText("x"), "<Sub>x</Sub>");
  EXPECT_EQ(SuperScriptText("x"), "<Sup>x</Sup>");
}

// A link set on a word inside a line takes its place in the line; one on a whole line (up to its
// end, or over its line break) ends with a line break as before.
TEST(Links, ReplaceTheSelectionInItsLine) {
  const String link = "<a Href=\"s.htm\">Seite</a>";
  struct { const char* Line; int Column; bool Break; } cases[] = {
      {"Besuchen Sie unsere Seite, danke.", 25, false},  // "Seite" before ", danke."
      {"Seite, danke.", 5, false},
      {"x", 0, true},                                   // the selection took the line break
      {"Besuchen Sie unsere Seite", 25, true},          // ran to the line's end
      {"kurz", 40, true},                               // past the line's text
      {"", 0, true},
  };
  for (const auto& k : cases)
    EXPECT_EQ(LinkReplacement(link, k.Line, k.Column), k.Break ? link + "\r" : link) << k.Line << " " << k.Column;
}

TEST(InfoBox, DigitGroups) {
  EXPECT_EQ(GroupDigits(0, '.'), "");
  EXPECT_EQ(GroupDigits(999, '.'), "999");
  EXPECT_EQ(GroupDigits(1000, '.'), "1.000");
  EXPECT_EQ(GroupDigits(123456789, '.'), "123.456.789");
}

TEST(WorkingCopy, NameHoldsNoCharacterAFileNameCannotHold) {
  struct { const char* Caption; const char* File; } cases[] = {
      {"Unbenannt.htm", "Unbenannt.htm"}, {"FAQ?.htm", "FAQ_.htm"}, {"a\\b.htm", "a_b.htm"},
      {"a/b.htm", "a_b.htm"}, {"c:*<>|\".htm", "c______.htm"}};
  for (const auto& k : cases) EXPECT_EQ(WorkFileName(k.Caption), k.File) << k.Caption;
}

TEST(WorkingCopy, SecondUnsavedPageGetsItsOwnName) {
  EXPECT_EQ(UniqueWorkName("Unbenannt.htm", {}), "Unbenannt.htm");
  EXPECT_EQ(UniqueWorkName("Unbenannt.htm", {"unbenannt.htm"}), "Unbenannt-2.htm");
  EXPECT_EQ(UniqueWorkName("Unbenannt.htm", {"Unbenannt.htm", "Unbenannt-2.htm"}), "Unbenannt-3.htm");
}

}  // namespace
