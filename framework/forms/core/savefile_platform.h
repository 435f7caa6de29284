// The file system's part in saving a file whole (TSaveFileStream): savefile_posix.cpp natively,
// savefile_win.cpp on Windows.
#pragma once

#include <cstdio>

#include "classes.h"

// The temporary that takes Target's place: "~<name>.tmp" in Target's folder, so that replacing
// Target with it is a rename within one file system, and a save that was cut off (the program
// killed while writing) leaves one temporary per file, which the next save of that file reuses.
inline String TemporaryNameFor(const String& Target) {
  const size_t slash = Target.find_last_of("/\\:");
  const size_t name = slash == String::npos ? 0 : slash + 1;
  return Target.substr(0, name) + "~" + Target.substr(name) + ".tmp";
}
// Removes what a cut-off save left under TemporaryNameFor(Target) and creates it anew, opened for
// reading and writing (binary). nullptr when that fails.
std::FILE* CreateTemporaryBeside(const String& Target, String& TempName);
// False when Target exists and is no regular file (a folder, a device, a pipe): a save would put a
// file in its place.
bool IsReplaceableFile(const String& Target);
// Puts what was written into f on the disk.
bool FlushToDisk(std::FILE* f);
// Puts Temp in Target's place in one step (Target need not exist). A read-only Target is not
// replaced, on either system.
bool ReplaceFileWith(const String& Temp, const String& Target);
void RemoveTemporary(const String& Temp);
