#include "WinApp.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

CWinApp* g_app = nullptr;

HMODULE g_richEdit1 = nullptr;
HMODULE g_richEdit2 = nullptr;

}  // namespace

void CCommandLineInfo::ParseParam(const char* param, BOOL isFlag, BOOL) {
  if (isFlag) return;
  if (m_strFileName.IsEmpty()) {
    m_strFileName = param;
    m_nShellCommand = FileOpen;
  }
}

void AfxSplitCommandLine(const char* line, std::vector<CString>& params) {
  params.clear();
  if (!line) return;
  const char* p = line;
  while (*p) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    std::string cur;
    bool quoted = false;
    for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
      if (*p == '"')
        quoted = !quoted;
      else
        cur += *p;
    }
    params.push_back(CString(cur));
  }
}

CWinApp::CWinApp(LPCSTR appName) {
  if (appName) m_strAppName = appName;
  g_app = this;
  AfxSetAppName(&m_strAppName);
  AfxSetMainWndSlot(&m_pMainWnd);
}

CWinApp::~CWinApp() {
  if (g_app != this) return;
  g_app = nullptr;
  AfxSetAppName(nullptr);
  AfxSetMainWndSlot(nullptr);
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() {
  m_running = TRUE;
  MSG msg;
  int code = 0;
  for (;;) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      code = static_cast<int>(msg.wParam);
      break;
    }
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  m_running = FALSE;
  int exitCode = ExitInstance();
  return exitCode ? exitCode : code;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  std::vector<CString> params;
  AfxSplitCommandLine(m_lpCmdLine, params);
  for (size_t i = 0; i < params.size(); ++i) {
    const CString& p = params[i];
    BOOL last = i + 1 == params.size();
    if (p.GetLength() > 1 && (p[0] == '/' || p[0] == '-'))
      info.ParseParam(p.c_str() + 1, TRUE, last);
    else
      info.ParseParam(p, FALSE, last);
  }
}

HICON CWinApp::LoadIcon(UINT id) const { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)); }

CString CWinApp::LoadString(UINT id) const { return AfxLoadString(id); }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

int AfxWinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int show) {
  AfxSetInstanceHandle(inst);
  CWinApp* app = g_app;
  if (!app) return -1;
  app->m_hInstance = inst;
  app->m_lpCmdLine = cmdLine;
  app->m_nCmdShow = show;
  int code = -1;
  try {
    if (!app->InitInstance()) {
      if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
      return app->ExitInstance();
    }
    code = app->Run();
  } catch (...) {
    AfxReportCurrentException();
  }
  return code;
}

BOOL AfxDllMain(HINSTANCE inst, DWORD reason) {
  CWinApp* app = g_app;
  if (reason == DLL_PROCESS_ATTACH) {
    AfxSetInstanceHandle(inst);
    if (!app) return TRUE;
    app->m_hInstance = inst;
    try {
      return app->InitInstance();
    } catch (...) {
      return FALSE;
    }
  }
  if (reason == DLL_PROCESS_DETACH && app) {
    try {
      app->ExitInstance();
    } catch (...) {
    }
  }
  return TRUE;
}

void AfxEnableControlContainer() {
  // The dialogs hold no embedded objects; the common controls they use are registered here.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  ::InitCommonControlsEx(&icc);
}

BOOL AfxInitRichEdit() {
  if (!g_richEdit1) g_richEdit1 = ::LoadLibraryA("RICHED32.DLL");
  return g_richEdit1 != nullptr;
}

BOOL AfxInitRichEdit2() {
  if (!g_richEdit2) g_richEdit2 = ::LoadLibraryA("RICHED20.DLL");
  return g_richEdit2 != nullptr;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT titleId) {
  CString title;
  if (!titleId || !AfxLoadString(titleId, title)) title = AfxGetAppTitle();
  HWND owner = ::GetActiveWindow();
  if (!owner) {
    CWnd* main = AfxGetMainWnd();
    if (main && main->m_hWnd && ::IsWindowVisible(main->m_hWnd)) owner = main->m_hWnd;
  }
  return ::MessageBoxA(owner, text, title, type);
}

int AfxMessageBox(UINT textId, UINT type, UINT titleId) {
  return AfxMessageBox(AfxLoadString(textId), type, titleId);
}
