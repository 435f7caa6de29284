// Entry names of the archive and the paths made from them.
#pragma once
#include <stddef.h>

namespace vexel {

class WalkHost;

// The name buffer holds 258 bytes: names of up to 257 bytes and their NUL.
const size_t kNameBufferLength = 258;
const size_t kMaxNameLength = kNameBufferLength - 1;
// Room for a target folder of 256 characters, "\", a name and the temporary suffix.
const size_t kPathBufferLength = 600;

// What an entry name would do as a path below the target folder.
enum EntryNameCheck {
  kNameSafe,      // a file or folder inside the target folder
  kNameEscapes,   // empty, a leading "/" or "\", a drive letter or other ":", a ".." folder, or a
                  // control character: the path leaves the target folder
  kNameReserved,  // a part of it is a device (CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$,
                  // in any letter case and with any extension, so "aux.txt" and "Com1.log" too)
                  // or ends in a dot or a blank, which Windows drops: the path opens a device or
                  // another file than the one named
};

// Checks every folder and the file name of an entry (parts between "/" or "\").
EntryNameCheck CheckEntryName(const char* name, size_t length);

// True when CheckEntryName gives kNameSafe.
bool IsSafeEntryName(const char* name, size_t length);

// True for a folder entry (a name ending in "/" or "\").
bool IsFolderEntry(const char* name, size_t length);

// folder + "\" + name with "/" turned into "\" (a trailing separator of a folder entry dropped).
// False when the result does not fit into size bytes.
bool MakeTargetPath(const char* folder, const char* name, char* out, size_t size);

// Creates the folder and every missing parent. True when the folder exists afterwards.
bool CreateFolderTree(WalkHost& host, const char* path);

// Removes one trailing "\".
void StripTrailingBackslash(char* path);

}  // namespace vexel
