#include "COleDateTime.h"

#include <cmath>
#include <ctime>

namespace {
const double kHalfSecond = 1.0 / 172800.0;
// Day numbers of the date value's range (1 January 100 and 31 December 9999).
const double kMinDate = -657434.0;
const double kMaxDate = 2958465.99999;

// Days from 1 January 1970 to the civil date (proleptic Gregorian calendar).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long yy = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const long kEpoch = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// A monotonic form of the date value: before 30 December 1899 the fraction counts forward
// from a negative whole part.
double Linear(double dt) {
  if (dt >= 0) return dt;
  double whole = std::ceil(dt);
  return whole + (whole - dt);
}
double FromLinear(double lin) {
  if (lin >= 0) return lin;
  double whole = std::floor(lin);
  return whole - (lin - whole);
}
}  // namespace

COleDateTimeSpan::COleDateTimeSpan(long days, int hours, int minutes, int seconds)
    : m_span(days + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0) {}

int COleDateTimeSpan::SecondsOfDay() const {
  double a = std::fabs(m_span);
  double frac = a - std::floor(a);
  long s = static_cast<long>(frac * 86400.0 + 0.5);
  return static_cast<int>(s % 86400);
}
int COleDateTimeSpan::GetHours() const { return (m_span < 0 ? -1 : 1) * (SecondsOfDay() / 3600); }
int COleDateTimeSpan::GetMinutes() const { return (m_span < 0 ? -1 : 1) * (SecondsOfDay() / 60 % 60); }
int COleDateTimeSpan::GetSeconds() const { return (m_span < 0 ? -1 : 1) * (SecondsOfDay() % 60); }

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& o) const {
  COleDateTimeSpan r(m_span + o.m_span);
  if (m_status != valid || o.m_status != valid) r.m_status = invalid;
  return r;
}
COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& o) const {
  COleDateTimeSpan r(m_span - o.m_span);
  if (m_status != valid || o.m_status != valid) r.m_status = invalid;
  return r;
}

COleDateTime COleDateTime::GetCurrentTime() {
  std::time_t t = std::time(nullptr);
  std::tm tmv = *std::localtime(&t);
  return COleDateTime(tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_hour, tmv.tm_min,
                      tmv.tm_sec);
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    m_dt = 0;
    m_status = invalid;
    return m_status;
  }
  long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpoch;
  double frac = (hour * 3600 + minute * 60 + second) / 86400.0;
  m_dt = days >= 0 ? days + frac : days - frac;
  m_status = valid;
  return m_status;
}

bool COleDateTime::Split(Parts& p) const {
  if (m_status != valid || !(m_dt >= kMinDate && m_dt <= kMaxDate)) return false;
  double lin = Linear(m_dt) + kHalfSecond;
  double whole = std::floor(lin);
  long secs = static_cast<long>((lin - whole) * 86400.0);
  if (secs >= 86400) secs = 86399;
  long day = static_cast<long>(whole);
  CivilFromDays(day + kEpoch, p.year, p.month, p.day);
  p.hour = static_cast<int>(secs / 3600);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.second = static_cast<int>(secs % 60);
  p.dayOfWeek = static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
  p.dayOfYear = static_cast<int>(day + kEpoch - DaysFromCivil(p.year, 1, 1)) + 1;
  return true;
}

#define DT_PART(fn, field)        \
  int COleDateTime::fn() const {  \
    Parts p;                      \
    return Split(p) ? p.field : -1; \
  }
DT_PART(GetYear, year)
DT_PART(GetMonth, month)
DT_PART(GetDay, day)
DT_PART(GetHour, hour)
DT_PART(GetMinute, minute)
DT_PART(GetSecond, second)
DT_PART(GetDayOfWeek, dayOfWeek)
DT_PART(GetDayOfYear, dayOfYear)
#undef DT_PART

CString COleDateTime::Format(const char* fmt) const {
  Parts p;
  if (!Split(p)) return CString();
  CString out;
  for (const char* c = fmt; *c; ++c) {
    if (*c != '%' || !c[1]) {
      out += *c;
      continue;
    }
    ++c;
    switch (*c) {
      case 'd': out += CString::Formatted("%02d", p.day); break;
      case 'm': out += CString::Formatted("%02d", p.month); break;
      case 'Y': out += CString::Formatted("%d", p.year); break;
      case 'y': out += CString::Formatted("%02d", p.year % 100); break;
      case 'H': out += CString::Formatted("%02d", p.hour); break;
      case 'M': out += CString::Formatted("%02d", p.minute); break;
      case 'S': out += CString::Formatted("%02d", p.second); break;
      default: out += *c; break;
    }
  }
  return out;
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& o) const {
  COleDateTimeSpan s(Linear(m_dt) - Linear(o.m_dt));
  if (m_status != valid || o.m_status != valid) s.m_status = COleDateTimeSpan::invalid;
  return s;
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& s) const {
  COleDateTime r(FromLinear(Linear(m_dt) + s.m_span));
  if (m_status != valid || s.m_status != COleDateTimeSpan::valid) r.m_status = invalid;
  return r;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& s) const {
  COleDateTime r(FromLinear(Linear(m_dt) - s.m_span));
  if (m_status != valid || s.m_status != COleDateTimeSpan::valid) r.m_status = invalid;
  return r;
}

bool COleDateTime::operator<(const COleDateTime& o) const { return Linear(m_dt) < Linear(o.m_dt); }
