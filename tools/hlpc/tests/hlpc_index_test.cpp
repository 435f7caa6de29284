// The keyword index the compiler writes (|KWBTREE, |KWDATA, |KWMAP), read back as the format is
// described, and the messages that name the cause of a refused source: a UTF-8 source and two
// context names the viewer's hash does not tell apart.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "help_reader.h"
#include "help_source.h"
#include "help_writer.h"

using namespace hlpc;
using namespace hlpc_test;

namespace {

// The keyword index as a viewer reads it: every keyword with the titles of the topics its
// |KWDATA list leads to, in the order of the tree's leaves.
struct Index {
  std::vector<std::string> words;
  std::map<std::string, std::vector<std::string>> titles;
};

Index ReadIndex(const Read& r) {
  Index index;
  const Internal tree = r.files.at("|KWBTREE"), data = r.files.at("|KWDATA"), map = r.files.at("|KWMAP");
  const Tree t = ReadTree(r.f, tree, 0, 6);
  EXPECT_EQ(t.structure, "z24");
  std::map<uint32_t, std::string> titleAt;
  for (const auto& h : r.headerByOffset) titleAt[h.first] = TitleOf(r.records[h.second]);
  uint32_t expectedData = 0;
  for (size_t rec : t.leafRecords) {
    const std::string word = r.f.Z(rec);
    const unsigned count = r.f.U16(rec + word.size() + 1);
    const uint32_t at = r.f.U32(rec + word.size() + 3);
    EXPECT_EQ(at, expectedData) << word;  // the lists follow one another
    EXPECT_GT(count, 0u) << word;
    EXPECT_LE(at + 4 * count, data.size) << word;
    expectedData = at + 4 * count;
    index.words.push_back(word);
    for (unsigned i = 0; i < count && at + 4 * i + 4 <= data.size; ++i) {
      const uint32_t offset = r.f.U32(data.start + at + 4 * i);
      EXPECT_TRUE(titleAt.count(offset)) << word << " leads to no topic";
      index.titles[word].push_back(titleAt[offset]);
    }
  }
  EXPECT_EQ(expectedData, data.size);
  // |KWMAP: per leaf page the index of its first keyword, the pages in the leaves' order.
  const unsigned leaves = r.f.U16(map.start);
  EXPECT_EQ(map.size, 2 + 6 * size_t(leaves));
  size_t first = 0;
  const size_t pages = tree.start + 38;
  unsigned page = r.f.U16(tree.start + 26);
  for (unsigned l = 1; l < t.levels; ++l) page = r.f.U16(pages + size_t(page) * t.pageSize + 4);
  for (unsigned i = 0; i < leaves; ++i) {
    EXPECT_EQ(r.f.U32(map.start + 2 + 6 * i), first) << "leaf " << i;
    EXPECT_EQ(r.f.U16(map.start + 6 + 6 * i), page) << "leaf " << i;
    const size_t p = pages + size_t(page) * t.pageSize;
    first += r.f.U16(p + 2);
    page = r.f.U16(p + 6);
  }
  EXPECT_EQ(page, 0xFFFFu);
  EXPECT_EQ(first, t.entries);
  return index;
}

TEST(HelpIndex, KeywordsLeadToTheirTopicsInTheIndexOrder) {
  const Read r = ReadHelp(Compile(
      "@title T\n"
      "@topic A Das Men\xFC Datei\n"
      "@keywords Speichern; \xD6" "ffnen;Datei\n"
      "@keywords speichern\n"  // once only
      "Text\n"
      "@topic B Der Browser\n"
      "@keywords Vorschau; Speichern ; Browser\n"
      "Text\n"
      "@topic C Ohne Stichwort\n"
      "Text\n"));
  const Index index = ReadIndex(r);
  // Without letter case, umlauts after the letters as code page 1252 orders them.
  EXPECT_EQ(index.words, (std::vector<std::string>{"Browser", "Datei", "Speichern", "Vorschau", "\xD6" "ffnen"}));
  EXPECT_EQ(index.titles.at("Speichern"), (std::vector<std::string>{"Das Men\xFC Datei", "Der Browser"}));
  EXPECT_EQ(index.titles.at("Vorschau"), std::vector<std::string>{"Der Browser"});
  EXPECT_EQ(index.titles.at("\xD6" "ffnen"), std::vector<std::string>{"Das Men\xFC Datei"});
  // No keyword, no index.
  EXPECT_FALSE(ReadHelp(Compile("@title T\n@topic A Titel\nText\n")).files.count("|KWBTREE"));
}

TEST(HelpIndex, ManyKeywordsSpanSeveralPagesAndLevels) {
  std::string src = "@title T\n";
  const int kTopics = 300;
  for (int i = 0; i < kTopics; ++i) {
    src += "@topic T" + std::to_string(i) + " Thema " + std::to_string(i) + "\n@keywords ";
    for (int k = 0; k < 8; ++k) src += "Stichwort Nummer " + std::to_string(i * 8 + k) + "; ";
    src += "Alle\nText\n";
  }
  const Read r = ReadHelp(Compile(src));
  const Index index = ReadIndex(r);
  EXPECT_GE(ReadTree(r.f, r.files.at("|KWBTREE"), 0, 6).levels, 2u);
  ASSERT_EQ(index.words.size(), size_t(kTopics * 8 + 1));
  for (size_t i = 1; i < index.words.size(); ++i) EXPECT_LT(CompareKeywords(index.words[i - 1], index.words[i]), 0);
  EXPECT_EQ(index.titles.at("Alle").size(), size_t(kTopics));
  EXPECT_EQ(index.titles.at("Stichwort Nummer 1234"), std::vector<std::string>{"Thema 154"});
}

// The words a user of Quillet looks up lead to the topic that explains them.
TEST(HelpIndex, QuilletsHelpHasTheWordsAUserLooksUp) {
  const HelpBook book = ParseHelpSource(ReadText(std::string(ASTREL_SOURCE_DIR) + "/quillet/help/Quillet.hlt"));
  const Index index = ReadIndex(ReadHelp(WriteHelpFile(book)));
  const struct {
    const char* word;
    const char* title;
  } cases[] = {
      {"Speichern", "Das Men\xFC \"Datei\""},
      {"Lesezeichen", "Das Men\xFC \"Bearbeiten\""},
      {"Makro", "Das Men\xFC \"Bearbeiten\""},
      {"Einr\xFC" "cken", "Das Men\xFC \"Bearbeiten\""},
      {"Vorschau", "Das Men\xFC \"Browser\""},
      {"E-Mail", "Link einf\xFCgen"},
      {"Tabelle", "Der Tabellen Designer"},
      {"Bild", "Grafik einf\xFCgen"},
      {"Komprimieren", "HTML Seiten packen"},
      {"Schlie\xDF" "en", "Das Men\xFC \"Datei\""},
  };
  std::map<std::string, std::string> titleOf;
  for (const HelpTopic& t : book.topics) titleOf[t.context] = t.title;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    ASSERT_TRUE(index.titles.count(c.word));
    const auto& titles = index.titles.at(c.word);
    EXPECT_NE(std::find(titles.begin(), titles.end(), c.title), titles.end()) << titles.front();
  }
  // Every topic but the contents can be found through the index.
  std::set<std::string> reached;
  for (const auto& w : index.titles) reached.insert(w.second.begin(), w.second.end());
  for (const HelpTopic& t : book.topics)
    if (t.context != book.contents) {
      EXPECT_TRUE(reached.count(t.title)) << t.title;
    }
}

