// The application object of Corvalen: prepares the dialog library, checks for the internet
// library, keeps one instance running and runs the main dialog modally.
#pragma once

#include "AfxWin.h"

class CRouterApp : public CWinApp {
 public:
  CRouterApp() : CWinApp("Astrel Corvalen 2.0") {}
  BOOL InitInstance() override;
};

// Holds RICHED20.DLL while the program runs.
class CRichEdit20Lib {
 public:
  ~CRichEdit20Lib() {
    if (m_hModule) ::FreeLibrary(m_hModule);
  }
  HMODULE m_hModule = nullptr;
};

BOOL IsWinInetPresent();
BOOL InitRichEdit20();
