#include "RouterApp.h"

#include <cstdio>
#include <cstdlib>

#include "Dlg_Main.h"
#include "ProviderListText.h"
#include "TarifClock.h"

namespace {

const UINT kIdsTitle = 138;
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

int ReadTimeScale() {
  char buffer[32] = {};
  int scale = ::GetEnvironmentVariableA("CORVALEN_TIMESCALE", buffer, sizeof buffer) ? std::atoi(buffer) : 1;
  if (scale < 1) scale = 1;
  char start[32] = {};
  int y, mo, d, h, mi, s;
  bool fixedStart = ::GetEnvironmentVariableA("CORVALEN_START", start, sizeof start) &&
                    std::sscanf(start, "%4d%2d%2d%2d%2d%2d", &y, &mo, &d, &h, &mi, &s) == 6;
  if (scale > 1 || fixedStart) {
    COleDateTime origin = fixedStart ? COleDateTime(y, mo, d, h, mi, s) : COleDateTime::GetCurrentTime();
    DWORD t0 = ::GetTickCount();
    SetTarifClock([origin, t0, scale]() {
      long seconds = static_cast<long>((static_cast<double>(::GetTickCount() - t0) / 1000.0) * scale);
      return origin + COleDateTimeSpan(seconds / 86400, 0, 0, static_cast<int>(seconds % 86400));
    });
    // Durations run at the same pace.
    SetSteadyClock([t0, scale]() { return static_cast<double>(::GetTickCount() - t0) / 1000.0 * scale; });
  }
  return scale;
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
  dlg->SetTimeScale(ReadTimeScale());
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
