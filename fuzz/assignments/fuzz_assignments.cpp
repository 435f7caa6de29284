// "Corva.dat": the record splitter and the date reader take any bytes; what the splitter returns
// is complete records whose text, written again, splits into the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "AssignmentStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::pair<CString, CString>> records, again;
  size_t complete = 0;
  CAssignmentStore::ParseRecords(text, records, &complete);
  if (complete > text.size()) std::abort();
  std::string written;
  for (const auto& r : records) {
    CAssignmentStore::ParseDate(r.second);
    int bar = r.second.Find('|');
    if (bar >= 0) CAssignmentStore::ParseDate(r.second.Mid(bar + 1));
    written += r.first.str() + "=" + r.second.str() + ";";
  }
  if (written != text.substr(0, complete)) std::abort();
  CAssignmentStore::ParseRecords(written, again);
  if (again.size() != records.size()) std::abort();
  return 0;
}
