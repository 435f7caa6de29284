// Reads the help source line by line into topics and paragraphs (see help_source.h).
#include "help_source.h"

#include <map>

#include "context_name.h"

namespace hlpc {

HelpSourceError::HelpSourceError(int line, const std::string& what)
    : std::runtime_error("Zeile " + std::to_string(line) + ": " + what), line_(line) {}

namespace {

// A code page 1252 character as the keyword index orders it: letters without case (the Latin-1
// letters as well), everything else by its value.
unsigned char KeywordFold(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - ('a' - 'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  return c;
}

}  // namespace

int CompareKeywords(const std::string& a, const std::string& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = KeywordFold(a[i]), y = KeywordFold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool SameKeyword(const std::string& a, const std::string& b) { return CompareKeywords(a, b) == 0; }

namespace {

// Source text quoted in a message: the source is code page 1252, the terminal UTF-8. Letters of
// the Latin-1 range keep their code point; the few others of 0x80-0x9F show as '?'.
std::string Shown(const std::string& cp1252) {
  std::string out;
  for (unsigned char c : cp1252) {
    if (c < 0x80) out += char(c);
    else if (c < 0xA0) out += '?';
    else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The line of the first character written as UTF-8 (a lead byte 0xC2-0xF4 followed by the right
// number of continuation bytes) when the whole source is valid UTF-8; 0 when it holds no such
// character or is no UTF-8 at all. Code page 1252 text is hardly ever valid UTF-8 with such a
// character in it: "Ã¼" stands for "ü" only in text that was UTF-8 to begin with.
int FirstUtf8Line(const std::string& source) {
  int line = 1, first = 0;
  for (size_t i = 0; i < source.size();) {
    const unsigned char c = source[i];
    if (c < 0x80) {
      if (c == '\n') ++line;
      ++i;
      continue;
    }
    size_t n = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
    if (n == 0 || i + n >= source.size()) return 0;
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(source[i + k]) & 0xC0) != 0x80) return 0;
    if (!first) first = line;
    i += n + 1;
  }
  return first;
}

// A jump whose target is checked once every topic is known.
struct PendingJump {
  std::string target;
  int line;
};

class Parser {
 public:
  HelpBook Parse(const std::string& source) {
    if (source.size() > kMaxSourceBytes)
      throw HelpSourceError(1, "die Quelle ist gr\xC3\xB6\xC3\x9F" "er als " + std::to_string(kMaxSourceBytes) + " Bytes");
    // A help source is code page 1252; a UTF-8 source would come out with two wrong characters
    // for every umlaut, or be refused for its byte-order mark as text before the first topic.
    if (source.compare(0, 3, "\xEF\xBB\xBF") == 0)
      throw HelpSourceError(1, "die Quelle ist UTF-8 (sie beginnt mit dem Byte-Order-Mark EF BB BF); hlpc liest "
                               "Code-Page 1252 (umwandeln mit: iconv -f UTF-8 -t CP1252)");
    if (const int utf8 = FirstUtf8Line(source))
      throw HelpSourceError(utf8, "die Quelle ist UTF-8 (ein Zeichen aus mehreren Bytes steht hier); hlpc liest "
                                  "Code-Page 1252 (umwandeln mit: iconv -f UTF-8 -t CP1252)");
    size_t pos = 0;
    int line = 0;
    while (pos < source.size()) {
      size_t end = source.find('\n', pos);
      if (end == std::string::npos) end = source.size();
      std::string text = source.substr(pos, end - pos);
      if (!text.empty() && text.back() == '\r') text.pop_back();
      Line(++line, text);
      pos = end + 1;
    }
    Finish(line + 1);
    return std::move(book_);
  }

 private:
  HelpBook book_;
  int titleLine_ = 0;
  int contentsLine_ = 0;
  HelpParagraph* open_ = nullptr;  // the paragraph that further text lines continue
  size_t topicBytes_ = 0;          // the text of the current topic's paragraphs
  std::map<int32_t, std::pair<std::string, int>> hashes_;  // context hash -> name, line
  std::vector<PendingJump> jumps_;

  static std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
  }

  static void CheckCharacters(int line, std::string& text) {
    for (char& c : text) {
      const unsigned char u = c;
      if (u == '\t') c = ' ';
      else if (u < 0x20 || u == 0x7F)
        throw HelpSourceError(line, "Steuerzeichen " + std::to_string(u) + " im Text");
    }
  }

  void Line(int line, std::string text) {
    CheckCharacters(line, text);
    if (!text.empty() && text[0] == '#') return;
    if (Trim(text).empty()) {
      open_ = nullptr;
      return;
    }
    if (text[0] == '@') {
      Directive(line, text);
      return;
    }
    if (book_.topics.empty()) throw HelpSourceError(line, "Text vor dem ersten \"@topic\"");
    HelpTopic& topic = book_.topics.back();
    if (text.size() >= 2 && (text[0] == '=' || text[0] == '*') && text[1] == ' ') {
      open_ = nullptr;
      HelpParagraph p;
      p.kind = text[0] == '=' ? HelpParagraph::kHeading : HelpParagraph::kItem;
      p.line = line;
      topic.paragraphs.push_back(p);
      AddText(line, topic.paragraphs.back(), Trim(text.substr(2)));
      // A heading stands alone; an item goes on in the lines that follow it.
      open_ = p.kind == HelpParagraph::kItem ? &topic.paragraphs.back() : nullptr;
      return;
    }
    if (!open_) {
      HelpParagraph p;
      p.line = line;
      topic.paragraphs.push_back(p);
      open_ = &topic.paragraphs.back();
    } else {
      open_->runs.push_back({" ", ""});
      ++topicBytes_;
    }
    AddText(line, *open_, Trim(text));
  }

  void Directive(int line, const std::string& text) {
    const size_t blank = text.find(' ');
    const std::string word = text.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : Trim(text.substr(blank + 1));
    open_ = nullptr;
    if (word == "@title") {
      if (!book_.topics.empty()) throw HelpSourceError(line, "\"@title\" nach dem ersten \"@topic\"");
      if (titleLine_) throw HelpSourceError(line, "zweites \"@title\" (das erste steht in Zeile " + std::to_string(titleLine_) + ")");
      if (rest.empty()) throw HelpSourceError(line, "\"@title\" ohne Titel");
      if (rest.size() > kMaxTitleBytes) throw HelpSourceError(line, "der Titel ist l\xC3\xA4nger als " + std::to_string(kMaxTitleBytes) + " Zeichen");
      book_.title = rest;
      titleLine_ = line;
    } else if (word == "@contents") {
      if (contentsLine_) throw HelpSourceError(line, "zweites \"@contents\" (das erste steht in Zeile " + std::to_string(contentsLine_) + ")");
      if (!IsContextName(rest)) throw HelpSourceError(line, "\"@contents\" braucht einen Kontextnamen aus 0-9, A-Z, a-z, _ und .");
      book_.contents = rest;
      contentsLine_ = line;
      jumps_.push_back({rest, line});
    } else if (word == "@topic") {
      const size_t sep = rest.find(' ');
      const std::string context = rest.substr(0, sep);
      const std::string title = sep == std::string::npos ? "" : Trim(rest.substr(sep + 1));
      if (!IsContextName(context))
        throw HelpSourceError(line, "\"@topic\" braucht einen Kontextnamen aus 0-9, A-Z, a-z, _ und . (h\xC3\xB6" "chstens " +
                                        std::to_string(kMaxContextBytes) + " Zeichen)");
      if (title.empty()) throw HelpSourceError(line, "das Thema \"" + context + "\" hat keinen Titel");
      if (title.size() > kMaxTitleBytes) throw HelpSourceError(line, "der Titel ist l\xC3\xA4nger als " + std::to_string(kMaxTitleBytes) + " Zeichen");
      if (book_.topics.size() >= kMaxTopics) throw HelpSourceError(line, "mehr als " + std::to_string(kMaxTopics) + " Themen");
      const int32_t hash = ContextHash(context);
      const auto seen = hashes_.find(hash);
      if (seen != hashes_.end()) {
        const std::string& other = seen->second.first;
        const std::string where = "\"" + other + "\" in Zeile " + std::to_string(seen->second.second);
        if (other == context) throw HelpSourceError(line, "der Kontextname \"" + context + "\" ist schon vergeben (" + where + ")");
        if (SameContextName(other, context))
          throw HelpSourceError(line, "der Kontextname \"" + context + "\" unterscheidet sich nur in Gro\xC3\x9F- und "
                                      "Kleinschreibung von " + where + "; der Viewer unterscheidet die beiden nicht");
        throw HelpSourceError(line, "der Kontextname \"" + context + "\" hat denselben Hash-Wert wie " + where +
                                    "; der Viewer findet Themen \xC3\xBC" "ber diesen Wert und k\xC3\xB6nnte die beiden "
                                    "nicht unterscheiden: einen der beiden Namen \xC3\xA4ndern");
      }
      hashes_[hash] = {context, line};
      topicBytes_ = 0;
      HelpTopic topic;
      topic.context = context;
      topic.title = title;
      topic.line = line;
      book_.topics.push_back(topic);
    } else if (word == "@keywords") {
      Keywords(line, rest);
    } else {
      throw HelpSourceError(line, "unbekannte Anweisung \"" + word + "\"");
    }
  }

  // "@keywords A; B": words of the keyword index for the topic last begun; a word that the topic
  // has already (in any letter case) is taken once.
  void Keywords(int line, const std::string& list) {
    if (book_.topics.empty()) throw HelpSourceError(line, "\"@keywords\" vor dem ersten \"@topic\"");
    HelpTopic& topic = book_.topics.back();
    size_t from = 0;
    bool any = false;
    while (from <= list.size()) {
      size_t end = list.find(';', from);
      if (end == std::string::npos) end = list.size();
      const std::string word = Trim(list.substr(from, end - from));
      from = end + 1;
      if (word.empty()) continue;
      any = true;
      if (word.size() > kMaxKeywordBytes)
        throw HelpSourceError(line, "das Stichwort \"" + Shown(word.substr(0, 20)) + "...\" ist l\xC3\xA4nger als " +
                                    std::to_string(kMaxKeywordBytes) + " Zeichen");
      bool known = false;
      for (const std::string& k : topic.keywords) known = known || SameKeyword(k, word);
      if (!known) topic.keywords.push_back(word);
    }
    if (!any) throw HelpSourceError(line, "\"@keywords\" ohne Stichwort");
  }

  // Splits the text of one line into plain runs and jumps and appends them to the paragraph.
  void AddText(int line, HelpParagraph& p, const std::string& text) {
    const size_t runsBefore = p.runs.size();
    std::string plain;
    size_t i = 0;
    while (i < text.size()) {
      if (text[i] == '[' && i + 1 < text.size() && text[i + 1] == '[') {
        plain += '[';
        i += 2;
      } else if (text[i] == '[') {
        const size_t close = text.find(']', i);
        if (close == std::string::npos) throw HelpSourceError(line, "der Sprung ab \"" + Shown(text.substr(i, 20)) + "\" endet nicht mit \"]\"");
        const std::string jump = text.substr(i + 1, close - i - 1);
        const size_t bar = jump.rfind('|');
        if (bar == std::string::npos) throw HelpSourceError(line, "dem Sprung \"[" + Shown(jump) + "]\" fehlt \"|\" vor dem Kontextnamen");
        const std::string shown = Trim(jump.substr(0, bar));
        const std::string target = Trim(jump.substr(bar + 1));
        if (shown.empty()) throw HelpSourceError(line, "der Sprung \"[" + Shown(jump) + "]\" hat keinen Text");
        if (shown.find('[') != std::string::npos) throw HelpSourceError(line, "\"[\" im Text des Sprungs \"[" + Shown(jump) + "]\"");
        if (!IsContextName(target)) throw HelpSourceError(line, "der Sprung \"[" + Shown(jump) + "]\" nennt keinen g\xC3\xBCltigen Kontextnamen");
        if (!plain.empty()) p.runs.push_back({plain, ""});
        plain.clear();
        p.runs.push_back({shown, target});
        jumps_.push_back({target, line});
        i = close + 1;
      } else {
        plain += text[i++];
      }
    }
    if (!plain.empty()) p.runs.push_back({plain, ""});
    for (size_t r = runsBefore; r < p.runs.size(); ++r) topicBytes_ += p.runs[r].text.size();
    size_t size = 0;
    for (const HelpRun& r : p.runs) size += r.text.size();
    if (size > kMaxParagraphBytes)
      throw HelpSourceError(p.line, "der Absatz ist l\xC3\xA4nger als " + std::to_string(kMaxParagraphBytes) + " Zeichen");
    if (topicBytes_ > kMaxTopicBytes)
      throw HelpSourceError(line, "das Thema \"" + book_.topics.back().context + "\" hat mehr als " +
                                  std::to_string(kMaxTopicBytes) + " Zeichen Text, mehr als der Hilfe-Viewer "
                                  "zeigen kann: das Thema teilen");
  }

  void Finish(int endLine) {
    if (!titleLine_) throw HelpSourceError(1, "\"@title\" fehlt");
    if (book_.topics.empty()) throw HelpSourceError(endLine, "die Quelle hat kein \"@topic\"");
    for (const PendingJump& j : jumps_) {
      const auto found = hashes_.find(ContextHash(j.target));
      if (found == hashes_.end() || found->second.first != j.target)
        throw HelpSourceError(j.line, "es gibt kein Thema \"" + j.target + "\"");
    }
    for (const HelpTopic& t : book_.topics)
      if (t.paragraphs.empty()) throw HelpSourceError(t.line, "das Thema \"" + t.context + "\" hat keinen Text");
    if (book_.contents.empty()) book_.contents = book_.topics.front().context;
  }
};

}  // namespace

HelpBook ParseHelpSource(const std::string& source) { return Parser().Parse(source); }

}  // namespace hlpc
