// The archive walk's surroundings on Linux: the archive is a file, the entry list lives in memory,
// the user's answers come from queues and messages are recorded. Used by the native tests, the
// fuzz target and the benchmark. Paths from the walk ("\" between folders) are turned into "/".
#pragma once
#include <stdio.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "walk_host.h"

namespace vexel {

class PosixHost : public WalkHost {
 public:
  explicit PosixHost(const std::string& archivePath);
  ~PosixHost();

  bool ArchiveOpen() override { return archive_ != nullptr; }
  uint64_t ArchiveSize() override { return size_; }
  bool ArchiveSeek(uint64_t position) override;
  size_t ArchiveRead(void* buf, size_t n) override;

  void ListReset() override { items.clear(); }
  void ListAdd(const char* name) override { items.push_back({name, true}); }
  int ListFind(int after, const char* name) override;
  bool ListSelected(int index) override { return items.at(index).second; }
  void ListDeselect(int index) override { items.at(index).second = false; }
  int ListSelCount() override;
  int ListCount() override { return (int)items.size(); }

  void Message(const char* text, const char* caption) override { messages.push_back({text, caption}); }
  size_t AskPassword(char* buf, size_t size) override;
  bool AskOverwrite(const char* path) override;
  int OverwriteMode() override { return overwriteMode; }
  void Status(const char* text) override { status = text; }

  bool FileExists(const char* path) override;
  bool FolderExists(const char* path) override;
  bool CreateFolder(const char* path) override;
  void* CreateOutput(const char* path) override;
  bool WriteOutput(void* file, const unsigned char* buf, size_t n) override;
  bool CloseOutput(void* file) override;
  bool ReplaceFile(const char* from, const char* to) override;
  void RemoveFile(const char* path) override;

  void SelectAll() {
    for (auto& item : items) item.second = true;
  }

  std::vector<std::pair<std::string, bool>> items;             // name, selected
  std::vector<std::pair<std::string, std::string>> messages;   // text, caption
  std::deque<std::string> passwords;    // answers of the password prompt, in order
  std::deque<bool> overwriteAnswers;    // answers of the overwrite question
  std::vector<std::string> asked;       // paths the overwrite question was asked for
  int passwordQuestions = 0;
  int overwriteMode = 2;
  std::string status;

 private:
  FILE* archive_;
  uint64_t size_;
};

std::string ToPosixPath(const char* path);

}  // namespace vexel
