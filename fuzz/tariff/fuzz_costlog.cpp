// "rechnung.log": the record reader, the totals of a period with the damaged records they leave
// out, and the check of a file to be imported.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CostLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string log(reinterpret_cast<const char*>(data), size);
  std::vector<CCostRecord> records;
  CCostLog::ParseRecords(log, records);
  for (const CCostRecord& r : records) {
    CCostLog::EscapeHtml(r.Name());
    CCostLog::TruncateDecimals(r.Cost(), 2);
  }
  std::vector<CString> damaged;
  CCostLog::TotalOf(log, COleDateTime(2000, 1, 1, 0, 0, 0), COleDateTime(2030, 12, 31, 23, 59, 59), &damaged);
  CCostLog::DamagedNotice(damaged);
  CCostLog::ReadsAsLog(log);
  return 0;
}
