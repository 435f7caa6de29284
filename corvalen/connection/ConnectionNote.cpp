#include "ConnectionNote.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "CFile.h"
#include "ConnectionMeter.h"
#include "Settings.h"

const char kConnectionNoteName[] = "verbindung.dat";
const char kRecoveredMark[] = "wiederhergestellt";

namespace {

const char kHeader[] = "Corvalen-Verbindung 1";
const char kEnd[] = "ende";
// Fixed-point values are written with this many decimals, as whole numbers of their unit, so the
// text does not depend on the C library's locale.
const double kFixedScale = 10000.0;
// The ranges a note's values are taken in; beyond them the note is damaged. A connection of a
// hundred years, a billing interval of a day, prices of 1000 DM a minute are no real ones.
const double kMaxSeconds = 36500.0 * 86400.0;
const int kMaxTakt = 86400;
const double kMaxPrice = 100000.0;
const double kMaxCost = 1e9;

CString Escaped(const CString& text) {
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    if (c == '%') out += "%25";
    else if (c == '\r') out += "%0D";
    else if (c == '\n') out += "%0A";
    else out += c;
  }
  return out;
}

bool Unescaped(const std::string& text, CString& out) {
  std::string s;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      s += text[i];
      continue;
    }
    const std::string code = text.substr(i + 1, 2);
    if (code == "25") s += '%';
    else if (code == "0D") s += '\r';
    else if (code == "0A") s += '\n';
    else return false;
    i += 2;
  }
  out = CString(s);
  return true;
}

CString Fixed(double v) {
  // Whole numbers held exactly by a double; "%.0f" writes no decimal sign of any locale.
  const double units = std::floor(v * kFixedScale + 0.5);
  const double whole = std::floor(units / kFixedScale);
  const int part = static_cast<int>(units - whole * kFixedScale);
  return CString::Formatted("%.0f.%04d", whole, part);
}

// A non-negative fixed-point text "digits[.digits]" up to `max`.
bool ReadFixed(const std::string& text, double max, double& out) {
  if (text.empty() || text.size() > 20) return false;
  double whole = 0, fraction = 0, divisor = 1;
  bool point = false, digits = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    digits = true;
    if (point) {
      fraction = fraction * 10 + (c - '0');
      divisor *= 10;
    } else {
      whole = whole * 10 + (c - '0');
    }
  }
  out = whole + fraction / divisor;
  return digits && out <= max;
}

CString DateText(const COleDateTime& t) {
  return CString::Formatted("%04d-%02d-%02d %02d:%02d:%02d", t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(),
                            t.GetMinute(), t.GetSecond());
}

bool ReadDate(const std::string& text, COleDateTime& out) {
  int y, mo, d, h, mi, s;
  char rest = 0;
  if (text.size() != 19 ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &rest) != 6)
    return false;
  out = COleDateTime(y, mo, d, h, mi, s);  // an impossible date is invalid
  return out.GetStatus() == COleDateTime::valid;
}

}  // namespace

CConnectionNote MakeConnectionNote(const CConnectionMeter& meter, const CString& entry, const COleDateTime& now,
                                   double steadyNow) {
  CConnectionNote note;
  const CProvider* p = meter.GetProvider();
  note.entry = entry;
  note.providerId = p->GetId();
  note.providerName = p->GetName();
  note.phoneNumber = p->GetPhoneNumber();
  note.takt = p->GetTakt();
  note.dialInFee = p->GetDialInFee();
  note.segmentStart = meter.GetSegmentStart();
  note.price = meter.GetPricePerMinute();
  note.feeBilled = meter.IsFeeBilled() ? 1 : 0;
  note.seconds = meter.GetSegmentSeconds(steadyNow);
  note.cost = meter.GetCost();
  note.written = now;
  return note;
}

CString FormatConnectionNote(const CConnectionNote& n) {
  CString text = CString(kHeader) + "\r\n";
  auto line = [&text](const char* key, const CString& value) { text += CString(key) + "=" + value + "\r\n"; };
  line("eintrag", Escaped(n.entry));
  line("provider", Escaped(n.providerId));
  line("name", Escaped(n.providerName));
  line("rufnummer", Escaped(n.phoneNumber));
  line("takt", CString::Formatted("%d", n.takt < 0 ? 0 : n.takt));
  line("einwahl", Fixed(n.dialInFee < 0 ? 0 : n.dialInFee));
  line("beginn", DateText(n.segmentStart));
  line("preis", Fixed(n.price < 0 ? 0 : n.price));
  line("einwahlgebucht", n.feeBilled ? "1" : "0");
  line("sekunden", Fixed(n.seconds < 0 ? 0 : n.seconds));
  line("kosten", Fixed(n.cost < 0 ? 0 : n.cost));
  line("geschrieben", DateText(n.written));
  return text + kEnd + "\r\n";
}

