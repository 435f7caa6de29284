#include "Module.h"

#include <string>
#include <vector>

namespace {

HINSTANCE g_instance = nullptr;
HINSTANCE g_resources = nullptr;
const CString* g_appName = nullptr;
CWnd** g_mainWnd = nullptr;

}  // namespace

HINSTANCE AfxGetInstanceHandle() {
  if (g_instance) return g_instance;
  return ::GetModuleHandleA(nullptr);
}

void AfxSetInstanceHandle(HINSTANCE inst) { g_instance = inst; }

HINSTANCE AfxGetResourceHandle() { return g_resources ? g_resources : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE inst) { g_resources = inst; }

void AfxSetAppName(const CString* name) { g_appName = name; }

LPCSTR AfxGetAppTitle() {
  if (g_appName && !g_appName->IsEmpty()) return *g_appName;
  static std::string name;
  if (name.empty()) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(AfxGetInstanceHandle(), path, MAX_PATH);
    std::string p = path;
    size_t slash = p.find_last_of("\\/");
    if (slash != std::string::npos) p = p.substr(slash + 1);
    size_t dot = p.rfind('.');
    if (dot != std::string::npos && dot > 0) p = p.substr(0, dot);
    name = p.empty() ? "Programm" : p;
  }
  return name.c_str();
}

void AfxSetMainWndSlot(CWnd** slot) { g_mainWnd = slot; }

void AfxForgetMainWnd(const CWnd* wnd) {
  if (g_mainWnd && *g_mainWnd == wnd) *g_mainWnd = nullptr;
}

BOOL AfxLoadString(UINT id, CString& out) {
  std::vector<char> buf(4096);
  int n = ::LoadStringA(AfxGetResourceHandle(), id, buf.data(), static_cast<int>(buf.size()));
  out = n > 0 ? CString(buf.data(), n) : CString();
  return n > 0;
}

CString AfxLoadString(UINT id) {
  CString s;
  AfxLoadString(id, s);
  return s;
}
