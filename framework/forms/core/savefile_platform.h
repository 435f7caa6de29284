// The file system's part in saving a file whole (TSaveFileStream): savefile_posix.cpp natively,
// savefile_win.cpp on Windows.
#pragma once

#include <cstdio>

#include "classes.h"

// Creates and opens (read and write, binary) a new file of its own name in Target's folder, so
// that replacing Target with it is a rename within one file system. nullptr when that fails.
std::FILE* CreateTemporaryBeside(const String& Target, String& TempName);
// Puts what was written into f on the disk.
bool FlushToDisk(std::FILE* f);
// Puts Temp in Target's place in one step (Target need not exist). A read-only Target is not
// replaced, on either system.
bool ReplaceFileWith(const String& Temp, const String& Target);
void RemoveTemporary(const String& Temp);
