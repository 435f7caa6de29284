// Writing a file whole on Windows: FlushFileBuffers and MoveFileExA with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH (the old file is never removed first).
#include <windows.h>

#include <io.h>

#include "CFilePlatform.h"

bool FlushToDisk(std::FILE* f) {
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

bool SetFileLength(std::FILE* f, long length) { return _chsize(_fileno(f), length) == 0; }

bool ReplaceInOneStep(const std::string& from, const std::string& to) {
  // Windows refuses to replace a read-only file; Wine would replace it, so it is asked first.
  const DWORD attributes = GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
