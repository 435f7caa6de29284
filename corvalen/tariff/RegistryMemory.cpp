#include "RegistryMemory.h"

#include <cstring>

namespace {
std::string Lower(const char* s) {
  std::string r(s ? s : "");
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}
}  // namespace

std::string CMemoryRegistry::PathOf(RegKey key) const {
  if (key == kRegCurrentUser) return "hkcu";
  if (key == kRegLocalMachine) return "hklm";
  auto it = handles_.find(key);
  return it == handles_.end() ? std::string() : it->second;
}

long CMemoryRegistry::Open(RegKey parent, const char* name, RegKey* out, bool create) {
  std::string base = PathOf(parent);
  if (base.empty() || !name || !*name) return kRegNotFound;
  std::string path = base;
  // A name may hold several levels separated by "\".
  std::string rest = Lower(name);
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    std::string level = rest.substr(start, end - start);
    if (!level.empty()) {
      path += "\\" + level;
      if (!keys_.count(path)) {
        if (!create) return kRegNotFound;
        keys_[path];
      }
    }
    start = end + 1;
  }
  RegKey h = next_++;
  handles_[h] = path;
  *out = h;
  return kRegOk;
}

long CMemoryRegistry::OpenKey(RegKey parent, const char* name, RegKey* out) {
  return Open(parent, name, out, false);
}

long CMemoryRegistry::CreateKey(RegKey parent, const char* name, RegKey* out) {
  return Open(parent, name, out, true);
}

long CMemoryRegistry::CloseKey(RegKey key) {
  if (key == kRegCurrentUser || key == kRegLocalMachine) return kRegOk;
  return handles_.erase(key) ? kRegOk : 6;  // 6: invalid handle
}

long CMemoryRegistry::SetString(RegKey key, const char* name, const char* data, DWORD length) {
  std::string path = PathOf(key);
  if (path.empty() || !keys_.count(path)) return 6;
  keys_[path][Lower(name)] = std::string(data, length);
  return kRegOk;
}

long CMemoryRegistry::QueryString(RegKey key, const char* name, char* buf, DWORD* length) {
  std::string path = PathOf(key);
  auto k = keys_.find(path);
  if (k == keys_.end()) return 6;
  auto v = k->second.find(Lower(name));
  if (v == k->second.end()) return kRegNotFound;
  if (v->second.size() > *length) {
    *length = static_cast<DWORD>(v->second.size());
    return kRegMoreData;
  }
  std::memcpy(buf, v->second.data(), v->second.size());
  *length = static_cast<DWORD>(v->second.size());
  return kRegOk;
}

long CMemoryRegistry::DeleteTree(RegKey parent, const char* path) {
  std::string base = PathOf(parent);
  if (base.empty()) return 6;
  std::string full = base + "\\" + Lower(path);
  bool any = false;
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == full || it->first.compare(0, full.size() + 1, full + "\\") == 0) {
      it = keys_.erase(it);
      any = true;
    } else {
      ++it;
    }
  }
  return any ? kRegOk : kRegNotFound;
}

void CMemoryRegistry::Clear() {
  keys_.clear();
  handles_.clear();
}
