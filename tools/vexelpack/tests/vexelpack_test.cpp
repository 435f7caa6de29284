// The packer lays out program image, configuration block and archive as the installer reads them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "config_block.h"
#include "native_tree.h"
#include "posix_host.h"
#include "zip_walker.h"

using namespace vexel;
using namespace vexel_test;

namespace {

class VexelpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeTempFolder();
    WriteFile(root_ + "/src/Quillet.exe", MixedData(3000, 1));
    WriteFile(root_ + "/src/DATEN/Hilfe/QUILLET.HLP", MixedData(700, 2));
    ASSERT_EQ(0, Shell("cd '" + root_ + "/src' && zip -q -r ../a.zip Quillet.exe DATEN"));
    WriteFile(root_ + "/prog.exe", std::string("MZ") + MixedData(998, 3));
  }
  void TearDown() override { RemoveTree(root_); }

  // Runs the packer; its messages are kept in errors_.
  int Pack(const std::string& args, const std::string& program = "prog.exe", const std::string& zip = "a.zip",
           const std::string& out = "Setup.exe") {
    const char* packer = getenv("VEXELPACK");
    EXPECT_TRUE(packer);
    const int rc = system((std::string(packer ? packer : "false") + " --program '" + root_ + "/" + program +
                           "' --zip '" + root_ + "/" + zip + "' --out '" + root_ + "/" + out + "' " + args + " 2>'" +
                           root_ + "/errors'")
                              .c_str());
    errors_ = ReadFile(root_ + "/errors");
    return rc;
  }

  std::vector<std::string> Listed(uint64_t origin) {
    PosixHost host(root_ + "/Setup.exe");
    PasswordStore pw{};
    WalkOptions o{origin, root_.c_str(), &pw};
    EXPECT_TRUE(WalkArchive(host, o, true));
    std::vector<std::string> names;
    for (auto& item : host.items) names.push_back(item.first);
    return names;
  }

  std::string root_, errors_;
};

// A text of the walk (code page 1252, as the installer shows it) as the packer prints it (UTF-8).
std::string Utf8(const std::string& cp1252) {
  std::string out;
  for (unsigned char c : cp1252) {
    if (c < 0x80) {
      out += (char)c;
    } else {  // the walk's texts hold only Latin-1 letters
      out += (char)(0xC0 | (c >> 6));
      out += (char)(0x80 | (c & 0x3F));
    }
  }
  return out;
}

TEST_F(VexelpackTest, ImageBlockAndArchive) {
  ASSERT_EQ(0, Pack("--flags 0x11 --title 'Programm Name :   Quillet   Version 1.6' --folder 'C:\\DESIGNER' "
                    "--run '><\\Quillet.exe|><'"));
  const std::string setup = ReadFile(root_ + "/Setup.exe");
  const std::string zip = ReadFile(root_ + "/a.zip");
  ASSERT_EQ(setup.size(), 38400u + 256u + zip.size());
  EXPECT_EQ(setup.substr(0, 1000), ReadFile(root_ + "/prog.exe"));
  EXPECT_EQ(setup.substr(1000, 38400 - 1000), std::string(38400 - 1000, '\0'));
  EXPECT_EQ(setup.substr(38656), zip);
  ConfigBlock c;
  ASSERT_EQ(ReadConfigBlock((const unsigned char*)setup.data() + 38400, 256, c), kConfigOk);
  EXPECT_STREQ(c.title, "Programm Name :   Quillet   Version 1.6");
  EXPECT_STREQ(c.folder, "C:\\DESIGNER");
  EXPECT_STREQ(c.run, "><\\Quillet.exe|><");
  EXPECT_EQ(c.defaultRule, kRuleSkip);
  EXPECT_TRUE(c.offerRun);
  EXPECT_FALSE(c.selectableList);
  EXPECT_EQ(Listed(c.zipOrigin),
            (std::vector<std::string>{"Quillet.exe", "DATEN/", "DATEN/Hilfe/", "DATEN/Hilfe/QUILLET.HLP"}));
}

TEST_F(VexelpackTest, WithoutBlockTheArchiveFollowsTheImage) {
  ASSERT_EQ(0, Pack("--no-block"));
  const std::string setup = ReadFile(root_ + "/Setup.exe");
  ConfigBlock c;
  EXPECT_EQ(ReadConfigBlock((const unsigned char*)setup.data() + 38400, 256, c), kConfigNoBlock);
  EXPECT_EQ(Listed(c.zipOrigin).size(), 4u);
}

TEST_F(VexelpackTest, RefusesWhatDoesNotFit) {
  WriteFile(root_ + "/big.exe", std::string(38401, 'x'));
  EXPECT_NE(0, Pack("", "big.exe"));
  EXPECT_NE(0, Pack("--title '" + std::string(200, 't') + "' --folder '" + std::string(50, 'f') + "'"));
  EXPECT_NE(0, Pack("--flags 256"));
  EXPECT_FALSE(Exists(root_ + "/Setup.exe"));
  WriteFile(root_ + "/exact.exe", std::string(38400, 'x'));
  EXPECT_EQ(0, Pack("", "exact.exe"));
}

// The archive is listed by the installer's own walk first: what the installer would tell its user
// refuses the archive, with the installer's text, and no installer is made.
TEST_F(VexelpackTest, RefusesWhatTheInstallerCannotRead) {
  const std::string src = "cd '" + root_ + "/src' && ";
  ASSERT_EQ(0, Shell(src + "zip -q - Quillet.exe DATEN/Hilfe/QUILLET.HLP | cat > ../pipe.zip"));
  ASSERT_EQ(0, Shell(src + "zip -q -fz ../zip64.zip Quillet.exe DATEN/Hilfe/QUILLET.HLP"));
  WriteFile(root_ + "/junk.zip", "Dies ist kein Zip-Archiv, nur Text an seiner Stelle.");
  WriteFile(root_ + "/empty.zip", "");
  WriteFile(root_ + "/src/aux.txt", "Gerät");
  ASSERT_EQ(0, Shell(src + "zip -q ../device.zip Quillet.exe aux.txt"));
  const std::string whole = ReadFile(root_ + "/a.zip");
  WriteFile(root_ + "/cut.zip", whole.substr(0, whole.size() / 2));
  struct Case {
    const char* zip;
    std::string message;
  } cases[] = {
      {"pipe.zip", kTextNoSizes},
      {"zip64.zip", kTextDamaged},
      {"junk.zip", kTextDamaged},
      {"empty.zip", kTextCannotRead},
      {"device.zip", std::string("aux.txt\n  ") + kTextNameReserved},
      {"cut.zip", kTextDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zip);
    EXPECT_NE(0, Pack("", "prog.exe", c.zip));
    EXPECT_NE(errors_.find("  " + Utf8(c.message) + "\n"), std::string::npos) << errors_;
    EXPECT_FALSE(Exists(root_ + "/Setup.exe"));
  }
  EXPECT_EQ(0, Pack(""));
  EXPECT_EQ(errors_, "");
}

// An installer that carries its archive already is no program to pack: the message names the bare
// program the build leaves.
TEST_F(VexelpackTest, RefusesAnInstallerAsTheProgram) {
  for (const char* args : {"", "--no-block"}) {
    SCOPED_TRACE(args);
    ASSERT_EQ(0, Pack(args));
    EXPECT_NE(0, Pack("", "Setup.exe", "a.zip", "Setup2.exe"));
    EXPECT_NE(errors_.find("build/win32/vexel/Vexel.exe"), std::string::npos) << errors_;
    EXPECT_FALSE(Exists(root_ + "/Setup2.exe"));
  }
}

}  // namespace
