// Device contexts, bitmaps and menus: owners of a GDI or menu handle that free it with them.
#pragma once

#include <windows.h>

#include "Wnd.h"

class CBitmap {
 public:
  CBitmap() = default;
  ~CBitmap() { DeleteObject(); }
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;
  // A bitmap of the program's resources; FALSE when missing.
  BOOL LoadBitmap(UINT id);
  BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
  BOOL GetBitmap(BITMAP* info) const { return m_hObject && ::GetObjectA(m_hObject, sizeof *info, info) != 0; }
  BOOL DeleteObject();
  operator HBITMAP() const { return m_hObject; }
  HBITMAP m_hObject = nullptr;
};

class CDC {
 public:
  CDC() = default;
  virtual ~CDC() { DeleteDC(); }
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  BOOL CreateCompatibleDC(CDC* dc) { return (m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)) != nullptr; }
  BOOL DeleteDC();
  HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
  BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, src->m_hDC, xSrc, ySrc, rop);
  }
  BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  BOOL TextOut(int x, int y, LPCSTR text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  HDC m_hDC = nullptr;
};

// The device context of WM_PAINT (BeginPaint / EndPaint).
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
  ~CPaintDC() override {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
  }
  PAINTSTRUCT m_ps;

 private:
  HWND m_hWnd;
};

// The client area's device context (GetDC / ReleaseDC).
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }
  ~CClientDC() override {
    ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
  }

 private:
  HWND m_hWnd;
};

// A menu; one loaded from the resources or made here is destroyed with the object, one found
// through FromHandle or GetSubMenu belongs to its owner.
class CMenu {
 public:
  CMenu() = default;
  ~CMenu() { DestroyMenu(); }
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  BOOL LoadMenu(UINT id);
  BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
  BOOL Attach(HMENU menu);
  HMENU Detach();
  BOOL DestroyMenu();
  // A wrapper that does not own the menu (kept by the library while the program runs).
  static CMenu* FromHandle(HMENU menu);
  CMenu* GetSubMenu(int pos) const { return FromHandle(::GetSubMenu(m_hMenu, pos)); }
  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
  UINT GetMenuItemID(int pos) const { return ::GetMenuItemID(m_hMenu, pos); }
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr) { return ::AppendMenuA(m_hMenu, flags, id, text); }
  UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }
  BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE) { return ::SetMenuDefaultItem(m_hMenu, item, byPosition); }
  UINT GetDefaultItem(UINT flags, BOOL byPosition = FALSE) const { return ::GetMenuDefaultItem(m_hMenu, byPosition, flags); }
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner->m_hWnd, nullptr);
  }
  CString GetMenuString(UINT item, UINT flags) const;
  operator HMENU() const { return m_hMenu; }
  HMENU m_hMenu = nullptr;

 private:
  BOOL m_owned = FALSE;
};

// The window's system menu (a wrapper owned by the library).
CMenu* AfxGetSystemMenu(CWnd* wnd, BOOL revert = FALSE);

// Shows the wait cursor while the object lives.
class CWaitCursor {
 public:
  CWaitCursor() { m_target.BeginWaitCursor(); }
  ~CWaitCursor() { m_target.EndWaitCursor(); }
  void Restore() { m_target.RestoreWaitCursor(); }

 private:
  CCmdTarget m_target;
};
