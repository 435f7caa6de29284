// The file system's part in writing a file whole (CSaveFile, CFile::Replace): CFile_posix.cpp
// natively, CFile_win.cpp on Windows. Paths are native paths.
#pragma once

#include <cstdio>
#include <string>

// Puts what was written into f on the disk.
bool FlushToDisk(std::FILE* f);
// Cuts or extends the file to `length` bytes.
bool SetFileLength(std::FILE* f, long length);
// `from` takes the place of `to` in one step; a read-only `to` is refused.
bool ReplaceInOneStep(const std::string& from, const std::string& to);
