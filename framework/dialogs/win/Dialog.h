// Dialogs from resource templates, modal (in the library's own message loop) or modeless.
#pragma once

#include "Wnd.h"

class CDialog : public CWnd {
 public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

  // Modeless: creates the dialog from the template; it shows itself when the template says so.
  BOOL Create(UINT templateId, CWnd* parent = nullptr);
  // Runs the dialog in the library's modal loop: the owner is disabled meanwhile, every message
  // passes PreTranslateMessage of the windows it is addressed to, and the window is destroyed
  // through the virtual DestroyWindow when the loop ends. Returns EndDialog's value, or -1 when
  // the template cannot be loaded.
  virtual INT_PTR DoModal();
  // Ends a modal run with the result (the window is destroyed by DoModal); a modeless dialog is
  // hidden.
  void EndDialog(int result);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;

  void GotoDlgCtrl(CWnd* ctl) { if (ctl) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl->m_hWnd), TRUE); }
  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void SetDefID(UINT id) { SendMessage(DM_SETDEFID, id); }
  BOOL IsModal() const { return m_bModal; }

  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  // The owner window of a modal run: the given parent's top-level window, else the main window.
  HWND ModalOwner() const;
  // Creates the window from a template of the resources, with this object attached at
  // WM_INITDIALOG.
  BOOL CreateFromTemplate(UINT templateId, HWND parent);

  BOOL m_bModal = FALSE;
  BOOL m_bEndRequested = FALSE;

 private:
  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// The dialog procedure of the library's dialogs: attaches the object at WM_INITDIALOG (its
// lParam) and then routes the window through the object; the system's dialog handling is the
// object's default handling.
INT_PTR CALLBACK AfxDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// Attaches wnd to the object, routes it through the library and delivers WM_INITDIALOG.
INT_PTR AfxAttachDialog(CWnd* obj, HWND wnd, WPARAM wp, LPARAM lp);
