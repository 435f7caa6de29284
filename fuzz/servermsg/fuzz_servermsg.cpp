// The server message document as the reader sees it after unscrambling, then the stamp and date
// rules over whatever it stored, and the check of the addresses it keeps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ServerMessages.h"
#include "WebAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSettings settings;
  CServerMessageParse parse;
  ParseServerMessages(reinterpret_cast<const char*>(data), size, &settings, &parse);
  IsNewServerStamp(settings.GetTarifDate(), settings.GetDialerDate());
  IsCheckDateDue(parse.bannerDate.Left(10), COleDateTime(2026, 3, 4, 13, 30, 0));
  // Every address the reader kept is one that may go to the shell.
  for (const CString* address : {&settings.GetUrlOfDay(), &settings.GetDialerUrl(), &settings.GetTarifUrl(),
                                 &settings.GetBannerUrl()})
    if (!address->IsEmpty() && !IsWebAddress(*address)) abort();
  // The check itself over the raw input.
  IsWebAddress(reinterpret_cast<const char*>(data), size);
  return 0;
}
