// The archive walk over archives made by Info-ZIP's zip and by the tests' own writer, checked
// against what unzip extracts from the same archive.
#include "zip_walker.h"

#include <gtest/gtest.h>

#include "config_block.h"
#include "crc32.h"
#include "native_tree.h"
#include "posix_host.h"
#include "zip_writer.h"

using namespace vexel;
using namespace vexel_test;

namespace {

class ZipWalkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildCrcTable();
    root_ = MakeTempFolder();
    ASSERT_FALSE(root_.empty());
    src_ = root_ + "/src";
    WriteFile(src_ + "/Quillet.exe", MixedData(70000, 1));
    WriteFile(src_ + "/LPng.dll", MixedData(32768, 2));  // exactly one inflate window
    WriteFile(src_ + "/DATEN/Hilfe/QUILLET.HLP", MixedData(5000, 3));
    WriteFile(src_ + "/DATEN/leer.txt", "");
    WriteFile(src_ + "/DATEN/Bilder/Zufall.bin", MixedData(1, 4) + std::string(20000, 'x'));
    password_ = PasswordStore{};
  }
  void TearDown() override { RemoveTree(root_); }

  // Lists the archive, selects everything and extracts it into target; returns the result.
  bool ListAndExtract(PosixHost& host, const std::string& target, uint64_t origin = 0) {
    WalkOptions o{origin, target.c_str(), &password_};
    if (!WalkArchive(host, o, true)) return false;
    host.SelectAll();
    host.messages.clear();
    return WalkArchive(host, o, false);
  }

  std::string Zip(const std::string& args, const std::string& name = "a.zip") {
    const std::string zip = root_ + "/" + name;
    EXPECT_EQ(0, Shell("cd '" + src_ + "' && zip -q " + args + " '" + zip + "' Quillet.exe LPng.dll DATEN/leer.txt "
                     "DATEN/Hilfe/QUILLET.HLP DATEN/Bilder/Zufall.bin"));
    return zip;
  }

  std::map<std::string, std::string> Unzipped(const std::string& zip, const std::string& args = "") {
    const std::string ref = root_ + "/ref";
    RemoveTree(ref);
    EXPECT_EQ(0, Shell("unzip -q " + args + " -d '" + ref + "' '" + zip + "'"));
    return Tree(ref);
  }

  std::string root_, src_;
  PasswordStore password_;
};

TEST_F(ZipWalkerTest, ExtractsWhatUnzipExtracts) {
  struct Case {
    const char* args;
    const char* password;
  } cases[] = {
      {"-0", ""}, {"-1", ""}, {"-2", ""}, {"-3", ""}, {"-4", ""}, {"-5", ""}, {"-6", ""}, {"-7", ""},
      {"-8", ""}, {"-9", ""}, {"-X -6", ""}, {"-X -0", ""}, {"-r", ""}, {"-P geheim -6", "geheim"},
      {"-P geheim -0 -X", "geheim"}, {"-r -P Wörter", "Wörter"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string zip = Zip(c.args, "v.zip");
    const std::string target = root_ + "/out";
    RemoveTree(target);
    PosixHost host(zip);
    if (*c.password) host.passwords.push_back(c.password);
    password_ = PasswordStore{};
    EXPECT_TRUE(ListAndExtract(host, target));
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back(), std::make_pair(std::string(kTextAllExtracted), std::string(kCaptionReady)));
    EXPECT_EQ(host.passwordQuestions, *c.password ? 1 : 0);  // asked once for all entries
    EXPECT_EQ(Tree(target), Unzipped(zip, *c.password ? std::string("-P '") + c.password + "'" : ""));
    RemoveTree(zip);
  }
}

