// Native build: the settings live in an in-memory registry for the life of the process.
#include "RegistryMemory.h"

CRegistryBackend& GetRegistryBackend() {
  static CMemoryRegistry registry;
  return registry;
}
