#include "RouterApp.h"

#include <algorithm>

#include "Dlg_Main.h"
#include "ProgramSwitches.h"
#include "Updates.h"
#include "ProviderListText.h"
#include "TarifTexts.h"

namespace {

const UINT kIdsNoWinInet = 144;
const UINT kIdsNoWinInetNt = 5513;

CRichEdit20Lib g_richEdit20;

}  // namespace

CRouterApp theApp;

BOOL IsWinInetPresent() {
  HMODULE m = ::LoadLibraryA("WININET.DLL");
  if (!m) return FALSE;
  ::FreeLibrary(m);
  return TRUE;
}

BOOL InitRichEdit20() {
  if (!AfxInitRichEdit2()) return FALSE;
  if (!g_richEdit20.m_hModule) g_richEdit20.m_hModule = ::LoadLibraryA("RICHED20.DLL");
  return g_richEdit20.m_hModule != nullptr;
}

BOOL CRouterApp::InitInstance() {
  AfxEnableControlContainer();
  InitRichEdit20();
  Enable3dControlsStatic();
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);

  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  ::GetVersionExA(&version);
  if (!IsWinInetPresent()) {
    CString title = AfxLoadString(kIdsTitle);
    CString text = AfxLoadString(version.dwPlatformId == VER_PLATFORM_WIN32_NT ? kIdsNoWinInetNt : kIdsNoWinInet);
    ::MessageBoxA(nullptr, text, title, MB_ICONWARNING | MB_OK);
    return FALSE;
  }

  CDlg_Main* dlg = new CDlg_Main;
  const int scale = GetProgramSwitches().timeScale;
  dlg->SetTimeScale(scale);
  // The downloads' time limits run faster with the program's other times (tests only), but
  // never below what a loopback server needs to answer on a slow machine.
  CDownloadLimits limits;
  auto faster = [scale](DWORD ms, DWORD floor) { return std::max(ms / static_cast<DWORD>(scale), std::min(ms, floor)); };
  limits.connectMs = faster(limits.connectMs, 2000);
  limits.idleMs = faster(limits.idleMs, 2000);
  limits.totalMs = faster(limits.totalMs, 10000);
  SetDownloadLimits(limits);
  if (!dlg->CreateInstanceMutexes()) {
    delete dlg;
    return FALSE;
  }
  dlg->SetStartedByHook(IsStartedByHookParameter(cmdInfo.m_strFileName));
  m_pMainWnd = dlg;
  dlg->DoModal();
  m_pMainWnd = nullptr;
  delete dlg;
  return FALSE;
}
