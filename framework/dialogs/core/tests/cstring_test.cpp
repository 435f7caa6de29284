#include <gtest/gtest.h>

#include "CString.h"

TEST(CString, FormatUsesPointAndHandlesLongResults) {
  CString s;
  s.Format("%3s  %2.2f Pfg", "_A", 1.5);
  EXPECT_EQ(s, " _A  1.50 Pfg");
  CString big;
  big.Format("%s%s", std::string(300, 'x').c_str(), "y");
  EXPECT_EQ(big.GetLength(), 301);
  EXPECT_EQ(big.Right(1), "y");
}

TEST(CString, SubstringsFindsAndTrims) {
  CString s("  Kabel & Netz \t");
  s.TrimLeft();
  EXPECT_EQ(s, "Kabel & Netz \t");
  s.TrimRight();
  EXPECT_EQ(s, "Kabel & Netz");
  EXPECT_EQ(s.Find('&'), 6);
  EXPECT_EQ(s.Find("Netz"), 8);
  EXPECT_EQ(s.Find('x'), -1);
  EXPECT_EQ(s.Find('K', 1), -1);
  EXPECT_EQ(s.Find('K', 100), -1);
  EXPECT_EQ(s.ReverseFind('e'), 9);
  EXPECT_EQ(s.Mid(6, 100), "& Netz");
  EXPECT_EQ(s.Mid(100), "");
  EXPECT_EQ(s.Left(5), "Kabel");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Right(4), "Netz");
}

TEST(CString, CaseRulesTouchOnlyAsciiLetters) {
  CString s("aäöü-Zß");
  s.MakeUpper();
  EXPECT_EQ(s, "A\xE4\xF6\xFC-Z\xDF");
  EXPECT_EQ(CString("Anrufe").CompareNoCase("ANRUFE"), 0);
  EXPECT_LT(CString("a").Compare("b"), 0);
  // Bytes compare as unsigned: an umlaut sorts after every ASCII letter.
  EXPECT_GT(CString("\xE4").Compare("z"), 0);
}
