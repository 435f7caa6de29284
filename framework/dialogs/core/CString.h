// An 8-bit text (code page 1252 in the programs). Comparisons are byte-wise and case rules touch
// only the ASCII letters: the library never changes the C locale, so results do not depend on it.
#pragma once

#include <string>

#include "AfxTypes.h"

class CArchive;

class CString {
 public:
  CString() = default;
  CString(const char* s) : s_(s ? s : "") {}
  CString(const char* s, int len) : s_(s ? std::string(s, len > 0 ? len : 0) : std::string()) {}
  CString(char ch, int repeat = 1) : s_(repeat > 0 ? repeat : 0, ch) {}
  CString(const std::string& s) : s_(s) {}

  int GetLength() const { return static_cast<int>(s_.size()); }
  BOOL IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char GetAt(int i) const { return s_[static_cast<size_t>(i)]; }
  void SetAt(int i, char ch) { s_[static_cast<size_t>(i)] = ch; }
  char operator[](int i) const { return GetAt(i); }
  operator const char*() const { return s_.c_str(); }
  const char* c_str() const { return s_.c_str(); }
  const std::string& str() const { return s_; }

  CString& operator=(const char* s) { s_ = s ? s : ""; return *this; }
  CString& operator+=(const CString& o) { s_ += o.s_; return *this; }
  CString& operator+=(const char* s) { if (s) s_ += s; return *this; }
  CString& operator+=(char ch) { s_ += ch; return *this; }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
  friend CString operator+(const CString& a, char b) { return CString(a.s_ + b); }

  // Byte-wise comparison (the multibyte compare of code page 1252 orders bytes as unsigned).
  int Compare(const char* s) const;
  int CompareNoCase(const char* s) const;
  int Collate(const char* s) const { return Compare(s); }
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
  friend bool operator==(const char* a, const CString& b) { return b == a; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;

  // -1 when not found.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;

  void MakeUpper();
  void MakeLower();
  void TrimLeft();
  void TrimRight();
  void Trim() { TrimLeft(); TrimRight(); }
  int Replace(const char* from, const char* to);
  int Replace(char from, char to);

  // printf-style formatting (the C library's, in the "C" locale: a point as decimal sign).
  void Format(const char* fmt, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  static CString Formatted(const char* fmt, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 1, 2)))
#endif
      ;

 private:
  std::string s_;
};

// Archive form of a text: the length (BYTE below 255; else 255 and a WORD below 65534; else 255,
// 65535 and a DWORD), then the bytes without terminator.
CArchive& operator<<(CArchive& ar, const CString& s);
CArchive& operator>>(CArchive& ar, CString& s);
