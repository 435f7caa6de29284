// A private configuration of the RAS stand-in for one test: its own folder with rassim.ini, the
// phone book, the connection state and the call log.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

class RasSimFixture {
 public:
  RasSimFixture() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int n = 0;
    dir_ = std::string(tmp) + "dialup-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++n) + "\\";
    CreateDirectoryA(dir_.c_str(), nullptr);
    SetEnvironmentVariableA("RASSIM_CONFIG", (dir_ + "rassim.ini").c_str());
    Set("StepMs", "1");
  }
  void Set(const char* key, const char* value) const {
    WritePrivateProfileStringA("rassim", key, value, (dir_ + "rassim.ini").c_str());
  }
  std::string Log() const { return Slurp(dir_ + "rassim.log"); }
  std::string Phonebook() const { return Slurp(dir_ + "rassim.pbk"); }
  std::string PhonebookValue(const char* entry, const char* key) const {
    char buf[1024] = {};
    GetPrivateProfileStringA(entry, key, "<missing>", buf, sizeof buf, (dir_ + "rassim.pbk").c_str());
    return buf;
  }
  void ClearLog() const { DeleteFileA((dir_ + "rassim.log").c_str()); }
  const std::string& Dir() const { return dir_; }
  static std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // How often a text occurs in the log.
  int Count(const std::string& what) const {
    std::string log = Log();
    int n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  }

 private:
  std::string dir_;
};
