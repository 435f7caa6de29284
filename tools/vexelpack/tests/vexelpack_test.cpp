// The packer lays out program image, configuration block and archive as the installer reads them.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "config_block.h"
#include "native_tree.h"
#include "posix_host.h"
#include "zip_walker.h"
#include "zip_writer.h"

using namespace vexel;
using namespace vexel_test;

namespace {

void Put32At(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (char)(v >> (8 * i));
}

// A Windows program of `size` bytes as a linker leaves it: the DOS header pointing to the PE
// header (machine i386), the optional header with the headers' size 0x200, and one section whose
// data runs from there to the end of the file.
std::string MakeProgram(size_t size, uint16_t machine = 0x14C) {
  std::string b(size, '\0');
  b[0] = 'M', b[1] = 'Z';
  Put32At(b, 0x3C, 0x40);
  memcpy(&b[0x40], "PE\0\0", 4);
  b[0x44] = (char)machine, b[0x45] = (char)(machine >> 8);
  b[0x46] = 1;     // one section
  b[0x54] = (char)0xE0;  // optional header size
  b[0x58] = 0x0B, b[0x59] = 0x01;  // PE32
  Put32At(b, 0x58 + 60, 0x200);    // SizeOfHeaders
  const size_t section = 0x58 + 0xE0;
  memcpy(&b[section], ".text", 5);
  Put32At(b, section + 16, (uint32_t)(size - 0x200));  // SizeOfRawData
  Put32At(b, section + 20, 0x200);                     // PointerToRawData
  for (size_t i = 0x200; i < size; ++i) b[i] = (char)(i * 7 + 3);
  return b;
}

class VexelpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeTempFolder();
    WriteFile(root_ + "/src/Quillet.exe", MixedData(3000, 1));
    WriteFile(root_ + "/src/DATEN/Hilfe/QUILLET.HLP", MixedData(700, 2));
    ASSERT_EQ(0, Shell("cd '" + root_ + "/src' && zip -q -r ../a.zip Quillet.exe DATEN"));
    WriteFile(root_ + "/prog.exe", MakeProgram(1024));
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
  EXPECT_EQ(setup.substr(0, 1024), ReadFile(root_ + "/prog.exe"));
  EXPECT_EQ(setup.substr(1024, 38400 - 1024), std::string(38400 - 1024, '\0'));
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
  WriteFile(root_ + "/big.exe", MakeProgram(38401));
  EXPECT_NE(0, Pack("", "big.exe"));
  EXPECT_NE(0, Pack("--title '" + std::string(200, 't') + "' --folder '" + std::string(50, 'f') + "'"));
  EXPECT_NE(0, Pack("--flags 256"));
  EXPECT_FALSE(Exists(root_ + "/Setup.exe"));
  WriteFile(root_ + "/exact.exe", MakeProgram(38400));
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
      {"zip64.zip", kTextZip64},
      {"junk.zip", kTextCannotRead},
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

// The walk extracts every entry into nothing before the installer is made, through the
// installer's own inflate and CRC-32: what the user would get as a failed entry refuses the
// archive, with the installer's text and the entry's name. An encrypted entry is checked for its
// method only.
TEST_F(VexelpackTest, RefusesWhatTheInstallerCannotExtract) {
  BuildCrcTable();
  WriteFile(root_ + "/src/gross.txt", std::string(20000, 'q') + MixedData(3000, 5));
  ASSERT_EQ(0, Shell("cd '" + root_ + "/src' && zip -q -Z bzip2 ../bzip2.zip Quillet.exe gross.txt"));
  ASSERT_EQ(0, Shell("cd '" + root_ + "/src' && zip -q -P geheim ../secret.zip Quillet.exe gross.txt"));
  // Literals 0-256 all with eight bits: more codes than eight bits can tell apart.
  BitWriter over;
  over.Header(false, 1);
  over.FixedLiterals("ok");
  over.FixedSymbol(256);
  PlainHeader(std::vector<int>(257, 8), {1, 1}).Write(over, true);
  over.Bits(0, 32);
  BitWriter type3;
  type3.Header(false, 1);
  type3.FixedLiterals("abc");
  type3.FixedSymbol(256);
  type3.Header(true, 3);
  struct Case {
    const char* zip;
    WriterEntry entry;
    const char* stream;  // the entry's deflate stream, from the writer above
  } made[] = {
      {"crc.zip", Named("crc.txt", "Die Prüfsumme im Kopf passt nicht."), ""},
      {"over.zip", Named("over.txt", "ok"), "over"},
      {"typ3.zip", Named("typ3.txt", "abc"), "type3"},
  };
  made[0].entry.corruptCrc = true;
  for (Case& c : made) {
    const Bytes stream = std::string(c.stream) == "over" ? over.Done() : std::string(c.stream) == "type3" ? type3.Done() : Bytes();
    c.entry.stream.assign(stream.begin(), stream.end());
    ZipWriter w;
    w.Add(Named("davor.txt", "gut"));
    w.Add(c.entry);
    WriteFile(root_ + "/" + c.zip, w.Finish());
  }
  const std::string notExtracted = "  " + Utf8(kTextNotExtracted) + "\n";
  const struct {
    const char* zip;
    std::string messages;
  } cases[] = {
      {"bzip2.zip", "  " + Utf8(kTextUnknownMethod) + "\n" + notExtracted + "  nicht entpackt: Quillet.exe\n"
                    "  nicht entpackt: gross.txt\n"},
      {"crc.zip", notExtracted + "  nicht entpackt: crc.txt\n"},
      {"over.zip", notExtracted + "  nicht entpackt: over.txt\n"},
      {"typ3.zip", notExtracted + "  nicht entpackt: typ3.txt\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zip);
    EXPECT_NE(0, Pack("", "prog.exe", c.zip));
    EXPECT_EQ(errors_, "vexelpack: " + root_ + "/" + c.zip + ": das Installationsprogramm meldet beim Entpacken:\n" +
                           c.messages);
    EXPECT_FALSE(Exists(root_ + "/Setup.exe"));
  }
  EXPECT_EQ(0, Pack("", "prog.exe", "secret.zip")) << errors_;
}

// The program must be a Windows program for 32-bit x86 whose image ends where the file ends.
TEST_F(VexelpackTest, RefusesWhatIsNoWindowsProgram) {
  std::string appended = MakeProgram(2048) + "angehängt";
  std::string cut = MakeProgram(2048).substr(0, 1500);
  const struct {
    const char* name;
    std::string bytes;
    const char* why;
  } cases[] = {
      {"text.exe", "Dies ist kein Programm, nur Text an seiner Stelle.", "es beginnt nicht mit \"MZ\""},
      {"dos.exe", std::string("MZ") + MixedData(998, 3), "es hat keinen PE-Kopf"},
      {"x64.exe", MakeProgram(2048, 0x8664), "es ist kein Programm für 32-Bit-x86 (i386)"},
      {"cut.exe", cut, "es ist abgeschnitten (das Programm ist 2048 Bytes lang)"},
      {"more.exe", appended, "es hat hinter dem Programm (2048 Bytes) noch 9 Bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(root_ + "/" + c.name, c.bytes);
    EXPECT_NE(0, Pack("", c.name));
    EXPECT_EQ(errors_, "vexelpack: " + root_ + "/" + c.name + " ist kein Windows-Programm: " + Utf8(c.why) +
                           "; --program braucht das Programm allein: build/win32/vexel/Vexel.exe\n");
    EXPECT_FALSE(Exists(root_ + "/Setup.exe"));
  }
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
