// The server message document as the reader sees it after unscrambling, then the stamp and date
// rules over whatever it stored.
#include <cstddef>
#include <cstdint>

#include "ServerMessages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSettings settings;
  CServerMessageParse parse;
  ParseServerMessages(reinterpret_cast<const char*>(data), size, &settings, &parse);
  IsNewServerStamp(settings.GetTarifDate(), settings.GetDialerDate());
  IsCheckDateDue(parse.bannerDate.Left(10), COleDateTime(2026, 3, 4, 13, 30, 0));
  return 0;
}
