// The compressor's passes, option by option: a table of input and expected output for each, run
// with only that option on, then a realistic page with every option on, and the compressor
// compared with the plain reading of the passes on many generated pages.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "compresspasses.h"
#include "reference_compressor.h"

namespace {

THTMLCompressOptions None() {
  THTMLCompressOptions o;
  o.SimpleTags = o.Center = o.InvCommas = o.Spaces = o.Returns = o.AllReturns = o.Webbots = false;
  o.BlockquoteToUl = false;
  return o;
}

struct Case {
  const char* In;
  const char* Out;
};

void RunTable(const THTMLCompressOptions& o, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(CompressHTMLString(c.In, o), c.Out) << "input: " << c.In;
    // The plain reading agrees, case by case.
    EXPECT_EQ(ReferenceCompressHTML(c.In, o), c.Out) << "reference, input: " << c.In;
  }
}

TEST(CompressPasses, NothingChangesWithEveryOptionOff) {
  RunTable(None(), {{"<STRONG>a</STRONG>  \r\n\r\n<p align=center>\"x\"</p>", "<STRONG>a</STRONG>  \r\n\r\n<p align=center>\"x\"</p>"},
                    {"", ""}});
}

TEST(CompressPasses, SimpleTags) {
  THTMLCompressOptions o = None();
  o.SimpleTags = true;
  RunTable(o, {
      {"<strong>a</strong> <em>b</em> <strike>c</strike>", "<b>a</b> <i>b</i> <s>c</s>"},
      {"<STRONG>x</Strong><EM>y</eM>", "<b>x</b><i>y</i>"},
      {"<strong class=x>a</strong>", "<strong class=x>a</b>"},
      // Protected regions keep their text.
      {"<pre><strong>x</strong></pre><strong>y</strong>", "<pre><strong>x</strong></pre><b>y</b>"},
      {"<PRE><em>x</em></PRE><em>", "<PRE><em>x</em></PRE><i>"},
      {"<textarea name=t><em>x</em></TEXTAREA><em>", "<textarea name=t><em>x</em></TEXTAREA><i>"},
      {"<script>w('<em>')</script><em>", "<script>w('<em>')</script><i>"},
      // An unclosed region ends the pass: nothing after it is rewritten.
      {"<em>a<pre><em>b", "<i>a<pre><em>b"},
      {"<pre>x</pre><em><script><em>", "<pre>x</pre><i><script><em>"},
  });
}

TEST(CompressPasses, BlockquoteToUl) {
  THTMLCompressOptions o = None();
  o.BlockquoteToUl = true;
  RunTable(o, {
      {"<blockquote>x</BLOCKQUOTE>", "<ul>x</ul>"},
      {"<blockquote class=q>x</blockquote>", "<blockquote class=q>x</ul>"},
      {"<textarea><blockquote></textarea><blockquote>", "<textarea><blockquote></textarea><ul>"},
  });
  THTMLCompressOptions d;
  EXPECT_FALSE(d.BlockquoteToUl);
  EXPECT_EQ(CompressHTMLString("<blockquote>x</blockquote>", d), "<blockquote>x</blockquote>");
}

TEST(CompressPasses, Center) {
  THTMLCompressOptions o = None();
  o.Center = true;
  RunTable(o, {
      {"<p align=center>T</p><p>x</p>", "<center>T</center><p>x</p>"},
      {"<P ALIGN=\"CENTER\">T</P>", "<center>T</center>"},
      {"<p align=center>a</p><p align=center>b</p>", "<center>a</center><center>b</center>"},
      {"<p align=\"center\">a</p><p align=center>b</p>", "<center>a</center><center>b</center>"},
      // The closer is the next "</p>", wherever it is.
      {"<p align=center>T<p>x</p>", "<center>T<p>x</center>"},
      {"<p align=center>T", "<center>T"},
      {"</p><p align=left>x</p>", "</p><p align=left>x</p>"},
      // Not inside protected regions.
      {"<p align=center>a<script>w('</p>')</script></p>", "<center>a<script>w('</p>')</script></center>"},
      {"<pre><p align=center>a</p></pre>", "<pre><p align=center>a</p></pre>"},
      {"<p align=center>a<pre>b</p>", "<center>a<pre>b</p>"},
  });
}

