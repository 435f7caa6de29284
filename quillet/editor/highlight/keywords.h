// The keyword lists of the highlighter: each list is one string of words with a blank before
// and after every word; a token is in a list when " token " occurs in it.
#pragma once

#include <string>

enum TKeywordList {
  kwPascal = 0,      // lower-cased lookup
  kwCpp,             // as typed
  kwSql,             // lower-cased lookup
  kwPython,          // as typed
  kwJava,            // as typed
  kwVBKeywords,      // as typed
  kwVBFunctions,     // as typed
  kwHtmlTags,        // lower-cased lookup
  kwHtmlEntities,    // lower-cased lookup (only the lower-case entries can match)
  kwPerlKeywords,    // as typed
  kwPerlFunctions,   // as typed
  kwListCount
};

// Whether token is in the list; the lists marked lower-cased convert it first with the code
// page 1252 case table.
bool InKeywordList(TKeywordList list, const std::string& token);
// The stored list (for tests).
const std::string& KeywordList(TKeywordList list);
