#include "TipMarkup.h"

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
