#include "highlighter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

class TLines : public THighlightLines {
public:
  std::vector<std::string> L;
  int LineCount() const override { return int(L.size()); }
  const std::string& LineText(int i) const override { return L[size_t(i)]; }
};

constexpr TColor kFont = clBlack;
constexpr TColor kBack = clWindow;

struct THl {
  TLines Lines;
  TSyntaxHighlighter H;
  TLineAttrs A;
  explicit THl(THighLighter hl, std::vector<std::string> lines = {}, bool docColors = true) {
    Lines.L = std::move(lines);
    if (docColors) H.Colors().SetDocumentWindowColors();
    H.SetHighLighter(hl, Lines);
    H.Rescan(Lines);
  }
  // Attributes of line i; `col` below is 0-based, entry col + 1.
  const TLineAttrs& Line(int i) {
    H.GetAttr(i, Lines.L[size_t(i)], kFont, {}, kBack, A);
    return A;
  }
};

void ExpectLook(const TLineAttrs& a, int firstCol, int lastCol, const TSymbolColor& look,
                const char* what) {
  for (int c = firstCol; c <= lastCol; ++c) {
    EXPECT_EQ(a[c + 1].Fore, look.ForeColor) << what << " column " << c;
    EXPECT_EQ(a[c + 1].Style, look.Style) << what << " column " << c;
    EXPECT_EQ(a[c + 1].Back, look.BackColor) << what << " column " << c;
  }
}

TEST(Highlighter, HtmlTagWithAttributeAndValue) {
  THl h(hlHtml, {"<table border=1> x &amp; &AElig; &zz;"});
  const TColors& k = h.H.Colors();
  const TLineAttrs& a = h.Line(0);
  ExpectLook(a, 0, 0, k.Reserved, "<");
  ExpectLook(a, 1, 5, k.Reserved, "table");
  ExpectLook(a, 7, 12, k.Identifer, "border");
  ExpectLook(a, 13, 13, k.Symbol, "=");
  ExpectLook(a, 14, 14, k.Strings, "1");
  ExpectLook(a, 15, 15, k.Reserved, ">");
  ExpectLook(a, 17, 17, k.PlainText, "x");
  ExpectLook(a, 19, 23, k.Preproc, "&amp;");
  ExpectLook(a, 25, 31, k.Preproc, "&AElig;");
  ExpectLook(a, 33, 36, k.PlainText, "&zz;");
  EXPECT_EQ(k.Reserved.ForeColor, clBlue);
  EXPECT_TRUE(k.Reserved.Style.Contains(fsBold));
  EXPECT_EQ(k.Identifer.ForeColor, clMaroon);
  // Past the text: the editor's font colour and background.
  EXPECT_EQ(a[38].Fore, kFont);
  EXPECT_EQ(a[1024].Back, kBack);
}

TEST(Highlighter, HtmlTagOverSeveralLines) {
  THl h(hlHtml, {"<img", "src=x.gif", "alt=y> text", "plain"});
  EXPECT_EQ(h.H.LineState(1), lsTag);
  EXPECT_EQ(h.H.LineState(2), lsTag);
  EXPECT_EQ(h.H.LineState(3), lsNone);
  const TColors& k = h.H.Colors();
  ExpectLook(h.Line(1), 0, 2, k.Identifer, "src");
  ExpectLook(h.Line(1), 4, 8, k.Strings, "x.gif");
  const TLineAttrs& a = h.Line(2);
  ExpectLook(a, 5, 5, k.Reserved, ">");
  ExpectLook(a, 7, 10, k.PlainText, "text after the tag");
}

TEST(Highlighter, ABareLessThanSignIsTextAndOpensNoTag) {
  THl h(hlHtml, {"a < b and c<3", "<b>fett</b> x<", "plain", "<!-- x", "-->"});
  const TColors& k = h.H.Colors();
  EXPECT_EQ(h.H.LineState(1), lsNone);
  EXPECT_EQ(h.H.LineState(2), lsNone);  // "x<" at the line's end opens nothing either
  EXPECT_EQ(h.H.LineState(4), lsTag);   // a comment does
  ExpectLook(h.Line(0), 0, 12, k.PlainText, "text with bare <");
  ExpectLook(h.Line(1), 0, 0, k.Reserved, "<");
  ExpectLook(h.Line(1), 1, 1, k.Reserved, "b");
  ExpectLook(h.Line(1), 3, 6, k.PlainText, "fett");
  ExpectLook(h.Line(2), 0, 4, k.PlainText, "plain");
}

TEST(Highlighter, ALineCommentOpensNoBlockComment) {
  for (THighLighter hl : {hlCBuilder, hlJava, hlPascal}) {
    THl h(hl, {"x = 1; // not /* a block", "y", "{ b } // ( * { c", "z"}, false);
    EXPECT_EQ(h.H.LineState(1), lsNone) << hl;
    EXPECT_EQ(h.H.LineState(2), lsNone) << hl;
    EXPECT_NE(h.H.LineState(3), lsBrace) << hl;
  }
}

