// The help source: a code page 1252 text file with a small line markup, read into topics.
//
//   # a comment                  (a line whose first character is '#')
//   @title Quillet Hilfe         the help file's title (once, before the first topic)
//   @contents Hlp_Topic_1        the contents topic (optional; else the first topic)
//   @topic Hlp_Datei Das Menü "Datei"
//                                a new topic: its context name, a blank, its title
//   @keywords Datei; Speichern   words of the keyword index that lead to this topic (after its
//                                "@topic"; separated by ";", any number of such lines)
//   = Das Menü "Datei"           a heading paragraph
//   * Neu: ...                   a list item (a paragraph of its own, with a bullet)
//   any other text               lines of a paragraph; an empty line ends it
//
// In the text of a paragraph, "[shown text|Context_Name]" is a jump to the topic of that context
// name, and "[[" stands for a literal "[". Context names consist of 0-9, A-Z, a-z, '_' and '.'
// (the characters the help viewer's context hash knows) and are unique regardless of case.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "context_name.h"

namespace hlpc {

// A piece of a paragraph: plain text, or the text of a jump to the topic `target`.
struct HelpRun {
  std::string text;
  std::string target;  // empty: plain text
};

struct HelpParagraph {
  enum Kind { kText, kHeading, kItem };
  Kind kind = kText;
  int line = 0;  // where the paragraph begins in the source
  std::vector<HelpRun> runs;
};

struct HelpTopic {
  std::string context;
  std::string title;
  int line = 0;
  std::vector<std::string> keywords;  // of the keyword index, each once
  std::vector<HelpParagraph> paragraphs;
};

struct HelpBook {
  std::string title;
  std::string contents;  // context name of the contents topic
  std::vector<HelpTopic> topics;
};

// A source the compiler refuses: the message names the line ("Zeile 12: ...").
class HelpSourceError : public std::runtime_error {
 public:
  HelpSourceError(int line, const std::string& what);
  int line() const { return line_; }

 private:
  int line_;
};

// Limits of one source. Every paragraph must fit into one block of the help file's topic data
// (4084 bytes with its formatting), and the viewer shows titles of a line's length.
// The paragraph and topic limits are those of the viewer the file is made for (Wine's winhlp32):
// it lays a topic out in memory that grows with the square of each paragraph's length, some 13
// bytes per character squared (measured: a topic of one paragraph of 500 characters took 24 MB,
// of 1000 characters 35 MB, of 2000 characters 75 MB; 80 paragraphs of 500 characters 330 MB;
// 20 paragraphs of 2000 characters 1071 MB; 520 paragraphs of 2000 characters made it crash).
// With at most 1000 characters a paragraph and 6000 a topic the worst topic (six paragraphs of
// 1000) takes about 100 MB; tests/viewer_test.cpp opens such a file in the viewer.
const size_t kMaxSourceBytes = 1 << 20;
const size_t kMaxParagraphBytes = 1000;
const size_t kMaxTopicBytes = 6000;
const size_t kMaxTitleBytes = 120;
const size_t kMaxTopics = 2000;
// A keyword is shown in one line of the viewer's index list.
const size_t kMaxKeywordBytes = 80;

// The order of the keyword index: code page 1252 text compared without letter case (Latin-1
// letters included); <0, 0 or >0.
int CompareKeywords(const std::string& a, const std::string& b);
bool SameKeyword(const std::string& a, const std::string& b);

// Reads a whole source; throws HelpSourceError for the first fault found.
HelpBook ParseHelpSource(const std::string& source);

}  // namespace hlpc
