// Win32 build: the Windows registry itself.
#include <windows.h>

#include "RegistryBackend.h"

namespace {
HKEY H(RegKey k) { return reinterpret_cast<HKEY>(k); }

class CWin32Registry : public CRegistryBackend {
 public:
  long OpenKey(RegKey parent, const char* name, RegKey* out) override {
    HKEY h = nullptr;
    long r = RegOpenKeyExA(H(parent), name, 0, KEY_ALL_ACCESS, &h);
    if (r != ERROR_SUCCESS) r = RegOpenKeyExA(H(parent), name, 0, KEY_READ, &h);
    if (r == ERROR_SUCCESS) *out = reinterpret_cast<RegKey>(h);
    return r;
  }
  long CreateKey(RegKey parent, const char* name, RegKey* out) override {
    HKEY h = nullptr;
    DWORD disposition = 0;
    long r = RegCreateKeyExA(H(parent), name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, &h, &disposition);
    if (r == ERROR_SUCCESS) *out = reinterpret_cast<RegKey>(h);
    return r;
  }
  long CloseKey(RegKey key) override { return RegCloseKey(H(key)); }
  long SetString(RegKey key, const char* name, const char* data, DWORD length) override {
    return RegSetValueExA(H(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), length);
  }
  long QueryString(RegKey key, const char* name, char* buf, DWORD* length) override {
    DWORD type = 0;
    return RegQueryValueExA(H(key), name, nullptr, &type, reinterpret_cast<BYTE*>(buf), length);
  }
  long DeleteTree(RegKey parent, const char* path) override {
    HKEY h = nullptr;
    long r = RegOpenKeyExA(H(parent), path, 0, KEY_ALL_ACCESS, &h);
    if (r != ERROR_SUCCESS) return r;
    char sub[256];
    for (;;) {
      DWORD n = sizeof sub;
      if (RegEnumKeyExA(h, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (DeleteTree(reinterpret_cast<RegKey>(h), sub) != ERROR_SUCCESS) break;
    }
    RegCloseKey(h);
    return RegDeleteKeyA(H(parent), path);
  }
};
}  // namespace

CRegistryBackend& GetRegistryBackend() {
  static CWin32Registry registry;
  return registry;
}
