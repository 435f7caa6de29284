// The registry store of Corvalen: string values written under the current user's key
// Software\ASTREL\Corvalen and read there or under the machine's Software\ASTREL\Corvalen2.0.
// An empty text is stored as one blank, so that a value set to empty stays apart from a value
// that was never written.
#pragma once

#include "CObject.h"
#include "CString.h"
#include "RegistryBackend.h"

class CRegistry : public CObject {
 public:
  // Buffer sizes of the two reads: values of the user key are longer texts (filters), the
  // machine key holds the installation path and an address, so it takes a full Windows path
  // (MAX_PATH); a longer installation folder could not be used by the program anyway.
  static const DWORD kUserBufferSize = 10000;
  static const DWORD kMachineBufferSize = 260;

  explicit CRegistry(CRegistryBackend* backend = nullptr);
  ~CRegistry() override;

  int OpenUserKey();
  int OpenMachineKey();
  int CloseKeys();
  void CreateKeys();
  long SetValue(const char* name, CString text);
  BOOL QueryUserValue(const char* name);
  BOOL QueryMachineValue(const char* name);

  const CString& GetValue() const { return value; }
  CRegistryBackend& Backend() { return *backend_; }

 protected:
  int OpenChain(RegKey root, const char* product);
  BOOL Query(int (CRegistry::*open)(), const char* name, DWORD bufferSize, CString* raw);

  RegKey hSoftware = 0, hMaker = 0, hProduct = 0;
  CString value;

 private:
  CRegistryBackend* backend_;
};
