#include "CostLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <clocale>

#include "BillingRule.h"
#include "CFile.h"
#include "DataBudget.h"
#include "Feiertage.h"
#include "Settings.h"
#include "TarifTexts.h"
#include "TarifUi.h"

BOOL CLogFile::Append(const CString& text) {
  if (!path) return FALSE;
  CFile f;
  if (!f.Open(*path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite)) return FALSE;
  // Where the text starts; without it, what a failed write leaves could not be taken out again.
  const long before = f.Seek(0, CFile::end);
  if (before < 0) return FALSE;
  try {
    f.Write(text.c_str(), static_cast<UINT>(text.GetLength()));
    f.Flush();  // a full disk shows when the buffer is written
    return TRUE;
  } catch (const CFileException&) {
  }
  // What got in of the text is taken out again, so the next record does not join a cut one. A
  // file that refuses to be cut gets what it held before written back whole (write-then-replace).
  // Every way out from here reports the failure: the append has failed whatever the repair
  // achieves, and the caller tells the user that the file could not be saved. A repair that
  // fails as well (the file cannot be read back, or not replaced) has nothing more to report;
  // the cut record then stays, as it would after a failing disk.
  if (Truncate(f, before)) return FALSE;
  f.Close();
  std::string held;
  if (ReadAll(held) && held.size() >= static_cast<size_t>(before)) {
    held.resize(static_cast<size_t>(before));
    WriteWholeFile(*path, held);
  }
  return FALSE;
}

BOOL CLogFile::Truncate(CFile& file, long length) { return file.SetLength(length); }

BOOL CLogFile::ReadByte(char* out) {
  if (!path) return FALSE;
  CFile f;
  if (!f.Open(*path, CFile::modeRead)) return FALSE;
  return f.Read(out, 1) == 1;
}

BOOL CLogFile::ReadAll(std::string& out) const {
  out.clear();
  return path && ReadDataFile(*path, out);
}

BOOL CLogFile::Create() {
  if (!path) return FALSE;
  CFile f;
  return f.Open(*path, CFile::modeCreate | CFile::modeWrite);
}

BOOL CLogFile::CreateIfMissing() {
  if (!path) return FALSE;
  if (CFile::Exists(*path)) return TRUE;
  return Create();
}

CCostLog::CCostLog(CSettings* s) : settings(s) {}

void CCostLog::BuildPaths() {
  CString base = settings->GetPATH();
  logPath = base + "\\" + "rechnung.log";
  htmlPath = base + "\\" + "rechnung.html";
}

void CCostLog::LookupTarif(const CProviderArray& providers, const CString& id, CString& name, CString& number,
                           int& takt, float& price, float& dialInFee) {
  for (int i = 0; i < providers.GetSize(); ++i) {
    const CProvider* p = providers[i];
    if (p->GetId() == id) {
      name = p->GetName();
      number = p->GetPhoneNumber();
      takt = p->GetTakt();
      price = p->GetPrice();
      dialInFee = p->GetDialInFee();
      return;
    }
  }
  name.Empty();
  number.Empty();
  takt = 0;
  price = 0;
  dialInFee = 0;
}

CString CCostLog::TruncateDecimals(const CString& formatted, int decimals) {
  int dot = formatted.Find('.');
  if (dot < 0) return formatted;
  return formatted.Left(dot + 1 + decimals);
}

