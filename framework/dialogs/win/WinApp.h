// The application object, the program's start, and message boxes with string-table titles. The
// module's handles, title and string table are in Module.h.
#pragma once

#include <windows.h>

#include <vector>

#include "CString.h"
#include "Module.h"
#include "Wnd.h"

// The parsed command line: the first plain parameter is the file name; parameters starting with
// "/" or "-" are flags.
class CCommandLineInfo {
 public:
  virtual ~CCommandLineInfo() = default;
  // Called for every parameter, flags without their leading character.
  virtual void ParseParam(const char* param, BOOL isFlag, BOOL isLast);

  enum { FileNew, FileOpen, FileNothing } m_nShellCommand = FileNew;
  CString m_strFileName;
};

// Splits a command line (without the program name) into parameters: blanks separate them,
// double quotes group blanks into one and are removed.
void AfxSplitCommandLine(const char* line, std::vector<CString>& params);

class CWinApp : public CCmdTarget {
 public:
  // The one application object of the program (built by a static initialiser).
  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // FALSE ends the program without running the message loop.
  virtual BOOL InitInstance();
  virtual int ExitInstance();
  // The message loop, until WM_QUIT.
  virtual int Run();

  void ParseCommandLine(CCommandLineInfo& info);
  // The 3-D look and the control container are built into every supported system; these keep
  // the calls of the start-up sequence and report success.
  BOOL Enable3dControlsStatic() { return TRUE; }

  HICON LoadIcon(UINT id) const;
  HCURSOR LoadStandardCursor(LPCSTR id) const { return ::LoadCursorA(nullptr, id); }
  CString LoadString(UINT id) const;

  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;  // the parameters, without the program name
  int m_nCmdShow = SW_SHOWNORMAL;
  CWnd* m_pMainWnd = nullptr;
  CString m_strAppName;  // title of message boxes without a title of their own

 private:
  friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
  BOOL m_running = FALSE;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// The program's entry: sets up the application object and runs it. A program's WinMain calls
// this (the library's WinMain object does so).
int AfxWinMain(HINSTANCE inst, HINSTANCE prev, LPSTR cmdLine, int show);
// For a library with an application object: sets the handles and runs InitInstance at process
// attach, ExitInstance at detach.
BOOL AfxDllMain(HINSTANCE inst, DWORD reason);

void AfxEnableControlContainer();
// Loads the rich edit library of the old class "RICHEDIT" (RICHED32.DLL) once; FALSE when that
// fails.
BOOL AfxInitRichEdit();
// Loads rich edit 2.0 ("RichEdit20A", RICHED20.DLL) once; FALSE when that fails.
BOOL AfxInitRichEdit2();

// A message box owned by the active window of the program. The title is the string-table entry
// titleId, or the application's title when titleId is 0 or the string is missing.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT titleId = 0);
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT titleId = 0);