TEST_F(ZipWalkerTest, ListsEntriesInArchiveOrder) {
  const std::string zip = Zip("-r -6");
  PosixHost host(zip);
  WalkOptions o{0, root_.c_str(), &password_};
  EXPECT_TRUE(WalkArchive(host, o, true));
  std::vector<std::string> names;
  for (auto& item : host.items) names.push_back(item.first);
  EXPECT_EQ(names, (std::vector<std::string>{"Quillet.exe", "LPng.dll", "DATEN/leer.txt", "DATEN/Hilfe/QUILLET.HLP",
                                             "DATEN/Bilder/Zufall.bin"}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ZipWalkerTest, CheckByteFromTheCrcWithOwnWriter) {
  ZipWriter w;
  for (int method : {0, 8}) {
    WriterEntry e;
    e.name = method ? "tief/gepackt.txt" : "roh.txt";
    e.data = MixedData(40000 + method, 7 + method);
    e.method = method;
    e.password = "Kennwort";
    w.Add(e);
  }
  const std::string zip = root_ + "/crc.zip";
  WriteFile(zip, w.Finish());
  PosixHost host(zip);
  host.passwords = {"falsch", "Kennwort"};  // the second try passes
  const std::string target = root_ + "/out";
  EXPECT_TRUE(ListAndExtract(host, target));
  EXPECT_EQ(host.passwordQuestions, 2);
  EXPECT_EQ(Tree(target), Unzipped(zip, "-P Kennwort"));
}

TEST_F(ZipWalkerTest, DataDescriptorAndExtraFieldAreSteppedOver) {
  ZipWriter w;
  WriterEntry a;
  a.name = "a.txt";
  a.data = "erstes";
  a.descriptor = true;
  a.extra = std::string("UT\x05\x00\x03\x01\x02\x03\x04", 9);
  w.Add(a);
  WriterEntry b;
  b.name = "b.txt";
  b.data = MixedData(3000, 9);
  b.extra = std::string(40, '\x11');
  w.Add(b);
  const std::string zip = root_ + "/dd.zip";
  WriteFile(zip, w.Finish());
  PosixHost host(zip);
  const std::string target = root_ + "/out";
  EXPECT_TRUE(ListAndExtract(host, target));
  EXPECT_EQ(Tree(target), Unzipped(zip));
}

TEST_F(ZipWalkerTest, ArchiveWrittenToAPipe) {
  // Deflated entries have no sizes in their local headers: the walk ends with a message at the
  // first of them, which is listed and fails when it is extracted.
  const std::string zip = root_ + "/pipe.zip";
  ASSERT_EQ(0, Shell("cd '" + src_ + "' && zip -q - Quillet.exe LPng.dll | cat > '" + zip + "'"));
  PosixHost host(zip);
  const std::string out = root_ + "/pipe-out";
  WalkOptions o{0, out.c_str(), &password_};
  EXPECT_TRUE(WalkArchive(host, o, true));
  ASSERT_EQ(host.items.size(), 1u);
  EXPECT_EQ(host.items[0].first, "Quillet.exe");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, kTextNoSizes);
  host.messages.clear();
  EXPECT_FALSE(WalkArchive(host, o, false));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, kTextNotExtracted);
  EXPECT_TRUE(host.items[0].second);
  EXPECT_FALSE(Exists(out));

  // Stored entries carry their sizes (only the CRC follows the data) and extract.
  const std::string stored = root_ + "/pipe0.zip";
  ASSERT_EQ(0, Shell("cd '" + src_ + "' && zip -q -0 - Quillet.exe LPng.dll | cat > '" + stored + "'"));
  PosixHost host0(stored);
  const std::string target = root_ + "/out";
  EXPECT_TRUE(ListAndExtract(host0, target));
  EXPECT_EQ(Tree(target), Unzipped(stored));
}

