#include "ProviderListText.h"

CString ProviderItemText(const CProvider& provider) {
  const char* marker = "__";
  if (provider.IsLoginRequired()) marker = provider.IsRegistered() ? "_R" : "_A";
  CString text = CString::Formatted("%3s  %2.2f Pfg", marker, static_cast<double>(provider.GetPrice()));
  text += "     ";
  text += provider.GetName();
  if (provider.HasFreeMinutes()) text.SetAt(1, 'F');
  return text;
}

CString DefaultProviderId(const CString& defaultConnection, const CProviderArray& ranking) {
  if (defaultConnection.GetLength() < 2 || defaultConnection.Find("- Günstigstem Provider -") >= 0) {
    if (ranking.GetSize() > 0) return ranking[0]->GetId();
    return CString();
  }
  return defaultConnection;
}

int IndexOfProvider(const CProviderArray& list, const CString& id) {
  for (int i = 0; i < list.GetSize(); ++i)
    if (list[i]->GetId() == id) return i;
  return 0;
}

CString FormatOnlineTime(long seconds) {
  if (seconds < 0) seconds = 0;
  return CString::Formatted("%ld:%02ld:%02ld", seconds / 3600, (seconds / 60) % 60, seconds % 60);
}

CString StripViewerMarkers(const CString& text) {
  CString out = text;
  out.Replace("\\b", "");
  out.Replace("\\v", "");
  return out;
}

BOOL IsStartedByHookParameter(const CString& fileName) {
  return fileName.GetLength() >= 8 && fileName.Left(8) == "AfterDll";
}
