// The installer's archive walk over hostile archives: the input is an installer's configuration
// block and archive; the walk lists it, extracts everything into a file system in memory, and
// extracts once more with every file present (overwrite questions answered in turn).
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <strings.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config_block.h"
#include "crc32.h"
#include "entry_path.h"
#include "zip_walker.h"

namespace {

class MemoryHost : public vexel::WalkHost {
 public:
  MemoryHost(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool ArchiveOpen() override { return true; }
  uint64_t ArchiveSize() override { return size_; }
  bool ArchiveSeek(uint64_t position) override {
    position_ = position;
    return true;
  }
  size_t ArchiveRead(void* buf, size_t n) override {
    if (position_ >= size_) return 0;
    const size_t got = n < size_ - position_ ? n : (size_t)(size_ - position_);
    memcpy(buf, data_ + position_, got);
    position_ += got;
    return got;
  }

  void ListReset() override { items.clear(); }
  void ListAdd(const char* name) override { items.push_back({name, true}); }
  int ListFind(int after, const char* name) override {
    const int n = (int)items.size();
    for (int k = 1; k <= n; ++k) {
      const int i = ((after + k) % n + n) % n;
      if (strcasecmp(items[i].first.c_str(), name) == 0) return i;
    }
    return -1;
  }
  bool ListSelected(int index) override { return items.at(index).second; }
  void ListDeselect(int index) override { items.at(index).second = false; }
  int ListSelCount() override {
    int n = 0;
    for (auto& i : items) n += i.second;
    return n;
  }
  int ListCount() override { return (int)items.size(); }

  size_t AskPassword(char* buf, size_t size) override {
    static const char* answers[] = {"", "pw", "geheim"};
    const char* a = answers[questions_++ % 3];
    strncpy(buf, a, size - 1);
    buf[size - 1] = '\0';
    return strlen(buf);
  }
  bool AskOverwrite(const char* path) override { return (questions_++ & 1) != 0; }
  int OverwriteMode() override { return mode; }

  bool FileExists(const char* path) override { return files_.count(path) != 0; }
  bool FolderExists(const char* path) override { return folders_.count(path) != 0 || strlen(path) <= 1; }
  bool CreateFolder(const char* path) override {
    if (files_.count(path)) return false;
    folders_[path] = true;
    return true;
  }
  void* CreateOutput(const char* path) override {
    if (folders_.count(path)) return nullptr;
    open_ = path;
    files_[open_].clear();
    return &files_[open_];
  }
  bool WriteOutput(void* file, const unsigned char* buf, size_t n) override {
    written_ += n;
    if (written_ > (64u << 20)) return false;  // a bomb of an entry: the disk is full
    ((std::string*)file)->append((const char*)buf, n);
    return true;
  }
  bool CloseOutput(void* file) override { return true; }
  bool ReplaceFile(const char* from, const char* to) override {
    if (folders_.count(to)) return false;
    files_[to] = std::move(files_[from]);
    files_.erase(from);
    return true;
  }
  void RemoveFile(const char* path) override { files_.erase(path); }

  std::vector<std::pair<std::string, bool>> items;
  int mode = 0;

 private:
  const uint8_t* data_;
  uint64_t size_;
  uint64_t position_ = 0;
  int questions_ = 0;
  size_t written_ = 0;
  std::string open_;
  std::map<std::string, std::string> files_;
  std::map<std::string, bool> folders_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexel::BuildCrcTable();
  // Inputs that start with the block magic carry a block; the archive follows it.
  vexel::ConfigBlock config;
  uint64_t origin = 0;
  if (vexel::ReadConfigBlock(data, size, config) != vexel::kConfigNoBlock)
    origin = size < vexel::kBlockLength ? size : vexel::kBlockLength;
  char part[300];
  if (config.hasRun) {
    vexel::SplitRunCommand(config.run, 1, "C:\\Ziel", part, sizeof part);
    vexel::SplitRunCommand(config.run, 2, "C:\\Ziel", part, sizeof part);
  }

  MemoryHost host(data, size);
  vexel::PasswordStore password = {};
  const vexel::WalkOptions options = {origin, "C:\\Ziel", &password};
  if (!vexel::WalkArchive(host, options, true)) return 0;
  vexel::WalkArchive(host, options, false);
  for (auto& item : host.items) item.second = true;
  host.mode = 2;
  vexel::WalkArchive(host, options, false);
  return 0;
}
