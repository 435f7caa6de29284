// Entry names, target paths and folder creation.
#include "entry_path.h"

#include <gtest/gtest.h>

#include <string>

#include "native_tree.h"
#include "posix_host.h"

using namespace vexel;

namespace {

TEST(EntryPath, SafeNames) {
  struct Case {
    const char* name;
    bool safe;
  } cases[] = {
      {"Quillet.exe", true}, {"DATEN/Hilfe/QUILLET.HLP", true}, {"a..b/c..", true}, {"...", true},
      {"ordner/", true},     {"./a.txt", true},                 {"", false},        {"..", false},
      {"../a", false},       {"a/../b", false},                 {"a/..", false},    {"a\\..\\b", false},
      {"/etc/x", false},     {"\\x", false},                    {"C:x", false},     {"C:\\x", false},
      {"a:b", false},        {"tab\there", false},              {"..\\", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsSafeEntryName(c.name, strlen(c.name)), c.safe);
  }
  EXPECT_FALSE(IsSafeEntryName("a\0b", 3));
}

TEST(EntryPath, TargetPaths) {
  char out[64];
  ASSERT_TRUE(MakeTargetPath("C:\\DESIGNER", "DATEN/Hilfe/QUILLET.HLP", out, sizeof out));
  EXPECT_STREQ(out, "C:\\DESIGNER\\DATEN\\Hilfe\\QUILLET.HLP");
  ASSERT_TRUE(MakeTargetPath("C:\\D", "ordner/", out, sizeof out));
  EXPECT_STREQ(out, "C:\\D\\ordner");
  ASSERT_TRUE(MakeTargetPath("C:", "x", out, 5));  // exactly fits with its NUL
  EXPECT_FALSE(MakeTargetPath("C:", "xy", out, 5));

  char folder[] = "C:\\Ziel\\";
  StripTrailingBackslash(folder);
  EXPECT_STREQ(folder, "C:\\Ziel");
  StripTrailingBackslash(folder);
  EXPECT_STREQ(folder, "C:\\Ziel");
}

TEST(EntryPath, CreatesEveryMissingFolder) {
  const std::string root = vexel_test::MakeTempFolder();
  PosixHost host(root + "/none");
  const std::string deep = root + "\\a\\b\\c";
  EXPECT_TRUE(CreateFolderTree(host, deep.c_str()));
  EXPECT_TRUE(host.FolderExists(deep.c_str()));
  EXPECT_TRUE(CreateFolderTree(host, deep.c_str()));  // exists already
  vexel_test::WriteFile(root + "/datei", "x");
  const std::string blocked = root + "\\datei\\unter";
  EXPECT_FALSE(CreateFolderTree(host, blocked.c_str()));
  vexel_test::RemoveTree(root);
}

}  // namespace
