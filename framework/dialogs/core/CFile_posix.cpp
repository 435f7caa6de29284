// Writing a file whole on POSIX systems: fsync and rename.
#include <sys/stat.h>
#include <unistd.h>

#include "CFilePlatform.h"

bool FlushToDisk(std::FILE* f) { return fsync(fileno(f)) == 0; }

bool SetFileLength(std::FILE* f, long length) { return ftruncate(fileno(f), length) == 0; }

bool ReplaceInOneStep(const std::string& from, const std::string& to) {
  // rename asks only the folder; a file without write permission stays, as on Windows.
  struct stat st;
  if (stat(to.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}
