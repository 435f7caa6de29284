#include "SystemTray.h"

#include <shellapi.h>

#include <cstring>

CSystemTray::~CSystemTray() {
  if (m_enabled) Notify(NIM_DELETE, 0);
  m_enabled = FALSE;
  if (m_hWnd) DestroyWindow();
}

BOOL CSystemTray::Notify(DWORD what, UINT flags) {
  m_tnd.uFlags = flags;
  return Shell_NotifyIconA(what, reinterpret_cast<PNOTIFYICONDATAA>(&m_tnd));
}

BOOL CSystemTray::Create(CWnd* owner, CWnd* notifyTarget, UINT callbackMessage, LPCSTR tip, HICON icon, UINT id) {
  if (LOBYTE(LOWORD(GetVersion())) < 4) return FALSE;
  m_owner = owner;
  LPCSTR cls = AfxRegisterWndClass(0);
  if (!CreateEx(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) return FALSE;
  m_tnd.cbSize = sizeof m_tnd;
  m_tnd.hWnd = notifyTarget ? notifyTarget->m_hWnd : m_hWnd;
  m_tnd.uID = id;
  m_menuId = id;
  m_tnd.hIcon = icon;
  m_tnd.uCallbackMessage = callbackMessage;
  lstrcpynA(m_tnd.szTip, tip ? tip : "", sizeof m_tnd.szTip);
  m_enabled = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  return m_enabled;
}

void CSystemTray::RemoveIcon() {
  if (!m_enabled) return;
  Notify(NIM_DELETE, 0);
  m_enabled = FALSE;
  m_hidden = TRUE;
}

void CSystemTray::ShowIcon() {
  if (!m_hidden) return;
  m_enabled = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  m_hidden = FALSE;
}

void CSystemTray::SetIcon(HICON icon) {
  if (!m_enabled) return;
  m_tnd.hIcon = icon;
  Notify(NIM_MODIFY, NIF_ICON);
}

void CSystemTray::SetIcon(UINT resourceId) {
  SetIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId)));
}

void CSystemTray::SetTooltipText(LPCSTR text) {
  if (!m_enabled) return;
  lstrcpynA(m_tnd.szTip, text ? text : "", sizeof m_tnd.szTip);  // at most 63 characters
  Notify(NIM_MODIFY, NIF_TIP);
}

BOOL CSystemTray::SetMenuDefaultItem(UINT item, BOOL byPosition) {
  if (m_defaultItem == item && m_defaultByPos == byPosition) return TRUE;
  m_defaultItem = item;
  m_defaultByPos = byPosition;
  CMenu menu;
  if (!menu.LoadMenu(m_menuId)) return FALSE;
  CMenu* sub = menu.GetSubMenu(0);
  if (!sub) return FALSE;
  return sub->SetDefaultItem(item, byPosition);
}

LRESULT CSystemTray::OnTrayNotification(WPARAM, LPARAM lp) {
  switch (LOWORD(lp)) {
    case WM_RBUTTONUP: {
      CMenu menu;
      if (!menu.LoadMenu(m_menuId)) return 0;
      CMenu* sub = menu.GetSubMenu(0);
      if (!sub) return 0;
      sub->SetDefaultItem(m_defaultItem, m_defaultByPos);
      POINT pos;
      GetCursorPos(&pos);
      m_owner->SetForegroundWindow();
      sub->TrackPopupMenu(TPM_LEFTBUTTON, pos.x, pos.y, m_owner);
      m_owner->PostMessage(WM_NULL);
      return 1;
    }
    case WM_LBUTTONDBLCLK:
      m_owner->ShowWindow(SW_SHOW);
      RemoveIcon();
      return 1;
    default:
      return 1;
  }
}

LRESULT CSystemTray::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == m_tnd.uCallbackMessage && msg != 0) return OnTrayNotification(wp, lp);
  // The end of the Windows session: the window the icon stands for answers (it may be hidden,
  // and the session's end must reach it either way).
  if ((msg == WM_QUERYENDSESSION || msg == WM_ENDSESSION) && m_owner && m_owner->m_hWnd)
    return ::SendMessageA(m_owner->m_hWnd, msg, wp, lp);
  return CWnd::WindowProc(msg, wp, lp);
}
