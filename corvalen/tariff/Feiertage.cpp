#include "Feiertage.h"

#include <cstdlib>
#include <cstring>
#include <expat.h>
#include <string>

#include "CFile.h"
#include "DataBudget.h"
#include "Settings.h"
#include "TarifClock.h"

CFeiertagList::~CFeiertagList() { RemoveAll(); }

void CFeiertagList::RemoveAll() {
  for (int i = 0; i < dates.GetSize(); ++i) delete dates[i];
  dates.RemoveAll();
}

namespace {
int AtoiPart(const char* s, size_t from, size_t count) {
  return std::atoi(std::string(s + from, count).c_str());
}
void NoEnd(void*, const char*) {}
}  // namespace

void CFeiertagList::StartElement(void* user, const char* name, const char** atts) {
  if (std::strcmp(name, "feiertag") != 0) return;
  // The first attribute's value, whatever the attribute is called, is the date YYYYMMDD;
  // an element without one, or with a shorter value, names no day.
  if (!atts[0] || !atts[1] || std::strlen(atts[1]) < 8) return;
  const char* v = atts[1];
  static_cast<CFeiertagList*>(user)->dates.Add(
      new COleDateTime(AtoiPart(v, 0, 4), AtoiPart(v, 4, 2), AtoiPart(v, 6, 2), 0, 0, 0));
}

BOOL CFeiertagList::ParseBuffer(const char* data, size_t length) {
  if (length > kDataFileLimit) return FALSE;
  CDataXmlParser parser;
  if (!parser.IsValid()) return FALSE;
  parser.SetHandlers(this, &CFeiertagList::StartElement, NoEnd);
  // The whole buffer in one call; the days read until an error or the end stay in the list.
  // Then the end of the document: a list that stops before its root element is closed was cut
  // (an interrupted copy or download), and every holiday after the cut is missing, so it is
  // reported as damaged like a malformed one, with what it held kept.
  return parser.Parse(data, length, false) && parser.Parse("", 0, true);
}

BOOL CFeiertagList::Load(CSettings* s) {
  settings = s;
  std::string buf;
  if (!ReadDataFile(s->DataFile("Feiertags.dat"), buf)) return FALSE;
  return ParseBuffer(buf.data(), buf.size());
}

BOOL CFeiertagList::IsFeiertag(const COleDateTime& day) const {
  for (int i = 0; i < dates.GetSize(); ++i)
    if (*dates[i] == day) return TRUE;
  return FALSE;
}

COleDateTime CDateUtil::TodayAt(int hour, int minute, int second) const {
  COleDateTime now = GetNow();
  return COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), hour, minute, second);
}

COleDateTime CDateUtil::YesterdayStart() const {
  COleDateTime y = GetNow() - COleDateTimeSpan(1.0);
  return COleDateTime(y.GetYear(), y.GetMonth(), y.GetDay(), 0, 0, 0);
}

COleDateTime CDateUtil::YesterdayEnd() const {
  COleDateTime y = GetNow() - COleDateTimeSpan(1.0);
  return COleDateTime(y.GetYear(), y.GetMonth(), y.GetDay(), 23, 59, 59);
}

COleDateTime CDateUtil::WeekStart(int offset) const {
  COleDateTime today = GetToday();
  int dow = today.GetDayOfWeek();
  int back = dow == 1 ? 6 : dow - offset - 1;
  return today - COleDateTimeSpan(static_cast<double>(back));
}

COleDateTime CDateUtil::MonthStart() const {
  COleDateTime now = GetNow();
  return COleDateTime(now.GetYear(), now.GetMonth(), 1, 0, 0, 0);
}

namespace {
CString TwoDigits(int v) {
  CString s;
  s.Format("%d", v);
  s.Trim();
  if (s.GetLength() == 1) s = "0" + s;
  return s;
}
}  // namespace

CString GetDateText() {
  COleDateTime now = GetNow();
  return TwoDigits(now.GetDay()) + "." + TwoDigits(now.GetMonth()) + "." +
         CString::Formatted("%d", now.GetYear());
}

CString FormatHours(const COleDateTimeSpan& span) {
  return TwoDigits(span.GetHours()) + ":" + TwoDigits(span.GetMinutes()) + ":" +
         TwoDigits(span.GetSeconds());
}
