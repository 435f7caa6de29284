#include "Wnd.h"

#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "CException.h"
#include "Module.h"

namespace {

// The window property that holds a window's object.
const char kWndProp[] = "AstrelCWnd";

// The object whose window is being created by CreateEx on this thread; the first message that
// reaches the library's window procedure for an unknown window attaches it.
thread_local CWnd* t_wndInit = nullptr;

int g_modalDepth = 0;

std::mutex g_tempMutex;
std::map<HWND, std::unique_ptr<CWnd>>& Temporaries() {
  static std::map<HWND, std::unique_ptr<CWnd>> map;
  return map;
}

void DefaultReporter(const char* text) {
  HWND owner = ::GetActiveWindow();
  ::MessageBoxA(owner, text, AfxGetAppTitle(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
}
AfxExceptionReporter g_reporter = DefaultReporter;

}  // namespace

// ---- message maps -----------------------------------------------------------------------------

const CMsgEntry* CMessageMap::FindMessage(UINT message) const {
  for (const CMessageMap* m = this; m; m = m->base_)
    for (const CMsgEntry& e : m->entries_)
      if (e.kind == CMsgEntry::kMessage && e.message == message) return &e;
  return nullptr;
}

const CMsgEntry* CMessageMap::FindCommand(UINT code, UINT id) const {
  for (const CMessageMap* m = this; m; m = m->base_)
    for (const CMsgEntry& e : m->entries_) {
      if (id < e.idFirst || id > e.idLast) continue;
      // Menu commands carry code 0, accelerators 1.
      if (e.kind == CMsgEntry::kCommand && (code == 0 || code == 1)) return &e;
      if (e.kind == CMsgEntry::kControl && e.code == code) return &e;
    }
  return nullptr;
}

const CMsgEntry* CMessageMap::FindNotify(UINT code, UINT id) const {
  for (const CMessageMap* m = this; m; m = m->base_)
    for (const CMsgEntry& e : m->entries_)
      if (e.kind == CMsgEntry::kNotify && e.code == code && id >= e.idFirst && id <= e.idLast) return &e;
  return nullptr;
}

const CMessageMap* CCmdTarget::GetMessageMap() const {
  static const CMessageMap map(nullptr, {});
  return &map;
}

namespace {
int g_waitCount = 0;
}

void CCmdTarget::BeginWaitCursor() {
  ++g_waitCount;
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

void CCmdTarget::EndWaitCursor() {
  if (g_waitCount > 0) --g_waitCount;
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(g_waitCount ? IDC_WAIT : IDC_ARROW)));
}

void CCmdTarget::RestoreWaitCursor() {
  if (g_waitCount) ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

// ---- exceptions -------------------------------------------------------------------------------

AfxExceptionReporter AfxSetExceptionReporter(AfxExceptionReporter reporter) {
  AfxExceptionReporter old = g_reporter;
  g_reporter = reporter ? reporter : DefaultReporter;
  return old;
}

void AfxReportCurrentException() {
  CString text = "Ein unerwarteter Fehler ist aufgetreten";
  try {
    throw;
  } catch (const CException& e) {
    text += ": " + e.GetErrorMessage();
  } catch (const std::exception& e) {
    text += CString(": ") + e.what();
  } catch (...) {
  }
  text += ".";
  // The reporter itself must not throw through a window procedure either.
  try {
    g_reporter(text);
  } catch (...) {
  }
}

// ---- window classes ---------------------------------------------------------------------------

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::set<std::string> names;
  HINSTANCE inst = AfxGetInstanceHandle();
  char name[96];
  wsprintfA(name, "Afx:%p:%x:%p:%p:%p", static_cast<void*>(inst), classStyle, static_cast<void*>(cursor),
            static_cast<void*>(background), static_cast<void*>(icon));
  auto it = names.find(name);
  if (it != names.end()) return it->c_str();
  WNDCLASSA wc = {};
  if (!::GetClassInfoA(inst, name, &wc)) {
    wc.style = classStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = inst;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc)) return nullptr;
  }
  return names.insert(name).first->c_str();
}

LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  try {
    result = wnd->WindowProc(msg, wp, lp);
  } catch (...) {
    AfxReportCurrentException();
    // A window whose creation failed in a handler is not created.
    if (msg == WM_CREATE) result = -1;
  }
  if (msg == WM_NCDESTROY) {
    // The window is gone: detach, give the window its own procedure back, and let the object
    // finish (a self-owning window deletes itself).
    if (CWnd::FromHandlePermanent(hwnd) == wnd) {
      WNDPROC super = wnd->m_pfnSuper;
      ::RemovePropA(hwnd, kWndProp);
      if (super) ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
      wnd->m_hWnd = nullptr;
      wnd->m_pfnSuper = nullptr;
      wnd->m_createdHere = FALSE;
      AfxForgetMainWnd(wnd);
      try {
        wnd->PostNcDestroy();
      } catch (...) {
        AfxReportCurrentException();
      }
    }
  }
  return result;
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
  if (!wnd) {
    wnd = t_wndInit;
    if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
    t_wndInit = nullptr;
    wnd->Attach(hwnd);
  }
  return AfxCallWndProc(wnd, hwnd, msg, wp, lp);
}

