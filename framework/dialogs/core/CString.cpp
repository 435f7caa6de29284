#include "CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string VFormat(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[256];
  int n = std::vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  if (n < 0) return std::string();
  if (n < static_cast<int>(sizeof small)) return std::string(small, static_cast<size_t>(n));
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(&big[0], big.size(), fmt, args);
  big.resize(static_cast<size_t>(n));
  return big;
}
}  // namespace

int CString::Compare(const char* s) const {
  int r = std::strcmp(s_.c_str(), s ? s : "");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* s) const {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(s_.c_str());
  const unsigned char* b = reinterpret_cast<const unsigned char*>(s ? s : "");
  for (;; ++a, ++b) {
    unsigned char x = static_cast<unsigned char>(AsciiLower(static_cast<char>(*a)));
    unsigned char y = static_cast<unsigned char>(AsciiLower(static_cast<char>(*b)));
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (first >= GetLength() || count <= 0) return CString();
  if (count > GetLength() - first) count = GetLength() - first;
  return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  if (count <= 0) return CString();
  if (count >= GetLength()) return *this;
  return Mid(GetLength() - count);
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  size_t p = s_.find(ch, static_cast<size_t>(start));
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength() || !sub) return -1;
  size_t p = s_.find(sub, static_cast<size_t>(start));
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char ch) const {
  size_t p = s_.rfind(ch);
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

void CString::MakeUpper() { for (char& c : s_) c = AsciiUpper(c); }
void CString::MakeLower() { for (char& c : s_) c = AsciiLower(c); }

void CString::TrimLeft() {
  size_t i = 0;
  while (i < s_.size() && IsSpace(s_[i])) ++i;
  s_.erase(0, i);
}

void CString::TrimRight() {
  size_t n = s_.size();
  while (n > 0 && IsSpace(s_[n - 1])) --n;
  s_.resize(n);
}

int CString::Replace(const char* from, const char* to) {
  if (!from || !*from) return 0;
  std::string f(from), t(to ? to : "");
  int count = 0;
  size_t p = 0;
  while ((p = s_.find(f, p)) != std::string::npos) {
    s_.replace(p, f.size(), t);
    p += t.size();
    ++count;
  }
  return count;
}

int CString::Replace(char from, char to) {
  int count = 0;
  for (char& c : s_)
    if (c == from) { c = to; ++count; }
  return count;
}

void CString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  s_ = VFormat(fmt, args);
  va_end(args);
}

CString CString::Formatted(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  CString r(VFormat(fmt, args));
  va_end(args);
  return r;
}
