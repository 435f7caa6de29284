// The text viewer's markup: markers, their positions and the runs they give.
#include <gtest/gtest.h>

#include "TipMarkup.h"

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
