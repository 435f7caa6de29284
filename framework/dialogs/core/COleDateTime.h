// Date values: days since 30 December 1899 00:00 local time with the time of day as the fraction
// (before that day the whole part counts back and the fraction still counts forward), plus a
// status. Components are rounded to the second; day of week 1 = Sunday ... 7 = Saturday.
#pragma once

#include "AfxTypes.h"
#include "CString.h"

// <windows.h> defines GetCurrentTime as a macro; the date value has a member of that name.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class COleDateTimeSpan {
 public:
  enum SpanStatus { valid = 0, invalid = 1, null = 2 };
  COleDateTimeSpan() = default;
  explicit COleDateTimeSpan(double days) : m_span(days) {}
  COleDateTimeSpan(long days, int hours, int minutes, int seconds);

  double GetTotalDays() const { return m_span; }
  double GetTotalSeconds() const { return m_span * 86400.0; }
  long GetDays() const { return static_cast<long>(m_span); }  // toward zero
  // Components of the part below one day, rounded to the second.
  int GetHours() const;
  int GetMinutes() const;
  int GetSeconds() const;
  SpanStatus GetStatus() const { return m_status; }
  void SetStatus(SpanStatus s) { m_status = s; }

  COleDateTimeSpan operator+(const COleDateTimeSpan& o) const;
  COleDateTimeSpan operator-(const COleDateTimeSpan& o) const;

  double m_span = 0.0;
  SpanStatus m_status = valid;

 private:
  int SecondsOfDay() const;
};

class COleDateTime {
 public:
  enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

  COleDateTime() = default;
  explicit COleDateTime(double value) : m_dt(value) {}
  COleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
  }

  // The system's local date and time (to the second).
  static COleDateTime GetCurrentTime();

  // An impossible date (year outside 100..9999, month, day or time out of range) sets the
  // status invalid and the value 0. Returns 0 when valid.
  int SetDateTime(int year, int month, int day, int hour, int minute, int second);
  int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }

  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday
  int GetDayOfYear() const;  // 1..366
  DateTimeStatus GetStatus() const { return m_status; }
  void SetStatus(DateTimeStatus s) { m_status = s; }

  // "%d.%m.%Y %H:%M:%S" and the like (d m Y y H M S and %% only).
  CString Format(const char* fmt) const;

  COleDateTimeSpan operator-(const COleDateTime& o) const;
  COleDateTime operator+(const COleDateTimeSpan& s) const;
  COleDateTime operator-(const COleDateTimeSpan& s) const;
  COleDateTime& operator+=(const COleDateTimeSpan& s) { return *this = *this + s; }
  COleDateTime& operator-=(const COleDateTimeSpan& s) { return *this = *this - s; }
  bool operator==(const COleDateTime& o) const { return m_status == o.m_status && m_dt == o.m_dt; }
  bool operator!=(const COleDateTime& o) const { return !(*this == o); }
  bool operator<(const COleDateTime& o) const;
  bool operator>(const COleDateTime& o) const { return o < *this; }
  bool operator<=(const COleDateTime& o) const { return !(o < *this); }
  bool operator>=(const COleDateTime& o) const { return !(*this < o); }

  double m_dt = 0.0;
  DateTimeStatus m_status = valid;

 private:
  struct Parts {
    int year, month, day, hour, minute, second, dayOfWeek, dayOfYear;
  };
  bool Split(Parts& p) const;
};
