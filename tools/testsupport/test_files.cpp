#include "test_files.h"

#include <windows.h>

namespace testsupport {

std::string ReadFileBytes(const std::string& path) {
  std::string data;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return data;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) data.append(buf, got);
  CloseHandle(h);
  return data;
}

bool WriteFileBytes(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) && written == data.size();
  CloseHandle(h);
  return ok;
}

std::string WinPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string NewTempFolder(const std::string& name) {
  static int count = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder =
      std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileA(path.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace testsupport
