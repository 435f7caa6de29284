// A library with an application object, as the AutoDial hook is: its handles and resources are
// its own.
#include "AfxWin.h"

namespace {

class CDllApp : public CWinApp {
 public:
  CDllApp() : CWinApp("Prüfbibliothek") {}
  BOOL InitInstance() override {
    ++initCalls;
    return CWinApp::InitInstance();
  }
  int initCalls = 0;
};

CDllApp theDllApp;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID) { return AfxDllMain(inst, reason); }

// Writes "<init calls>|<own module>|<string 7>|<title>" into the buffer.
extern "C" __declspec(dllexport) void WINAPI DescribeLibrary(char* buf, int size) {
  CString s = CString::Formatted("%d|%d|", theDllApp.initCalls,
                                 AfxGetInstanceHandle() == theDllApp.m_hInstance &&
                                     AfxGetResourceHandle() == theDllApp.m_hInstance);
  s += AfxLoadString(7) + "|" + AfxGetAppTitle();
  lstrcpynA(buf, s, size);
}
