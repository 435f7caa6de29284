#include "RouterPath.h"

#include "Registry.h"

namespace {

// The router's registry store, reading the machine key; unlike the router, the hook keeps a
// stored single blank as it is.
class CHookRegistry : public CRegistry {
 public:
  BOOL QueryMachineValueAsStored(const char* name) {
    CString raw;
    if (!Query(&CRegistry::OpenMachineKey, name, kMachineBufferSize, &raw)) return FALSE;
    value = raw;
    return TRUE;
  }
};

}  // namespace

std::string ReadRouterPath() {
  CHookRegistry registry;
  if (!registry.QueryMachineValueAsStored("PATH")) return std::string();
  return registry.GetValue().str();
}
