// The text viewer's markup: markers, their positions and the runs they give.
#include <gtest/gtest.h>

#include "TipMarkup.h"

#include <string>

namespace {

using Pairs = std::vector<std::pair<long, long>>;

TEST(TipMarkup, ExpandsBackslashPairsOnly) {
  EXPECT_EQ(ExpandTipMarkers("\\bfett\\b und \\vunter\\v, \\n bleibt"),
            CString("\x08" "fett\x08 und \x0Bunter\x0B, \\n bleibt"));
}

TEST(TipMarkup, RunsFromMarkerCounts) {
  struct Case {
    const char* text;
    const char* shown;
    Pairs bold, underline;
  } cases[] = {
      {"\x08" "ab\x08" "cd", "abcd", {{0, 2}}, {}},
      {"a\x08" "b\x08" "c\x08" "d", "abcd", {}, {}},  // three: no bold at all
      {"\x08" "a\x08" "b\x08" "c\x08", "abc", {{0, 1}, {2, 3}}, {}},
      {"x\x0B" "yy\x0B\x08" "z\x08", "xyyz", {{3, 4}}, {{1, 3}}},
      {"ohne", "ohne", {}, {}},
  };
  for (const Case& c : cases) {
    CTipRuns runs = StripTipMarks(c.text, false);
    EXPECT_EQ(runs.text, CString(c.shown)) << c.text;
    EXPECT_EQ(TipRunPairs(runs.bold), c.bold) << c.text;
    EXPECT_EQ(TipRunPairs(runs.underline), c.underline) << c.text;
  }
}

TEST(TipMarkup, LineBreaksCountAsTheControlStoresThem) {
  CString text = "Zeile\r\n\x08" "fett\x08\r\n\x0B" "u\x0B";
  CTipRuns plain = StripTipMarks(text, false);
  EXPECT_EQ(plain.text, CString("Zeile\r\nfett\r\nu"));
  EXPECT_EQ(TipRunPairs(plain.bold), (Pairs{{7, 11}}));
  EXPECT_EQ(TipRunPairs(plain.underline), (Pairs{{13, 14}}));
  CTipRuns collapsed = StripTipMarks(text, true);
  EXPECT_EQ(collapsed.text, plain.text);
  EXPECT_EQ(TipRunPairs(collapsed.bold), (Pairs{{6, 10}}));
  EXPECT_EQ(TipRunPairs(collapsed.underline), (Pairs{{11, 12}}));
}

TEST(TipMarkup, AtMostOneHundredPositionsOfEachKind) {
  CString text;
  for (int i = 0; i < 102; ++i) text += "\x08" "a";
  CTipRuns runs = StripTipMarks(text, false);
  EXPECT_EQ(runs.text.GetLength(), 102);
  ASSERT_EQ(runs.bold.size(), 100u);
  EXPECT_EQ(runs.bold.back(), 99);
  EXPECT_EQ(TipRunPairs(runs.bold).size(), 50u);
}

// A long text is cut where a reader would stop: a paragraph end, else a word end, else at the
// limit; the cut shows, the runs before it keep their looks, and a short text stays as it is.
TEST(TipMarkup, LongTextsAreCutAtABoundary) {
  struct Case {
    std::string text;
    bool markup;
    int limit;
    std::string shown;
  } cases[] = {
      {"kurz und gut", true, 20, "kurz und gut"},
      {std::string(20, 'a'), true, 20, std::string(20, 'a')},
      // A paragraph end in the second half of what fits wins over a later blank.
      {"erster Absatz\r\nzweiter Absatz geht weiter", false, 24, "erster Absatz ..."},
      {"erster Absatz\nzweiter Absatz geht weiter", false, 24, "erster Absatz ..."},
      // A paragraph end too early: the last word end.
      {"ab\nein langer Absatz ohne Ende hier", false, 24, "ab\nein langer ..."},
      // Neither: where the limit falls.
      {std::string(30, 'x'), false, 24, std::string(20, 'x') + " ..."},
      {"wort " + std::string(30, 'x'), false, 24, "wort " + std::string(15, 'x') + " ..."},
      // A bold run open at the cut is closed; one that was closed stays so.
      {"\\bfett und lang weiter\\b hier", true, 24, "\\bfett und lang\\b ..."},
      {"\\bfett\\b und \\vunter nicht mehr\\v", true, 29, "\\bfett\\b und \\vunter\\v ..."},
      // The first half of a marker at the cut goes.
      {std::string(15, 'x') + "\\b" + std::string(20, 'y'), true, 24, std::string(15, 'x') + " ..."},
      // Without markup, backslashes are text.
      {std::string(14, 'z') + "\\b" + std::string(20, 'w'), false, 24, std::string(14, 'z') + "\\bwwww ..."},
  };
  for (const Case& c : cases) {
    CString cut = CutTipText(CString(c.text), c.markup, c.limit);
    EXPECT_EQ(std::string(cut), c.shown) << c.text;
    if (static_cast<int>(c.text.size()) > c.limit) EXPECT_LE(cut.GetLength(), c.limit) << c.text;
  }
}

TEST(TipMarkup, AMegabyteParagraphBecomesATipOfTheLimit) {
  std::string words;
  while (words.size() < 5u * 1024 * 1024) words += "Surfen Sie heute \\bgünstig\\b mit Corvalen ";
  CString cut = CutTipText(CString(words), true);
  EXPECT_LE(cut.GetLength(), kMaxTipLength);
  EXPECT_GT(cut.GetLength(), kMaxTipLength / 2);
  const std::string shown(cut);
  EXPECT_EQ(shown.substr(shown.size() - 4), " ...");
  EXPECT_EQ(words.compare(0, shown.size() - 4, shown, 0, shown.size() - 4), 0);
  EXPECT_EQ(TipRunPairs(StripTipMarks(ExpandTipMarkers(cut), false).bold).size() * 2,
            StripTipMarks(ExpandTipMarkers(cut), false).bold.size());
  EXPECT_EQ(CutTipText(CString(std::string(kMaxTipLength, 'a')), true), CString(std::string(kMaxTipLength, 'a')));
}

}  // namespace

namespace {

TEST(TipMarkup, OnlyATipWithTextIsShown) {
  struct Case { const char* text; bool shown; } cases[] = {
      {"", false}, {" \r\n\t", false}, {"\\b\\b", false}, {"\\v \\v\r\n", false}, {"\x08\x0B", false},
      {"Heute", true}, {"\\bx\\b", true}, {"\\n", true}, {"\\", true},
  };
  for (const auto& c : cases) EXPECT_EQ(TipHasText(c.text), c.shown) << c.text;
}

}  // namespace
