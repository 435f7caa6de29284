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
    EntryNameCheck check;
  } cases[] = {
      {"Quillet.exe", kNameSafe}, {"DATEN/Hilfe/QUILLET.HLP", kNameSafe}, {"a..b/c..d", kNameSafe},
      {"ordner/", kNameSafe}, {".profil", kNameSafe}, {"a//b", kNameSafe},
      {"", kNameEscapes}, {"..", kNameEscapes}, {"../a", kNameEscapes},
      {"a/../b", kNameEscapes}, {"a/..", kNameEscapes}, {"a\\..\\b", kNameEscapes},
      {"/etc/x", kNameEscapes}, {"\\x", kNameEscapes}, {"C:x", kNameEscapes},
      {"C:\\x", kNameEscapes}, {"a:b", kNameEscapes}, {"tab\there", kNameEscapes},
      {"..\\", kNameEscapes}, {"CON/../x", kNameEscapes}, {"a./../b", kNameEscapes},
      // Windows drops a trailing dot or blank: "a." would be written as "a".
      {"a.", kNameReserved}, {"a ", kNameReserved}, {"...", kNameReserved},
      {"./a.txt", kNameReserved}, {"ordner./x", kNameReserved}, {"ordner /x", kNameReserved},
      {"x/ ", kNameReserved}, {"ende./", kNameReserved},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckEntryName(c.name, strlen(c.name)), c.check);
    EXPECT_EQ(IsSafeEntryName(c.name, strlen(c.name)), c.check == kNameSafe);
  }
  EXPECT_EQ(CheckEntryName("a\0b", 3), kNameEscapes);
}

// A name that opens a device: the device name alone or before the first dot (blanks in front of
// the dot dropped), in any letter case, at any folder level.
TEST(EntryPath, DeviceNames) {
  const char* devices[] = {"CON", "con", "Nul", "AUX.txt", "aux.tar.gz", "PRN", "COM1", "com9.log",
                           "COM0", "LPT1.txt", "lpt9", "COM\xB9", "lpt\xB2.x", "COM\xB3", "NUL .txt",
                           "CONIN$", "conout$.log", "Com1/", "DATEN/con/x", "x/AUX/y/z", "a/b/PRN.tar.gz"};
  for (const char* n : devices) {
    SCOPED_TRACE(n);
    EXPECT_EQ(CheckEntryName(n, strlen(n)), kNameReserved);
  }
  const char* files[] = {"CONSOLE.txt", "nul2", "COM10", "LPT", "xCON", "a.CON", "COM1x.txt",
                         "AUX_/x", "CO", "COM\xB4", "LPTA.txt", "con_1", "NULL"};
  for (const char* n : files) {
    SCOPED_TRACE(n);
    EXPECT_EQ(CheckEntryName(n, strlen(n)), kNameSafe);
  }
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
