// The configuration block behind the program image and the run command made from it.
#include "config_block.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexel;

namespace {

std::string Block(uint8_t flags, const std::string& title, const std::string& folder, const std::string& run) {
  unsigned char b[kBlockLength];
  EXPECT_TRUE(WriteConfigBlock(flags, title.c_str(), folder.c_str(), run.c_str(), b));
  return std::string((const char*)b, kBlockLength);
}

ConfigResult Read(const std::string& bytes, ConfigBlock& c) {
  return ReadConfigBlock((const unsigned char*)bytes.data(), bytes.size(), c);
}

TEST(ConfigBlock, DeliveredBlock) {
  const std::string b = Block(0x01, "Programm Name :   Quillet   Version 1.6", "C:\\DESIGNER", "><");
  EXPECT_EQ(b.substr(0, 7), std::string("RIR\x01\x27\x0b\x02", 7));
  ConfigBlock c;
  ASSERT_EQ(Read(b, c), kConfigOk);
  EXPECT_EQ(c.zipOrigin, 38656u);
  EXPECT_TRUE(c.offerRun);
  EXPECT_FALSE(c.selectableList);
  EXPECT_FALSE(c.removeOverwriteControls);
  EXPECT_EQ(c.defaultRule, kRuleAsk);
  EXPECT_STREQ(c.title, "Programm Name :   Quillet   Version 1.6");
  EXPECT_STREQ(c.folder, "C:\\DESIGNER");
  EXPECT_STREQ(c.run, "><");
  EXPECT_TRUE(c.hasTitle && c.hasFolder && c.hasRun);
  EXPECT_FALSE(c.folderIsTemp);
}

TEST(ConfigBlock, FlagsSelectTheRules) {
  struct Case {
    uint8_t flags;
    int rule;
    bool offerRun, selectable, removeControls;
  } cases[] = {
      {0x10, kRuleSkip, false, false, false},     {0x08, kRuleOverwrite, false, false, false},
      {0x18, kRuleAsk, false, false, false},      {0x00, kRuleAsk, false, false, false},
      {0x07, kRuleAsk, true, true, true},         {0x0A, kRuleOverwrite, false, true, false},
      {0xF5, kRuleSkip, true, false, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.flags);
    ConfigBlock c;
    ASSERT_EQ(Read(Block(k.flags, "", "", ""), c), kConfigOk);
    EXPECT_EQ(c.defaultRule, k.rule);
    EXPECT_EQ(c.offerRun, k.offerRun);
    EXPECT_EQ(c.selectableList, k.selectable);
    EXPECT_EQ(c.removeOverwriteControls, k.removeControls);
    EXPECT_FALSE(c.hasTitle || c.hasFolder || c.hasRun);
  }
}

TEST(ConfigBlock, TemporaryFolderOnlyForExactlyTheMark) {
  ConfigBlock c;
  ASSERT_EQ(Read(Block(0, "", "><", ""), c), kConfigOk);
  EXPECT_TRUE(c.folderIsTemp);
  ASSERT_EQ(Read(Block(0, "", "><x", ""), c), kConfigOk);
  EXPECT_FALSE(c.folderIsTemp);
  EXPECT_STREQ(c.folder, "><x");
}

TEST(ConfigBlock, MissingOrDamagedBlocksKeepTheDefaults) {
  ConfigBlock c;
  EXPECT_EQ(Read("", c), kConfigNoBlock);
  EXPECT_EQ(c.zipOrigin, 38400u);
  EXPECT_EQ(Read(std::string("PK\x03\x04", 4) + std::string(252, '\0'), c), kConfigNoBlock);
  EXPECT_EQ(c.zipOrigin, 38400u);
  EXPECT_TRUE(c.offerRun && c.selectableList && !c.removeOverwriteControls);
  EXPECT_EQ(c.defaultRule, kRuleAsk);

  // Lengths that reach past the 256 bytes (or past the end of the file).
  std::string b = Block(0x10, "", "", "");
  b[4] = (char)200;
  b[5] = (char)50;
  b[6] = (char)1;
  EXPECT_EQ(Read(b, c), kConfigDamaged);
  EXPECT_EQ(c.zipOrigin, 38656u);
  EXPECT_EQ(c.defaultRule, kRuleAsk);
  EXPECT_FALSE(c.hasTitle || c.hasFolder || c.hasRun);
  b[6] = 0;
  b[5] = (char)49;  // 7 + 200 + 49 = 256: fits exactly
  EXPECT_EQ(Read(b, c), kConfigOk);
  EXPECT_EQ(Read(b.substr(0, 100), c), kConfigDamaged);
  EXPECT_EQ(Read("RIR\x01", c), kConfigDamaged);

  unsigned char out[kBlockLength];
  EXPECT_FALSE(WriteConfigBlock(0, std::string(200, 't').c_str(), std::string(50, 'f').c_str(), "r", out));
}

TEST(ConfigBlock, SplitRunCommand) {
  struct Case {
    const char* command;
    int part;
    const char* expected;
  } cases[] = {
      {"><", 1, "C:\\Ziel"},
      {"><", 2, ""},
      {"><\\Quillet.exe|><\\DATEN\\start.htm", 1, "C:\\Ziel\\Quillet.exe"},
      {"><\\Quillet.exe|><\\DATEN\\start.htm", 2, "C:\\Ziel\\DATEN\\start.htm"},
      {"notepad.exe|a|b", 2, "a|b"},
      {"notepad.exe|", 2, ""},
      {"|nur Parameter", 1, ""},
      {">", 1, ">"},
      {"<>", 1, "<>"},
      {">><<", 1, ">C:\\Ziel<"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.command);
    char out[300];
    EXPECT_TRUE(SplitRunCommand(k.command, k.part, "C:\\Ziel", out, sizeof out));
    EXPECT_STREQ(out, k.expected);
  }
  char small[8];
  EXPECT_FALSE(SplitRunCommand("><", 1, "C:\\Zielordner", small, sizeof small));
  EXPECT_STREQ(small, "");
  EXPECT_TRUE(SplitRunCommand("><", 1, "C:\\Ziel", small, sizeof small));  // 7 bytes and the NUL
}

}  // namespace
