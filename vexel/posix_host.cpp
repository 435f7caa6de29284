#include "posix_host.h"

#include <strings.h>
#include <sys/stat.h>

#include <cstring>

namespace vexel {

std::string ToPosixPath(const char* path) {
  std::string p(path);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

PosixHost::PosixHost(const std::string& archivePath) : archive_(fopen(archivePath.c_str(), "rb")), size_(0) {
  if (archive_) {
    struct stat st;
    if (fstat(fileno(archive_), &st) == 0) size_ = (uint64_t)st.st_size;
  }
}

PosixHost::~PosixHost() {
  if (archive_) fclose(archive_);
}

bool PosixHost::ArchiveSeek(uint64_t position) {
  return archive_ && fseeko(archive_, (off_t)position, SEEK_SET) == 0;
}

size_t PosixHost::ArchiveRead(void* buf, size_t n) { return archive_ ? fread(buf, 1, n, archive_) : 0; }

int PosixHost::ListFind(int after, const char* name) {
  const int n = (int)items.size();
  for (int k = 1; k <= n; ++k) {
    const int i = (after + k) % n;
    if (i >= 0 && strcasecmp(items[i].first.c_str(), name) == 0) return i;
  }
  return -1;
}

int PosixHost::ListSelCount() {
  int n = 0;
  for (const auto& item : items) n += item.second;
  return n;
}

size_t PosixHost::AskPassword(char* buf, size_t size) {
  ++passwordQuestions;
  std::string answer;
  if (!passwords.empty()) {
    answer = passwords.front();
    passwords.pop_front();
  }
  const size_t n = answer.size() < size - 1 ? answer.size() : size - 1;
  memcpy(buf, answer.data(), n);
  buf[n] = '\0';
  return n;
}

bool PosixHost::AskOverwrite(const char* path) {
  asked.push_back(path);
  if (overwriteAnswers.empty()) return false;
  const bool yes = overwriteAnswers.front();
  overwriteAnswers.pop_front();
  return yes;
}

bool PosixHost::FileExists(const char* path) {
  struct stat st;
  return stat(ToPosixPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PosixHost::FolderExists(const char* path) {
  struct stat st;
  return stat(ToPosixPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixHost::CreateFolder(const char* path) { return mkdir(ToPosixPath(path).c_str(), 0755) == 0; }

void* PosixHost::CreateOutput(const char* path) { return fopen(ToPosixPath(path).c_str(), "wb"); }

bool PosixHost::WriteOutput(void* file, const unsigned char* buf, size_t n) {
  return fwrite(buf, 1, n, (FILE*)file) == n;
}

bool PosixHost::CloseOutput(void* file) { return fclose((FILE*)file) == 0; }

bool PosixHost::ReplaceFile(const char* from, const char* to) {
  return rename(ToPosixPath(from).c_str(), ToPosixPath(to).c_str()) == 0;
}

void PosixHost::RemoveFile(const char* path) { remove(ToPosixPath(path).c_str()); }

}  // namespace vexel
