// hlpc: compiles a help source (help_source.h) into a Windows Help 3.1 file.
//   hlpc SOURCE OUTPUT
// A refused source is named with the line and the fault, and no output is written then; the
// output is written under a temporary name and takes the old file's place only when it is whole.
// The output may not be the source itself, under whatever name (a link, another path): the new
// file would take the source's place.
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "help_source.h"
#include "help_writer.h"

namespace {

enum ReadResult { kReadOk, kReadFailed, kReadTooLarge };

// Reads the source, but never more than its limit and one byte: a larger file (or a device that
// never ends) is refused after that much, whatever its size.
ReadResult ReadSource(const std::string& path, std::string& text) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return kReadFailed;
  text.clear();
  char buf[65536];
  size_t n;
  const size_t most = hlpc::kMaxSourceBytes + 1;
  while (text.size() < most && (n = fread(buf, 1, std::min(sizeof buf, most - text.size()), f)) > 0)
    text.append(buf, n);
  const bool failed = ferror(f) != 0;
  fclose(f);
  if (failed) return kReadFailed;
  return text.size() > hlpc::kMaxSourceBytes ? kReadTooLarge : kReadOk;
}

// True when `out` names the file `source` names (the same device and file number), also through
// a hard or symbolic link or another spelling of the path.
bool SameFile(const std::string& source, const std::string& out) {
  struct stat a, b;
  if (stat(source.c_str(), &a) != 0 || stat(out.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "Aufruf: hlpc QUELLE HILFEDATEI\n");
    return 2;
  }
  const std::string sourcePath = argv[1], outPath = argv[2];
  if (SameFile(sourcePath, outPath) || SameFile(sourcePath, outPath + ".tmp")) {
    fprintf(stderr, "hlpc: %s ist die Quelle selbst; die Hilfedatei braucht einen anderen Namen\n", outPath.c_str());
    return 1;
  }
  std::string text;
  switch (ReadSource(sourcePath, text)) {
    case kReadFailed:
      fprintf(stderr, "hlpc: %s kann nicht gelesen werden\n", sourcePath.c_str());
      return 1;
    case kReadTooLarge:
      fprintf(stderr, "hlpc: %s: die Quelle ist gr\xC3\xB6\xC3\x9F" "er als %zu Bytes\n", sourcePath.c_str(),
              hlpc::kMaxSourceBytes);
      return 1;
    case kReadOk:
      break;
  }
  std::vector<uint8_t> file;
  try {
    file = hlpc::WriteHelpFile(hlpc::ParseHelpSource(text));
  } catch (const hlpc::HelpSourceError& e) {
    fprintf(stderr, "hlpc: %s: %s\n", sourcePath.c_str(), e.what());
    return 1;
  }
  const std::string temp = outPath + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    out.close();
    if (!out) {
      remove(temp.c_str());
      fprintf(stderr, "hlpc: %s kann nicht geschrieben werden\n", outPath.c_str());
      return 1;
    }
  }
  if (rename(temp.c_str(), outPath.c_str()) != 0) {
    remove(temp.c_str());
    fprintf(stderr, "hlpc: %s kann nicht geschrieben werden\n", outPath.c_str());
    return 1;
  }
  return 0;
}