TEST(CompressPasses, InvCommas) {
  THTMLCompressOptions o = None();
  o.InvCommas = true;
  RunTable(o, {
      {"<input type=\"text\" name=\"f\" value=\"zwei Worte\">", "<input type=text name=f value=\"zwei Worte\">"},
      {"<input value=\"eins\"><img src=\"a.gif\" alt=\"Ein Bild\">", "<input value=eins><img src=a.gif alt=\"Ein Bild\">"},
      {"<IMG SRC=\"A.GIF\" WIDTH=\"50%\">", "<IMG SRC=A.GIF WIDTH=50%>"},
      {"<a \"x\">", "<a x>"},
      // A tag holding a single quote keeps all its double quotes.
      {"<a href=\"x.htm\" onclick=\"f('y')\">z</a><b class=\"c\">", "<a href=\"x.htm\" onclick=\"f('y')\">z</a><b class=c>"},
      // Comments, the document type and quotes in running text stay.
      {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">", "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">"},
      {"<!-- \"c\" -->Er sagte \"ja\" <b>", "<!-- \"c\" -->Er sagte \"ja\" <b>"},
      {"wenn a < b \"und\" c > d", "wenn a < b \"und\" c > d"},
      // Scripts, preformatted text and text areas stay, their own tag included.
      {"<script language=\"JavaScript\">x=\"<a href=\\\"y\\\">\"</script><a href=\"z\">",
       "<script language=\"JavaScript\">x=\"<a href=\\\"y\\\">\"</script><a href=z>"},
      {"<pre><a href=\"x\">\"q\"</a></pre><a href=\"z\">", "<pre><a href=\"x\">\"q\"</a></pre><a href=z>"},
      {"<textarea>\"<b class=\"x\">\"</textarea>", "<textarea>\"<b class=\"x\">\"</textarea>"},
      {"<a href=\"z\"><script>\"<b class=\"x\">", "<a href=z><script>\"<b class=\"x\">"},
      // Values that cannot stand without quotes keep them, whatever the attribute.
      {"<font face=\"comic sans MS\" size=\"2\">", "<font face=\"comic sans MS\" size=2>"},
      {"<Meta Name=\"Keywords\" Content=\" \">", "<Meta Name=Keywords Content=\" \">"},
      {"<img alt=\"\" src=\"a.gif\">", "<img alt=\"\" src=a.gif>"},
      {"<input value=\"a>b\" name=\"n\">", "<input value=\"a>b\" name=n>"},
      {"<a title = \"zwei Worte\" href =\r\n\"x.htm\">", "<a title = \"zwei Worte\" href =\r\nx.htm>"},
      // An unclosed value ends the pass.
      {"<p class=\"a\"><a href=\"x.htm>Text", "<p class=a><a href=\"x.htm>Text"},
  });
}

TEST(CompressPasses, Returns) {
  THTMLCompressOptions o = None();
  o.Returns = true;
  RunTable(o, {
      // Carriage return and line feed alternate: nothing doubles.
      {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
      {"a\r\r\rb\n\n\nc", "a\rb\nc"},
      {"<pre>a\n\nb\r\r</pre>", "<pre>a\n\nb\r\r</pre>"},
      {"<textarea>\r\r</textarea>\r\r", "<textarea>\r\r</textarea>\r"},
      // Inside scripts doubled line breaks still collapse.
      {"<script>a\n\nb</script>", "<script>a\nb</script>"},
      // The carriage-return pass skips tags, the line-feed pass does not.
      {"<a\r\r\n\n>", "<a\r\r\n>"},
      // Without Webbots a webbot tag stays.
      {"<!--webbot bot=x -->\r\r", "<!--webbot bot=x -->\r"},
  });
}

TEST(CompressPasses, AllReturns) {
  THTMLCompressOptions o = None();
  o.AllReturns = true;
  RunTable(o, {
      // A line break between two words stays (its carriage return goes: a line feed follows it).
      {"line1\r\nline2\r\n<br>\r\nline3", "line1\nline2<br>line3"},
      {"<p>\r\na\r\n</p>", "<p>a</p>"},
      {"a \r\nb\r\n c", "a b c"},
      {"a\r\n\r\n<p>", "a<p>"},
      {"a\r\r\rb", "a\rb"},
      {"a\n\n\nb\n<p>", "a\nb<p>"},
      // Beside a tag that is no block a line break shows as a blank: it becomes one.
      {"mit\r\n<b>fettem</b>\r\nText", "mit <b>fettem</b> Text"},
      {"mit\n<a href=x>Link</a>\nText", "mit <a href=x>Link</a> Text"},
      {"Bild\r<img src=x>\r<IMG src=y>\rText", "Bild <img src=x> <IMG src=y> Text"},
      {"a\r\n<!-- c -->\r\nb", "a <!-- c --> b"},
      {"a\r\n<pa>\r\n<para>", "a <pa> <para>"},
      {"a >\r\nb", "a > b"},
      // Beside a block tag, white space or the text's ends it shows nothing and goes.
      {"<p>\r\n<b>x</b>\r\n</p>", "<p><b>x</b></p>"},
      {"<TD>\r\nx\r\n</TD>\r\n<Td width=5>", "<TD>x</TD><Td width=5>"},
      {"Zeile\r\n<br>\r\n<img src=x>\r\n<BR/>", "Zeile<br><img src=x><BR/>"},
      {"<li><a href=x>a</a>\r\n<li>b\r\n</ul>", "<li><a href=x>a</a><li>b</ul>"},
      {"</h1>\n<i>x</i>\n<blockquote>", "</h1><i>x</i><blockquote>"},
      {"<b>a</b> \r\n<b>b</b>\r\n <i>", "<b>a</b> <b>b</b> <i>"},
      {"\r\n<b>x</b>\r\n", "<b>x</b>"},
      // Line breaks inside tags stay.
      {"<img\r\nsrc=x>", "<img\r\nsrc=x>"},
      {"<pre>a\r\n<b>\r\n</pre>", "<pre>a\r\n<b>\r\n</pre>"},
      {"<script>\r\nx\n\ny\r\n</script>\r\n", "<script>\r\nx\ny\r\n</script>"},
      // An unclosed script ends the passes that protect it; the doubled-break passes go on.
      {"<p>\r\n<script>\r\na\n\nb", "<p><script>\r\na\nb"},
  });
}

TEST(CompressPasses, Webbots) {
  THTMLCompressOptions o = None();
  o.Returns = true;
  o.Webbots = true;
  RunTable(o, {
      {"a<!--webbot bot=\"Timestamp\" startspan -->b", "ab"},
      {"<!--WEBBOT a --><!--webbot b -->c\r\r", "c\r"},
      {"<!--webbot bot=HTMLMarkup startspan --><b>fett</b><!--webbot bot=HTMLMarkup endspan -->", "<b>fett</b>"},
      {"x<!--webbot no end", "x<!--webbot no end"},
      {"<pre><!--webbot a --></pre>", "<pre><!--webbot a --></pre>"},
  });
  o.Returns = false;
  RunTable(o, {{"a<!--webbot b -->c", "a<!--webbot b -->c"}});
}

TEST(CompressPasses, Spaces) {
  THTMLCompressOptions o = None();
  o.Spaces = true;
  RunTable(o, {
      {"a      b  c", "a b c"},
      {"<p >x<br   >", "<p>x<br>"},
      {"<tr> <td>a</td> </tr>", "<tr><td>a</td></tr>"},
      {"<ul> <li>a</ul> <p>b</p> </p>", "<ul><li>a</ul><p>b</p></p>"},
      {"<b> <i>x</i> </b>", "<b> <i>x</i> </b>"},
      // Only before a block tag: between a word's tag and an inline tag the blank shows.
      {"<b>a</b> <tt>b</tt> <label>c</label> <p>d", "<b>a</b> <tt>b</tt> <label>c</label><p>d"},
      {"<i>a</i> <tbody> </TBODY> <Li> </tt> <pa>", "<i>a</i><tbody></tBODY><li> </tt> <pa>"},
      {"<pre>a   b  ></pre>", "<pre>a   b  ></pre>"},
      // A ">" in running text closes no tag: the blank before it shows.
      {"wenn c > d", "wenn c > d"},
      {"a < b  > c", "a < b > c"},
      {"<b>x</b> y > z <i >", "<b>x</b> y > z <i>"},
      {"if (a > b) <br >", "if (a > b) <br>"},
      {"<!-- x -- ></p >", "<!-- x --></p>"},
      {"< >", "< >"},
      {"<script>a  b</script>", "<script>a  b</script>"},
      {"<textarea> x  </textarea>  ", "<textarea> x  </textarea> "},
  });
}

std::string ReadFixture(const char* name) {
  std::ifstream f(std::string(ASTREL_SOURCE_DIR) + "/quillet/compressor/tests/fixtures/" + name, std::ios::binary);
  EXPECT_TRUE(f.good()) << name;
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(CompressPasses, RealisticPageWithEveryOption) {
  THTMLCompressOptions all;
  all.BlockquoteToUl = true;
  std::string page = ReadFixture("seite.htm");
  std::string expected = ReadFixture("seite.gepackt.htm");
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(CompressHTMLString(page, all), expected);
  EXPECT_EQ(ReferenceCompressHTML(page, all), expected);
}

// Pages built from pieces that the passes react to, every option chosen at random: the
// compressor must agree with the plain reading byte for byte, and never lengthen the text.
TEST(CompressPasses, AgreesWithThePlainReadingOnGeneratedPages) {
  static const char* const pieces[] = {
      "<", ">", "\"", "'", "=", "= \"", "\t", " ", "  ", "\r", "\n", "\r\n", "a", "Text", "<p>", "</p>", "<P ALIGN=CENTER>",
      "<p align=\"center\">", "<p align=center>", "<strong>", "</STRONG>", "<em>", "</em>", "<strike>", "</strike>",
      "<blockquote>", "</blockquote>", "<pre>", "</PRE>", "<textarea>", "</textarea>", "<script>", "</script>",
      "<!--webbot bot=x -->", "<!--webbot", "<!-- c -->", "<!DOCTYPE x>", "value=\"", "alt=\"", "=\"",
      "<input value=\"a b\">", "<img src=\"x.gif\" alt=\"\">", "> <t", "> </l", "<td>", "</tr>", "<li>", " >",
      "<b>", "</b>", "<tt>", "<br>", "</h1>", "<a href=x>", "<label>", "<blockquote >",  "<p/>", "x>\r\n",
      "<BLOCKQUOTEX>", "</figcaption>", "<",  "</",  "<td\r\n>",
  };
  std::mt19937 rng(20261210);
  for (int round = 0; round < 3000; ++round) {
    std::string page;
    int n = int(rng() % 40);
    for (int k = 0; k < n; ++k) page += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
    THTMLCompressOptions o;
    unsigned bits = rng();
    o.SimpleTags = bits & 1;
    o.Center = bits & 2;
    o.InvCommas = bits & 4;
    o.Spaces = bits & 8;
    o.Returns = bits & 16;
    o.AllReturns = bits & 32;
    o.Webbots = bits & 64;
    o.BlockquoteToUl = bits & 128;
    std::string fast = CompressHTMLString(page, o);
    ASSERT_EQ(fast, ReferenceCompressHTML(page, o)) << "options " << (bits & 255) << ", page: " << page;
    ASSERT_LE(fast.size(), page.size());
  }
}

}  // namespace
