// Saving a file whole on Windows: GetTempFileNameA beside the target, FlushFileBuffers,
// MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
#include <windows.h>

#include <io.h>

#include "savefile_platform.h"

std::FILE* CreateTemporaryBeside(const String& Target, String& TempName) {
  const size_t slash = Target.find_last_of("\\/:");
  String folder = slash == String::npos ? String(".") : Target.substr(0, slash + 1);
  char name[MAX_PATH + 16];
  if (GetTempFileNameA(folder.c_str(), "sav", 0, name) == 0) return nullptr;
  std::FILE* f = std::fopen(name, "w+b");
  if (!f) {
    DeleteFileA(name);
    return nullptr;
  }
  TempName = name;
  return f;
}

bool FlushToDisk(std::FILE* f) {
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

bool ReplaceFileWith(const String& Temp, const String& Target) {
  // Windows refuses to replace a read-only file; Wine would replace it, so it is asked first.
  const DWORD attributes = GetFileAttributesA(Target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  return MoveFileExA(Temp.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveTemporary(const String& Temp) {
  if (!Temp.empty()) DeleteFileA(Temp.c_str());
}