BOOL AfxPreTranslateMessage(MSG* msg) {
  for (HWND h = msg->hwnd; h;) {
    if (CWnd* wnd = CWnd::FromHandlePermanent(h)) {
      BOOL done = FALSE;
      try {
        done = wnd->PreTranslateMessage(msg);
      } catch (...) {
        AfxReportCurrentException();
        done = TRUE;  // the message is dropped rather than handled twice
      }
      if (done) return TRUE;
    }
    if (!::IsWindow(h) || !(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
    h = ::GetParent(h);
  }
  return FALSE;
}

BOOL AfxPumpWaitingMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return FALSE;
    }
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return TRUE;
}

void AfxPruneTemporaryWindows() {
  std::lock_guard<std::mutex> lock(g_tempMutex);
  auto& map = Temporaries();
  for (auto it = map.begin(); it != map.end();) {
    if (!::IsWindow(it->first)) {
      it->second->m_hWnd = nullptr;
      it = map.erase(it);
    } else {
      ++it;
    }
  }
}

// ---- CWnd -------------------------------------------------------------------------------------

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::~CWnd() {
  AfxForgetMainWnd(this);
  if (!m_hWnd || m_hWnd == HWND_TOPMOST || m_hWnd == HWND_NOTOPMOST || m_hWnd == HWND_BOTTOM) return;
  if (FromHandlePermanent(m_hWnd) == this) {
    if (m_createdHere && ::IsWindow(m_hWnd)) {
      // Only this object's own handling may run now; the window proc sees no object any more.
      HWND h = m_hWnd;
      UnsubclassWindow();
      ::DestroyWindow(h);
    } else {
      UnsubclassWindow();
    }
  }
  m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
  if (!wnd) return nullptr;
  return static_cast<CWnd*>(::GetPropA(wnd, kWndProp));
}

CWnd* CWnd::FromHandle(HWND wnd) {
  if (!wnd) return nullptr;
  if (CWnd* p = FromHandlePermanent(wnd)) return p;
  std::lock_guard<std::mutex> lock(g_tempMutex);
  auto& slot = Temporaries()[wnd];
  if (!slot) {
    slot.reset(new CWnd);
    slot->m_hWnd = wnd;
  }
  return slot.get();
}

BOOL CWnd::Attach(HWND wnd) {
  if (!wnd || m_hWnd || FromHandlePermanent(wnd)) return FALSE;
  if (!::SetPropA(wnd, kWndProp, this)) return FALSE;
  m_hWnd = wnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (h && FromHandlePermanent(h) == this) ::RemovePropA(h, kWndProp);
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND wnd) {
  if (!Attach(wnd)) return FALSE;
  WNDPROC old = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(wnd, GWLP_WNDPROC));
  if (old != AfxWndProc) {
    m_pfnSuper = old;
    ::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc));
  }
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper && m_hWnd) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, LPVOID param) {
  if (m_hWnd) return FALSE;
  CWnd* savedInit = t_wndInit;
  t_wndInit = this;
  HWND h = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                             AfxGetInstanceHandle(), param);
  bool attachedByProc = (t_wndInit != this);
  t_wndInit = savedInit;
  if (!h) {
    if (attachedByProc && m_hWnd) Detach();
    return FALSE;
  }
  // A window of a system class never reached the library's procedure: route it through it now.
  if (!attachedByProc && !SubclassWindow(h)) {
    ::DestroyWindow(h);
    return FALSE;
  }
  m_createdHere = TRUE;
  return TRUE;
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND h = m_hWnd;
  if (FromHandlePermanent(h) != this) {
    m_hWnd = nullptr;  // a wrapper without ownership only forgets the window
    return ::DestroyWindow(h);
  }
  return ::DestroyWindow(h);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

