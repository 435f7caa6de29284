// The connection that runs, noted on disk beside the cost log ("verbindung.dat"), so that a
// program that ends without its hang-up (killed, crashed, or the machine switched off) leaves
// what its cost record needs: the entry, the provider with its tariff values, the running price
// segment with its seconds so far, and the running cost. The controller writes the note at the
// connect, at every new price segment and once a minute, each time as a whole new file (a write
// that breaks off leaves the note before it); the hang-up removes it. The next start finds a
// note that is left and writes the record it holds, marked as recovered.
//
// The note is text, one "key=value" per line after the line "Corvalen-Verbindung 1" and up to the
// line "ende"; texts are written with '%', CR and LF as "%25", "%0D" and "%0A". A note that lacks
// a value, holds one out of range or is cut off is damaged: it gives no record.
#pragma once

#include <string>

#include "COleDateTime.h"
#include "CString.h"
#include "CostLog.h"

class CConnectionMeter;
class CSettings;

struct CConnectionNote {
  CString entry;  // the phone-book entry whose line it is
  CString providerId, providerName, phoneNumber;
  int takt = 0;         // seconds of a billing interval
  float dialInFee = 0;  // Pf
  COleDateTime segmentStart;  // local start of the running price segment
  float price = 0;            // its price per minute, Pf
  BYTE feeBilled = 0;         // 1: the dial-in fee went with an earlier segment's record
  double seconds = 0;         // the segment's seconds when the note was written
  float cost = 0;             // the connection's running cost so far, Pf
  COleDateTime written;       // local time of the writing
};

// The file's name beside "rechnung.log".
extern const char kConnectionNoteName[];
// What field 9 of a recovered record holds (field 9 is otherwise empty; every reader of the log
// reads it as a text and passes it by).
extern const char kRecoveredMark[];
// The longest note read: a few hundred bytes are written.
const size_t kMaxConnectionNote = 4096;

// The note of the meter's running connection on `entry`, written at local time `now` when the
// steady clock reads `steadyNow`. The meter must have a provider.
CConnectionNote MakeConnectionNote(const CConnectionMeter& meter, const CString& entry, const COleDateTime& now,
                                   double steadyNow);
CString FormatConnectionNote(const CConnectionNote& note);
// FALSE for a damaged note (`out` is then undefined).
bool ParseConnectionNote(const std::string& text, CConnectionNote& out);
// The cost record the note leaves, for `seconds` of its segment (the note's own, or more when the
// line was still up later), with kRecoveredMark in field 9.
CString RecoveredRecordText(const CConnectionNote& note, double seconds);

// The note's file, at PATH + "\" + kConnectionNoteName.
class CConnectionNoteFile {
 public:
  enum ReadResult { kNoNote, kNoteRead, kNoteDamaged };

  explicit CConnectionNoteFile(CSettings* settings) : settings_(settings) {}
  CString GetPath() const;
  // The whole note as a new file (temporary file, then replaced); FALSE when it could not be
  // written, the note before it then stays.
  BOOL Write(const CConnectionNote& note) const;
  ReadResult Read(CConnectionNote& out) const;
  BOOL Remove() const;

 private:
  CSettings* settings_;
};
