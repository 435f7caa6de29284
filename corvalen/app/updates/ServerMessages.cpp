#include "ServerMessages.h"

#include <expat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CFile.h"
#include "DataBudget.h"
#include "Provider.h"
#include "TarifClock.h"
#include "TarifScramble.h"
#include "WebAddress.h"

namespace {

// The state of one parse. The text of an element is collected over all of expat's chunks (it
// splits text at line ends and entities) and used when the element ends, so an address with
// "&amp;" in it arrives whole.
struct ParseState {
  CSettings* settings;
  CServerMessageParse* out;
  std::vector<CString> open;  // the elements open now, innermost last
  CString element;            // the innermost one, whose text is being read
  CString typ;      // the typ attribute of the last element that had one
  CString text;     // the text of `element` so far
  CString tipText;  // the text directly inside the current tip
};

void ApplyValue(ParseState& s) {
  CString value = s.text;
  s.text.Empty();
  CProvider::FixUmlauts(value);
  // Blanks and line breaks around a value are layout of the file, on either side: an address
  // that began with a line break would be opened with it.
  value.Trim();
  if (value.IsEmpty()) return;
  CSettings* st = s.settings;
  if (s.element == "url") {
    // Every address of the messages is opened in the browser or downloaded: one that is no web
    // address (a program or file of this machine, another scheme) is not kept.
    if (!IsWebAddress(value)) return;
    if (s.typ == "urlofday") st->SetUrlOfDay(value);
    else if (s.typ == "tarif") st->SetTarifUrl(value);
    else if (s.typ == "dialer") st->SetDialerUrl(value);
    else if (s.typ == "banner") st->SetBannerUrl(value);
  } else if (s.element == "date") {
    if (s.typ == "tarif") st->SetTarifDate(ServerStamp(value));
    else if (s.typ == "dialer") st->SetDialerDate(ServerStamp(value));
    else if (s.typ == "banner") s.out->bannerDate = value;
  }
}

void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** atts) {
  ParseState& s = *static_cast<ParseState*>(user);
  if (s.element != "tip") ApplyValue(s);
  s.text.Empty();
  s.open.push_back(name);
  s.element = name;
  for (int i = 0; atts[i]; i += 2)
    if (CString(atts[i]) == "typ") s.typ = atts[i + 1];
}

void XMLCALL OnText(void* user, const XML_Char* text, int length) {
  ParseState& s = *static_cast<ParseState*>(user);
  CString chunk(text, length);
  if (s.element == "tip") {
    CProvider::FixUmlauts(chunk);
    s.tipText += chunk;
  } else {
    s.text += chunk;
  }
}

void XMLCALL OnEnd(void* user, const XML_Char* name) {
  ParseState& s = *static_cast<ParseState*>(user);
  if (s.element != "tip") ApplyValue(s);
  s.text.Empty();
  // Text after a closing child belongs to the enclosing element again (a tip's text may go on
  // after its url).
  if (!s.open.empty()) s.open.pop_back();
  s.element = s.open.empty() ? CString() : s.open.back();
  if (CString(name) == "tip") {
    if (s.typ == "daily") s.settings->SetDailyTip(s.tipText);
    else if (s.typ == "tarifupdate") s.settings->SetTarifUpdateTip(s.tipText);
    s.tipText.Empty();
  }
}

// Day, month and year of "dd.mm.yyyy"; false when the text is not of that form.
bool ReadCheckDate(const CString& text, int& day, int& month, int& year) {
  if (text.GetLength() != 10 || text[2] != '.' || text[5] != '.') return false;
  const char* p = text;
  for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
    if (p[i] < '0' || p[i] > '9') return false;
  day = (p[0] - '0') * 10 + (p[1] - '0');
  month = (p[3] - '0') * 10 + (p[4] - '0');
  year = std::atoi(p + 6);
  return true;
}

}  // namespace

BOOL ParseServerMessages(const char* data, size_t length, CSettings* settings, CServerMessageParse* out) {
  if (length > kDataFileLimit) return FALSE;
  ParseState state{settings, out, {}, "", "", "", ""};
  // expat's memory and the nesting are bounded (CDataXmlParser), and so is the list of open
  // elements kept here.
  CDataXmlParser parser;
  if (!parser.IsValid()) return FALSE;
  parser.SetHandlers(&state, OnStart, OnEnd, OnText);
  // The final flag is set: a file cut short in transfer is refused instead of being taken.
  return parser.Parse(data, length, true);
}

BOOL ParseServerMessageFile(const char* path, CSettings* settings, CServerMessageParse* out) {
  std::string data;
  if (!ReadDataFile(path, data)) return FALSE;
  UnscrambleTarif(reinterpret_cast<unsigned char*>(&data[0]), data.size());
  return ParseServerMessages(data.data(), data.size(), settings, out);
}

CString FormatCheckDate(const COleDateTime& moment) {
  CString s;
  s.Format("%02d.%02d.%04d", moment.GetDay(), moment.GetMonth(), moment.GetYear());
  return s;
}

BOOL IsCheckDateDue(CString stored, const COleDateTime& now) {
  int day, month, year;
  if (!ReadCheckDate(stored, day, month, year)) return TRUE;
  COleDateTime then(year, month, day, now.GetHour(), now.GetMinute(), now.GetSecond());
  if (then.GetStatus() != COleDateTime::valid) return TRUE;
  double seconds = (now - then).GetTotalSeconds();
  // The same time of day on both sides: the difference is a whole number of days (give or take
  // the rounding of the day fraction).
  return seconds >= 86400.0 - 1.0 || seconds < -1.0;
}

BOOL IsMessageOfDayDue(CSettings& settings) {
  COleDateTime now = GetNow();
  CString stored = settings.GetMessageOfDay();
  if (stored.GetLength() == 10 && !IsCheckDateDue(stored, now)) return FALSE;
  settings.SetMessageOfDay(FormatCheckDate(now));
  return TRUE;
}

BOOL IsDailyCheckDue(CSettings& settings, DailyCheck which) {
  if (std::atoi(settings.GetUpdateFrequence()) == 1) return FALSE;
  COleDateTime now = GetNow();
  bool dialer = which == DailyCheck::dialer;
  CString stored = dialer ? settings.GetCheckDialer() : settings.GetCheckTarif();
  // Today is stored before the decision, whatever it is.
  CString today = FormatCheckDate(now);
  if (dialer) settings.SetCheckDialer(today);
  else settings.SetCheckTarif(today);
  stored.Trim();
  if (stored.IsEmpty()) return TRUE;
  return IsCheckDateDue(stored, now);
}

CString ServerStamp(const CString& value) { return value.Left(kServerStampLength); }

BOOL IsNewServerStamp(const CString& serverStamp, const CString& storedStamp) {
  if (serverStamp.GetLength() < 10) return FALSE;
  return ServerStamp(serverStamp) != storedStamp;
}

BOOL IsCompleteScrambledDocument(const char* path) {
  std::string data;
  if (!ReadDataFile(path, data) || data.empty()) return FALSE;
  UnscrambleTarif(reinterpret_cast<unsigned char*>(&data[0]), data.size());
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) return FALSE;
  BOOL ok = XML_Parse(parser, data.data(), static_cast<int>(data.size()), 1) != XML_STATUS_ERROR;
  XML_ParserFree(parser);
  return ok;
}