namespace {

// The message each window procedure on this thread is handling, innermost first; Default() works
// on it. Kept on the stack rather than in the object, as a handler may destroy (and so delete)
// its own object.
struct CurrentMsg {
  const CWnd* wnd;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  const CurrentMsg* outer;
};
thread_local const CurrentMsg* t_current = nullptr;

}  // namespace

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  CurrentMsg cur{this, msg, wp, lp, t_current};
  struct Restore {
    const CurrentMsg* outer;
    ~Restore() { t_current = outer; }
  } restore{t_current};
  t_current = &cur;
  LRESULT r = 0;
  if (!OnWndMsg(msg, wp, lp, &r)) r = DefWindowProc(msg, wp, lp);
  return r;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wp, lp);
  return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() {
  for (const CurrentMsg* c = t_current; c; c = c->outer)
    if (c->wnd == this) return DefWindowProc(c->msg, c->wp, c->lp);
  return 0;
}

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_COMMAND:
      if (!OnCommand(wp, lp)) return FALSE;
      *result = 0;
      return TRUE;
    case WM_NOTIFY: {
      LRESULT r = 0;
      if (!OnNotify(wp, lp, &r)) return FALSE;
      *result = r;
      return TRUE;
    }
    default:
      break;
  }
  if (const CMsgEntry* e = GetMessageMap()->FindMessage(msg)) {
    *result = e->call(this, wp, lp);
    return TRUE;
  }
  switch (msg) {
    case WM_CREATE:
      *result = OnCreate(reinterpret_cast<LPCREATESTRUCT>(lp));
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_CLOSE:
      OnClose();
      break;
    case WM_PAINT:
      OnPaint();
      break;
    case WM_TIMER:
      OnTimer(wp);
      break;
    case WM_SYSCOMMAND:
      OnSysCommand(static_cast<UINT>(wp), lp);
      break;
    case WM_QUERYDRAGICON:
      *result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
      return TRUE;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
      break;
    case WM_QUERYENDSESSION:
      *result = OnQueryEndSession();
      return TRUE;
    case WM_ENDSESSION:
      OnEndSession(wp != 0);
      break;
    default:
      return FALSE;
  }
  *result = 0;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wp, LPARAM lp) {
  if (const CMsgEntry* e = GetMessageMap()->FindCommand(HIWORD(wp), LOWORD(wp))) {
    e->call(this, wp, lp);
    return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
  const NMHDR* nm = reinterpret_cast<const NMHDR*>(lp);
  if (!nm) return FALSE;
  if (const CMsgEntry* e = GetMessageMap()->FindNotify(nm->code, static_cast<UINT>(nm->idFrom))) {
    *result = e->call(this, wp, lp);
    return TRUE;
  }
  return FALSE;
}

void CWnd::PostNcDestroy() {}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
BOOL CWnd::OnQueryEndSession() { return Default() != 0; }
void CWnd::OnEndSession(BOOL) { Default(); }

void CWnd::DoDataExchange(CDataExchange*) {}

CWnd* CWnd::GetTopLevelParent() const {
  HWND h = m_hWnd;
  while (h && (::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
  return FromHandle(h);
}

void CWnd::GetWindowText(CString& text) const { text = GetWindowText(); }

CString CWnd::GetWindowText() const {
  int len = ::GetWindowTextLengthA(m_hWnd);
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  int got = ::GetWindowTextA(m_hWnd, &buf[0], len + 1);
  buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return CString(buf);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  text = item ? FromHandle(item)->GetWindowText() : CString();
  return text.GetLength();
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  HWND center = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
  if (!center && (GetStyle() & WS_CHILD)) center = ::GetParent(m_hWnd);
  RECT area;
  if (GetStyle() & WS_CHILD) {
    ::GetClientRect(center, &area);
  } else if (center && ::IsWindowVisible(center) && !::IsIconic(center)) {
    ::GetWindowRect(center, &area);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT rc;
  ::GetWindowRect(m_hWnd, &rc);
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int x = (area.left + area.right - w) / 2, y = (area.top + area.bottom - h) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
  DWORD style = GetStyle();
  DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
  if (flags)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  return ::MessageBoxA(m_hWnd, text, caption ? caption : AfxGetAppTitle(), type);
}

int CWnd::RunModalLoop() {
  HWND self = m_hWnd;
  m_continueModal = TRUE;
  BOOL shown = (GetStyle() & WS_VISIBLE) != 0;
  ++g_modalDepth;
  MSG msg;
  while (::IsWindow(self) && m_continueModal) {
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!shown) {
        shown = TRUE;
        ::ShowWindow(self, SW_SHOWNORMAL);
        ::UpdateWindow(self);
        continue;
      }
      // Only the outermost loop may drop wrappers: no handler of an outer window runs now.
      if (g_modalDepth == 1) AfxPruneTemporaryWindows();
    }
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: leave the loop and let the outer loop see the quit message too.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      if (m_continueModal) m_nModalResult = -1;
      break;
    }
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (::IsWindow(self) && m_continueModal && !ModalLoopCheck()) break;
  }
  --g_modalDepth;
  m_continueModal = FALSE;
  return m_nModalResult;
}

void CWnd::EndModalLoop(int result) {
  m_nModalResult = result;
  if (m_continueModal) {
    m_continueModal = FALSE;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop when it waits for a message
  }
}
