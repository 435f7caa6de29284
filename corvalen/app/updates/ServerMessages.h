// The portable half of Corvalen's update checks: reading the server's message file into the
// settings, and the date rules that decide when the daily checks are due. The clock is the
// tariff engine's (GetNow), so tests run the rules at any moment.
#pragma once

#include <cstddef>

#include "COleDateTime.h"
#include "CString.h"
#include "Settings.h"

// What one message file gives besides the values it writes into the settings.
struct CServerMessageParse {
  CString bannerDate;  // the banner picture's date stamp, "" when the file names none
};

// Parses the plain (unscrambled) XML of a server message file and stores tariff url and date,
// dialer url and date, banner url, url of the day, daily tip and tariff-update tip in the
// settings. FALSE when the document is not complete, well-formed XML; the values met before the
// error stay set.
BOOL ParseServerMessages(const char* data, size_t length, CSettings* settings, CServerMessageParse* out);
// Reads the scrambled file, unscrambles it and parses it as above. FALSE when it cannot be read.
BOOL ParseServerMessageFile(const char* path, CSettings* settings, CServerMessageParse* out);

// "dd.mm.yyyy" of a moment.
CString FormatCheckDate(const COleDateTime& moment);
// TRUE when a stored "dd.mm.yyyy" date lies a whole day or more before `now`, when it is not a
// date of that form, or when it lies after `now` (a clock that was set wrong once must not stop
// the checks until that day comes round).
BOOL IsCheckDateDue(CString stored, const COleDateTime& now);

// "MessageOfDay": due when the stored day is past; a due answer stores today.
BOOL IsMessageOfDayDue(CSettings& settings);
// The daily program or tariff check ("CheckDialer" / "CheckTarif"): off when "UpdateFrequence"
// is 1 ("Nur manuell"); otherwise today is stored at every question, and the check is due on
// the first question of a day after an earlier one.
enum class DailyCheck { dialer, tarif };
BOOL IsDailyCheckDue(CSettings& settings, DailyCheck which);
// A server's date stamp counts on its first 19 characters ("yyyy-mm-dd hh:mm:ss"). The parse
// keeps the tariff and program stamps cut to these, so the stamp that is stored after an update
// ("CurrentTarif", "CurrentDialer") is the very text the next comparison sees: a longer stamp is
// not offered again every day, and neither is a shorter one.
const int kServerStampLength = 19;
CString ServerStamp(const CString& value);
// Whether the server's stamp names a version other than the stored one: a server stamp shorter
// than 10 characters never does; otherwise its first 19 characters are compared with the stored
// stamp (which differs whenever it has another length).
BOOL IsNewServerStamp(const CString& serverStamp, const CString& storedStamp);

// Whether the scrambled file holds a complete, well-formed XML document. The tariff check looks
// only at the elements it meets; a download cut short would pass it, so the installer asks this too.
BOOL IsCompleteScrambledDocument(const char* path);
