// What the engine asks of the user interface: an error message box (no owner window), opening a
// written bill in the user's browser, and the wait cursor. The win32 build shows real message
// boxes and starts the shell; natively nothing is shown. A test or the program may install its
// own (the last message is kept for inspection either way).
#pragma once

#include "CString.h"

class CTarifUi {
 public:
  virtual ~CTarifUi() = default;
  virtual void ShowError(const char* text, const char* title) = 0;
  // Opens a document with the shell verb "open", maximised; FALSE when it could not be started.
  virtual bool OpenDocument(const char* path) = 0;
  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}
};

// The interface in use (the platform's unless one is installed).
CTarifUi& GetTarifUi();
// Installs an interface (NULL restores the platform's).
void SetTarifUi(CTarifUi* ui);
// The platform's own interface.
CTarifUi& GetPlatformTarifUi();
// The message that a data file could not be written (kSaveFailed with its path); the file then
// is as it was before. ReportSaveFailure shows it with the title "Fehler".
CString SaveFailureText(const CString& path);
void ReportSaveFailure(const CString& path);
