// Saving a file whole on Windows: a temporary named after the target, FlushFileBuffers,
// MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
#include <windows.h>

#include <io.h>

#include "savefile_platform.h"

std::FILE* CreateTemporaryBeside(const String& Target, String& TempName) {
  const String name = TemporaryNameFor(Target);
  // A left-over temporary goes first (a read-only one is made writable to go).
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    DeleteFileA(name.c_str());
  }
  std::FILE* f = std::fopen(name.c_str(), "w+b");
  if (!f) return nullptr;
  TempName = name;
  return f;
}

bool IsReplaceableFile(const String& Target) {
  const DWORD attributes = GetFileAttributesA(Target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // Devices (NUL, COM1, LPT1, named pipes) open without being files on a disk.
  HANDLE h = CreateFileA(Target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true;  // absent (or not openable: replacing it then fails on its own)
  const DWORD type = GetFileType(h);
  CloseHandle(h);
  return type == FILE_TYPE_DISK;
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
