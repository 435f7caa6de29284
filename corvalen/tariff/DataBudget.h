// The memory budget of one read of a data file or server file, and the largest file a reader
// takes in whole.
//
// Corvalen is a 32-bit program that stays in the notification area for hours; what it reads from
// outside (tarif.dat and its downloads, Feiertags.dat, free.log, rechnung.log, ServerInfo.dat,
// Corva.dat) must never push it to the edge of its 2 GB of address space. One read may hold
// kDataBudgetBytes, the same 128 MB as one picture read of Quillet
// (quillet/imaging/budget/picture_budget.h): the file, its unscrambled copy, expat's buffers and what the
// reader builds from it together.
//
// - A file is read whole only up to kDataFileLimit. The files of a real installation are far
//   smaller (a tariff database of 300 providers with five rules each is 2 MB, a cost log of ten
//   years of daily connections 400 KB), so a longer one is no file of this program and is
//   refused like a damaged one, before anything is allocated for it.
// - Readers whose records take more memory than their text (the tariff reader's condition trees,
//   the cost log's records) count what they build and refuse a file beyond kDataBuildBudget.
// - expat's own memory for one document counts against kXmlParserBudget (CDataXmlParser).
// Both builds use these values; the fuzz targets run with them and with libFuzzer's malloc limit
// set to the budget (tools/fuzz/run-fuzz.sh).
#pragma once

#include <cstddef>
#include <string>

#include <expat.h>

#include "AfxTypes.h"

constexpr size_t kDataBudgetBytes = size_t(128) << 20;
constexpr size_t kDataFileLimit = size_t(16) << 20;
// What expat may hold at once for one document: a real document needs some kilobytes; the
// longest attribute list a file of kDataFileLimit can hold needs about twice the file.
constexpr size_t kXmlParserBudget = size_t(40) << 20;
// What a reader may build: the budget less the file, one copy of it and expat's share.
constexpr size_t kDataBuildBudget = kDataBudgetBytes - 2 * kDataFileLimit - kXmlParserBudget;
// What one allocation costs beyond its size (the heap's header and rounding), for the readers'
// counts of what they build.
constexpr size_t kAllocationOverhead = 16;

// Reads a data file whole into `out`. FALSE (and `out` empty) when it cannot be opened or read,
// or when it is longer than kDataFileLimit; CFile::Exists tells a missing file from the others.
BOOL ReadDataFile(const char* path, std::string& out);

// An expat parser for a data file or server file, held within the budget of one read.
//
// expat's own memory (its stack of open elements, the names and attribute lists it keeps, the
// buffers it grows) counts against kXmlParserBudget: a document whose structure asks for more
// (15 MB of nested elements would hold some 500 MB of expat's open-element records, and a
// document of millions of different element or attribute names as much in its name tables) fails
// as expat does when memory runs out, and the reader refuses it like a malformed one. Elements
// nested deeper than kMaxXmlDepth stop the parse as well, before any handler of the reader sees
// them: no data file of the program nests deeper than a tariff rule's condition groups.
class CDataXmlParser {
 public:
  // The deepest nesting of elements a document may have: a tariff rule's 64 levels of condition
  // groups (CTarifDatabase::kMaxGroupDepth) inside rule, Provider and Providerliste, with room.
  static const int kMaxXmlDepth = 100;

  CDataXmlParser();
  ~CDataXmlParser();
  CDataXmlParser(const CDataXmlParser&) = delete;
  CDataXmlParser& operator=(const CDataXmlParser&) = delete;

  // FALSE when expat could not be created.
  bool IsValid() const { return parser_ != nullptr; }
  XML_Parser Get() const { return parser_; }
  // The reader's handlers and their user data (expat's own user data is this object).
  void SetHandlers(void* user, XML_StartElementHandler start, XML_EndElementHandler end,
                   XML_CharacterDataHandler text = nullptr);
  // One call of XML_Parse; FALSE on a malformed document, when expat's memory would go beyond its
  // budget, when the document nests too deep, or when a handler stopped the parse.
  BOOL Parse(const char* data, size_t length, bool final);
  // Stops the parse from a handler; the parse then fails.
  void Stop();
  // The most memory expat held at once during this parser's life, in bytes (with the heap's
  // overhead per block as kAllocationOverhead counts it).
  size_t GetPeakBytes() const;
  bool IsTooDeep() const { return tooDeep_; }

  struct Account;

 private:
  static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** atts);
  static void XMLCALL OnEnd(void* self, const XML_Char* name);
  static void XMLCALL OnText(void* self, const XML_Char* text, int length);

  Account* account_;
  XML_Parser parser_ = nullptr;
  void* user_ = nullptr;
  XML_StartElementHandler start_ = nullptr;
  XML_EndElementHandler end_ = nullptr;
  XML_CharacterDataHandler text_ = nullptr;
  int depth_ = 0;
  bool tooDeep_ = false;
  bool stopped_ = false;
};
