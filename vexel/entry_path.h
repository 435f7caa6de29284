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

// True when the name stays inside the target folder: not empty, no leading "/" or "\", no drive
// letter or other ":", no ".." folder, no control characters.
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
