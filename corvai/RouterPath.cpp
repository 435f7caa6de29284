#include "RouterPath.h"

#include <windows.h>

std::string ReadRouterPath() {
  // The key chain level by level, as the registry store opens it.
  HKEY software = nullptr, maker = nullptr, product = nullptr;
  std::string path;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &software) == ERROR_SUCCESS &&
      RegOpenKeyExA(software, "ASTREL", 0, KEY_READ, &maker) == ERROR_SUCCESS &&
      RegOpenKeyExA(maker, "Corvalen2.0", 0, KEY_READ, &product) == ERROR_SUCCESS) {
    char buffer[100];  // the store's buffer for machine values
    DWORD type = 0, size = sizeof buffer;
    if (RegQueryValueExA(product, "PATH", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      // Values are written without their terminator; one may or may not be there.
      path.assign(buffer, size);
      while (!path.empty() && path.back() == '\0') path.pop_back();
    }
  }
  if (product) RegCloseKey(product);
  if (maker) RegCloseKey(maker);
  if (software) RegCloseKey(software);
  return path;
}
