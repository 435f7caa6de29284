// The tariff document as the parser sees it after unscrambling, then a ranking over whatever it
// built, so that hostile condition trees are evaluated too; and the download check.
#include <cstddef>
#include <cstdint>

#include "TarifClock.h"
#include "TarifDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool once = [] {
    SetFixedNow(COleDateTime(2026, 3, 1, 23, 59, 30));
    return true;
  }();
  (void)once;
  CTarifDatabase db;
  db.ParseBuffer(reinterpret_cast<const char*>(data), size);
  db.SortActiveByName();
  db.BuildFilteredLists();
  CRankOrder order;
  int changes = 0;
  CTarifContext context(GetNow(), 1);
  db.Rank(&order, context, &changes, nullptr);
  CTarifDatabase::CheckTarifBuffer(reinterpret_cast<const char*>(data), size, "id-1", false);
  return 0;
}
