// String, number and file-name routines, and the code page 1252 case table.
#include <gtest/gtest.h>

#include "sysutils.h"

TEST(SysUtils, TrimCutsBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \t"), "  a");
  EXPECT_EQ(Trim("   "), "");
}

TEST(SysUtils, CaseTableCoversTheLettersOfCodePage1252) {
  // Sources are compiled to code page 1252: "Ä" is the byte 0xC4.
  EXPECT_EQ(AnsiUpperCase("äöüéàçšžœÿ"), "ÄÖÜÉÀÇŠŽŒŸ");
  EXPECT_EQ(AnsiLowerCase("ÄÖÜÉÀÇŠŽŒŸ"), "äöüéàçšžœÿ");
  // ß, µ and the signs × ÷ have no other case.
  EXPECT_EQ(AnsiUpperCase("ßµ×÷"), "ßµ×÷");
  EXPECT_EQ(AnsiLowerCase("×÷"), "×÷");
  // The plain variants leave everything but A-Z/a-z alone.
  EXPECT_EQ(UpperCase("abcä"), "ABCä");
  EXPECT_EQ(LowerCase("ABCÄ"), "abcÄ");
  EXPECT_EQ(AnsiCompareText("Über", "üBER"), 0);
  EXPECT_LT(AnsiCompareText("abc", "abd"), 0);
  EXPECT_TRUE(SameText("Größe", "GRÖßE"));
  EXPECT_FALSE(SameText("a", "ab"));
}

TEST(SysUtils, IntegerConversion) {
  struct Case { const char* text; bool ok; int value; };
  const Case cases[] = {
      {"0", true, 0},          {"-17", true, -17},          {"+5", true, 5},
      {"$1F", true, 31},       {"0x10", true, 16},          {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},               {"2147483648", false, 0},
      {"", false, 0},          {"12a", false, 0},           {" 1", false, 0},
      {"$", false, 0},         {"-", false, 0},
  };
  for (const Case& c : cases) {
    int v = -99;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_EQ(StrToIntDef("x", 7), 7);
  try {
    StrToInt("zwölf");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'zwölf' ist kein gültiger Integerwert");
  }
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToHex(0xC0FFEE, 6), "C0FFEE");
  EXPECT_EQ(IntToHex(5, 2), "05");
}

TEST(SysUtils, PositionsAndPieces) {
  EXPECT_EQ(Pos("lo", "hello"), 4);
  EXPECT_EQ(Pos("x", "hello"), 0);
  EXPECT_EQ(Copy("hello", 2, 3), "ell");
  EXPECT_EQ(Copy("hello", 4, 100), "lo");
  EXPECT_EQ(Copy("hello", 9, 1), "");
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(Format("%s=%d", "a", 5), "a=5");
}

TEST(SysUtils, FileNames) {
  struct Case { const char* name; const char* path; const char* dir; const char* file; const char* ext; };
  const Case cases[] = {
      {"C:\\Programme\\Editor\\seite.htm", "C:\\Programme\\Editor\\", "C:\\Programme\\Editor", "seite.htm", ".htm"},
      {"C:\\seite", "C:\\", "C:\\", "seite", ""},
      {"daten/bild.tar.gz", "daten/", "daten", "bild.tar.gz", ".gz"},
      {"ordner.neu\\datei", "ordner.neu\\", "ordner.neu", "datei", ""},
      {"nur", "", "", "nur", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("a\\seite.htm", ".bak"), "a\\seite.bak");
  EXPECT_EQ(ChangeFileExt("ordner.neu\\datei", ".htm"), "ordner.neu\\datei.htm");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\x"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\x\\"), "C:\\x\\");
}