TEST(Highlighter, PascalBraceCommentCarriesToTheClosingBrace) {
  THl h(hlPascal, {"x := 1; { open", "begin end", "} begin", "end"}, false);
  const TColors& k = h.H.Colors();
  EXPECT_EQ(h.H.LineState(1), lsBrace);
  ExpectLook(h.Line(1), 0, 8, k.Comment, "inside");
  const TLineAttrs& a = h.Line(2);
  ExpectLook(a, 0, 0, k.Comment, "closing brace");
  ExpectLook(a, 2, 6, k.Reserved, "begin after the comment");
  ExpectLook(h.Line(3), 0, 2, k.Reserved, "end");
  ExpectLook(h.Line(0), 0, 0, k.Identifer, "x");
  ExpectLook(h.Line(0), 5, 5, k.Number, "1");
  ExpectLook(h.Line(0), 8, 13, k.Comment, "opening comment");
}

TEST(Highlighter, LanguageRules) {
  {
    THl h(hlCBuilder, {"#include <x>", "int a = 0x1F;"}, false);
    const TColors& k = h.H.Colors();
    ExpectLook(h.Line(0), 0, 11, k.Preproc, "preprocessor line");
    const TLineAttrs& a = h.Line(1);
    ExpectLook(a, 0, 2, k.Reserved, "int");
    ExpectLook(a, 8, 8, k.Number, "0");
    ExpectLook(a, 9, 11, k.Number, "x1F");
  }
  {
    THl h(hlPython, {"def foo(x): print(None)", "# c"}, false);
    const TColors& k = h.H.Colors();
    const TLineAttrs& a = h.Line(0);
    ExpectLook(a, 0, 2, k.Reserved, "def");
    ExpectLook(a, 4, 6, k.Declaration, "foo");
    ExpectLook(a, 12, 16, k.Reserved, "print before (");
    ExpectLook(a, 18, 21, k.Number, "None");
    ExpectLook(h.Line(1), 0, 2, k.Comment, "comment line");
  }
  {
    THl h(hlIni, {"[Section]", "key=value", "; note"}, false);
    const TColors& k = h.H.Colors();
    ExpectLook(h.Line(0), 0, 8, k.Declaration, "section");
    ExpectLook(h.Line(1), 0, 2, k.Identifer, "key");
    ExpectLook(h.Line(1), 3, 3, k.Symbol, "=");
    ExpectLook(h.Line(1), 4, 8, k.Strings, "value");
    ExpectLook(h.Line(2), 0, 5, k.Comment, "comment");
  }
  {
    THl h(hlVB, {"Sub Main ' done", "x = \"s\""}, false);
    const TColors& k = h.H.Colors();
    ExpectLook(h.Line(0), 4, 7, k.Declaration, "name after Sub");
    ExpectLook(h.Line(0), 9, 14, k.Comment, "comment");
    ExpectLook(h.Line(1), 4, 6, k.Strings, "string");
  }
  {
    THl h(hlPerl, {"my $x = \"a", "b\"; print"}, false);
    const TColors& k = h.H.Colors();
    EXPECT_EQ(h.H.LineState(1), lsString);
    ExpectLook(h.Line(0), 3, 4, k.FunctionCall, "$x");
    ExpectLook(h.Line(1), 0, 1, k.Strings, "rest of the string");
    ExpectLook(h.Line(1), 4, 8, k.Statement, "print");
  }
  {
    THl h(hlJava, {"/* a", "b */ int"}, false);
    EXPECT_EQ(h.H.LineState(1), lsBlock);
    ExpectLook(h.Line(1), 0, 3, h.H.Colors().Comment, "comment end");
    ExpectLook(h.Line(1), 5, 7, h.H.Colors().Reserved, "int");
  }
}

TEST(Highlighter, ReservedWordHandlerDecidesWithNone) {
  THl h(hlNone, {"foo bar 12"}, false);
  h.H.OnReservedWord = [](const std::string& t, bool& r) { r = t == "foo"; };
  const TColors& k = h.H.Colors();
  const TLineAttrs& a = h.Line(0);
  ExpectLook(a, 0, 2, k.Reserved, "foo");
  ExpectLook(a, 4, 6, k.Identifer, "bar");
  ExpectLook(a, 8, 9, k.Number, "12");
  h.H.OnReservedWord = nullptr;
  ExpectLook(h.Line(0), 0, 9, k.PlainText, "plain without a handler");
}

TEST(Highlighter, NeverWritesPastTheAttributeColumns) {
  std::string longLine = "<" + std::string(2000, 'a') + " b=c>";
  THl h(hlHtml, {longLine, std::string(3000, '&') + "amp;"});
  TLineAttr sentinel;
  sentinel.Fore = 0x123456;
  h.A.Entries[1025] = sentinel;
  h.Line(0);
  EXPECT_EQ(h.A.Entries[1025], sentinel);
  ExpectLook(h.A, 0, 0, h.H.Colors().Reserved, "<");
  ExpectLook(h.A, 1, 1023, h.H.Colors().PlainText, "long word");  // not a tag name
  h.Line(1);
  EXPECT_EQ(h.A.Entries[1025], sentinel);
}

