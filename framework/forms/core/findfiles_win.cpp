// The folder walk of the window system: FindFirstFileA / FindNextFileA, ANSI names.
#include <windows.h>

#include "findfiles.h"

namespace {
int64_t Seconds(const FILETIME& t) {
  const int64_t ticks = int64_t(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime);
  if (ticks == 0) return 0;
  return ticks / 10000000 - 11644473600LL;  // 100 ns since 1601 to seconds since 1970
}

void Fill(const WIN32_FIND_DATAA& f, TSearchRec& Rec) {
  Rec.Name = f.cFileName;
  Rec.Attr = unsigned(f.dwFileAttributes) & (faReadOnly | faHidden | faSysFile | faDirectory | faArchive);
  Rec.Size = int64_t(uint64_t(f.nFileSizeHigh) << 32 | f.nFileSizeLow);
  Rec.Accessed = Seconds(f.ftLastAccessTime);
  Rec.Created = Seconds(f.ftCreationTime);
  Rec.Changed = Seconds(f.ftLastWriteTime);
}
}  // namespace

std::vector<TSearchRec> FindFiles(const String& Folder, const String& Pattern) {
  std::vector<TSearchRec> found;
  const String mask = Folder.empty() ? Pattern : IncludeTrailingBackslash(Folder) + Pattern;
  WIN32_FIND_DATAA f;
  HANDLE h = FindFirstFileA(mask.c_str(), &f);
  if (h == INVALID_HANDLE_VALUE) return found;
  do {
    const String name = f.cFileName;
    if (name == "." || name == "..") continue;
    TSearchRec rec;
    Fill(f, rec);
    found.push_back(std::move(rec));
  } while (FindNextFileA(h, &f));
  FindClose(h);
  return found;
}

bool DirectoryExists(const String& Name) {
  if (Name.empty()) return false;
  const DWORD a = GetFileAttributesA(Name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileFacts(const String& FileName, TSearchRec& Rec) {
  WIN32_FIND_DATAA f;
  HANDLE h = FindFirstFileA(FileName.c_str(), &f);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  Fill(f, Rec);
  return !(Rec.Attr & faDirectory);
}
