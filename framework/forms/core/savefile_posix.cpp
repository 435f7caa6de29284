// Saving a file whole on POSIX systems: a temporary named after the target, fsync, rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "savefile_platform.h"

std::FILE* CreateTemporaryBeside(const String& Target, String& TempName) {
  const String name = TemporaryNameFor(Target);
  // A left-over temporary (or anything else under its name that a file may replace) goes first;
  // the new one is created exclusively, so no link under that name is followed. It gets the
  // permissions a new file would get.
  struct stat st;
  if (lstat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) unlink(name.c_str());
  int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return nullptr;
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

bool IsReplaceableFile(const String& Target) {
  struct stat st;
  return stat(Target.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

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
