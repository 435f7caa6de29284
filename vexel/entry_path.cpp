#include "entry_path.h"

#include <string.h>

#include "walk_host.h"

namespace vexel {

bool IsSafeEntryName(const char* name, size_t length) {
  if (length == 0) return false;
  if (name[0] == '/' || name[0] == '\\') return false;
  size_t start = 0;  // start of the current folder or file name
  for (size_t i = 0; i <= length; ++i) {
    const unsigned char c = i < length ? (unsigned char)name[i] : '/';
    if (c < 0x20 || c == ':') return false;
    if (c == '/' || c == '\\') {
      const size_t n = i - start;
      if (n == 2 && name[start] == '.' && name[start + 1] == '.') return false;
      start = i + 1;
    }
  }
  return true;
}

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
