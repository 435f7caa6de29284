#include "DownloadFiles.h"

#include "CFile.h"

namespace {
// The names the downloads are written under (the server messages, the tariff file, the banner).
const char* const kDownloads[] = {"ServerInfo.sic", "tarif.sic", "banner.gif"};
}  // namespace

int RemoveStaleDownloadTemporaries(const CString& folder) {
  int removed = 0;
  for (const char* name : kDownloads) {
    const CString temp = folder + "\\" + name + ".sic";
    if (CFile::Exists(temp) && CFile::Remove(temp)) ++removed;
  }
  return removed;
}