TEST(HelpIndex, RefusedKeywordsAndSourcesNameTheirCause) {
  const struct {
    std::string source;
    int line;
    const char* message;
  } cases[] = {
      {"@title T\n@keywords Wort\n@topic A Titel\nText\n", 2, "\"@keywords\" vor dem ersten \"@topic\""},
      {"@title T\n@topic A Titel\n@keywords ; ;\nText\n", 3, "\"@keywords\" ohne Stichwort"},
      {"@title T\n@topic A Titel\n@keywords " + std::string(kMaxKeywordBytes + 1, 'w') + "\nText\n", 3,
       "ist l\xC3\xA4nger als 80 Zeichen"},
      // UTF-8 with a byte-order mark, and without one: the first character of several bytes.
      {"\xEF\xBB\xBF@title T\n@topic A Titel\nText\n", 1, "die Quelle ist UTF-8 (sie beginnt mit dem Byte-Order-Mark"},
      {"@title T\n@topic A Titel\nText\nDas Men\xC3\xBC\n", 4, "die Quelle ist UTF-8 (ein Zeichen aus mehreren Bytes"},
      // Names the viewer takes for one: the same but for case, and a true collision of the hash.
      {"@title T\n@topic Abc Eins\nText\n@topic ABC Zwei\n", 4,
       "der Kontextname \"ABC\" unterscheidet sich nur in Gro\xC3\x9F- und Kleinschreibung von \"Abc\" in Zeile 2"},
      {"@title T\n@topic Hlp_BBCFYBISG Eins\nText\n@topic Hlp_OSHDPIGOB Zwei\nText\n", 4,
       "der Kontextname \"Hlp_OSHDPIGOB\" hat denselben Hash-Wert wie \"Hlp_BBCFYBISG\" in Zeile 2"},
      {"@title T\n@topic Abc Eins\nText\n@topic Abc Zwei\n", 4, "der Kontextname \"Abc\" ist schon vergeben (\"Abc\" in Zeile 2)"},
  };
  ASSERT_EQ(ContextHash("Hlp_BBCFYBISG"), ContextHash("Hlp_OSHDPIGOB"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    try {
      Compile(c.source);
      ADD_FAILURE() << "accepted";
    } catch (const HelpSourceError& e) {
      EXPECT_EQ(e.line(), c.line);
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  // Code page 1252 text whose bytes are no UTF-8 stays text.
  EXPECT_NO_THROW(Compile("@title T\n@topic A Titel\nDas Men\xFC und \xC3 allein\n"));
}

// The limits of the viewer (see help_source.h): a topic of the longest paragraphs, as many as it
// may hold, is taken; one character more in a paragraph or in the topic is refused with its line.
TEST(HelpLimits, ParagraphsAndTopicsKeepToTheViewersLimits) {
  const int paragraphs = int(kMaxTopicBytes / kMaxParagraphBytes);
  ASSERT_GE(paragraphs, 2);
  auto topic = [&](size_t last, const std::string& more) {
    std::string src = "@title T\n@topic A Titel\n";
    for (int i = 0; i < paragraphs; ++i)
      src += std::string(i + 1 < paragraphs ? kMaxParagraphBytes : last, char('a' + i)) + "\n\n";
    return src + more;
  };
  EXPECT_NO_THROW(Compile(topic(kMaxParagraphBytes, "@topic B Noch eins\n" + std::string(kMaxParagraphBytes, 'b') + "\n")));
  const struct {
    std::string source;
    int line;
    std::string message;
  } cases[] = {
      {topic(kMaxParagraphBytes + 1, ""), 2 + 2 * paragraphs - 1, "der Absatz ist l\xC3\xA4nger als 1000 Zeichen"},
      {topic(kMaxParagraphBytes, "x\n"), 3 + 2 * paragraphs,
       "das Thema \"A\" hat mehr als 6000 Zeichen Text, mehr als der Hilfe-Viewer zeigen kann: das Thema teilen"},
  };
  for (const auto& c : cases) {
    try {
      Compile(c.source);
      ADD_FAILURE() << "accepted: line " << c.line;
    } catch (const HelpSourceError& e) {
      EXPECT_EQ(e.line(), c.line);
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

}  // namespace