namespace {
// "%f" with a point as decimal sign, even if some part of the process changed the C library's
// numeric locale: the log and the bill are read back by the fixed format.
CString FixedText(double v) {
  CString s = CString::Formatted("%f", v);
  const char point = *std::localeconv()->decimal_point;
  if (point != '.') s.Replace(point, '.');
  return s;
}

// The value of a cost text of digits and points, read as atof reads it in the "C" locale (up to
// a second point), whatever the process's numeric locale.
double AmountOf(const CString& text) {
  // Digits as one whole number and the count of decimals: one division then rounds exactly as
  // atof does for the short texts of the log.
  double digits = 0, divisor = 1;
  bool fraction = false;
  for (int i = 0; i < text.GetLength(); ++i) {
    char c = text[i];
    if (c == '.' && !fraction) {
      fraction = true;
      continue;
    }
    if (c < '0' || c > '9') break;
    digits = digits * 10 + (c - '0');
    if (fraction) divisor *= 10;
  }
  return digits / divisor;
}

CString Two(int v) { return CString::Formatted(v < 10 && v >= 0 ? "0%d" : "%d", v); }

// Names and numbers come from the tariff file, which may hold any character, the log's field
// separator among them. In a record they are written with ';' as DLE 'S' and DLE itself doubled.
// DLE (0x10) is a control character that no XML text can carry, so no log written before held it:
// such logs read exactly as they always did.
const char kEscape = '\x10';
const char kEscapedSeparator = 'S';
// The first letter of a field that would read as a record's kind ("default", after blanks or line
// breaks): every record begins at its kind, so such a name or number would split its own record.
const char kEscapedKind = 'K';

bool IsBlankOrBreak(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; }
}  // namespace

CString CCostLog::EscapeField(const CString& text) {
  int kindAt = 0;
  while (kindAt < text.GetLength() && IsBlankOrBreak(text[kindAt])) ++kindAt;
  if (text.Mid(kindAt) != "default") kindAt = -1;
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    if (i == kindAt) {
      out += kEscape;
      out += kEscapedKind;
    } else if (c == ';') {
      out += kEscape;
      out += kEscapedSeparator;
    } else if (c == kEscape) {
      out += kEscape;
      out += kEscape;
    } else {
      out += c;
    }
  }
  return out;
}

