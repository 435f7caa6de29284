// What the download tests set up alike: the program's folder and the user's settings as a fresh
// install has them, and a whole file read back.
#pragma once

#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "CFile.h"

// Removes the user's settings, makes the folder `name` in the temporary folder and enters it as the
// program's folder (PATH), with "corva.xml" as the address of the server messages. Returns the
// folder.
inline std::string UseProgramFolder(const std::string& name) {
  ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen");
  char tmp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, tmp);
  const std::string dir = std::string(tmp) + name;
  ::CreateDirectoryA(dir.c_str(), nullptr);
  HKEY key;
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", &key);
  ::RegSetValueExA(key, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                   static_cast<DWORD>(dir.size() + 1));
  ::RegSetValueExA(key, "MessageUrl", 0, REG_SZ, reinterpret_cast<const BYTE*>("corva.xml"), 10);
  ::RegCloseKey(key);
  return dir;
}

// The whole file; empty when it cannot be read.
inline std::string ReadAll(const std::string& path) {
  std::string out;
  ReadWholeFile(path.c_str(), out);
  return out;
}