TEST_F(ZipWalkerTest, OverwriteRules) {
  const std::string zip = Zip("-6");
  const std::string target = root_ + "/out";
  struct Case {
    int mode;
    std::deque<bool> answers;
    bool quilletNew, pngNew;
    size_t questions;
  } cases[] = {
      {0, {}, true, true, 0},
      {1, {}, false, false, 0},
      {2, {true, false}, true, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    RemoveTree(target);
    WriteFile(target + "/Quillet.exe", "alt");
    WriteFile(target + "/LPng.dll", "alt");
    PosixHost host(zip);
    host.overwriteMode = c.mode;
    host.overwriteAnswers = c.answers;
    EXPECT_TRUE(ListAndExtract(host, target));
    EXPECT_EQ(host.messages.back().first, kTextAllExtracted);
    EXPECT_EQ(ReadFile(target + "/Quillet.exe") != "alt", c.quilletNew);
    EXPECT_EQ(ReadFile(target + "/LPng.dll") != "alt", c.pngNew);
    EXPECT_EQ(host.asked.size(), c.questions);
    EXPECT_EQ(ReadFile(target + "/DATEN/Hilfe/QUILLET.HLP"), ReadFile(src_ + "/DATEN/Hilfe/QUILLET.HLP"));
    EXPECT_FALSE(Exists(target + "/Quillet.exe.vx~"));
  }
}

TEST_F(ZipWalkerTest, ThreeWrongPasswordsStopWithAMessage) {
  ZipWriter w;
  WriterEntry plain;
  plain.name = "offen.txt";
  plain.data = "ohne Passwort";
  w.Add(plain);
  WriterEntry secret;
  secret.name = "geheim.txt";
  secret.data = "mit Passwort";
  secret.password = "richtig";
  secret.checkFromTime = true;
  w.Add(secret);
  w.Add(Named("danach.txt", "nach dem Fehler"));
  const std::string zip = root_ + "/pw.zip";
  WriteFile(zip, w.Finish());
  PosixHost host(zip);
  host.passwords = {"a", "b", "c", "richtig"};
  const std::string target = root_ + "/out";
  EXPECT_FALSE(ListAndExtract(host, target));
  EXPECT_EQ(host.passwordQuestions, 3);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], std::make_pair(std::string(kTextWrongPassword), std::string(kCaptionError)));
  EXPECT_EQ(host.status, kStatusNotExtracted);
  EXPECT_EQ(ReadFile(target + "/offen.txt"), "ohne Passwort");  // extracted before stays
  EXPECT_FALSE(Exists(target + "/geheim.txt"));
  EXPECT_FALSE(Exists(target + "/danach.txt"));
}

TEST_F(ZipWalkerTest, EntryFailingItsCrcLeavesTheOldFile) {
  ZipWriter w;
  for (int method : {0, 8}) {
    WriterEntry e;
    e.name = method ? "gepackt.txt" : "roh.txt";
    e.data = MixedData(50000, 11);
    e.method = method;
    e.corruptCrc = true;
    w.Add(e);
  }
  w.Add(Named("gut.txt", "in Ordnung"));
  const std::string zip = root_ + "/crc.zip";
  WriteFile(zip, w.Finish());
  const std::string target = root_ + "/out";
  WriteFile(target + "/gepackt.txt", "die gute alte Fassung");
  PosixHost host(zip);
  host.overwriteMode = 0;
  EXPECT_FALSE(ListAndExtract(host, target));
  EXPECT_EQ(host.messages.back(), std::make_pair(std::string(kTextNotExtracted), std::string(kCaptionError)));
  EXPECT_EQ(host.status, kStatusNotExtracted);
  EXPECT_EQ(ReadFile(target + "/gepackt.txt"), "die gute alte Fassung");
  EXPECT_FALSE(Exists(target + "/roh.txt"));
  EXPECT_EQ(ReadFile(target + "/gut.txt"), "in Ordnung");
  EXPECT_EQ(Tree(target).size(), 2u);  // no temporary files left
  EXPECT_TRUE(host.items[0].second);   // failed entries stay selected, the good one is done
  EXPECT_TRUE(host.items[1].second);
  EXPECT_FALSE(host.items[2].second);
}

