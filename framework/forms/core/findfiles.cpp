#include "findfiles.h"

#include <ctime>

bool MatchesMask(const String& Name, const String& Pattern) {
  // Iterative wildcard match with one backtrack point for the last '*'.
  size_t n = 0, p = 0, star = String::npos, mark = 0;
  while (n < Name.size()) {
    if (p < Pattern.size() && Pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (p < Pattern.size() && (Pattern[p] == '?' || AnsiLowerChar(Pattern[p]) == AnsiLowerChar(Name[n]))) {
      ++p;
      ++n;
    } else if (star != String::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < Pattern.size() && Pattern[p] == '*') ++p;
  return p == Pattern.size();
}

String FileTimeText(int64_t Seconds) {
  const std::time_t t = std::time_t(Seconds);
  const std::tm* local = std::localtime(&t);  // the user-interface thread's only
  if (!local) return "";
  const std::tm parts = *local;
  return Format("%02d.%02d.%04d %02d:%02d:%02d", parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900,
                parts.tm_hour, parts.tm_min, parts.tm_sec);
}
