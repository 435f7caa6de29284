// An in-memory registry with the Windows registry's rules that CRegistry relies on: key and value
// names compare without regard to ASCII case, a key opens only when every level exists, values
// keep their bytes exactly as written.
#pragma once

#include <map>
#include <string>

#include "RegistryBackend.h"

class CMemoryRegistry : public CRegistryBackend {
 public:
  long OpenKey(RegKey parent, const char* name, RegKey* out) override;
  long CreateKey(RegKey parent, const char* name, RegKey* out) override;
  long CloseKey(RegKey key) override;
  long SetString(RegKey key, const char* name, const char* data, DWORD length) override;
  long QueryString(RegKey key, const char* name, char* buf, DWORD* length) override;
  long DeleteTree(RegKey parent, const char* path) override;

  void Clear();
  // Number of handles open now (a test sees that every opened key is closed again).
  int OpenHandles() const { return static_cast<int>(handles_.size()); }

 private:
  std::string PathOf(RegKey key) const;
  long Open(RegKey parent, const char* name, RegKey* out, bool create);

  std::map<std::string, std::map<std::string, std::string>> keys_;  // path -> values
  std::map<RegKey, std::string> handles_;
  RegKey next_ = 0x1000;
};
