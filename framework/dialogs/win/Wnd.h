// The window half of the dialog library: CWnd, thin wrappers over a window handle, the message map
// and the window procedure that routes messages to C++ objects.
//
// A CWnd is found from its window through a window property that Attach sets; windows created by
// the library get their object at the first message (WM_NCCREATE or, for dialogs, WM_INITDIALOG).
// Messages go first to the message map of the object's class (commands, notifications and other
// messages by number), then to the virtual OnXxx handlers below, whose base versions do the
// window's default handling. No C++ exception leaves a window procedure: each is caught there and
// reported (see AfxSetExceptionReporter).
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "CObject.h"
#include "CString.h"

class CWnd;
class CDataExchange;
class CMenu;

// ---- message maps -----------------------------------------------------------------------------

// One handler of a message map. For WM_COMMAND the code is the notification code (0 for menu
// commands and BN_CLICKED), for WM_NOTIFY the NMHDR code; ids are control or command ids.
struct CMsgEntry {
  enum Kind { kMessage, kCommand, kControl, kNotify };
  Kind kind;
  UINT message;  // for kind == message
  UINT code;
  UINT idFirst, idLast;
  std::function<LRESULT(CWnd*, WPARAM, LPARAM)> call;
};

// The handlers of one class, with a link to the base class's map, searched after its own.
class CMessageMap {
 public:
  CMessageMap(const CMessageMap* base, std::initializer_list<CMsgEntry> entries)
      : base_(base), entries_(entries) {}
  const CMsgEntry* FindMessage(UINT message) const;
  const CMsgEntry* FindCommand(UINT code, UINT id) const;
  const CMsgEntry* FindNotify(UINT code, UINT id) const;

 private:
  const CMessageMap* base_;
  std::vector<CMsgEntry> entries_;
};

// Entries for class T, type-checked against its member functions:
//
//   const CMessageMap* CMyDialog::GetMessageMap() const {
//     using M = CMessageMapOf<CMyDialog>;
//     static const CMessageMap map(CDialog::GetMessageMap(), {
//         M::Message(WM_USER + 1, &CMyDialog::OnProgress),
//         M::Clicked(IDC_START, &CMyDialog::OnStart),
//         M::Control(CBN_SELCHANGE, IDC_CHOICE, &CMyDialog::OnSelchangeChoice),
//         M::Command(ID_RESTORE, &CMyDialog::OnRestore)});
//     return &map;
//   }
template <class T>
struct CMessageMapOf {
  static CMsgEntry Message(UINT msg, LRESULT (T::*f)(WPARAM, LPARAM)) {
    return {CMsgEntry::kMessage, msg, 0, 0, 0,
            [f](CWnd* w, WPARAM wp, LPARAM lp) { return (static_cast<T*>(w)->*f)(wp, lp); }};
  }
  // A menu or accelerator command (also a button click, whose code is 0 as well).
  static CMsgEntry Command(UINT id, void (T::*f)()) {
    return {CMsgEntry::kCommand, WM_COMMAND, 0, id, id,
            [f](CWnd* w, WPARAM, LPARAM) { (static_cast<T*>(w)->*f)(); return LRESULT(0); }};
  }
  static CMsgEntry CommandRange(UINT first, UINT last, void (T::*f)(UINT)) {
    return {CMsgEntry::kCommand, WM_COMMAND, 0, first, last, [f](CWnd* w, WPARAM wp, LPARAM) {
              (static_cast<T*>(w)->*f)(LOWORD(wp));
              return LRESULT(0);
            }};
  }
  // A control notification through WM_COMMAND (BN_, CBN_, EN_, LBN_ codes).
  static CMsgEntry Control(UINT code, UINT id, void (T::*f)()) {
    return {CMsgEntry::kControl, WM_COMMAND, code, id, id,
            [f](CWnd* w, WPARAM, LPARAM) { (static_cast<T*>(w)->*f)(); return LRESULT(0); }};
  }
  static CMsgEntry Clicked(UINT id, void (T::*f)()) { return Control(BN_CLICKED, id, f); }
  // A WM_NOTIFY notification; the handler sets the result.
  static CMsgEntry Notify(UINT code, UINT id, void (T::*f)(NMHDR*, LRESULT*)) {
    return {CMsgEntry::kNotify, WM_NOTIFY, code, id, id, [f](CWnd* w, WPARAM, LPARAM lp) {
              LRESULT r = 0;
              (static_cast<T*>(w)->*f)(reinterpret_cast<NMHDR*>(lp), &r);
              return r;
            }};
  }
};

// ---- command target ---------------------------------------------------------------------------

class CCmdTarget : public CObject {
 public:
  ~CCmdTarget() override = default;
  // The class's message map; derived classes return theirs, linked to the base's.
  virtual const CMessageMap* GetMessageMap() const;
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();
};

// ---- exceptions at the window-procedure boundary ----------------------------------------------

// Called with a German description when a handler let an exception escape; the default shows it
// in a message box. The program goes on with the next message.
typedef void (*AfxExceptionReporter)(const char* text);
AfxExceptionReporter AfxSetExceptionReporter(AfxExceptionReporter reporter);
// Reports the exception being handled (call only inside a catch block).
void AfxReportCurrentException();

// Runs f and reports any exception escaping it; returns FALSE then.
template <class F>
BOOL AfxCallGuarded(F&& f) {
  try {
    f();
    return TRUE;
  } catch (...) {
    AfxReportCurrentException();
    return FALSE;
  }
}

