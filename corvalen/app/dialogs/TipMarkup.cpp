#include "TipMarkup.h"

#include <string>

CString ExpandTipMarkers(const CString& text) {
  CString out = text;
  out.Replace("\\b", "\x08");
  out.Replace("\\v", "\x0B");
  return out;
}

CTipRuns StripTipMarks(const CString& text, bool crLfAsOne) {
  CTipRuns runs;
  std::string kept;
  kept.reserve(static_cast<size_t>(text.GetLength()));
  long pos = 0;  // position of the next kept character as the control counts
  for (int i = 0; i < text.GetLength(); ++i) {
    char ch = text[i];
    if (ch == kBoldMark || ch == kUnderlineMark) {
      std::vector<long>& list = ch == kBoldMark ? runs.bold : runs.underline;
      if (static_cast<int>(list.size()) < kMaxTipMarks) list.push_back(pos);
      continue;
    }
    // A CR followed by LF is one character for rich edit 2.0: the LF adds nothing.
    bool lfOfPair = crLfAsOne && ch == '\n' && !kept.empty() && kept.back() == '\r';
    kept += ch;
    if (!lfOfPair) ++pos;
  }
  runs.text = CString(kept);
  return runs;
}

std::vector<std::pair<long, long>> TipRunPairs(const std::vector<long>& positions) {
  std::vector<std::pair<long, long>> pairs;
  if (positions.empty() || positions.size() % 2 != 0) return pairs;
  for (size_t i = 0; i + 1 < positions.size(); i += 2) pairs.emplace_back(positions[i], positions[i + 1]);
  return pairs;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// How many markers "\\" + `mark` the text holds, counted as ExpandTipMarkers finds them.
int CountMarks(const std::string& text, char mark) {
  int n = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '\\' && text[i + 1] == mark) {
      ++n;
      ++i;
    }
  }
  return n;
}

}  // namespace

CString CutTipText(const CString& text, bool markup, int limit) {
  if (text.GetLength() <= limit) return text;
  const std::string all(text, static_cast<size_t>(text.GetLength()));
  // Room for the cut mark and, with markup, two closing markers.
  const int reserve = static_cast<int>(sizeof kTipCutMark) - 1 + (markup ? 4 : 0);
  const size_t room = static_cast<size_t>(limit > reserve ? limit - reserve : 1);
  const size_t half = room / 2;
  size_t cut = room;
  size_t at = all.find_last_of("\r\n", room - 1);
  if (at != std::string::npos && at >= half) {
    cut = at;
  } else {
    at = all.find_last_of(" \t", room - 1);
    if (at != std::string::npos && at >= half) cut = at;
  }
  std::string kept = all.substr(0, cut);
  while (!kept.empty() && (IsBlank(kept.back()) || IsLineEnd(kept.back()))) kept.pop_back();
  if (markup) {
    // The first half of a marker that the cut went through goes with it.
    while (!kept.empty() && kept.back() == '\\') kept.pop_back();
    if (CountMarks(kept, 'b') % 2) kept += "\\b";
    if (CountMarks(kept, 'v') % 2) kept += "\\v";
  }
  kept += kTipCutMark;
  return CString(kept);
}

bool TipHasText(const CString& text) {
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.GetLength() && (text[i + 1] == 'b' || text[i + 1] == 'v')) {
      ++i;
      continue;
    }
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != kBoldMark && c != kUnderlineMark) return true;
  }
  return false;
}
