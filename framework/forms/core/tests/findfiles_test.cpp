// File enumeration: wildcard patterns without letter case, the entries of a folder with their
// kinds and sizes, and folders that are not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "findfiles.h"

TEST(FindFiles, MatchesMaskIgnoresCaseAndTakesWildcards) {
  struct Case { const char* name; const char* mask; bool match; } cases[] = {
      {"bild.png", "*.PNG", true},   {"BILD.PNG", "*.png", true},  {"bild.png.txt", "*.png", false},
      {"a.gif", "*.gif", true},      {"agif", "*.gif", false},     {".gif", "*.gif", true},
      {"\xC4rger.JPG", "\xE4*.jpg", true}, {"x.jpeg", "*.jpg", false}, {"ab.c", "a?.c", true},
      {"a.c", "a?.c", false},        {"a.b.c", "*.*.c", true},     {"", "*", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}

TEST(FindFiles, ListsMatchingEntriesWithTheirFacts) {
  const std::filesystem::path dir = std::filesystem::path(ASTREL_BINARY_DIR) / "findfiles_dir";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "sub.png");
  for (const char* name : {"a.png", "B.PNG", "c.bmp"}) {
    std::FILE* f = std::fopen((dir / name).string().c_str(), "wb");
    std::fputs("12345", f);
    std::fclose(f);
  }
  std::vector<TSearchRec> found = FindFiles(dir.string(), "*.png");
  std::sort(found.begin(), found.end(), [](const TSearchRec& a, const TSearchRec& b) { return a.Name < b.Name; });
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].Name, "B.PNG");
  EXPECT_EQ(found[0].Size, 5);
  EXPECT_FALSE(found[0].Attr & faDirectory);
  EXPECT_NE(found[0].Changed, 0);
  EXPECT_EQ(found[2].Name, "sub.png");
  EXPECT_TRUE(found[2].Attr & faDirectory);
  EXPECT_EQ(FindFiles(dir.string() + "/", "*.bmp").size(), 1u);

  TSearchRec rec;
  EXPECT_TRUE(FileFacts((dir / "c.bmp").string(), rec));
  EXPECT_EQ(rec.Name, "c.bmp");
  EXPECT_FALSE(FileFacts((dir / "sub.png").string(), rec));
  EXPECT_FALSE(FileFacts((dir / "none.bmp").string(), rec));
  EXPECT_TRUE(DirectoryExists(dir.string()));
  EXPECT_FALSE(DirectoryExists((dir / "c.bmp").string()));
  EXPECT_TRUE(FindFiles((dir / "missing").string(), "*.png").empty());
}
