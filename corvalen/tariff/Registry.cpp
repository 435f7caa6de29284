#include "Registry.h"

#include <vector>

namespace {
const char kSoftware[] = "Software";
const char kMaker[] = "ASTREL";
const char kUserProduct[] = "Corvalen";
const char kMachineProduct[] = "Corvalen2.0";
}  // namespace

CRegistry::CRegistry(CRegistryBackend* backend)
    : backend_(backend ? backend : &GetRegistryBackend()) {}

CRegistry::~CRegistry() { CloseKeys(); }

int CRegistry::OpenChain(RegKey root, const char* product) {
  CloseKeys();
  if (backend_->OpenKey(root, kSoftware, &hSoftware) != kRegOk) {
    hSoftware = 0;
    return 1;
  }
  if (backend_->OpenKey(hSoftware, kMaker, &hMaker) != kRegOk) {
    hMaker = 0;
    CloseKeys();
    return 1;
  }
  if (backend_->OpenKey(hMaker, product, &hProduct) != kRegOk) {
    hProduct = 0;
    CloseKeys();
    return 1;
  }
  return 0;
}

int CRegistry::OpenUserKey() { return OpenChain(kRegCurrentUser, kUserProduct); }
int CRegistry::OpenMachineKey() { return OpenChain(kRegLocalMachine, kMachineProduct); }

int CRegistry::CloseKeys() {
  if (hProduct) backend_->CloseKey(hProduct);
  if (hMaker) backend_->CloseKey(hMaker);
  if (hSoftware) backend_->CloseKey(hSoftware);
  hProduct = hMaker = hSoftware = 0;
  return 0;
}

void CRegistry::CreateKeys() {
  const RegKey roots[] = {kRegCurrentUser, kRegLocalMachine};
  const char* products[] = {kUserProduct, kMachineProduct};
  for (int i = 0; i < 2; ++i) {
    const char* levels[] = {kSoftware, kMaker, products[i]};
    RegKey parent = roots[i];
    RegKey opened[3] = {0, 0, 0};
    for (int l = 0; l < 3; ++l) {
      RegKey k = 0;
      if (backend_->OpenKey(parent, levels[l], &k) != kRegOk &&
          backend_->CreateKey(parent, levels[l], &k) != kRegOk)
        break;  // a machine key the user may not create simply stays missing
      opened[l] = k;
      parent = k;
    }
    for (int l = 2; l >= 0; --l)
      if (opened[l]) backend_->CloseKey(opened[l]);
  }
}

long CRegistry::SetValue(const char* name, CString text) {
  if (text.IsEmpty()) text = " ";
  CreateKeys();
  if (OpenUserKey() != 0) return kRegNotFound;
  long r = backend_->SetString(hProduct, name, text.c_str(), static_cast<DWORD>(text.GetLength()));
  CloseKeys();
  return r;
}

BOOL CRegistry::Query(int (CRegistry::*open)(), const char* name, DWORD bufferSize, CString* raw) {
  if ((this->*open)() != 0) return FALSE;
  std::vector<char> buf(bufferSize);
  DWORD len = bufferSize;
  long r = backend_->QueryString(hProduct, name, buf.data(), &len);
  CloseKeys();
  if (r != kRegOk) return FALSE;
  if (len > bufferSize) len = bufferSize;
  // Values written by other programs may carry their terminator; the text ends at the first NUL.
  DWORD n = 0;
  while (n < len && buf[n] != '\0') ++n;
  *raw = CString(buf.data(), static_cast<int>(n));
  return TRUE;
}

BOOL CRegistry::QueryUserValue(const char* name) {
  CString raw;
  if (!Query(&CRegistry::OpenUserKey, name, kUserBufferSize, &raw)) return FALSE;
  value = raw == " " ? CString() : raw;
  return TRUE;
}

BOOL CRegistry::QueryMachineValue(const char* name) {
  CString raw;
  if (!Query(&CRegistry::OpenMachineKey, name, kMachineBufferSize, &raw)) return FALSE;
  value = raw == " " ? CString() : raw;
  return TRUE;
}
