#include "AssignmentStore.h"

#include <cstdio>
#include <cstdlib>

#include "CFile.h"
#include "TarifManager.h"
#include "TarifUi.h"

const char* const CAssignmentStore::kFileName = "Corva.dat";
const char* const CAssignmentStore::kTempName = "Corva.sic";

namespace {

bool HasSeparator(const CString& s, bool allowBar) {
  for (int i = 0; i < s.GetLength(); ++i) {
    char c = s[i];
    if (c == ';' || c == '=' || (!allowBar && c == '|')) return true;
  }
  return false;
}

// A decimal number without sign at `p`; -1 when there is none (or it is absurdly long).
int ReadNumber(const char*& p) {
  int v = 0, digits = 0;
  while (*p >= '0' && *p <= '9') {
    if (++digits > 6) return -1;
    v = v * 10 + (*p++ - '0');
  }
  return digits ? v : -1;
}

}  // namespace

void CAssignmentStore::SetFolder(const CString& folder) {
  filePath = folder + "\\" + kFileName;
  tempPath = folder + "\\" + kTempName;
  SetPath(&filePath);
}

CString CAssignmentStore::FormatDate(const COleDateTime& date) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d/%d/%d 0:0:0", date.GetDay(), date.GetMonth(), date.GetYear());
  return buf;
}

COleDateTime CAssignmentStore::ParseDate(const CString& text) {
  COleDateTime bad;
  bad.SetStatus(COleDateTime::invalid);
  if (text.str().find('\0') != std::string::npos) return bad;
  const char* p = text.c_str();
  while (*p == ' ') ++p;
  int d = ReadNumber(p);
  if (d < 0 || *p++ != '/') return bad;
  int m = ReadNumber(p);
  if (m < 0 || *p++ != '/') return bad;
  int y = ReadNumber(p);
  if (y < 0) return bad;
  int h = 0, mi = 0, s = 0;
  while (*p == ' ') ++p;
  if (*p) {
    h = ReadNumber(p);
    if (h < 0 || *p++ != ':') return bad;
    mi = ReadNumber(p);
    if (mi < 0 || *p++ != ':') return bad;
    s = ReadNumber(p);
    if (s < 0) return bad;
    while (*p == ' ') ++p;
    if (*p) return bad;
  }
  COleDateTime t;
  if (t.SetDateTime(y, m, d, h, mi, s) != 0) return bad;
  return t;
}

void CAssignmentStore::ParseRecords(const std::string& text, std::vector<std::pair<CString, CString>>& out,
                                    size_t* complete) {
  out.clear();
  size_t pos = 0, done = 0;
  while (pos < text.size()) {
    size_t eq = text.find('=', pos);
    if (eq == std::string::npos) break;
    size_t semi = text.find(';', eq + 1);
    if (semi == std::string::npos) break;
    out.emplace_back(CString(text.substr(pos, eq - pos)), CString(text.substr(eq + 1, semi - eq - 1)));
    pos = done = semi + 1;
  }
  if (complete) *complete = done;
}

void CAssignmentStore::Load() {
  records.RemoveAll();
  std::string text;
  if (!ReadAll(text)) return;
  std::vector<std::pair<CString, CString>> parsed;
  ParseRecords(text, parsed);
  for (const auto& kv : parsed) {
    key = kv.first;
    int bar = kv.second.Find('|');
    if (bar < 0) {
      entryName = "";
      dateText = kv.second;
    } else {
      entryName = kv.second.Left(bar);
      dateText = kv.second.Mid(bar + 1);
    }
    CProvider* provider = tariffManager ? tariffManager->FindProvider(key) : nullptr;
    if (!provider) continue;  // stays in the file, but the provider is unknown now
    provider->SetRegistered(1);
    CEntryAssignment r;
    r.providerId = key;
    r.entryName = entryName;
    r.date = ParseDate(dateText);
    records.Add(r);
  }
}