TEST_F(ZipWalkerTest, NamesLeavingTheTargetAreRefused) {
  const char* bad[] = {"../boese.txt", "/absolut.txt", "\\absolut.txt", "C:boese.txt", "a/../../boese.txt",
                       "a\\..\\..\\boese.txt", "D:\\boese.txt", ".."};
  // Names that open a device on Windows, and names whose last dot or blank Windows drops.
  const char* reserved[] = {"CON", "nul", "AUX.txt", "Com1", "LPT1.txt", "com\xB9.log", "a/PRN/x.txt",
                            "a/b/Nul.tar.gz", "ende.", "ende ", "a./x.txt"};
  ZipWriter w;
  for (const char* n : bad) w.Add(Named(n, "boese"));
  for (const char* n : reserved) w.Add(Named(n, "Geraet"));
  w.Add(Named("a/gut..txt", "gut"));
  const std::string zip = root_ + "/evil.zip";
  WriteFile(zip, w.Finish());
  const std::string target = root_ + "/t/out";
  PosixHost host(zip);
  WalkOptions o{0, target.c_str(), &password_};
  EXPECT_TRUE(WalkArchive(host, o, true));
  ASSERT_EQ(host.items.size(), 1u);
  EXPECT_EQ(host.items[0].first, "a/gut..txt");
  std::vector<std::pair<std::string, std::string>> refused;
  for (const char* n : bad) refused.push_back({std::string(n) + "\n" + kTextNameUnsafe, kCaptionError});
  for (const char* n : reserved) refused.push_back({std::string(n) + "\n" + kTextNameReserved, kCaptionError});
  EXPECT_EQ(host.messages, refused);
  // The listed entry is extracted, but the installation lacks the refused ones: the walk reports
  // that not everything was extracted (so no program is started behind it).
  host.messages.clear();
  EXPECT_FALSE(WalkArchive(host, o, false));
  EXPECT_EQ(host.messages, (std::vector<std::pair<std::string, std::string>>{{kTextNotExtracted, kCaptionError}}));
  EXPECT_EQ(host.status, kStatusNotExtracted);
  EXPECT_FALSE(host.items[0].second);  // the listed entry itself was extracted
  EXPECT_EQ(Tree(root_ + "/t"), (std::map<std::string, std::string>{{"/out", "<dir>"}, {"/out/a", "<dir>"},
                                                                     {"/out/a/gut..txt", "gut"}}));
  EXPECT_FALSE(Exists(root_ + "/boese.txt"));
}

TEST_F(ZipWalkerTest, OverlongNamesAreSkipped) {
  ZipWriter w;
  w.Add(Named(std::string(257, 'n'), "passt gerade"));
  w.Add(Named(std::string(258, 'l'), "zu lang"));
  w.Add(Named(std::string(1000, 'l'), "viel zu lang"));
  w.Add(Named("kurz.txt", "kurz"));
  const std::string zip = root_ + "/long.zip";
  WriteFile(zip, w.Finish());
  PosixHost host(zip);
  WalkOptions o{0, root_.c_str(), &password_};
  EXPECT_TRUE(WalkArchive(host, o, true));
  ASSERT_EQ(host.items.size(), 2u);
  EXPECT_EQ(host.items[0].first, std::string(257, 'n'));
  EXPECT_EQ(host.items[1].first, "kurz.txt");
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].first, kTextNameTooLong);
}