bool ParseConnectionNote(const std::string& text, CConnectionNote& out) {
  if (text.size() > kMaxConnectionNote) return false;
  std::map<std::string, std::string> values;
  size_t pos = 0;
  bool header = false, ended = false;
  while (pos < text.size() && !ended) {
    size_t eol = text.find("\r\n", pos);
    if (eol == std::string::npos) return false;  // cut off inside a line
    const std::string line = text.substr(pos, eol - pos);
    pos = eol + 2;
    if (!header) {
      if (line != kHeader) return false;
      header = true;
    } else if (line == kEnd) {
      ended = true;
    } else {
      const size_t eq = line.find('=');
      if (eq == std::string::npos || !values.emplace(line.substr(0, eq), line.substr(eq + 1)).second) return false;
    }
  }
  if (!ended || pos != text.size()) return false;
  auto text_of = [&values](const char* key, CString& v) {
    auto it = values.find(key);
    return it != values.end() && Unescaped(it->second, v);
  };
  auto fixed_of = [&values](const char* key, double max, double& v) {
    auto it = values.find(key);
    return it != values.end() && ReadFixed(it->second, max, v);
  };
  auto date_of = [&values](const char* key, COleDateTime& v) {
    auto it = values.find(key);
    return it != values.end() && ReadDate(it->second, v);
  };
  double takt = 0, fee = 0, price = 0, cost = 0;
  auto billedText = values.find("einwahlgebucht");
  if (!text_of("eintrag", out.entry) || !text_of("provider", out.providerId) || !text_of("name", out.providerName) ||
      !text_of("rufnummer", out.phoneNumber) || !fixed_of("takt", kMaxTakt, takt) || takt != std::floor(takt) ||
      !fixed_of("einwahl", kMaxPrice, fee) || !date_of("beginn", out.segmentStart) ||
      !fixed_of("preis", kMaxPrice, price) || billedText == values.end() ||
      (billedText->second != "0" && billedText->second != "1") || !fixed_of("sekunden", kMaxSeconds, out.seconds) ||
      !fixed_of("kosten", kMaxCost, cost) || !date_of("geschrieben", out.written))
    return false;
  if (out.providerId.IsEmpty()) return false;
  out.takt = static_cast<int>(takt);
  out.dialInFee = static_cast<float>(fee);
  out.price = static_cast<float>(price);
  out.feeBilled = billedText->second == "1" ? 1 : 0;
  out.cost = static_cast<float>(cost);
  return true;
}

CString RecoveredRecordText(const CConnectionNote& note, double seconds) {
  // The record names the provider as the note knows it: the tariff data of today may lack it or
  // hold other values.
  CProvider provider;
  provider.SetId(note.providerId);
  provider.SetName(note.providerName);
  provider.SetPhoneNumber(note.phoneNumber);
  provider.SetTakt(note.takt);
  provider.SetDialInFee(note.dialInFee);
  CProviderArray lookup;
  lookup.Add(&provider);
  CConnectionRecord record;
  record.start = note.segmentStart;
  record.seconds = seconds < 0 || !std::isfinite(seconds) ? 0 : seconds;
  record.end = note.segmentStart + COleDateTimeSpan(record.seconds / 86400.0);
  record.providerId = provider.GetId();  // the id as the provider keeps it (SetId)
  record.noDialInFee = note.feeBilled;
  record.price = note.price;
  CString text = CCostLog::FormatRecord(record, lookup);
  // Fields 9 and 10 are empty: the mark goes after the eighth ';' (names and numbers are written
  // without a ';' of their own, CCostLog::EscapeField).
  int at = -1;
  for (int n = 0; n < 8; ++n) at = text.Find(';', at + 1);
  return text.Left(at + 1) + kRecoveredMark + text.Mid(at + 1);
}

CString CConnectionNoteFile::GetPath() const { return settings_->GetPATH() + "\\" + kConnectionNoteName; }

BOOL CConnectionNoteFile::Write(const CConnectionNote& note) const {
  return WriteWholeFile(GetPath(), FormatConnectionNote(note).str());
}

CConnectionNoteFile::ReadResult CConnectionNoteFile::Read(CConnectionNote& out) const {
  const CString path = GetPath();
  if (!CFile::Exists(path)) return kNoNote;
  std::string text;
  if (!ReadWholeFile(path, text, kMaxConnectionNote)) return kNoteDamaged;
  return ParseConnectionNote(text, out) ? kNoteRead : kNoteDamaged;
}

BOOL CConnectionNoteFile::Remove() const { return CFile::Remove(GetPath()); }
