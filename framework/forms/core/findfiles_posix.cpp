// The folder walk on POSIX systems (the native build): opendir / readdir with stat. Names that
// begin with a dot count as hidden, as the shells of these systems treat them.
#include <dirent.h>
#include <sys/stat.h>

#include "findfiles.h"

namespace {
String Joined(const String& Folder, const String& Name) {
  if (Folder.empty()) return Name;
  const char last = Folder.back();
  return (last == '/' || last == '\\') ? Folder + Name : Folder + "/" + Name;
}

bool Facts(const String& Path, const String& Name, TSearchRec& Rec) {
  struct stat st;
  if (stat(Path.c_str(), &st) != 0) return false;
  Rec.Name = Name;
  Rec.Attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (!Name.empty() && Name[0] == '.') Rec.Attr |= faHidden;
  if (!(st.st_mode & S_IWUSR)) Rec.Attr |= faReadOnly;
  Rec.Size = int64_t(st.st_size);
  Rec.Accessed = int64_t(st.st_atime);
  Rec.Created = int64_t(st.st_ctime);
  Rec.Changed = int64_t(st.st_mtime);
  return true;
}
}  // namespace

std::vector<TSearchRec> FindFiles(const String& Folder, const String& Pattern) {
  std::vector<TSearchRec> found;
  DIR* d = opendir(Folder.empty() ? "." : Folder.c_str());
  if (!d) return found;
  while (dirent* e = readdir(d)) {
    const String name = e->d_name;
    if (name == "." || name == ".." || !MatchesMask(name, Pattern)) continue;
    TSearchRec rec;
    if (Facts(Joined(Folder, name), name, rec)) found.push_back(std::move(rec));
  }
  closedir(d);
  return found;
}

bool DirectoryExists(const String& Name) {
  struct stat st;
  return !Name.empty() && stat(Name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileFacts(const String& FileName, TSearchRec& Rec) {
  return Facts(FileName, ExtractFileName(FileName), Rec) && !(Rec.Attr & faDirectory);
}