TEST(Highlighter, LinesPastTheStateArrayAreStateZero) {
  std::vector<std::string> lines(70000, "x");
  lines[65530] = "<a";
  THl h(hlHtml, lines);
  EXPECT_EQ(h.H.LineState(65531), lsTag);
  EXPECT_EQ(h.H.LineState(65536), lsTag);
  EXPECT_EQ(h.H.LineState(65537), lsNone);
  EXPECT_EQ(h.H.LineState(69999), lsNone);
  h.Line(69999);  // must not read past the array
  ExpectLook(h.A, 0, 0, h.H.Colors().PlainText, "outside a tag");
  // Edits far below the array: typing, a new line, a removed line.
  h.Lines.L[69000] += "<";
  EXPECT_EQ(h.H.LinesChanged(h.Lines, 68999, 0, 69001), -1);
  h.Lines.L.insert(h.Lines.L.begin() + 69001, "x");
  h.H.LinesChanged(h.Lines, 69000, 1);
  h.Lines.L.erase(h.Lines.L.begin() + 69001);
  h.H.LinesChanged(h.Lines, 69000, -1);
  EXPECT_EQ(h.H.LineState(65536), lsTag);
}

// After any edit, the incrementally kept states equal a full rescan of the new text.
TEST(Highlighter, IncrementalStatesAgreeWithFullRescan) {
  const char* pieces[] = {"<", ">", "a", " ", "{", "}", "(*", "*)", "\"", "'", "/*", "*/"};
  for (THighLighter hl : {hlHtml, hlPascal, hlCBuilder, hlPython}) {
    std::mt19937 rng(7 + int(hl));
    TLines text;
    for (int i = 0; i < 40; ++i) text.L.push_back("a");
    TSyntaxHighlighter inc;
    inc.SetHighLighter(hl, text);
    inc.Rescan(text);
    for (int step = 0; step < 400; ++step) {
      const int y = int(rng() % text.L.size());
      int delta = 0;
      switch (rng() % 4) {
        case 0:
        case 1:
          text.L[size_t(y)] += pieces[rng() % 12];
          break;
        case 2: {
          const int n = 1 + int(rng() % 3);
          for (int k = 0; k < n; ++k) text.L.insert(text.L.begin() + y + 1, pieces[rng() % 12]);
          delta = n;
          break;
        }
        default: {
          const int n = std::min<int>(int(rng() % 3) + 1, int(text.L.size()) - 1 - y);
          text.L.erase(text.L.begin() + y + 1, text.L.begin() + y + 1 + n);
          delta = -n;
          break;
        }
      }
      inc.LinesChanged(text, y, delta);
      TSyntaxHighlighter full;
      full.SetHighLighter(hl, text);
      full.Rescan(text);
      for (int i = 0; i < text.LineCount(); ++i)
        ASSERT_EQ(inc.LineState(i), full.LineState(i)) << "language " << hl << " step " << step
                                                       << " line " << i;
    }
  }
}

TEST(Highlighter, DeletingNearTheArrayEndComputesTheLinesThatMoveUp) {
  std::vector<std::string> lines(65600, "x");
  lines[65560] = "<a";
  THl h(hlHtml, lines);
  EXPECT_EQ(h.H.LineState(65536), lsNone);
  // Delete 100 lines in the middle: the "<a" line moves to 65460.
  h.Lines.L.erase(h.Lines.L.begin() + 1001, h.Lines.L.begin() + 1101);
  h.H.LinesChanged(h.Lines, 1000, -100);
  EXPECT_EQ(h.H.LineState(65460), lsNone);
  EXPECT_EQ(h.H.LineState(65461), lsTag);
  EXPECT_EQ(h.H.LineState(65499), lsTag);  // the last line
}

TEST(Highlighter, DefaultColorsAndAssign) {
  TColors c;
  EXPECT_EQ(c.Comment.ForeColor, clOlive);
  EXPECT_TRUE(c.Comment.Style.Contains(fsItalic));
  EXPECT_EQ(c.Strings.ForeColor, clPurple);
  EXPECT_EQ(c.Statement.Style, TFontStyles(fsBold));
  TColors d;
  d.SetDocumentWindowColors();
  c.Assign(&d);
  EXPECT_EQ(c.Comment.ForeColor, clRed);
  EXPECT_EQ(c.Identifer.ForeColor, clMaroon);
  EXPECT_EQ(c.PlainText.ForeColor, clBlack);
  EXPECT_THROW(c.Comment.Assign(&d), EConvertError);
}

TEST(Colors, SystemColorsResolveToTheScheme) {
  EXPECT_EQ(ColorToRGB(clWindow), RGBColor(255, 255, 255));
  EXPECT_EQ(ColorToRGB(clHighlight), RGBColor(0, 0, 128));
  EXPECT_EQ(ColorToRGB(clRed), RGBColor(255, 0, 0));
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(StringToColor("clMaroon"), clMaroon);
  SetSystemColorLookup([](int i) { return TColor(i); });
  EXPECT_EQ(ColorToRGB(clBtnFace), 15);
  SetSystemColorLookup(nullptr);
  EXPECT_THROW(StringToColor("Blau"), EConvertError);
}

}  // namespace