TEST_F(ZipWalkerTest, BadArchivesGetAMessage) {
  ZipWriter w;
  w.Add(Named("eins.txt", MixedData(10000, 5)));
  w.Add(Named("zwei.txt", MixedData(10000, 6)));
  const std::string good = w.Finish();
  ZipWriter unknown;
  WriterEntry e = Named("komisch.txt", "Daten");
  e.method = 12;
  unknown.Add(e);
  ZipWriter noName;
  noName.Add(Named("", "Daten"));
  struct Case {
    const char* what;
    std::string bytes;
    bool listed;
    std::string message;
  } cases[] = {
      {"empty file", "", false, kTextCannotRead},
      // No zip where the archive starts: told as an unreadable archive, as "Start" tells it.
      {"no zip at all", std::string(200, 'z'), false, kTextCannotRead},
      {"cut inside the second entry", good.substr(0, good.find("zwei.txt") + 100), true, kTextDamaged},
      {"cut inside the first header", good.substr(0, 20), false, kTextCannotRead},
      {"garbage after the first entry", good.substr(0, good.find("PK\x03\x04", 4)) + "GARBAGE!", true, kTextDamaged},
      {"empty name", noName.Finish(), false, kTextNameMissing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string zip = root_ + "/bad.zip";
    WriteFile(zip, c.bytes);
    PosixHost host(zip);
    WalkOptions o{0, root_.c_str(), &password_};
    EXPECT_EQ(WalkArchive(host, o, true), c.listed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, c.message);
    EXPECT_EQ(host.messages[0].second, kCaptionError);
  }

  const std::string zip = root_ + "/unknown.zip";
  WriteFile(zip, unknown.Finish());
  PosixHost host(zip);
  const std::string target = root_ + "/out";
  EXPECT_FALSE(ListAndExtract(host, target));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].first, kTextUnknownMethod);
  EXPECT_EQ(host.messages[1].first, kTextNotExtracted);
  EXPECT_FALSE(Exists(target + "/komisch.txt"));

  PosixHost missing(root_ + "/gibt-es-nicht.exe");
  WalkOptions o{0, root_.c_str(), &password_};
  EXPECT_FALSE(WalkArchive(missing, o, true));
  EXPECT_EQ(missing.messages.at(0).first, kTextCannotRead);
}

