#include "tokenparser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TTok {
  std::string Text;
  int Start, End;
};

std::vector<TTok> Tokens(const char* text, int style, bool comments = true) {
  TTokenParser p;
  p.SetStyle(style);
  p.SetCommentsAsTokens(comments);
  p.SetText(text);
  std::vector<TTok> out;
  for (std::string t = p.NextToken(); !t.empty(); t = p.NextToken())
    out.push_back({t, p.TokenStart(0), p.TokenEnd(0)});
  return out;
}

std::vector<std::string> Texts(const char* text, int style, bool comments = true) {
  std::vector<std::string> out;
  for (const TTok& t : Tokens(text, style, comments)) out.push_back(t.Text);
  return out;
}

using V = std::vector<std::string>;

TEST(TokenParser, TokensPerStyle) {
  struct TCase {
    const char* Text;
    int Style;
    bool Comments;
    V Expected;
  };
  const TCase cases[] = {
      {"{a} b", 1, true, {"{a}", "b"}},
      {"{a} b", 1, false, {"b"}},
      {"</b>", 5, true, {"<", "/", "b", ">"}},
      {"$1F", 1, true, {"$1F"}},
      {"$G", 1, true, {"$", "G"}},
      {"x (* open", 1, true, {"x", "(* open"}},
      {"a\tb", 1, true, {"a", "\t", "b"}},
      {"a\tb", 2, true, {"a", "\t", "b"}},
      {"a\tb", 5, true, {"a\tb"}},
      {"x // rest", 2, true, {"x", "// rest"}},
      {"/* c */ y", 2, true, {"/* c */", "y"}},
      {"*/ y", 2, true, {"*/ y"}},
      {"} y", 1, true, {"} y"}},
      {"# note", 3, true, {"# note"}},
      {"x ' remark", 4, true, {"x", "' remark"}},
      {"$var %h @a &f", 6, true, {"$var", "%h", "@a", "&f"}},
      {"3.14.1 x", 2, true, {"3.14.1", "x"}},
      {"a=\"b c\">", 5, true, {"a", "=", "\"b c\"", ">"}},
      {"<a/b>", 5, true, {"<", "a/b", ">"}},
      {"0x1F", 2, true, {"0", "x1F"}},
      {"  ", 1, true, {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(Texts(c.Text, c.Style, c.Comments), c.Expected) << c.Text;
}

TEST(TokenParser, DoubledQuoteBecomesOneAndColumnsCoverTheSource) {
  const auto t = Tokens("x 'it''s' y", 1);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[1].Text, "'it's'");
  EXPECT_EQ(t[1].Start, 3);  // the opening quote
  EXPECT_EQ(t[1].End, 9);    // the closing quote
  EXPECT_EQ(t[2].Start, 11);
}

TEST(TokenParser, EscapedDoubleQuoteStaysInsideTheString) {
  EXPECT_EQ(Texts(R"(a "x\"y" b)", 2), (V{"a", R"("x\"y")", "b"}));
  // Pascal has no double-quoted strings.
  EXPECT_EQ(Texts(R"("x")", 1), (V{"\"", "x", "\""}));
}

TEST(TokenParser, UnclosedCommentWithoutCommentTokensRaisesAtItsPosition) {
  TTokenParser p;
  p.SetText("ab (* x");
  EXPECT_EQ(p.NextToken(), "ab");
  try {
    p.NextToken();
    FAIL() << "no error";
  } catch (const ETokenParserError& e) {
    EXPECT_EQ(e.ErrorCode, 1);
    EXPECT_EQ(e.Position, 3);
  }
}

TEST(TokenParser, HistoryReachesBackAndResizes) {
  TTokenParser p;
  p.SetText("aa bb cc");
  p.NextToken();
  p.NextToken();
  p.NextToken();
  EXPECT_EQ(p.Token(0), "cc");
  EXPECT_EQ(p.Token(2), "aa");
  EXPECT_EQ(p.TokenStart(1), 4);
  EXPECT_EQ(p.TokenEnd(1), 5);
  p.SetHistorySize(2);
  EXPECT_EQ(p.HistorySize(), 2);
  p.SetText("x y z");
  p.NextToken();
  p.NextToken();
  p.NextToken();
  EXPECT_EQ(p.Token(0), "z");
  EXPECT_EQ(p.Token(1), "y");
  EXPECT_EQ(p.Token(2), "z");  // wrapped around a history of two
}

TEST(TokenParser, PlainTests) {
  struct TCase {
    const char* Text;
    bool Ident, Int, Float;
  };
  const TCase cases[] = {
      {"", false, false, false},       {"_a1", true, false, false}, {"1a", false, false, false},
      {"123", false, true, true},      {"-12", false, true, true},  {"-", false, false, false},
      {"$", false, false, false},      {"$1F", false, true, false}, {"$G", false, false, false},
      {"1.5", false, false, true},     {"1.5.", false, false, false},
      {"1e5", false, false, false},    {"-.5", false, false, true},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(IsIdentifier(c.Text), c.Ident) << c.Text;
    EXPECT_EQ(IsInteger(c.Text), c.Int) << c.Text;
    EXPECT_EQ(IsFloat(c.Text), c.Float) << c.Text;
  }
}

}  // namespace
