#include "WebAddress.h"

#include <cstring>

namespace {

bool IsAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// The characters an address may hold after its host (RFC 3986: unreserved, reserved and "%").
bool IsAddressChar(char c) {
  return IsAlnum(c) || (c != '\0' && std::strchr("-._~:/?#[]@!$&'()*+,;=%", c) != nullptr);
}

bool StartsWithNoCase(const char* text, size_t length, const char* prefix) {
  size_t n = std::strlen(prefix);
  if (length < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The host and port between the scheme and the first "/", "?" or "#".
bool IsAuthority(const char* p, size_t n) {
  if (n == 0) return false;
  size_t hostEnd = 0;
  if (p[0] == '[') {
    // A bracketed IPv6 address: hexadecimal digits, ":" and "." only.
    size_t close = 1;
    while (close < n && p[close] != ']') {
      char c = p[close];
      bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
      if (!hex && c != ':' && c != '.') return false;
      ++close;
    }
    if (close >= n || close == 1) return false;
    hostEnd = close + 1;
  } else {
    while (hostEnd < n && p[hostEnd] != ':') {
      char c = p[hostEnd];
      if (!IsAlnum(c) && c != '-' && c != '.') return false;
      ++hostEnd;
    }
    if (hostEnd == 0) return false;
  }
  if (hostEnd == n) return true;
  // A port: ":" and one to five digits.
  if (p[hostEnd] != ':' || n - hostEnd - 1 < 1 || n - hostEnd - 1 > 5) return false;
  for (size_t i = hostEnd + 1; i < n; ++i)
    if (p[i] < '0' || p[i] > '9') return false;
  return true;
}

}  // namespace

bool IsWebAddress(const char* text, size_t length) {
  if (!text || length > static_cast<size_t>(kMaxWebAddressLength)) return false;
  size_t start;
  if (StartsWithNoCase(text, length, "http://"))
    start = 7;
  else if (StartsWithNoCase(text, length, "https://"))
    start = 8;
  else
    return false;
  for (size_t i = start; i < length; ++i)
    if (!IsAddressChar(text[i])) return false;
  size_t end = start;
  while (end < length && text[end] != '/' && text[end] != '?' && text[end] != '#') ++end;
  return IsAuthority(text + start, end - start);
}

bool IsWebAddress(const CString& text) {
  return IsWebAddress(static_cast<const char*>(text), static_cast<size_t>(text.GetLength()));
}
