// Reads any bytes as the note of a running connection and checks what a note that is taken may
// give: written again it reads back to the same text, and the record it leaves is one whole
// record of the cost log, valid, marked as recovered, with the note's provider name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ConnectionNote.h"
#include "CostLog.h"
#include "Provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CConnectionNote note;
  if (!ParseConnectionNote(text, note)) return 0;
  const CString again = FormatConnectionNote(note);
  CConnectionNote back;
  if (!ParseConnectionNote(again.str(), back) || FormatConnectionNote(back) != again) abort();
  const CString record = RecoveredRecordText(note, note.seconds);
  std::vector<CCostRecord> records;
  if (!CCostLog::ParseRecords(record.str(), records) || records.size() != 1) abort();
  if (!records[0].Valid() || records[0].fields[8] != kRecoveredMark) abort();
  // The name as the tariff engine keeps a provider's name (CProvider::SetName).
  CString name = note.providerName;
  CProvider::FixUmlauts(name);
  if (records[0].Name() != name) abort();
  return 0;
}
