// The holiday list "Feiertags.dat".
#include <cstddef>
#include <cstdint>

#include "Feiertage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CFeiertagList list;
  list.ParseBuffer(reinterpret_cast<const char*>(data), size);
  list.IsFeiertag(COleDateTime(2026, 12, 25, 0, 0, 0));
  for (int i = 0; i < list.GetCount(); ++i) list.GetAt(i).GetDayOfWeek();
  return 0;
}
