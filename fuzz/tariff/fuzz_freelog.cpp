// "free.log": whatever loads must store again and load back to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "CFile.h"
#include "TarifProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMemFile in(data, size);
  CTarifProtocolStore store;
  store.LoadFrom(in);
  CMemFile out;
  store.SaveTo(out);
  out.Seek(0, CFile::begin);
  CTarifProtocolStore again;
  again.LoadFrom(out);
  if (again.GetMap().GetCount() != store.GetMap().GetCount()) std::abort();
  return 0;
}
