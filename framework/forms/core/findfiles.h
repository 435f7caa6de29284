// File enumeration: the entries of one folder that match a wildcard pattern ("*.PNG"), as the
// window system's find-first / find-next walk gives them. Letter case does not matter in the
// pattern (as on Windows); '*' stands for any run of characters and '?' for one.
#pragma once

#include <cstdint>
#include <vector>

#include "sysutils.h"

// Attribute bits of an entry (the values of the window system's file attributes).
enum : unsigned { faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faDirectory = 0x10, faArchive = 0x20 };

struct TSearchRec {
  String Name;          // the entry's name, without its folder
  unsigned Attr = 0;    // fa* bits
  int64_t Size = 0;
  // Last access, creation and change times as seconds since 1970 (UTC); 0 when unknown.
  int64_t Accessed = 0, Created = 0, Changed = 0;
};

// The entries of Folder (with or without a trailing separator) whose names match Pattern, in the
// order the file system lists them; "." and ".." never. A folder that does not exist or cannot
// be read gives none.
std::vector<TSearchRec> FindFiles(const String& Folder, const String& Pattern);
// Whether Name matches the wildcard Pattern, letters compared without case (code page 1252).
bool MatchesMask(const String& Name, const String& Pattern);
// Whether a folder of that name exists (a trailing separator allowed; "X:\" for a drive).
bool DirectoryExists(const String& Name);
// The facts of one file (its name without folder in Name); false when it cannot be found.
bool FileFacts(const String& FileName, TSearchRec& Rec);
// "dd.mm.yyyy hh:mm:ss" in local time for a time of the search records.
String FileTimeText(int64_t Seconds);
