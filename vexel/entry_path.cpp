#include "entry_path.h"

#include <string.h>

#include "walk_host.h"

namespace vexel {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c; }

// True when the n bytes at p spell word (upper case), letter case ignored.
bool SameWord(const char* p, size_t n, const char* word) {
  size_t i = 0;
  for (; i < n && word[i]; ++i)
    if (Upper(p[i]) != word[i]) return false;
  return i == n && !word[i];
}

// True when a folder or file name opens a device on Windows. The system looks at the name up to
// its first dot, without the blanks in front of that dot, so "NUL", "nul.txt" and "Nul .tar.gz"
// all open the null device. The serial and parallel ports take a digit or one of the superscript
// digits 1, 2 and 3 of code page 1252.
bool IsDeviceName(const char* part, size_t n) {
  size_t base = 0;
  while (base < n && part[base] != '.') ++base;
  while (base > 0 && part[base - 1] == ' ') --base;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices)
    if (SameWord(part, base, device)) return true;
  if (base == 4 && (SameWord(part, 3, "COM") || SameWord(part, 3, "LPT"))) {
    const unsigned char d = (unsigned char)part[3];
    return (d >= '0' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
  }
  return false;
}

}  // namespace

EntryNameCheck CheckEntryName(const char* name, size_t length) {
  if (length == 0) return kNameEscapes;
  if (name[0] == '/' || name[0] == '\\') return kNameEscapes;
  bool reserved = false;
  size_t start = 0;  // start of the current folder or file name
  for (size_t i = 0; i <= length; ++i) {
    const unsigned char c = i < length ? (unsigned char)name[i] : '/';
    if (c < 0x20 || c == ':') return kNameEscapes;
    if (c == '/' || c == '\\') {
      const char* part = name + start;
      const size_t n = i - start;
      if (n == 2 && part[0] == '.' && part[1] == '.') return kNameEscapes;
      // An empty part (the end of a folder entry, or "//") adds nothing to the path.
      if (n > 0 && (part[n - 1] == '.' || part[n - 1] == ' ' || IsDeviceName(part, n))) reserved = true;
      start = i + 1;
    }
  }
  return reserved ? kNameReserved : kNameSafe;
}

bool IsSafeEntryName(const char* name, size_t length) { return CheckEntryName(name, length) == kNameSafe; }

bool IsFolderEntry(const char* name, size_t length) {
  return length > 0 && (name[length - 1] == '/' || name[length - 1] == '\\');
}

bool MakeTargetPath(const char* folder, const char* name, char* out, size_t size) {
  const size_t f = strlen(folder);
  size_t n = strlen(name);
  if (n > 0 && (name[n - 1] == '/' || name[n - 1] == '\\')) --n;
  if (f + 1 + n + 1 > size) {
    if (size) out[0] = '\0';
    return false;
  }
  memcpy(out, folder, f);
  out[f] = '\\';
  for (size_t i = 0; i < n; ++i) out[f + 1 + i] = name[i] == '/' ? '\\' : name[i];
  out[f + 1 + n] = '\0';
  return true;
}

bool CreateFolderTree(WalkHost& host, const char* path) {
  char buf[kPathBufferLength];
  const size_t len = strlen(path);
  if (len == 0 || len >= sizeof buf) return false;
  memcpy(buf, path, len + 1);
  if (host.FolderExists(buf)) return true;
  // Create each level from the top; levels that exist (drive roots, "\\server\share") are passed.
  for (size_t i = 1; i <= len; ++i) {
    if (i == len || buf[i] == '\\' || buf[i] == '/') {
      const char keep = buf[i];
      buf[i] = '\0';
      if (i > 0 && buf[i - 1] != ':' && !host.FolderExists(buf)) host.CreateFolder(buf);
      buf[i] = keep;
    }
  }
  return host.FolderExists(buf);
}

void StripTrailingBackslash(char* path) {
  const size_t n = strlen(path);
  if (n > 0 && path[n - 1] == '\\') path[n - 1] = '\0';
}

}  // namespace vexel
