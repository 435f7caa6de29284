#include "DataBudget.h"

#include <cstdio>

#include "CFile.h"

BOOL ReadDataFile(const char* path, std::string& out) {
  out.clear();
  std::FILE* f = std::fopen(CFile::NativePath(path).c_str(), "rb");
  if (!f) return FALSE;
  // The length first, so that an oversized file costs nothing; a length that does not fit a long
  // (a file beyond 2 GB on Windows) is refused as well.
  long length = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
  if (length < 0 || static_cast<unsigned long>(length) > kDataFileLimit || std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return FALSE;
  }
  out.reserve(static_cast<size_t>(length));
  char buf[65536];
  size_t n;
  bool ok = true;
  // The limit holds for a file that grows while it is read, too.
  while (ok && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (out.size() + n > kDataFileLimit) ok = false;
    else out.append(buf, n);
  }
  ok = ok && !std::ferror(f);
  std::fclose(f);
  if (!ok) {
    out.clear();
    out.shrink_to_fit();
  }
  return ok;
}
