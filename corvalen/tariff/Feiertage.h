// The holiday list "Feiertags.dat" and the date helpers of the engine.
#pragma once

#include "CArray.h"
#include "CObject.h"
#include "COleDateTime.h"
#include "CString.h"

class CSettings;

class CFeiertagList : public CObject {
 public:
  CFeiertagList() = default;
  ~CFeiertagList() override;
  CFeiertagList(const CFeiertagList&) = delete;
  CFeiertagList& operator=(const CFeiertagList&) = delete;

  // Reads PATH\Feiertags.dat and appends its dates; FALSE when it cannot be read or parsed, or
  // ends before its document does.
  BOOL Load(CSettings* settings);
  // Appends the dates of a holiday document, up to an error or a cut; FALSE when expat refuses it
  // or the document is not complete.
  BOOL ParseBuffer(const char* data, size_t length);
  // TRUE when a listed date has the same status and exactly the same value.
  BOOL IsFeiertag(const COleDateTime& day) const;
  int GetCount() const { return dates.GetSize(); }
  const COleDateTime& GetAt(int i) const { return *dates[i]; }
  void RemoveAll();

 private:
  static void StartElement(void* user, const char* name, const char** atts);
  CPtrArrayOf<COleDateTime*> dates;
  CSettings* settings = nullptr;
};

class CDateUtil {
 public:
  virtual ~CDateUtil() = default;
  COleDateTime TodayAt(int hour, int minute, int second) const;
  COleDateTime YesterdayStart() const;
  COleDateTime YesterdayEnd() const;
  // 00:00:00 of the day (day of week - offset - 1) days before today; on a Sunday six days
  // before. With offset 1 weeks run from Monday to Sunday.
  COleDateTime WeekStart(int offset) const;
  COleDateTime MonthStart() const;
};

// Today as "dd.mm.yyyy".
CString GetDateText();
// hh:mm:ss of the span's components within one day (whole days do not show).
CString FormatHours(const COleDateTimeSpan& span);
