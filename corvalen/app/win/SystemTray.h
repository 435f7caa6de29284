// The notification-area icon that stands in for the main window while it is minimised.
#pragma once

#include <windows.h>

#include "AfxWin.h"

// The shell's icon record in its first layout (88 bytes), which every shell version accepts.
struct CorvalenNotifyIconData {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[64];
};
static_assert(sizeof(CorvalenNotifyIconData) == 88, "first layout of the shell's icon record");

class CSystemTray : public CWnd {
 public:
  CSystemTray() = default;
  ~CSystemTray() override;

  BOOL Create(CWnd* owner, CWnd* notifyTarget, UINT callbackMessage, LPCSTR tip, HICON icon, UINT id);
  void RemoveIcon();
  void ShowIcon();
  void SetIcon(HICON icon);
  void SetIcon(UINT resourceId);
  void SetTooltipText(LPCSTR text);
  CString GetTooltipText() const { return m_tnd.szTip; }
  BOOL SetMenuDefaultItem(UINT item, BOOL byPosition);
  // The menu the right click opens (172 offline, 173 online); it starts as the icon's id. The
  // icon's own id stays what the shell knows it by, so that it can still be removed.
  void SetMenuId(UINT id) { m_menuId = id; }
  UINT GetMenuId() const { return m_menuId; }
  UINT GetIconId() const { return m_tnd.uID; }
  BOOL IsEnabled() const { return m_enabled; }
  BOOL IsHidden() const { return m_hidden; }

  virtual LRESULT OnTrayNotification(WPARAM wp, LPARAM lp);
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  BOOL Notify(DWORD what, UINT flags);

  CorvalenNotifyIconData m_tnd = {};
  BOOL m_enabled = FALSE;
  BOOL m_hidden = FALSE;
  CWnd* m_owner = nullptr;
  UINT m_menuId = 0;
  UINT m_defaultItem = 0;
  BOOL m_defaultByPos = TRUE;
};
