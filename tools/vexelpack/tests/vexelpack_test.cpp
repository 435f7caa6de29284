// The packer lays out program image, configuration block and archive as the installer reads them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "../../../vexel/tests/native_tree.h"
#include "config_block.h"
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

  int Pack(const std::string& args, const std::string& program = "prog.exe") {
    const char* packer = getenv("VEXELPACK");
    EXPECT_TRUE(packer);
    return system((std::string(packer ? packer : "false") + " --program '" + root_ + "/" + program + "' --zip '" +
                   root_ + "/a.zip' --out '" + root_ + "/Setup.exe' " + args + " 2>/dev/null")
                      .c_str());
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

  std::string root_;
};

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

}  // namespace
