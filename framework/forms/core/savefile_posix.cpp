// Saving a file whole on POSIX systems: mkstemp beside the target, fsync, rename.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "savefile_platform.h"

std::FILE* CreateTemporaryBeside(const String& Target, String& TempName) {
  const size_t slash = Target.find_last_of("/\\");
  String name = (slash == String::npos ? String() : Target.substr(0, slash + 1)) + ".save-XXXXXX";
  int fd = mkstemp(&name[0]);
  if (fd < 0) return nullptr;
  // mkstemp makes the file private; a saved file gets the permissions a new file would get.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  std::FILE* f = fdopen(fd, "w+b");
  if (!f) {
    close(fd);
    unlink(name.c_str());
    return nullptr;
  }
  TempName = name;
  return f;
}

bool FlushToDisk(std::FILE* f) { return fsync(fileno(f)) == 0; }

bool ReplaceFileWith(const String& Temp, const String& Target) {
  // As on Windows a file without write permission is not replaced (rename alone would, since it
  // asks only the folder).
  struct stat st;
  if (stat(Target.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) return false;
  return std::rename(Temp.c_str(), Target.c_str()) == 0;
}

void RemoveTemporary(const String& Temp) {
  if (!Temp.empty()) unlink(Temp.c_str());
}