// ---- window classes ---------------------------------------------------------------------------

// Registers (once per set of values) a window class whose procedure is the library's and returns
// its generated name, "Afx:" followed by the values in hexadecimal.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                           HICON icon = nullptr);
LRESULT CALLBACK AfxWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// ---- CWnd -------------------------------------------------------------------------------------

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object attached to the window, or NULL.
  static CWnd* FromHandlePermanent(HWND wnd);
  // The attached object, else a temporary wrapper owned by the library (valid while the window
  // exists); NULL for a NULL handle.
  static CWnd* FromHandle(HWND wnd);

  BOOL Attach(HWND wnd);
  HWND Detach();
  // Attaches and routes the window's messages through this object; the old procedure does the
  // default handling.
  BOOL SubclassWindow(HWND wnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  virtual BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
  virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                      UINT id);
  virtual BOOL DestroyWindow();

  // Message handling.
  virtual BOOL PreTranslateMessage(MSG* msg);
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
  virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
  virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
  // Called after the window is gone and the object detached; a window that owns itself deletes
  // itself here.
  virtual void PostNcDestroy();
  // The default handling of the message being handled.
  LRESULT Default();

  // Handlers; the base versions do the default handling.
  virtual int OnCreate(LPCREATESTRUCT cs);
  virtual void OnDestroy();
  virtual void OnClose();
  virtual void OnPaint();
  virtual void OnTimer(UINT_PTR id);
  virtual void OnSysCommand(UINT id, LPARAM lp);
  virtual HCURSOR OnQueryDragIcon();
  virtual void OnSize(UINT type, int cx, int cy);
  // The Windows session is about to end (WM_QUERYENDSESSION): TRUE lets it end.
  virtual BOOL OnQueryEndSession();
  // The session's end is decided (WM_ENDSESSION): `ending` TRUE means it ends now, and the process
  // with it as soon as this returns.
  virtual void OnEndSession(BOOL ending);

  // Data exchange between the controls and the members.
  virtual void DoDataExchange(CDataExchange* dx);
  // Runs DoDataExchange in one direction; FALSE when a check failed (DataExchange.cpp).
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  // Forwards to the API.
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* GetTopLevelParent() const;
  CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  void GetWindowText(CString& text) const;
  CString GetWindowText() const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  void SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
  int GetDlgItemText(int id, CString& text) const;
  int GetDlgItemText(int id, LPSTR buffer, int size) const { return ::GetDlgItemTextA(m_hWnd, id, buffer, size); }
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) { ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
  UINT GetDlgItemInt(int id, BOOL* ok = nullptr, BOOL isSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, id, ok, isSigned);
  }
  void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
  UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
  void CheckRadioButton(int first, int last, int check) { ::CheckRadioButton(m_hWnd, first, last, check); }
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendDlgItemMessageA(m_hWnd, id, msg, wp, lp);
  }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL RedrawWindow() { return ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
  static CWnd* FindWindow(LPCSTR className, LPCSTR windowName) {
    return FromHandle(::FindWindowA(className, windowName));
  }
  void CenterWindow(CWnd* alternateOwner = nullptr);
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
  }
  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  // The system menu (a wrapper kept by the library; see Gdi.h).
  CMenu* GetSystemMenu(BOOL revert) const;
  HICON SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
  }
  HICON GetIcon(BOOL big) const {
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
  }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
  HDC GetDC() { return ::GetDC(m_hWnd); }
  int ReleaseDC(HDC dc) { return ::ReleaseDC(m_hWnd, dc); }
  HFONT GetFontHandle() const { return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)); }
  void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }

  // Places for SetWindowPos.
  static const CWnd wndTop, wndBottom, wndTopMost, wndNoTopMost;

  // The library's own modal loop: runs until EndModalLoop or until the window is gone, passing
  // every message through the pre-translation of the windows it is addressed to (from the window
  // up to its top-level window) before dispatching it. A hidden window is shown when the queue
  // first runs empty, unless the loop ended before.
  virtual int RunModalLoop();
  virtual void EndModalLoop(int result);
  BOOL ContinueModal() const { return m_continueModal; }

 protected:
  // Messages by kind: TRUE when handled, with the result in *result.
  virtual BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  // A modal loop checks this after each message; FALSE ends it (used by property sheets).
  virtual BOOL ModalLoopCheck() { return TRUE; }

  WNDPROC m_pfnSuper = nullptr;  // the window's own procedure after subclassing
  int m_nModalResult = -1;
  BOOL m_createdHere = FALSE;  // made by this object: destroyed with it

 private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
  BOOL m_continueModal = FALSE;
  // A marker object for one of the HWND_ places.
  explicit CWnd(HWND place) : m_hWnd(place) {}
};

// Passes a message through the pre-translation of the windows from its target up to the target's
// top-level window; TRUE when one of them handled it. Message loops call this before dispatching.
BOOL AfxPreTranslateMessage(MSG* msg);
// Dispatches a message to an object through its window procedure, with the exception firewall.
LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Dispatches every message waiting for this thread, with pre-translation, and returns at once;
// for work that waits (dialling, pauses) and must keep the windows answering. FALSE when the
// program is ending (the quit message is put back for the outer loop).
BOOL AfxPumpWaitingMessages();
// Drops temporary wrappers of windows that no longer exist.
void AfxPruneTemporaryWindows();
