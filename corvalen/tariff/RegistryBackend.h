// The store behind CRegistry: keys opened level by level, REG_SZ values written and read. The
// win32 build uses the Windows registry; natively an in-memory registry stands in for it.
#pragma once

#include <cstdint>

#include "AfxTypes.h"

typedef std::uintptr_t RegKey;  // 0 = no key
// The predefined root keys, with the values Windows gives them.
const RegKey kRegCurrentUser = 0x80000001u;
const RegKey kRegLocalMachine = 0x80000002u;
// Result codes as the registry returns them.
const long kRegOk = 0;
const long kRegNotFound = 2;
const long kRegMoreData = 234;

class CRegistryBackend {
 public:
  virtual ~CRegistryBackend() = default;
  // Opens an existing subkey (no create); kRegOk or an error code.
  virtual long OpenKey(RegKey parent, const char* name, RegKey* out) = 0;
  // Opens or creates a subkey.
  virtual long CreateKey(RegKey parent, const char* name, RegKey* out) = 0;
  virtual long CloseKey(RegKey key) = 0;
  // Writes a REG_SZ value of exactly `length` bytes (the program writes no terminating NUL).
  virtual long SetString(RegKey key, const char* name, const char* data, DWORD length) = 0;
  // Reads a value into buf of *length bytes; *length becomes the number of bytes stored.
  // kRegMoreData when the value is larger than the buffer.
  virtual long QueryString(RegKey key, const char* name, char* buf, DWORD* length) = 0;
  // Removes a key with everything below it (used by set-up and tests).
  virtual long DeleteTree(RegKey parent, const char* path) = 0;
};

// The store of this build: the Windows registry in the win32 build, the in-memory one natively.
CRegistryBackend& GetRegistryBackend();
