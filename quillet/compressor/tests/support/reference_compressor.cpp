// The plain reading of the compressor's passes (see reference_compressor.h).
#include "reference_compressor.h"

#include <cctype>
#include <cstring>

namespace {

using std::string;
const size_t npos = string::npos;

char Low(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// The text at i, lower-cased, starts with lit.
bool At(const string& s, size_t i, const string& lit) {
  if (i + lit.size() > s.size()) return false;
  for (size_t k = 0; k < lit.size(); ++k)
    if (Low(s[i + k]) != lit[k]) return false;
  return true;
}

size_t FindLower(const string& s, size_t from, const string& lit) {
  for (size_t p = from; p + lit.size() <= s.size(); ++p)
    if (At(s, p, lit)) return p;
  return npos;
}

// The end tag of a protected region starting at i ("" for none).
string RegionEnd(const string& s, size_t i, bool script) {
  if (At(s, i, "<textarea")) return "</textarea>";
  if (At(s, i, "<pre")) return "</pre>";
  if (script && At(s, i, "<script")) return "</script>";
  return "";
}

// The tag that ends at s[i - 1] (a ">") is a block tag: the text from the last "<" before it,
// when no other ">" comes between.
bool BlockBefore(const string& s, size_t i) {
  if (i < 2) return false;
  size_t open = s.find_last_of("<>", i - 2);
  return open != npos && s[open] == '<' && IsBlockTag(s.data() + open, i - open);
}

// s[i - 1] lies inside a tag: the last "<" or ">" before i is a "<" that a letter, "/" or "!"
// follows.
bool InTag(const string& s, size_t i) {
  if (i == 0) return false;
  size_t open = s.find_last_of("<>", i - 1);
  if (open == npos || s[open] != '<' || open + 1 >= i) return false;
  const char n = s[open + 1];
  return ((n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z')) || n == '/' || n == '!';
}

bool BlockAt(const string& s, size_t i) { return i < s.size() && IsBlockTag(s.data() + i, s.size() - i); }

void Replace(string& s, const string& find, const string& repl, bool script, bool webbots, bool beforeBlock = false,
             bool inTag = false) {
  size_t i = 0;
  while (i < s.size()) {
    string end = RegionEnd(s, i, script);
    if (!end.empty()) {
      size_t p = FindLower(s, i, end);
      if (p == npos) return;
      i = p + 1;
    }
    if (At(s, i, find)) {
      string by = repl;
      bool ok = true;
      if (repl.empty()) {
        // A line break: gone beside white space, a block tag or the text's ends, a blank beside
        // another tag.
        size_t a = i + find.size();
        char before = i > 0 ? s[i - 1] : 0, after = a < s.size() ? s[a] : 0;
        if (i == 0 || a == s.size() || before == ' ' || after == ' ' || after == '\r' || after == '\n') {
          ok = true;
        } else if (before == '>' || after == '<') {
          bool block = (before == '>' && BlockBefore(s, i)) || (after == '<' && BlockAt(s, a));
          if (!block) by = " ";
        } else {
          ok = false;
        }
      } else if (beforeBlock) {
        ok = BlockAt(s, i + 2);
      } else if (inTag) {
        ok = InTag(s, i);
      }
      if (ok) {
        s.replace(i, find.size(), by);
        continue;
      }
    }
    if (find[0] == '\r' && s[i] == '<') {
      if (webbots && At(s, i, "<!--webbot")) {
        size_t gt = s.find('>', i);
        if (gt != npos) {
          s.erase(i, gt - i + 1);
          continue;
        }
      }
      while (i < s.size() && s[i] != '>') ++i;
    }
    ++i;
  }
}

void Quotes(string& s) {
  size_t i = 0;
  while (i < s.size()) {
    string end = RegionEnd(s, i, true);
    if (!end.empty()) {
      size_t p = FindLower(s, i, end);
      if (p == npos) return;
      i = p + 1;
      continue;
    }
    if (s[i] == '<' && i + 1 < s.size() && ((isalpha((unsigned char)s[i + 1]) && (unsigned char)s[i + 1] < 128) || s[i + 1] == '/')) {
      size_t gt = s.find('>', i);
      size_t sq = s.find('\'', i);
      if (sq != npos && (gt == npos || sq < gt)) {
        ++i;
        continue;
      }
      ++i;
      while (i < s.size() && s[i] != '>') {
        size_t open = s[i] == '=' ? s.find_first_not_of(" \t\r\n\f", i + 1) : npos;
        if (open != npos && s[open] == '"') {
          size_t close = s.find('"', open + 1);
          if (close == npos) return;
          string value = s.substr(open + 1, close - open - 1);
          if (value.empty() || value.find_first_of(" \t\r\n\f>") != npos) {
            i = close + 1;
          } else {
            s.erase(close, 1);
            s.erase(open, 1);
            i = close - 1;
          }
          continue;
        }
        if (s[i] == '"')
          s.erase(i, 1);
        else
          ++i;
      }
    }
    ++i;
  }
}

void Pair(string& s, const string& opener) {
  bool closer = false;
  size_t i = 0;
  while (i < s.size()) {
    string end = RegionEnd(s, i, true);
    if (!end.empty()) {
      size_t p = FindLower(s, i, end);
      if (p == npos) return;
      i = p + 1;
      continue;
    }
    if (!closer && At(s, i, opener)) {
      s.replace(i, opener.size(), "<center>");
      closer = true;
    } else if (closer && At(s, i, "</p>")) {
      s.replace(i, 4, "</center>");
      closer = false;
    }
    ++i;
  }
}

}  // namespace

std::string ReferenceCompressHTML(std::string s, const THTMLCompressOptions& o) {
  if (o.InvCommas) Quotes(s);
  if (o.AllReturns || o.Returns) {
    Replace(s, "\r\r", "\r", false, o.Webbots);
    Replace(s, "\n\n", "\n", false, o.Webbots);
  }
  if (o.AllReturns) {
    Replace(s, "\r\n", "", true, o.Webbots);
    Replace(s, "\r", "", true, o.Webbots);
    Replace(s, "\n", "", true, o.Webbots);
  }
  if (o.Spaces) {
    for (const char* f : {"    ", "   ", "  ", "  "}) Replace(s, f, " ", true, o.Webbots);
    Replace(s, " >", ">", true, o.Webbots, false, true);
    for (const char* t : {"t", "/t", "l", "/l", "p", "/p"})
      Replace(s, string("> <") + t, string("><") + t, true, o.Webbots, true);
  }
  if (o.SimpleTags) {
    const char* pairs[][2] = {{"strong", "b"}, {"em", "i"}, {"strike", "s"}};
    for (auto& p : pairs) {
      Replace(s, string("<") + p[0] + ">", string("<") + p[1] + ">", true, o.Webbots);
      Replace(s, string("</") + p[0] + ">", string("</") + p[1] + ">", true, o.Webbots);
    }
  }
  if (o.BlockquoteToUl) {
    Replace(s, "<blockquote>", "<ul>", true, o.Webbots);
    Replace(s, "</blockquote>", "</ul>", true, o.Webbots);
  }
  if (o.Center) {
    Pair(s, "<p align=center>");
    Pair(s, "<p align=\"center\">");
  }
  return s;
}