CString CCostLog::UnescapeField(const CString& text) {
  if (text.Find(kEscape) < 0) return text;
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.GetLength() ? text[i + 1] : '\0';
    if (c == kEscape && (next == kEscapedSeparator || next == kEscape || next == kEscapedKind)) {
      out += next == kEscape ? kEscape : next == kEscapedKind ? 'd' : ';';
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

CString CCostLog::FormatRecord(const CConnectionRecord& r, const CProviderArray& providers) {
  COleDateTimeSpan span = r.end - r.start;
  CString name, number;
  int takt;
  float listPrice, dialInFee;
  LookupTarif(providers, r.providerId, name, number, takt, listPrice, dialInFee);
  if (r.noDialInFee == 1) dialInFee = 0;
  // The whole seconds the record shows as its duration, and the begun seconds it bills: the
  // screen's meter bills every interval that has begun, so a connection that ends half a second
  // into a new interval has begun it (the thousandth absorbs the clocks' rounding).
  long long seconds = 0, billed = 0;
  if (r.seconds >= 0) {
    if (std::isfinite(r.seconds) && r.seconds < 36500.0 * 86400.0) {
      seconds = static_cast<long long>(r.seconds + 1e-3);
      billed = static_cast<long long>(std::ceil(r.seconds - 1e-3));
    }
  } else if (span.GetStatus() == COleDateTimeSpan::valid && std::isfinite(span.m_span) && span.m_span > 0 &&
             span.m_span < 36500) {
    seconds = static_cast<long long>(span.GetDays()) * 86400 + span.GetHours() * 3600 + span.GetMinutes() * 60 +
              span.GetSeconds();
    billed = seconds;
  }
  if (r.takt >= 0) takt = r.takt;
  // The billing rule of the screen's meter (a provider missing from the list has takt 0 and is
  // billed by the second, so the record's own price still applies and nothing divides by zero).
  const float cost = CBillingRule::SegmentCost(billed, takt, r.price, dialInFee) * 0.01f;
  takt = CBillingRule::IntervalSeconds(takt);

  CString rec;
  rec += "default;";
  rec += CString::Formatted("%d/%d/%d %d:%d:%d;", r.start.GetMonth(), r.start.GetDay(), r.start.GetYear(),
                            r.start.GetHour(), r.start.GetMinute(), r.start.GetSecond());
  // The duration shows the hours within the day (whole days do not show).
  const int daySeconds = static_cast<int>(seconds % 86400);
  rec += Two(daySeconds / 3600) + ":" + Two(daySeconds / 60 % 60) + ":" + Two(daySeconds % 60) + ";";
  rec += EscapeField(name) + ";";
  rec += CString::Formatted("%d;", takt);
  rec += TruncateDecimals(FixedText(r.price), 2) + ";";
  rec += TruncateDecimals(FixedText(dialInFee), 2) + ";";
  rec += TruncateDecimals(FixedText(cost + 0.0005), 3) + ";";
  rec += ";;";
  rec += EscapeField(number) + ";";
  return rec;
}

namespace {
// Splits a log into its records: every record begins with its kind "default", so a record of more
// or fewer than eleven fields (a name with the separator from before names were escaped, a record
// the old program did not finish with the next one appended to it) ends where the next one
// begins. Calls visit(begin, end) for every record that has at least eleven fields or is followed
// by another; a last record of fewer fields and the text after the last separator are a record cut
// off (a write that did not finish). Returns where that cut part begins, the log's length when
// there is none.
template <typename Visit>
size_t SplitRecords(const std::string& log, Visit visit) {
  size_t begin = 0, pos = 0;
  int count = 0;
  for (size_t semi = log.find(';'); semi != std::string::npos; semi = log.find(';', pos)) {
    // (a line break before the kind, as an editor leaves it between records, changes nothing)
    size_t kind = pos;
    while (kind < semi && (log[kind] == '\r' || log[kind] == '\n' || log[kind] == ' ' || log[kind] == '\t')) ++kind;
    if (count > 0 && semi - kind == 7 && log.compare(kind, 7, "default") == 0) {
      visit(begin, pos);
      count = 0;
    }
    if (count == 0) begin = pos;
    ++count;
    pos = semi + 1;
  }
  if (count >= 11) {
    visit(begin, pos);
    return pos;
  }
  return count > 0 ? begin : pos;
}

// The length of the log's text that its whole records cover.
size_t WholeLength(const std::string& log) {
  return SplitRecords(log, [](size_t, size_t) {});
}
}  // namespace

BOOL CCostLog::AppendConnection(const CConnectionRecord& record, const CProviderArray& providers) {
  return AppendRecordText(FormatRecord(record, providers));
}

BOOL CCostLog::AppendRecordText(const CString& text) {
  BuildPaths();
  SetPath(&logPath);
  CreateIfMissing();
  // A record cut off at the end of the log (a program ended while it wrote) would swallow the one
  // appended now and shift every record after it: the log is put back to its whole records first.
  std::string log;
  size_t whole = 0;
  if (ReadAll(log)) whole = WholeLength(log);
  if (whole < log.size() && !WriteWholeFile(logPath, log.substr(0, whole))) {
    ReportSaveFailure(logPath);
    return FALSE;
  }
  // The record goes in with one write, so an interrupted program leaves at most a cut record at
  // the end; a write that fails is reported.
  if (Append(text)) return TRUE;
  ReportSaveFailure(logPath);
  return FALSE;
}

namespace {
// How much of a damaged record its description shows.
const size_t kDamagedShown = 100;

// Fills the record from its fields: the start split at the fixed separators, the cost checked.
void ReadFields(CCostRecord& rec) {
  for (CString* text : {&rec.fields[3], &rec.fields[10]}) *text = CCostLog::UnescapeField(*text);
  // Start "month/day/year hour:minute:second".
  const std::string s = rec.fields[1].str();
  size_t a = s.find('/'), b = a == std::string::npos ? a : s.find('/', a + 1);
  size_t c = b == std::string::npos ? b : s.find(' ', b + 1);
  size_t d = c == std::string::npos ? c : s.find(':', c + 1);
  size_t e = d == std::string::npos ? d : s.find(':', d + 1);
  if (e != std::string::npos) {
    auto num = [&s](size_t from, size_t to) { return std::atoi(s.substr(from, to - from).c_str()); };
    rec.start = COleDateTime(num(b + 1, c), num(0, a), num(a + 1, b), num(c + 1, d), num(d + 1, e),
                             num(e + 1, s.size()));
  } else {
    rec.start.SetStatus(COleDateTime::invalid);
  }
  rec.costOk = true;
  for (int i = 0; i < rec.fields[7].GetLength(); ++i) {
    char ch = rec.fields[7][i];
    if (!((ch >= '0' && ch <= '9') || ch == '.')) rec.costOk = false;
  }
}
}  // namespace

bool CCostLog::ParseRecords(const std::string& log, std::vector<CCostRecord>& out, bool* tooMany) {
  out.clear();
  // One count of the fields bounds the records (each has at least one) and the room they take.
  size_t fields = 0;
  for (size_t i = log.find(';'); i != std::string::npos; i = log.find(';', i + 1)) ++fields;
  const bool beyond = fields > kMaxCostRecords * 11;
  if (tooMany) *tooMany = beyond;
  if (beyond) return false;
  out.reserve(fields / 11 + 1);
  const size_t cut = SplitRecords(log, [&](size_t begin, size_t end) {
    CCostRecord rec;
    rec.number = static_cast<int>(out.size()) + 1;
    rec.raw = CString(log.substr(begin, std::min<size_t>(end - begin, kDamagedShown)));
    if (end - begin > kDamagedShown) rec.raw += "...";
    for (size_t pos = begin; pos < end; ++rec.fieldCount) {
      const size_t semi = log.find(';', pos);
      if (rec.fieldCount < 11) rec.fields[rec.fieldCount] = CString(log.substr(pos, semi - pos));
      pos = semi + 1;
    }
    if (rec.fieldCount == 11) ReadFields(rec);
    out.push_back(rec);
  });
  // A record cut off at the end of the file is not returned.
  return cut == log.size();
}

bool CCostLog::ReadsAsLog(const std::string& text) {
  // A line break that an editor added at the end is no record.
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) --end;
  std::vector<CCostRecord> records;
  if (!ParseRecords(text.substr(0, end), records) || records.empty()) return false;
  for (const CCostRecord& r : records)
    if (!r.Valid()) return false;
  return true;
}

CString CCostLog::DescribeRecord(const CCostRecord& r) {
  return CString::Formatted("Eintrag %d: ", r.number) + r.raw;
}

CString CCostLog::DamagedNotice(const std::vector<CString>& damaged) {
  if (damaged.empty()) return CString();
  CString text = damaged.size() == 1
                     ? CString("Ein Eintrag der Datei rechnung.log ist beschädigt und wird nicht mitgerechnet:\n\n")
                     : CString::Formatted("%d Einträge der Datei rechnung.log sind beschädigt und werden nicht "
                                          "mitgerechnet:\n\n",
                                          static_cast<int>(damaged.size()));
  const size_t shown = std::min<size_t>(damaged.size(), 5);
  for (size_t i = 0; i < shown; ++i) text += damaged[i] + "\n";
  if (damaged.size() > shown) text += "...\n";
  return text;
}

double CCostLog::TotalOf(const std::string& log, const COleDateTime& from, const COleDateTime& to,
                         std::vector<CString>* damaged) {
  if (damaged) damaged->clear();
  std::vector<CCostRecord> records;
  bool tooMany = false;
  ParseRecords(log, records, &tooMany);
  if (tooMany) return -1;
  // The records that read are summed; a damaged one is named and left out.
  double sum = 0;
  for (const CCostRecord& r : records) {
    if (!r.Valid()) {
      if (damaged) damaged->push_back(DescribeRecord(r));
      continue;
    }
    if (from <= r.start && r.start <= to) sum += AmountOf(r.Cost());
  }
  if (!(sum < 2e6)) return -1;  // beyond what an int of thousandths holds: not a real log
  int v = static_cast<int>(sum * 1000);
  if (v % 10 >= 5) v += 10;
  return v / 10;
}

double CCostLog::GetTotal(const COleDateTime& from, const COleDateTime& to) {
  BuildPaths();
  damaged.clear();
  std::string log;
  if (!ReadDataFile(logPath, log)) {
    // A log that is there but cannot be read (or is beyond the limit of data files) is kept as
    // it is and reported; only a missing one is made anew.
    if (CFile::Exists(logPath)) return -1;
    SetPath(&logPath);
    Create();
    return 0;
  }
  return TotalOf(log, from, to, &damaged);
}

CString CCostLog::EscapeHtml(const CString& text) {
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    char c = text[i];
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
  return out;
}

namespace {
// dd.mm.yyyy with the day after a blank, as the period heading shows it.
CString HeadingDate(const COleDateTime& d) {
  CString s;
  s += CString::Formatted(d.GetDay() < 10 ? " 0%d." : " %d.", d.GetDay());
  s += CString::Formatted(d.GetMonth() < 10 ? "0%d." : "%d.", d.GetMonth());
  s += CString::Formatted("%d", d.GetYear());
  return s;
}

CString CellDate(const COleDateTime& d) {
  return Two(d.GetDay()) + "." + Two(d.GetMonth()) + "." + CString::Formatted("%d", d.GetYear());
}
CString CellTime(const COleDateTime& d) {
  return Two(d.GetHour()) + ":" + Two(d.GetMinute()) + ":" + Two(d.GetSecond());
}

const char kHead[] =
    "<HTML>\n<HEAD>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\n"
    "<TITLE>Kosten </TITLE>\n"
    "<LINK REL=\"stylesheet\" TYPE=\"text/css\" MEDIA=\"print\" HREF=\"print.css\">\n"
    "<LINK REL=\"stylesheet\" TYPE=\"text/css\" MEDIA=\"screen\" HREF=\"screen.css\">\n"
    "<STYLE TYPE=\"text/css\">\n.a { font-size:11px; color:#000000; font-family:Arial,Helvetica,sans-serif; }\n"
    "</STYLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n";

// The logo row (string 112 of the list layout, the same markup in the grouped one): the Astrel
// logo, the banner and the partner picture, all in the installation folder next to the bill.
// "rechnung.gif" ships as a first banner and is replaced by the one the update server offers;
// "trivo.gif", the partner's picture, neither ships nor is fetched. A picture that is not there is
// not named (its cell keeps its width): the bill shows no broken picture.
struct CBillPicture {
  const char* file;
  int width, height;
  const char* alt;
};
const CBillPicture kBillPictures[] = {
    {"logo.gif", 64, 95, ""}, {"rechnung.gif", 468, 60, "Banner"}, {"trivo.gif", 91, 95, ""}};

CString LogoRow(const CString& folder) {
  CString row = "<TABLE WIDTH=\"649\" BORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"0\">\n<TR>";
  for (const CBillPicture& p : kBillPictures) {
    if (CFile::Exists(folder + "\\" + p.file))
      row += CString::Formatted("<TD><IMG SRC=\"%s\" WIDTH=\"%d\" HEIGHT=\"%d\" ALT=\"%s\"></TD>", p.file, p.width,
                                p.height, p.alt);
    else
      row += CString::Formatted("<TD WIDTH=\"%d\"></TD>", p.width);
  }
  return row + "</TR>\n</TABLE>\n";
}

const char kColumns[] =
    "<TD CLASS=\"a\"><B>Beginn</B></TD><TD CLASS=\"a\"><B>Dauer</B></TD><TD CLASS=\"a\"><B>Takt</B></TD>"
    "<TD CLASS=\"a\"><B>Verb.geb.</B></TD><TD CLASS=\"a\"><B>Einwahl</B></TD>"
    "<TD CLASS=\"a\"><B>Tarifname</B></TD><TD CLASS=\"a\"><B>Rufnummer</B></TD>"
    "<TD CLASS=\"a\"><B>Kosten</B></TD></TR>\n";
// Strings 5552 to 5554: the column headings repeated for every printed page (shown only when
// printing, starting a new page), the headings of the screen, and the rule below them.
const char kHeadingPrint[] = "<TR ID=\"Print\" STYLE=\"page-break-before:always\">";
const char kHeadingScreen[] = "<TR>";
const char kHeadingRule[] = "<TR><TD COLSPAN=\"8\"><HR></TD></TR>\n";

const char kClosingNote[] =
    "<TABLE WIDTH=\"649\" BORDER=\"0\"><TR><TD CLASS=\"a\"><B>Anfallende Grundgeb&uuml;hren werden nicht "
    "mit aufgef&uuml;hrt</B><BR><BR>Bitte beachten Sie, dass die aufgeführten Kosten nur ein "
    "Näherungswert sind und ausschließlich zu Ihrer Information dienen. Für die Richtigkeit der "
    "gemachten Angaben übernimmt die Firma Astrel AG keine Gewähr. Aus technischen Gründen können "
    "die tatsächlich angefallenen Gebühren von den hier aufgeführten abweichen.</TD></TR></TABLE>\n"
    "</BODY>\n</HTML>\n";

// Every table of the grouped bill, one per tariff and the one of the whole sum: the same fixed
// columns (date, time, duration, takt, price and cost, with the one-pixel separators between
// them), so that every amount, the sums' included, stands in one cost column down the page.
// Without them each table would size its columns to its own texts.
const char kGroupedTable[] =
    "<TABLE WIDTH=\"649\" BORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"2\" STYLE=\"table-layout:fixed\">\n"
    "<COLGROUP><COL WIDTH=\"90\"><COL WIDTH=\"1\"><COL WIDTH=\"80\"><COL WIDTH=\"1\"><COL WIDTH=\"80\">"
    "<COL WIDTH=\"1\"><COL WIDTH=\"60\"><COL WIDTH=\"1\"><COL WIDTH=\"100\"><COL WIDTH=\"1\"><COL></COLGROUP>\n";

const char kCell[] = "<TD CLASS=\"a\">";
const char kSep[] = "<TD WIDTH=\"1\" BGCOLOR=\"#000000\"></TD>";
}  // namespace

CString CCostLog::DamagedRow() const {
  if (damaged.empty()) return CString();
  CString row = "<TABLE WIDTH=\"649\" BORDER=\"0\"><TR><TD CLASS=\"a\"><B>Nicht mitgerechnet (in rechnung.log "
                "beschädigt):</B>";
  for (const CString& d : damaged) row += "<BR>" + EscapeHtml(d);
  return row + "</TD></TR></TABLE>\n";
}

CString CCostLog::BuildList(const std::vector<CCostRecord>& records, const COleDateTime& from,
                            const COleDateTime& to) const {
  CString html = kHead;
  html += LogoRow(pictureFolder);
  html += "<TABLE WIDTH=\"649\" BORDER=\"0\">\n<TR><TD CLASS=\"a\"><B>Kosten vom " + HeadingDate(from) + " bis " +
          HeadingDate(to) + "</B></TD></TR>\n</TABLE>\n";
  html += "<TABLE WIDTH=\"649\" BORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"2\">\n";
  html += CString(kHeadingScreen) + kColumns + kHeadingRule;
  double sum = 0;
  int rows = 0;
  for (const CCostRecord& r : records) {
    if (!r.Valid() || !(from <= r.start && r.start <= to)) continue;
    if (rows > 0 && rows % kRowsPerPage == 0) html += CString(kHeadingPrint) + kColumns;
    ++rows;
    html += "<TR>";
    html += kCell + CellDate(r.start) + " " + CellTime(r.start) + "</TD>";
    html += kCell + EscapeHtml(r.Duration()) + "</TD>";
    html += kCell + EscapeHtml(r.Takt()) + "</TD>";
    html += kCell + EscapeHtml(r.Price()) + " Pf</TD>";
    html += kCell + EscapeHtml(r.DialInFee()) + " Pf</TD>";
    html += kCell + EscapeHtml(r.Name()) + "</TD>";
    html += kCell + EscapeHtml(r.Number()) + "</TD>";
    html += kCell + r.Cost() + " DM</TD></TR>\n";
    sum += AmountOf(r.Cost());
  }
  html += "<TR><TD COLSPAN=\"7\" CLASS=\"a\"><B>Summe:</B></TD><TD CLASS=\"a\"><B>" +
          TruncateDecimals(FixedText(sum), 2) + " DM</B></TD></TR>\n</TABLE>\n";
  html += DamagedRow();
  html += kClosingNote;
  return html;
}

CString CCostLog::BuildGrouped(const std::vector<CCostRecord>& records, const COleDateTime& from,
                               const COleDateTime& to) {
  groupedRows.clear();
  for (const CCostRecord& r : records) {
    if (!r.Valid() || !(from <= r.start && r.start <= to)) continue;
    std::vector<CString> row = {CellDate(r.start) + " " + CellTime(r.start), r.Duration(), r.Takt(), r.Price(),
                                r.DialInFee(), r.Name(), r.Number(), r.Cost()};
    // After every row whose name is not greater: one tariff's records keep their file order.
    size_t at = 0;
    while (at < groupedRows.size() && groupedRows[at][5].Compare(r.Name()) <= 0) ++at;
    groupedRows.insert(groupedRows.begin() + static_cast<long>(at), row);
  }
  CString html = kHead;
  html += LogoRow(pictureFolder);
  html += "<TABLE WIDTH=\"649\" BORDER=\"0\">\n<TR><TD CLASS=\"a\"><B>Kosten vom " + HeadingDate(from) + " bis " +
          HeadingDate(to) + "</B></TD></TR>\n</TABLE>\n";
  double total = 0;
  size_t i = 0;
  while (i < groupedRows.size()) {
    const CString name = groupedRows[i][5];
    html += kGroupedTable;
    html += "<TR><TD COLSPAN=\"11\" CLASS=\"a\"><B>Tarifname : " + EscapeHtml(name) + "</B></TD></TR>\n";
    double sum = 0;
    for (; i < groupedRows.size() && groupedRows[i][5] == name; ++i) {
      const std::vector<CString>& row = groupedRows[i];
      const CString date = row[0].Left(10), time = row[0].Mid(11);
      html += "<TR>";
      html += kCell + date + "</TD>" + kSep;
      html += kCell + time + "</TD>" + kSep;
      html += kCell + EscapeHtml(row[1]) + "</TD>" + kSep;
      html += kCell + EscapeHtml(row[2]) + "</TD>" + kSep;
      html += kCell + EscapeHtml(row[3]) + " Pf</TD>" + kSep;
      html += kCell + row[7] + " DM</TD></TR>\n";
      sum += AmountOf(row[7]);
    }
    total += sum;
    html += "<TR><TD COLSPAN=\"10\" CLASS=\"a\"><B>Summe:</B></TD><TD CLASS=\"a\"><B>" +
            TruncateDecimals(FixedText(sum + 0.005) + " ", 2) + " DM</B></TD></TR>\n</TABLE>\n";
  }
  html += CString(kGroupedTable) + "<TR><TD COLSPAN=\"10\" CLASS=\"a\"><B>Gesamtsumme:</B></TD><TD CLASS=\"a\"><B>" +
          TruncateDecimals(FixedText(total + 0.005), 2) + " DM</B></TD></TR>\n</TABLE>\n";
  html += DamagedRow();
  html += kClosingNote;
  return html;
}

BOOL CCostLog::WriteHtml(const COleDateTime& from, const COleDateTime& to) {
  billWriteFailed = FALSE;
  BuildPaths();
  damaged.clear();
  CString base = settings->GetPATH();
  pictureFolder = base;
  WriteWholeFile(base + "\\print.css", kPrintCss);
  WriteWholeFile(base + "\\screen.css", kScreenCss);
  CTarifUi& ui = GetTarifUi();
  ui.BeginWaitCursor();
  std::string log;
  std::vector<CCostRecord> records;
  // A missing log is an empty one; one that is there but unreadable, or too long, is malformed.
  const bool readable = ReadDataFile(logPath, log) || !CFile::Exists(logPath);
  bool tooMany = false;
  if (readable) ParseRecords(log, records, &tooMany);
  if (!readable || tooMany) {
    ui.EndWaitCursor();
    return FALSE;
  }
  // The bill is made of the records that read; a damaged one is named at its end.
  damaged.clear();
  for (const CCostRecord& r : records)
    if (!r.Valid()) damaged.push_back(DescribeRecord(r));
  CString html = plain ? BuildGrouped(records, from, to) : BuildList(records, from, to);
  BOOL written = WriteWholeFile(htmlPath, html.str());
  billWriteFailed = !written;
  if (!written) ReportSaveFailure(htmlPath);
  if (!written) {
    ui.EndWaitCursor();
    return FALSE;
  }
  ui.OpenDocument(htmlPath);
  ui.EndWaitCursor();
  return TRUE;
}
