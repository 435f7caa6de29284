// THTMLCompressor: options, loading, compressing and saving files, and its state through them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "htmlcompressor.h"

namespace {

std::string TempName(const char* name) { return std::string(ASTREL_BINARY_DIR) + "/quillet_compressor_" + name; }

void WriteFile(const std::string& name, const std::string& text) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  ASSERT_NE(f, nullptr) << name;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

std::string ReadFile(const std::string& name) {
  std::ifstream f(name, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string DataOf(const THTMLCompressor& c) { return std::string(c.Data().begin(), c.Data().end()); }

TEST(HTMLCompressor, StartsWithEveryOptionOnButBlockquoteToUl) {
  TComponent owner(nullptr);
  THTMLCompressor* c = new THTMLCompressor(&owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_TRUE(c->SimpleTags() && c->Center() && c->InvCommas() && c->Spaces() && c->Returns() &&
              c->AllReturns() && c->Webbots());
  EXPECT_FALSE(c->BlockquoteToUl());
  EXPECT_FALSE(c->HasData());
  EXPECT_EQ(c->SourceSize(), 0);
  EXPECT_EQ(c->CompressedSize(), 0);
  EXPECT_FALSE(c->Compressed());
}

TEST(HTMLCompressor, LoadCompressSaveOverTheSource) {
  const std::string name = TempName("seite.htm");
  const std::string page = "<p align=\"center\">\r\n<STRONG>Hallo   Welt</STRONG>\r\n</p>\r\n";
  WriteFile(name, page);
  THTMLCompressor c(nullptr);
  c.SetBlockquoteToUl(true);
  ASSERT_TRUE(c.LoadFromFile(name));
  EXPECT_EQ(c.SourceSize(), int(page.size()));
  EXPECT_EQ(DataOf(c), page);
  EXPECT_FALSE(c.Compressed());
  c.Compress();
  const std::string packed = "<center><b>Hallo Welt</b></center>";
  EXPECT_TRUE(c.Compressed());
  EXPECT_EQ(c.CompressedSize(), int(packed.size()));
  EXPECT_EQ(c.SourceSize(), int(page.size()));
  EXPECT_EQ(DataOf(c), packed);
  // A second Compress does nothing.
  c.SetSpaces(false);
  c.Compress();
  EXPECT_EQ(DataOf(c), packed);
  // Saving under the source's name replaces the page by its compressed form, as often as asked.
  EXPECT_TRUE(c.SaveToFile(name));
  EXPECT_TRUE(c.SaveToFile(name));
  EXPECT_EQ(ReadFile(name), packed);
  // A new load starts over.
  ASSERT_TRUE(c.LoadFromFile(name));
  EXPECT_FALSE(c.Compressed());
  EXPECT_EQ(c.CompressedSize(), 0);
  EXPECT_EQ(c.SourceSize(), int(packed.size()));
  std::remove(name.c_str());
}

TEST(HTMLCompressor, EmptyFileIsNotCompressed) {
  const std::string name = TempName("leer.htm");
  WriteFile(name, "");
  THTMLCompressor c(nullptr);
  ASSERT_TRUE(c.LoadFromFile(name));
  EXPECT_EQ(c.SourceSize(), 0);
  c.Compress();
  EXPECT_FALSE(c.Compressed());
  EXPECT_EQ(c.CompressedSize(), 0);
  std::remove(name.c_str());
}

TEST(HTMLCompressor, FailedLoadResetsTheResultAndKeepsTheText) {
  const std::string name = TempName("alt.htm");
  WriteFile(name, "<em>a</em>  b");
  THTMLCompressor c(nullptr);
  ASSERT_TRUE(c.LoadFromFile(name));
  c.Compress();
  ASSERT_EQ(DataOf(c), "<i>a</i> b");
  EXPECT_FALSE(c.LoadFromFile(TempName("fehlt/nicht-da.htm")));
  EXPECT_FALSE(c.Compressed());
  EXPECT_EQ(c.CompressedSize(), 0);
  EXPECT_EQ(c.SourceSize(), 13);
  EXPECT_EQ(DataOf(c), "<i>a</i> b");
  // Compressing again works on the text held (shorter than SourceSize) and reads nothing beyond it.
  c.Compress();
  EXPECT_TRUE(c.Compressed());
  EXPECT_EQ(DataOf(c), "<i>a</i> b");
  std::remove(name.c_str());
}

TEST(HTMLCompressor, SaveFailures) {
  THTMLCompressor c(nullptr);
  const std::string target = TempName("nie.htm");
  std::remove(target.c_str());
  // Nothing loaded: nothing written.
  EXPECT_FALSE(c.SaveToFile(target));
  EXPECT_FALSE(std::ifstream(target).good());
  const std::string name = TempName("quelle.htm");
  WriteFile(name, "<em>x</em>");
  ASSERT_TRUE(c.LoadFromFile(name));
  c.Compress();
  EXPECT_FALSE(c.SaveToFile(TempName("fehlt/ziel.htm")));
  EXPECT_FALSE(c.SaveToFile(""));
  std::remove(name.c_str());
}

TEST(HTMLCompressor, SaveBeforeCompressWritesTheLoadedPage) {
  const std::string name = TempName("roh.htm"), target = TempName("roh2.htm");
  WriteFile(name, "<em>x</em>\r\n\r\n");
  THTMLCompressor c(nullptr);
  ASSERT_TRUE(c.LoadFromFile(name));
  EXPECT_TRUE(c.SaveToFile(target));
  EXPECT_EQ(ReadFile(target), "<em>x</em>\r\n\r\n");
  std::remove(name.c_str());
  std::remove(target.c_str());
}

TEST(HTMLCompressor, BytesBeyondAsciiAndNulPassUnchanged) {
  const std::string name = TempName("bytes.htm");
  const char raw[] = "<p>\xC4rger \xFC" "ber\0Null</p>";
  const std::string page(raw, sizeof raw - 1);
  WriteFile(name, page);
  THTMLCompressor c(nullptr);
  ASSERT_TRUE(c.LoadFromFile(name));
  c.Compress();
  EXPECT_EQ(DataOf(c), page);
  std::remove(name.c_str());
}

}  // namespace