// An entry's declared size against what its data can hold: more than deflate can make of the data
// is a damaged entry, listed with a message and failing when it is extracted; data that inflates
// to more than the entry declares stops writing there (an archive cannot fill the disk beyond what
// it says) and is not extracted.
TEST_F(ZipWalkerTest, DeclaredSizesBoundWhatAnEntryWrites) {
  struct Case {
    const char* what;
    std::string data;
    int64_t declared;
    bool behindOnly;  // the size only in the data descriptor
    std::vector<std::string> listMessages, extractMessages;
  } cases[] = {
      {"4 GB from 100 bytes", std::string(100000, '\0'), 0xFFFFFFFFll, false, {kTextDamaged}, {kTextNotExtracted}},
      {"the same size behind the data", std::string(100000, '\0'), 0xFFFFFFFFll, true, {kTextDamaged},
       {kTextNotExtracted}},
      {"more data than declared", MixedData(50000, 3), 1000, false, {}, {kTextNotExtracted}},
      {"more data than declared behind it", MixedData(50000, 3), 1000, true, {}, {kTextNotExtracted}},
      {"the true size behind the data", MixedData(50000, 3), -1, true, {}, {kTextAllExtracted}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ZipWriter w;
    WriterEntry e = Named("bombe.bin", c.data);
    e.declaredSize = c.declared;
    e.descriptor = e.sizeBehindOnly = c.behindOnly;
    w.Add(e);
    const std::string zip = root_ + "/size.zip";
    WriteFile(zip, w.Finish());
    PosixHost host(zip);
    const std::string target = root_ + "/out";
    RemoveTree(target);
    WalkOptions o{0, target.c_str(), &password_};
    EXPECT_TRUE(WalkArchive(host, o, true));
    std::vector<std::string> messages;
    for (auto& m : host.messages) messages.push_back(m.first);
    EXPECT_EQ(messages, c.listMessages);
    host.messages.clear();
    const bool extracted = WalkArchive(host, o, false);
    messages.clear();
    for (auto& m : host.messages) messages.push_back(m.first);
    EXPECT_EQ(messages, c.extractMessages);
    EXPECT_EQ(extracted, c.extractMessages[0] == kTextAllExtracted);
    EXPECT_EQ(Exists(target + "/bombe.bin"), extracted);
    EXPECT_EQ(host.items.at(0).second, !extracted);  // a failed entry stays selected
    if (extracted) {
      EXPECT_EQ(Tree(target)["/bombe.bin"], c.data);
    } else {
      // Nothing of a refused entry is left behind, not even its temporary file.
      EXPECT_TRUE(Tree(target).empty());
    }
  }
}

// A damaged entry is listed and stays selected, so that the extraction reports that not every
// selected entry was extracted (and the installer starts no program); the good entries around it
// are extracted.
TEST_F(ZipWalkerTest, DamagedEntriesStaySelectedAndFail) {
  ZipWriter w;
  w.Add(Named("eins.txt", MixedData(10000, 5)));
  WriterEntry bomb = Named("bombe.bin", std::string(100000, '\0'));
  bomb.declaredSize = 0xFFFFFFFFll;  // far more than 1032 bytes per byte of data
  w.Add(bomb);
  w.Add(Named("zwei.txt", MixedData(10000, 6)));
  w.Add(Named("letzte.txt", MixedData(10000, 7)));
  const std::string whole = w.Finish();
  // The archive ends inside the data of its last entry.
  const std::string zip = root_ + "/cut.zip";
  WriteFile(zip, whole.substr(0, whole.find("letzte.txt") + 200));
  PosixHost host(zip);
  const std::string target = root_ + "/out";
  WalkOptions o{0, target.c_str(), &password_};
  EXPECT_TRUE(WalkArchive(host, o, true));
  std::vector<std::string> names;
  for (auto& item : host.items) names.push_back(item.first);
  EXPECT_EQ(names, (std::vector<std::string>{"eins.txt", "bombe.bin", "zwei.txt", "letzte.txt"}));
  EXPECT_EQ(host.messages, (std::vector<std::pair<std::string, std::string>>{{kTextDamaged, kCaptionError},
                                                                             {kTextDamaged, kCaptionError}}));
  host.messages.clear();
  EXPECT_FALSE(WalkArchive(host, o, false));
  EXPECT_EQ(host.messages, (std::vector<std::pair<std::string, std::string>>{{kTextNotExtracted, kCaptionError}}));
  EXPECT_EQ(host.status, kStatusNotExtracted);
  std::vector<bool> selected;
  for (auto& item : host.items) selected.push_back(item.second);
  EXPECT_EQ(selected, (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(Tree(target), (std::map<std::string, std::string>{{"/eins.txt", MixedData(10000, 5)},
                                                               {"/zwei.txt", MixedData(10000, 6)}}));
}

// A folder where an entry's file belongs: the file cannot be opened, which is told with its path
// before anything of the entry is decoded; the entry stays selected and the walk goes on.
TEST_F(ZipWalkerTest, FolderInTheWayOfAFile) {
  class Host : public PosixHost {
   public:
    using PosixHost::PosixHost;
    void* CreateOutput(const char* path) override {
      created.push_back(path);
      return PosixHost::CreateOutput(path);
    }
    std::vector<std::string> created;
  };
  ZipWriter w;
  w.Add(Named("gut.txt", "gut"));
  w.Add(Named("DATEN/ordner.txt", MixedData(50000, 8)));
  w.Add(Named("danach.txt", "danach"));
  const std::string zip = root_ + "/folder.zip";
  WriteFile(zip, w.Finish());
  const std::string target = root_ + "/out";
  WriteFile(target + "/DATEN/ordner.txt/drin.txt", "bleibt");
  for (int mode : {0, 2}) {
    SCOPED_TRACE(mode);
    Host host(zip);
    host.overwriteMode = mode;
    EXPECT_FALSE(ListAndExtract(host, target));
    const std::string path = target + "\\DATEN\\ordner.txt";
    EXPECT_EQ(host.messages, (std::vector<std::pair<std::string, std::string>>{
                                 {path, kCaptionCannotOpen}, {kTextNotExtracted, kCaptionError}}));
    // Not an existing file to overwrite, and nothing of the entry is written.
    for (const std::string& a : host.asked) EXPECT_EQ(a.find("ordner"), std::string::npos) << a;
    for (const std::string& c : host.created) EXPECT_EQ(c.find("ordner"), std::string::npos) << c;
    EXPECT_FALSE(host.items[0].second);
    EXPECT_TRUE(host.items[1].second);
    EXPECT_FALSE(host.items[2].second);
    EXPECT_EQ(Tree(target), (std::map<std::string, std::string>{{"/gut.txt", "gut"},
                                                                 {"/danach.txt", "danach"},
                                                                 {"/DATEN", "<dir>"},
                                                                 {"/DATEN/ordner.txt", "<dir>"},
                                                                 {"/DATEN/ordner.txt/drin.txt", "bleibt"}}));
  }
}

// The walk installs a deflated entry only when its stream is sound, whatever its CRC-32 says: a
// final block of type 3 and an incomplete set of distance codes are refused although the CRC-32
// in the header is that of the bytes they decode to.
TEST_F(ZipWalkerTest, UnsoundStreamsFailWhateverTheirCrc) {
  BitWriter type3;
  type3.Header(false, 1);
  type3.FixedLiterals("abc");
  type3.FixedSymbol(256);
  type3.Header(true, 3);
  // Literals 0..254 with 8 bits, the end code and length code 257 (length 3) with 9; distance
  // codes 0 and 1 with two bits each, which leaves half their code space unused.
  std::vector<int> lit(258, 0);
  for (int i = 0; i < 255; i++) lit[i] = 8;
  lit[256] = lit[257] = 9;
  const std::vector<uint32_t> lc = CanonicalCodes(lit);
  BitWriter dist;
  PlainHeader(lit, {2, 2}).Write(dist, true);
  dist.Code(lc['a'], 8);
  dist.Code(lc['b'], 8);
  dist.Code(lc[257], 9);  // length 3
  dist.Code(0, 2);        // distance 1
  dist.Code(lc[256], 9);
  struct Case {
    const char* name;
    Bytes stream;
    const char* output;
  } cases[] = {{"typ3.txt", type3.Done(), "abc"}, {"distanzen.txt", dist.Done(), "abbbb"}};
  ZipWriter w;
  for (const Case& c : cases) {
    WriterEntry e = Named(c.name, c.output);
    e.stream.assign(c.stream.begin(), c.stream.end());
    w.Add(e);
  }
  w.Add(Named("gut.txt", "gut"));
  const std::string zip = root_ + "/unsound.zip";
  WriteFile(zip, w.Finish());
  PosixHost host(zip);
  const std::string target = root_ + "/out";
  EXPECT_FALSE(ListAndExtract(host, target));
  EXPECT_EQ(host.messages, (std::vector<std::pair<std::string, std::string>>{{kTextNotExtracted, kCaptionError}}));
  EXPECT_TRUE(host.items[0].second);
  EXPECT_TRUE(host.items[1].second);
  EXPECT_FALSE(host.items[2].second);
  EXPECT_EQ(Tree(target), (std::map<std::string, std::string>{{"/gut.txt", "gut"}}));
}

TEST_F(ZipWalkerTest, InstallerLayoutAndPartialSelection) {
  // Program image, block and archive as the packer lays them out.
  const std::string zip = Zip("-r -9");
  std::string installer(kImageLength, 'M');
  unsigned char block[kBlockLength];
  ASSERT_TRUE(WriteConfigBlock(0x01, "Programm Name :   Quillet   Version 1.6", "C:\\DESIGNER", "><", block));
  installer.append((const char*)block, kBlockLength);
  installer += ReadFile(zip);
  const std::string exe = root_ + "/Vexel.exe";
  WriteFile(exe, installer);

  ConfigBlock config;
  ASSERT_EQ(ReadConfigBlock((const unsigned char*)installer.data() + kImageLength, kBlockLength, config), kConfigOk);
  PosixHost host(exe);
  const std::string target = root_ + "/out";
  WalkOptions o{config.zipOrigin, target.c_str(), &password_};
  ASSERT_TRUE(WalkArchive(host, o, true));
  ASSERT_EQ(host.items.size(), 5u);
  for (auto& item : host.items) item.second = item.first == "DATEN/Hilfe/QUILLET.HLP";
  EXPECT_TRUE(WalkArchive(host, o, false));
  EXPECT_EQ(Tree(target), (std::map<std::string, std::string>{
                              {"/DATEN", "<dir>"},
                              {"/DATEN/Hilfe", "<dir>"},
                              {"/DATEN/Hilfe/QUILLET.HLP", ReadFile(src_ + "/DATEN/Hilfe/QUILLET.HLP")}}));
}

}  // namespace
