#include "DownloadFiles.h"

#include "CFile.h"

namespace {
// The names the downloads are written under (the server messages, the tariff file, the banner).
const char* const kDownloads[] = {"ServerInfo.sic", "tarif.sic", "banner.gif"};

bool AllDigits(const CString& text) {
  if (text.IsEmpty() || text.GetLength() > 10) return false;
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}
}  // namespace

bool IsDownloadTemporary(const CString& name) {
  for (const char* download : kDownloads) {
    const CString stem = CString(download) + ".";
    if (name.GetLength() < stem.GetLength() + 3 || name.Left(stem.GetLength()).CompareNoCase(stem) != 0) continue;
    const CString rest = name.Mid(stem.GetLength());
    if (rest.CompareNoCase("sic") == 0) return true;
    if (rest.GetLength() > 4 && rest.Right(4).CompareNoCase(".sic") == 0 && AllDigits(rest.Left(rest.GetLength() - 4)))
      return true;
  }
  return false;
}

int RemoveStaleDownloadTemporaries(const CString& folder, const std::vector<CString>& names) {
  int removed = 0;
  for (const CString& name : names) {
    if (!IsDownloadTemporary(name)) continue;
    const CString temp = folder + "\\" + name;
    if (CFile::Exists(temp) && CFile::Remove(temp)) ++removed;
  }
  return removed;
}
