#include "editor_utils.h"

const char EditorSeparators[26] = {'\0', '\n', '\r', ' ', '"', '#', '%', '\'', '(', ')', '*', '+', ',',
                                   '-',  '.',  '/',  ':', ';', '<', '=', '>',  '[', '\\', ']', '{', '}'};

namespace {
struct SeparatorTable {
  bool is[256] = {};
  SeparatorTable() {
    for (char c : EditorSeparators) is[static_cast<unsigned char>(c)] = true;
  }
};
const SeparatorTable& Separators() {
  static const SeparatorTable table;
  return table;
}
}  // namespace

bool IsEditorSeparator(char c) { return Separators().is[static_cast<unsigned char>(c)]; }

void CaretFromPosInText(const String& Text, int P, int& X, int& Y) {
  if (P < 0 || static_cast<size_t>(P) > Text.size()) {
    X = Y = -1;
    return;
  }
  Y = 0;
  int after = 0;  // offset just after the last line break before P
  for (int i = 0; i < P; ++i) {
    if (Text[static_cast<size_t>(i)] == '\r') {
      ++Y;
      after = i + 1;
      if (i + 1 < P && Text[static_cast<size_t>(i) + 1] == '\n') after = i + 2;
    }
  }
  X = P - after;
}

String GetWordOnPosEx(const String& S, int P, int& iBeg, int& iEnd) {
  iBeg = iEnd = P;
  int n = static_cast<int>(S.size());
  if (P < 1 || P > n + 1) return String();
  auto sep = [&](int i) { return i < 1 || i > n || IsEditorSeparator(S[static_cast<size_t>(i) - 1]); };
  // On a separator, the word that ends just before it counts; failing that the word after it.
  if (sep(P)) {
    if (!sep(P - 1)) --P;
    else if (!sep(P + 1)) ++P;
    else return String();
  }
  iBeg = P;
  while (!sep(iBeg - 1)) --iBeg;
  iEnd = P;
  while (!sep(iEnd)) ++iEnd;
  return S.substr(static_cast<size_t>(iBeg) - 1, static_cast<size_t>(iEnd - iBeg));
}

String GetWordOnPos(const String& S, int P) {
  int b, e;
  return GetWordOnPosEx(S, P, b, e);
}

String SubStr(const String& S, int N, const String& Separator) {
  if (N < 0) return String();
  if (Separator.empty()) return N == 0 ? S : String();
  size_t start = 0;
  for (int i = 0; i < N; ++i) {
    size_t p = S.find(Separator, start);
    if (p == String::npos) return String();
    start = p + Separator.size();
  }
  size_t p = S.find(Separator, start);
  return S.substr(start, p == String::npos ? String::npos : p - start);
}

String ReplaceString(const String& S, const String& Find, const String& Replace) {
  if (Find.empty()) return S;
  String r;
  size_t start = 0, p;
  while ((p = S.find(Find, start)) != String::npos) {
    r.append(S, start, p - start);
    r += Replace;
    start = p + Find.size();
  }
  r.append(S, start, String::npos);
  return r;
}

String Spaces(int N) { return N > 0 ? String(static_cast<size_t>(N), ' ') : String(); }

bool HasChar(char Ch, const String& S) { return S.find(Ch) != String::npos; }

bool HasAnyChar(const String& Chars, const String& S) { return S.find_first_of(Chars) != String::npos; }

String AnsiChangeCase(const String& S) {
  String r = S;
  for (char& c : r) {
    char up = AnsiUpperChar(c);
    c = up != c ? up : AnsiLowerChar(c);
  }
  return r;
}

String NormalizeLineBreaks(const String& S) {
  if (S.find_first_of("\r\n") == String::npos) return S;
  String r;
  r.reserve(S.size() + S.size() / 16);
  for (size_t i = 0; i < S.size(); ++i) {
    char c = S[i];
    if (c == '\r') {
      r += "\r\n";
      if (i + 1 < S.size() && S[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      r += "\r\n";
    } else {
      r += c;
    }
  }
  return r;
}
