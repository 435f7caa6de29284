// The cost log "rechnung.log" (one record per connection or price segment), the totals of a
// period, and the HTML bill "rechnung.html" with its print and screen style sheets.
#pragma once

#include <string>
#include <vector>

#include "CArray.h"
#include "COleDateTime.h"
#include "CString.h"
#include "TarifDatabase.h"

class CFile;
class CSettings;

// A file that texts are appended to.
class CLogFile {
 public:
  virtual ~CLogFile() = default;
  // Appends the text's bytes at the end of the file with one write (no terminator, no line
  // break); FALSE when the file cannot be opened or the write fails. The part of the text that got
  // in is cut away again; when the file cannot be cut, what it held before is written back whole.
  virtual BOOL Append(const CString& text);
  // Reads the file's first byte; FALSE when there is none.
  virtual BOOL ReadByte(char* out);
  BOOL Create();
  BOOL CreateIfMissing();
  // The whole file; FALSE when it cannot be read.
  BOOL ReadAll(std::string& out) const;
  void SetPath(const CString* p) { path = p; }

 protected:
  // Cuts the open file to `length` bytes (CFile::SetLength); FALSE when the file system refuses.
  virtual BOOL Truncate(CFile& file, long length);

  const CString* path = nullptr;
};

// One connection or price segment to be logged.
struct CConnectionRecord {
  COleDateTime start, end;
  // The duration as measured on the steady clock; below 0 it is taken as end - start. The local
  // times jump at a daylight-saving switch, the measured duration does not.
  double seconds = -1;
  CString providerId;
  BYTE noDialInFee = 0;  // 1: a later segment, whose connection's dial-in fee is booked already
  float price = 0;       // Pf per minute valid for the segment
  int takt = -1;         // the segment's takt; below 0 the listed provider's
};

// One record of the log as read back.
struct CCostRecord {
  CString fields[11];  // the first eleven fields
  COleDateTime start;
  bool costOk = false;  // the cost field holds only digits and points
  int fieldCount = 0;   // how many fields the record has (11 when it is whole)
  int number = 0;       // its place in the log, from 1
  CString raw;          // its text in the log (the first 100 characters), to name it by
  const CString& Start() const { return fields[1]; }
  const CString& Duration() const { return fields[2]; }
  const CString& Name() const { return fields[3]; }
  const CString& Takt() const { return fields[4]; }
  const CString& Price() const { return fields[5]; }
  const CString& DialInFee() const { return fields[6]; }
  const CString& Cost() const { return fields[7]; }
  const CString& Number() const { return fields[10]; }
  bool Valid() const { return fieldCount == 11 && costOk && start.GetStatus() == COleDateTime::valid; }
};

class CCostLog : public CLogFile {
 public:
  // Rows of the list layout between two repetitions of the column headings.
  static const int kRowsPerPage = 55;

  explicit CCostLog(CSettings* settings);
  void BuildPaths();
  static void LookupTarif(const CProviderArray& providers, const CString& id, CString& name, CString& number,
                          int& takt, float& price, float& dialInFee);
  // Appends the record; `providers` are the database's active providers. A failed write is
  // reported to the user (ReportSaveFailure, naming "rechnung.log"), and the result is FALSE.
  BOOL AppendConnection(const CConnectionRecord& record, const CProviderArray& providers);
  // Appends one record's text as AppendConnection does (a record cut off at the end of the log is
  // taken away first); FALSE, reported, when it could not be written.
  BOOL AppendRecordText(const CString& text);
  // The record text as it is appended.
  static CString FormatRecord(const CConnectionRecord& record, const CProviderArray& providers);
  // Sum of the costs in [from, to] in hundredths of a DM, of the records that read; a damaged
  // record (GetDamagedRecords) is left out. -1 for a log that cannot be read or is beyond the
  // limit of records.
  double GetTotal(const COleDateTime& from, const COleDateTime& to);
  static double TotalOf(const std::string& log, const COleDateTime& from, const COleDateTime& to,
                        std::vector<CString>* damaged = nullptr);
  // Writes and opens the bill for [from, to] from the records that read, a damaged one named at
  // its end; FALSE for a log that cannot be read or is beyond the limit of records (no bill) and
  // for a bill that cannot be written (reported naming "rechnung.html", which stays as it was).
  BOOL WriteHtml(const COleDateTime& from, const COleDateTime& to);
  // The damaged records the last GetTotal or WriteHtml left out, each named by DescribeRecord.
  const std::vector<CString>& GetDamagedRecords() const { return damaged; }
  // "Eintrag 3: default;4/3/2001 ..." (its place in the log and its text).
  static CString DescribeRecord(const CCostRecord& record);
  // The message that names damaged records once for the user; empty when there are none.
  static CString DamagedNotice(const std::vector<CString>& damaged);
  // Whether the last WriteHtml failed because the bill could not be written (already reported),
  // not because of the log.
  BOOL BillWriteFailed() const { return billWriteFailed; }
  void SetPlain(BYTE flag) { plain = flag; }
  const CString& GetLogPath() const { return logPath; }
  const CString& GetHtmlPath() const { return htmlPath; }

  // Splits a log into its records; a record cut off at the end of the file (a write that
  // did not finish) is not returned. FALSE when the text ends inside a record. Every record
  // begins with the field "default": one with more or fewer than eleven fields ends where the
  // next one begins and is returned damaged (not Valid), and the records after it read whole.
  // A log beyond kMaxCostRecords gives no records and FALSE, and sets `tooMany` (a malformed log
  // for the totals and the bill).
  static bool ParseRecords(const std::string& log, std::vector<CCostRecord>& out, bool* tooMany = nullptr);
  // Whether a text can take the place of the log: at least one record, every record whole and
  // read, within the limit of records.
  static bool ReadsAsLog(const std::string& text);
  // The most records one read of the log takes: a connection every hour for eleven years. A
  // record takes several hundred bytes read back (eleven texts and a date) from as few as eleven
  // bytes of file, so the count, not the file's length, keeps a read within the data budget
  // (DataBudget.h): about 30 MB of records in the 32-bit program and as much again for the bill.
  static const size_t kMaxCostRecords = 100000;
  // "Pf"/"DM" texts of the bill are written as they stand; names and numbers are escaped.
  static CString EscapeHtml(const CString& text);
  static CString TruncateDecimals(const CString& formatted, int decimals);
  // A name or number as a record holds it: no ';' of its own (it would end the field), no text that
  // reads as a record's kind "default" (a record would begin there), every character read back as
  // it was (UnescapeField).
  static CString EscapeField(const CString& text);
  static CString UnescapeField(const CString& text);

 private:
  CString BuildList(const std::vector<CCostRecord>& records, const COleDateTime& from, const COleDateTime& to) const;
  CString BuildGrouped(const std::vector<CCostRecord>& records, const COleDateTime& from, const COleDateTime& to);
  // The bill's note of the damaged records; empty when there are none.
  CString DamagedRow() const;

  CSettings* settings;
  CString logPath, htmlPath;
  CString pictureFolder;  // where the bill's pictures lie (PATH)
  BYTE plain = 0;
  BOOL billWriteFailed = FALSE;
  std::vector<CString> damaged;
  std::vector<std::vector<CString>> groupedRows;  // eight texts per row, sorted by tariff name
};
