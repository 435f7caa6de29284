// The help compiler's file read back as the format is described: the file system header, the
// directory B+ tree, every internal file's header, |SYSTEM, |FONT, |CONTEXT with its hashes,
// |TTLBTREE and the records of |TOPIC; and the sources it refuses, with their lines.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "help_reader.h"
#include "help_source.h"
#include "help_writer.h"

using namespace hlpc;
using namespace hlpc_test;

namespace {

const char kSmall[] =
    "# Eine kleine Hilfe\n"
    "@title Testhilfe\n"
    "@contents Hlp_Topic_1\n"
    "@topic Hlp_Start Anfang\n"
    "Ein Thema vor dem Inhalt.\n"
    "@topic Hlp_Topic_1 Inhalt\n"
    "= Inhalt der Testhilfe\n"
    "Der Text des Inhalts, mit einem Sprung zum\r\n"
    "[Men\xFC \"Datei\"|Hlp_Datei] und [[eckigen Klammern].\n"
    "\n"
    "* ein Punkt\n"
    "@topic Hlp_Datei Das Men\xFC \"Datei\"\n"
    "Zur\xFC" "ck zum [Inhalt|Hlp_Topic_1].\n";

TEST(HelpCompiler, TheContextHashFollowsTheDescribedTable) {
  for (int c = 1; c < 256; ++c) EXPECT_EQ(ContextHash(std::string(1, char(c))), TableHash(std::string(1, char(c)))) << c;
  for (const char* name : {"Hlp_Topic_1", "HLP_TOPIC_1", "a.b_c.0123456789", "Zz", "x"})
    EXPECT_EQ(ContextHash(name), TableHash(name)) << name;
  EXPECT_EQ(ContextHash(""), 1);
  EXPECT_EQ(ContextHash("Hlp_Topic_1"), ContextHash("hlp_topic_1"));  // letters without case
}

TEST(HelpCompiler, TheFileFollowsTheDescribedStructure) {
  const Read r = ReadHelp(Compile(kSmall));
  const HelpFile& f = r.f;
  std::set<std::string> names;
  for (const auto& e : r.files) names.insert(e.first);
  EXPECT_EQ(names, (std::set<std::string>{"|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC", "|TTLBTREE"}));

  // |SYSTEM: version 3.1, the title and the contents topic.
  const Internal sys = r.files.at("|SYSTEM");
  EXPECT_EQ(f.U16(sys.start), kSystemMagic);
  EXPECT_EQ(f.U16(sys.start + 2), 21u);
  EXPECT_EQ(f.U16(sys.start + 4), 1u);
  EXPECT_EQ(f.U16(sys.start + 10), 4u);  // LZ77 topic blocks of 4 KB
  std::map<unsigned, std::pair<size_t, unsigned>> records;
  for (size_t at = sys.start + 12; at < sys.start + sys.size; at += 4 + f.U16(at + 2)) records[f.U16(at)] = {at + 4, f.U16(at + 2)};
  ASSERT_TRUE(records.count(1) && records.count(3));
  EXPECT_EQ(f.Z(records[1].first), "Testhilfe");
  EXPECT_EQ(records[1].second, 10u);
  const uint32_t contents = f.U32(records[3].first);

  // |CONTEXT finds "Hlp_Topic_1" by its hash, at the contents topic, whose title |TTLBTREE has.
  const Internal ctx = r.files.at("|CONTEXT");
  const Tree ct = ReadTree(f, ctx, 4, 4);
  EXPECT_EQ(ct.structure, "L4");
  EXPECT_EQ(ct.entries, 3u);
  for (size_t i = 1; i < ct.leafRecords.size(); ++i)
    EXPECT_LT(int32_t(f.U32(ct.leafRecords[i - 1])), int32_t(f.U32(ct.leafRecords[i])));
  uint32_t offset = 0;
  ASSERT_TRUE(FindLong(f, ctx, TableHash("Hlp_Topic_1"), offset));
  EXPECT_EQ(offset, contents);
  ASSERT_TRUE(r.headerByOffset.count(offset));
  const size_t header = r.headerByOffset.at(offset);
  EXPECT_EQ(TitleOf(r.records[header]), "Inhalt");
  const Tree tt = ReadTree(f, r.files.at("|TTLBTREE"), 4, 0);
  EXPECT_EQ(tt.structure, "Lz");
  std::map<uint32_t, std::string> titles;
  for (size_t rec : tt.leafRecords) titles[f.U32(rec)] = f.Z(rec + 4);
  EXPECT_EQ(titles, (std::map<uint32_t, std::string>{{r.records[0].topicOffset, "Anfang"},
                                                    {offset, "Inhalt"},
                                                    {r.records[r.headerByOffset.rbegin()->second].topicOffset, "Das Men\xFC \"Datei\""}}));

  // The contents topic: heading, paragraph with its jump, item; the jump finds the topic.
  ASSERT_GE(r.records.size(), header + 4);
  EXPECT_EQ(TextOf(r.records[header + 1]).text, "Inhalt der Testhilfe\n");
  const Text body = TextOf(r.records[header + 2]);
  EXPECT_EQ(body.text, "Der Text des Inhalts, mit einem Sprung zum Men\xFC \"Datei\" und [eckigen Klammern].\n");
  ASSERT_EQ(body.jumps.size(), 1u);
  EXPECT_EQ(body.jumps[0], TableHash("Hlp_Datei"));
  uint32_t target = 0;
  ASSERT_TRUE(FindLong(f, ctx, body.jumps[0], target));
  ASSERT_TRUE(r.headerByOffset.count(target));
  EXPECT_EQ(TitleOf(r.records[r.headerByOffset.at(target)]), "Das Men\xFC \"Datei\"");
  EXPECT_EQ(TextOf(r.records[header + 3]).text, "\x95 ein Punkt\n");

  // |FONT: one face name and two descriptors of the old kind.
  const Internal font = r.files.at("|FONT");
  EXPECT_EQ(f.U16(font.start), 1u);
  EXPECT_EQ(f.U16(font.start + 2), 2u);
  EXPECT_EQ(f.U16(font.start + 4), 8u);
  EXPECT_EQ(font.size, f.U16(font.start + 6) + 2 * 11u);
  EXPECT_EQ(f.Z(font.start + 8), "Arial");
  // |CTXOMAP: no numeric ids.
  EXPECT_EQ(r.files.at("|CTXOMAP").size, 2u);
  EXPECT_EQ(f.U16(r.files.at("|CTXOMAP").start), 0u);
}

// Many topics with long texts: the topic data spans many blocks, the B+ trees several levels, and
// every topic is still found by its context name, its records lying whole within their blocks.
TEST(HelpCompiler, ManyLongTopicsAreFoundThroughEveryLevel) {
  std::string src = "@title Viele\n";
  const int kTopics = 1500;
  for (int i = 0; i < kTopics; ++i) {
    src += "@topic T." + std::to_string(i) + " Thema " + std::to_string(i) + "\n";
    src += std::string(300 + i % 690, 'a' + i % 26) + " [weiter|T." + std::to_string((i + 1) % kTopics) + "]\n\n";
  }
  const Read r = ReadHelp(Compile(src));
  const Internal ctx = r.files.at("|CONTEXT");
  const Tree ct = ReadTree(r.f, ctx, 4, 4);
  EXPECT_GE(ct.levels, 2u);
  EXPECT_EQ(ct.entries, unsigned(kTopics));
  EXPECT_GT(r.files.at("|TOPIC").size / kTopicBlockSize, 100u);
  for (int i = 0; i < kTopics; ++i) {
    uint32_t offset = 0;
    ASSERT_TRUE(FindLong(r.f, ctx, TableHash("T." + std::to_string(i)), offset)) << i;
    ASSERT_TRUE(r.headerByOffset.count(offset)) << i;
    const size_t h = r.headerByOffset.at(offset);
    EXPECT_EQ(TitleOf(r.records[h]), "Thema " + std::to_string(i));
    EXPECT_EQ(TextOf(r.records[h + 1]).jumps, std::vector<int32_t>{TableHash("T." + std::to_string((i + 1) % kTopics))});
  }
  EXPECT_GE(ReadTree(r.f, r.files.at("|TTLBTREE"), 4, 0).levels, 2u);
}

TEST(HelpCompiler, AMalformedSourceIsRefusedWithItsLine) {
  const struct {
    const char* source;
    int line;
    const char* message;
  } cases[] = {
      {"@topic A Titel\nText\n", 1, "\"@title\" fehlt"},
      {"@title T\n", 2, "die Quelle hat kein \"@topic\""},
      {"@title T\nText\n", 2, "Text vor dem ersten \"@topic\""},
      {"@title T\n@title U\n", 2, "zweites \"@title\" (das erste steht in Zeile 1)"},
      {"@title T\n@topic A Titel\nText\n@title U\n", 4, "\"@title\" nach dem ersten \"@topic\""},
      {"@title\n", 1, "\"@title\" ohne Titel"},
      {"@title T\n@thema A Titel\n", 2, "unbekannte Anweisung \"@thema\""},
      {"@title T\n@topic A-B Titel\nText\n", 2, "\"@topic\" braucht einen Kontextnamen"},
      {"@title T\n@topic A\nText\n", 2, "das Thema \"A\" hat keinen Titel"},
      {"@title T\n@topic A Titel\n\n@topic B Titel\nText\n", 2, "das Thema \"A\" hat keinen Text"},
      {"@title T\n@topic Abc Eins\nText\n@topic Abc Zwei\n", 4, "der Kontextname \"Abc\" ist schon vergeben (\"Abc\" in Zeile 2)"},
      {"@title T\n@topic A Titel\nText [offen|A\n", 3, "endet nicht mit \"]\""},
      {"@title T\n@topic A Titel\nText [ohne Ziel]\n", 3, "fehlt \"|\" vor dem Kontextnamen"},
      {"@title T\n@topic A Titel\nText [|A]\n", 3, "hat keinen Text"},
      {"@title T\n@topic A Titel\nText [x|A B]\n", 3, "nennt keinen g\xC3\xBCltigen Kontextnamen"},
      {"@title T\n@topic A Titel\nText\n\nmehr [x|B]\n", 5, "es gibt kein Thema \"B\""},
      {"@title T\n@contents B\n@topic A Titel\nText\n", 2, "es gibt kein Thema \"B\""},
      {"@title T\n@topic A Titel\nText\x01\n", 3, "Steuerzeichen 1 im Text"},
      {"@title T\n@topic A Titel\nText\nText\x7F\n", 4, "Steuerzeichen 127 im Text"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    try {
      Compile(c.source);
      ADD_FAILURE() << "accepted";
    } catch (const HelpSourceError& e) {
      EXPECT_EQ(e.line(), c.line);
      EXPECT_NE(std::string(e.what()).find("Zeile " + std::to_string(c.line) + ": "), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  // Sizes past the limits.
  const std::string longLine(kMaxParagraphBytes / 2 + 1, 'x');
  try {
    Compile("@title T\n@topic A Titel\n\n" + longLine + "\n" + longLine + "\n");
    ADD_FAILURE() << "accepted";
  } catch (const HelpSourceError& e) {
    EXPECT_EQ(e.line(), 4);
    EXPECT_NE(std::string(e.what()).find("der Absatz ist l\xC3\xA4nger als"), std::string::npos) << e.what();
  }
  try {
    Compile("@title T\n@topic A " + std::string(kMaxTitleBytes + 1, 't') + "\nx\n");
    ADD_FAILURE() << "accepted";
  } catch (const HelpSourceError& e) {
    EXPECT_EQ(e.line(), 2);
  }
}

// The program's own help: the contents topic under "Hlp_Topic_1" leads to one topic per menu and
// per dialog, and each of them leads back.
TEST(HelpCompiler, QuilletsHelpLeadsFromItsContentsToEveryTopicAndBack) {
  const HelpBook book = ParseHelpSource(ReadText(std::string(ASTREL_SOURCE_DIR) + "/quillet/help/Quillet.hlt"));
  EXPECT_EQ(book.contents, "Hlp_Topic_1");
  std::map<std::string, std::set<std::string>> jumps;
  for (const HelpTopic& t : book.topics)
    for (const HelpParagraph& p : t.paragraphs)
      for (const HelpRun& run : p.runs)
        if (!run.target.empty()) jumps[t.context].insert(run.target);
  std::set<std::string> others;
  for (const HelpTopic& t : book.topics)
    if (t.context != "Hlp_Topic_1") {
      others.insert(t.context);
      EXPECT_TRUE(jumps[t.context].count("Hlp_Topic_1")) << t.context << " leads not back";
    }
  EXPECT_EQ(jumps["Hlp_Topic_1"], others);
  for (const char* needed : {"Hlp_Datei", "Hlp_Bearbeiten", "Hlp_HTML", "Hlp_Java", "Hlp_History", "Hlp_Browser",
                             "Hlp_Hilfe", "Hlp_NeueSeite", "Hlp_Link", "Hlp_Bild", "Hlp_Laufschrift", "Hlp_Video",
                             "Hlp_Schrift", "Hlp_Tabelle", "Hlp_Formular", "Hlp_Soundtabelle", "Hlp_BilderBrowser",
                             "Hlp_Packen"})
    EXPECT_TRUE(others.count(needed)) << needed;
  // In the compiled file every jump finds the header of the topic it names.
  std::map<int32_t, std::string> titles;
  for (const HelpTopic& t : book.topics) titles[TableHash(t.context)] = t.title;
  const Read r = ReadHelp(WriteHelpFile(book));
  size_t jumpsFound = 0;
  for (const TopicRecord& rec : r.records) {
    if (rec.type != 0x20) continue;
    for (int32_t hash : TextOf(rec).jumps) {
      uint32_t offset = 0;
      ASSERT_TRUE(FindLong(r.f, r.files.at("|CONTEXT"), hash, offset)) << hash;
      ASSERT_TRUE(r.headerByOffset.count(offset)) << hash;
      EXPECT_EQ(TitleOf(r.records[r.headerByOffset.at(offset)]), titles[hash]);
      ++jumpsFound;
    }
  }
  EXPECT_GE(jumpsFound, 2 * others.size());
  EXPECT_GT(r.files.at("|TOPIC").size / kTopicBlockSize, 2u);
}

// The program: a refused source is named with its line, and nothing is written.
TEST(HelpCompiler, TheProgramNamesTheLineAndWritesNothing) {
  const char* hlpc = getenv("HLPC");
  ASSERT_TRUE(hlpc);
  char dir[] = "/tmp/hlpc_testXXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  const std::string d = dir;
  std::ofstream(d + "/bad.hlt") << "@title T\n@topic A Titel\nText [x|Nirgends]\n";
  std::ofstream(d + "/good.hlt") << kSmall;
  const std::string bad = std::string(hlpc) + " " + d + "/bad.hlt " + d + "/bad.hlp 2>" + d + "/err.txt";
  EXPECT_NE(system(bad.c_str()), 0);
  EXPECT_EQ(ReadText(d + "/err.txt"), "hlpc: " + d + "/bad.hlt: Zeile 3: es gibt kein Thema \"Nirgends\"\n");
  EXPECT_FALSE(std::ifstream(d + "/bad.hlp").good());
  const std::string good = std::string(hlpc) + " " + d + "/good.hlt " + d + "/good.hlp";
  EXPECT_EQ(system(good.c_str()), 0);
  const std::string made = ReadText(d + "/good.hlp");
  EXPECT_EQ(made, std::string(reinterpret_cast<const char*>(Compile(kSmall).data()), Compile(kSmall).size()));
  EXPECT_EQ(system(("rm -rf " + d).c_str()), 0);
}

}  // namespace
