#include "sysutils.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

String Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  String out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(&out[0], out.size(), fmt, ap2);
    out.resize(static_cast<size_t>(n));
  }
  va_end(ap2);
  return out;
}

static bool IsWhite(char c) { return static_cast<unsigned char>(c) <= ' '; }

String Trim(const String& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsWhite(s[b])) ++b;
  while (e > b && IsWhite(s[e - 1])) --e;
  return s.substr(b, e - b);
}

String TrimLeft(const String& s) {
  size_t b = 0;
  while (b < s.size() && IsWhite(s[b])) ++b;
  return s.substr(b);
}

String TrimRight(const String& s) {
  size_t e = s.size();
  while (e > 0 && IsWhite(s[e - 1])) --e;
  return s.substr(0, e);
}

namespace {

// The code page 1252 case table: for every byte its upper-case and its lower-case letter.
// Besides A-Z the letters are Š Œ Ž (0x8A 0x8C 0x8E) with š œ ž (0x9A 0x9C 0x9E), Ÿ (0x9F) with
// ÿ (0xFF), and À..Þ (0xC0..0xDE, without the sign × at 0xD7) with à..þ (without ÷ at 0xF7).
struct CaseTable {
  unsigned char upper[256];
  unsigned char lower[256];
  CaseTable() {
    for (int i = 0; i < 256; ++i) upper[i] = lower[i] = static_cast<unsigned char>(i);
    auto pair = [this](int up, int low) {
      upper[low] = static_cast<unsigned char>(up);
      lower[up] = static_cast<unsigned char>(low);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    pair(0x8A, 0x9A);
    pair(0x8C, 0x9C);
    pair(0x8E, 0x9E);
    pair(0x9F, 0xFF);
    for (int c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) pair(c, c + 32);
  }
};

const CaseTable& Table() {
  static const CaseTable table;
  return table;
}

}  // namespace

char AnsiUpperChar(char c) { return static_cast<char>(Table().upper[static_cast<unsigned char>(c)]); }
char AnsiLowerChar(char c) { return static_cast<char>(Table().lower[static_cast<unsigned char>(c)]); }
bool AnsiIsUpper(char c) { return AnsiLowerChar(c) != c; }
bool AnsiIsLower(char c) { return AnsiUpperChar(c) != c; }

String UpperCase(const String& s) {
  String r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

String LowerCase(const String& s) {
  String r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

String AnsiUpperCase(const String& s) {
  String r = s;
  for (char& c : r) c = AnsiUpperChar(c);
  return r;
}

String AnsiLowerCase(const String& s) {
  String r = s;
  for (char& c : r) c = AnsiLowerChar(c);
  return r;
}

int AnsiCompareText(const String& a, const String& b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    int x = static_cast<unsigned char>(AnsiLowerChar(a[i]));
    int y = static_cast<unsigned char>(AnsiLowerChar(b[i]));
    if (x != y) return x - y;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareText(const String& a, const String& b) { return LowerCase(a).compare(LowerCase(b)); }

bool SameText(const String& a, const String& b) { return AnsiCompareText(a, b) == 0; }

String IntToStr(int64_t value) { return Format("%lld", static_cast<long long>(value)); }

String IntToHex(uint64_t value, int digits) {
  return Format("%0*llX", digits, static_cast<unsigned long long>(value));
}

bool TryStrToInt(const String& s, int& value) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * base + d;
    // Hexadecimal may fill all 32 bits (as a bit pattern); decimal must fit the signed range.
    if (v > (base == 16 ? int64_t(0xFFFFFFFF) : int64_t(0x80000000))) return false;
  }
  if (neg) v = -v;
  if (base == 10 && (v > 0x7FFFFFFF || v < -int64_t(0x80000000))) return false;
  value = static_cast<int>(static_cast<uint32_t>(v));
  return true;
}

int StrToInt(const String& s) {
  int v = 0;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' ist kein gültiger Integerwert");
  return v;
}

int StrToIntDef(const String& s, int fallback) {
  int v = 0;
  return TryStrToInt(s, v) ? v : fallback;
}

int Pos(const String& sub, const String& s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

String Copy(const String& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<size_t>(index) > s.size()) return String();
  return s.substr(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
}

String StringOfChar(char c, int count) { return count > 0 ? String(static_cast<size_t>(count), c) : String(); }

static size_t LastDelimiter(const String& name) {
  for (size_t i = name.size(); i > 0; --i) {
    char c = name[i - 1];
    if (c == '\\' || c == '/' || c == ':') return i;
  }
  return 0;
}

String ExtractFilePath(const String& name) { return name.substr(0, LastDelimiter(name)); }

String ExtractFileDir(const String& name) {
  size_t n = LastDelimiter(name);
  // Keep the separator of a root ("C:\", "\") so that the folder stays the root.
  if (n > 1 && (name[n - 1] == '\\' || name[n - 1] == '/') && name[n - 2] != ':') --n;
  return name.substr(0, n);
}

String ExtractFileName(const String& name) { return name.substr(LastDelimiter(name)); }

String ExtractFileExt(const String& name) {
  size_t start = LastDelimiter(name);
  size_t dot = name.rfind('.');
  if (dot == String::npos || dot < start) return String();
  return name.substr(dot);
}

String ChangeFileExt(const String& name, const String& ext) {
  size_t start = LastDelimiter(name);
  size_t dot = name.rfind('.');
  if (dot == String::npos || dot < start) return name + ext;
  return name.substr(0, dot) + ext;
}

String IncludeTrailingBackslash(const String& path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) return path;
  return path + "\\";
}

bool FileExists(const String& name) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}
