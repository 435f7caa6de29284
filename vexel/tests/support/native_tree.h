// Folders, files and command lines for the native tests of the archive walk.
#pragma once
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace vexel_test {

inline std::string MakeTempFolder() {
  char templ[] = "/tmp/vexel-test.XXXXXX";
  const char* made = mkdtemp(templ);
  return made ? made : "";
}

inline void RemoveTree(const std::string& path) {
  if (path.size() > 5) {
    const std::string cmd = "rm -rf '" + path + "'";
    if (system(cmd.c_str()) != 0) {
    }
  }
}

inline int Shell(const std::string& cmd) { return system(("(" + cmd + ") >/dev/null 2>&1").c_str()); }

inline void WriteFile(const std::string& path, const std::string& data) {
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos) Shell("mkdir -p '" + path.substr(0, slash) + "'");
  std::ofstream(path, std::ios::binary) << data;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Every file and folder below root: relative path -> content ("<dir>" for folders).
inline void ListTree(const std::string& root, const std::string& rel, std::map<std::string, std::string>& out) {
  DIR* d = opendir((root + rel).c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    const std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    const std::string r = rel + "/" + n;
    struct stat st;
    if (stat((root + r).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      out[r] = "<dir>";
      ListTree(root, r, out);
    } else {
      out[r] = ReadFile(root + r);
    }
  }
  closedir(d);
}

inline std::map<std::string, std::string> Tree(const std::string& root) {
  std::map<std::string, std::string> t;
  ListTree(root, "", t);
  return t;
}

// Text that compresses well and text that does not, mixed.
inline std::string MixedData(size_t size, unsigned seed) {
  std::string s;
  s.reserve(size);
  unsigned x = seed;
  while (s.size() < size) {
    x = x * 1103515245u + 12345u;
    if ((x >> 16) % 3 == 0) {
      for (int i = 0; i < 64 && s.size() < size; ++i) {
        x = x * 1103515245u + 12345u;
        s += (char)(x >> 24);
      }
    } else {
      s += "<p>Quillet Seite " + std::to_string((x >> 8) % 1000) + " mit etwas Text</p>\r\n";
    }
  }
  s.resize(size);
  return s;
}

}  // namespace vexel_test
