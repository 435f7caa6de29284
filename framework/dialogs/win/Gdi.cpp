#include "Gdi.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "WinApp.h"

BOOL CBitmap::LoadBitmap(UINT id) {
  DeleteObject();
  m_hObject = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
  return m_hObject != nullptr;
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
  DeleteObject();
  m_hObject = ::CreateCompatibleBitmap(dc, width, height);
  return m_hObject != nullptr;
}

BOOL CBitmap::DeleteObject() {
  if (!m_hObject) return FALSE;
  BOOL ok = ::DeleteObject(m_hObject);
  m_hObject = nullptr;
  return ok;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  BOOL ok = ::DeleteDC(m_hDC);
  m_hDC = nullptr;
  return ok;
}

BOOL CMenu::LoadMenu(UINT id) { return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id))); }

BOOL CMenu::Attach(HMENU menu) {
  if (!menu || m_hMenu) return FALSE;
  m_hMenu = menu;
  m_owned = TRUE;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  m_owned = FALSE;
  return h;
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  BOOL ok = m_owned ? ::DestroyMenu(m_hMenu) : TRUE;
  m_hMenu = nullptr;
  m_owned = FALSE;
  return ok;
}

CMenu* CMenu::FromHandle(HMENU menu) {
  if (!menu) return nullptr;
  static std::mutex m;
  static std::map<HMENU, std::unique_ptr<CMenu>> wrappers;
  std::lock_guard<std::mutex> lock(m);
  auto& slot = wrappers[menu];
  if (!slot) {
    slot.reset(new CMenu);
    slot->m_hMenu = menu;  // not owned
  }
  return slot.get();
}

CString CMenu::GetMenuString(UINT item, UINT flags) const {
  char buf[256] = {};
  int n = ::GetMenuStringA(m_hMenu, item, buf, sizeof buf, flags);
  return CString(buf, n > 0 ? n : 0);
}

CMenu* AfxGetSystemMenu(CWnd* wnd, BOOL revert) { return CMenu::FromHandle(::GetSystemMenu(wnd->m_hWnd, revert)); }

CMenu* CWnd::GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }
