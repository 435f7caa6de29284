// The ways a save can fail, applied to the file a test is about to replace: read-only; held open
// by another handle without FILE_SHARE_DELETE (Windows: the replacing move then fails); a full
// disk (natively: the process's file-size limit, RLIMIT_FSIZE with SIGXFSZ ignored, makes every
// write that passes a few bytes fail, as a full device would). Header-only, for the native and the
// Windows test programs alike; paths are native paths.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <csignal>
#endif

namespace testsupport {

struct SaveFault {
  const char* name;
  // A write-then-replace save is refused; an append to an existing file is not (another program
  // reading the file does not stop one from adding to it).
  bool blocksAppend;
  std::function<void(const std::string& path)> apply, release;
};

#ifndef _WIN32
// While it lives, no file of the process grows past `bytes`.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit l = old_;
    l.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &l);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};
#endif

// Whether a file without write permission refuses to be opened for writing here: the superuser
// (natively, and under Wine run by the superuser) writes into it all the same.
inline bool ReadOnlyRefusesWriting() {
  namespace fs = std::filesystem;
  const fs::path probe = fs::temp_directory_path() / "astrel-read-only-probe.tmp";
  std::error_code ec;
  fs::remove(probe, ec);
  std::FILE* f = std::fopen(probe.string().c_str(), "wb");
  if (!f) return true;
  std::fclose(f);
  fs::permissions(probe, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, ec);
  f = std::fopen(probe.string().c_str(), "ab");
  if (f) std::fclose(f);
  fs::permissions(probe, fs::perms::owner_read | fs::perms::owner_write, ec);
  fs::remove(probe, ec);
  return f == nullptr;
}

// The message with which Corvalen reports a data file it could not save, as the user reads it
// (`path` as the program shows it).
inline std::string SaveFailedText(const std::string& path) {
  return "Die Datei " + path +
         " kann nicht gespeichert werden.\nDer Datenträger ist voll, oder die Datei ist "
         "schreibgeschützt oder wird von einem anderen Programm verwendet.";
}

// The faults this system can apply (content to save must be longer than 8 bytes).
inline std::vector<SaveFault> SaveFaults() {
  namespace fs = std::filesystem;
  std::vector<SaveFault> faults;
  faults.push_back({"read-only", ReadOnlyRefusesWriting(),
                    [](const std::string& p) {
                      fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
                    },
                    [](const std::string& p) {
                      fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                             fs::perms::others_read);
                    }});
#ifdef _WIN32
  auto held = std::make_shared<HANDLE>(INVALID_HANDLE_VALUE);
  faults.push_back({"held open without FILE_SHARE_DELETE", false,
                    [held](const std::string& p) {
                      *held = CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
                    },
                    [held](const std::string&) { CloseHandle(*held); }});
#else
  auto limit = std::make_shared<std::unique_ptr<FileSizeLimit>>();
  faults.push_back({"full disk", true, [limit](const std::string&) { limit->reset(new FileSizeLimit(8)); },
                    [limit](const std::string&) { limit->reset(); }});
#endif
  return faults;
}

}  // namespace testsupport