CString CAssignmentStore::Lookup(const CString& providerId, COleDateTime& date) const {
  for (int i = 0; i < records.GetSize(); ++i) {
    const CEntryAssignment r = records.GetAt(i);
    if (r.providerId == providerId) {
      date = r.date;
      return r.entryName;
    }
  }
  return "null";
}

BOOL CAssignmentStore::IsStorableName(const CString& entryName) { return !HasSeparator(entryName, false); }

BOOL CAssignmentStore::AddAssignment(CEntryAssignment record) {
  // A separator inside the id or the name would split the record into others and corrupt every
  // record after it.
  if (record.providerId.IsEmpty() || HasSeparator(record.providerId, false) || HasSeparator(record.entryName, false))
    return FALSE;
  if (!path) return FALSE;
  // A record cut off at the end (an interrupted write) would swallow the one appended now.
  std::string text;
  if (ReadAll(text) && !text.empty() && text.back() != ';' && !RewriteWithout(nullptr)) return FALSE;
  if (!WriteRecord(record.providerId, record.entryName + "|" + FormatDate(record.date))) return FALSE;
  records.Add(record);
  return TRUE;
}

BOOL CAssignmentStore::WriteRecord(const CString& k, const CString& value) {
  // One write for the whole record: a failure leaves at most a cut record, which the next
  // AddAssignment rewrites away.
  if (Append(k + "=" + value + ";")) return TRUE;
  ReportSaveFailure(filePath);
  return FALSE;
}

BOOL CAssignmentStore::RewriteWithout(const CString* providerId, const COleDateTime* newDate) {
  std::string text;
  if (!ReadAll(text)) return newDate ? FALSE : TRUE;  // no file: nothing to remove, nothing to date
  std::vector<std::pair<CString, CString>> parsed;
  ParseRecords(text, parsed);
  std::string kept;
  for (const auto& kv : parsed) {
    if (providerId && kv.first == *providerId) {
      if (!newDate) continue;
      int bar = kv.second.Find('|');
      CString name = bar < 0 ? CString() : kv.second.Left(bar);
      kept += kv.first.str() + "=" + name.str() + "|" + FormatDate(*newDate).str() + ";";
      continue;
    }
    kept += kv.first.str() + "=" + kv.second.str() + ";";
  }
  // The new contents go to "Corva.sic" first and then take the place of "Corva.dat" in one step,
  // so a failure half-way never loses the records that stay.
  if (WriteWholeFile(filePath, kept, tempPath)) return TRUE;
  ReportSaveFailure(filePath);
  return FALSE;
}

BOOL CAssignmentStore::RewriteAndLoad(const CString* providerId, const COleDateTime* newDate) {
  BOOL ok = path ? RewriteWithout(providerId, newDate) : FALSE;
  // Read back what the file holds now, also after a failure: records another store of the same
  // file added or removed in between are known then, and nothing stays that the file lacks.
  Load();
  return ok;
}

BOOL CAssignmentStore::RemoveAssignment(const CString& providerId) {
  BOOL ok = RewriteAndLoad(&providerId);
  // The free minutes go with the assignment: while its record stays in the file, so do they.
  if (ok && tariffManager) tariffManager->GetProtocolStore().Remove(providerId);
  return ok;
}

BOOL CAssignmentStore::SetAssignmentDate(const CString& providerId, const COleDateTime& date) {
  if (!path || Lookup(providerId) == "null") return FALSE;
  COleDateTime day(date.GetYear(), date.GetMonth(), date.GetDay(), 0, 0, 0);
  if (day.GetStatus() != COleDateTime::valid) return FALSE;
  // The provider's records may have gone from the file meanwhile: then nothing was dated.
  return RewriteAndLoad(&providerId, &day) && Lookup(providerId) != "null";
}

BOOL CAssignmentStore::GetAt(int index, CString& providerId, COleDateTime& date) const {
  if (index < 0 || index >= records.GetSize()) return FALSE;
  providerId = records[index].providerId;
  date = records[index].date;
  return TRUE;
}
