// The one base of the library's exceptions (files and archives, HTTP). A window procedure that
// catches one reports its text without knowing which part of the library threw it.
#pragma once

#include "CString.h"

class CException {
 public:
  virtual ~CException() = default;
  // What went wrong, in German, without a final full stop.
  virtual CString GetErrorMessage() const = 0;
};
